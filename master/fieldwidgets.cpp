#include "fieldwidgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSqlQueryModel>
#include <QSqlRecord>

QLineEdit *namedEdit(QWidget *parent, const char *name, int maxLength)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
}

void addNames(QComboBox *box, QSqlQueryModel *names)
{
    for (int i = 0; i < names->rowCount(); ++i) box->addItem(names->record(i).value(0).toString());
}
