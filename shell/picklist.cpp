#include "picklist.h"

#include <QComboBox>
#include <QSqlQueryModel>
#include <memory>

void setPick(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text));
}

QComboBox *sharedPickList(QWidget *parent, const QString &objectName, QSqlQueryModel *model)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(objectName);
    c->setModel(model);
    c->setModelColumn(0);
    auto kept = std::make_shared<QString>();
    QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, c, [c, kept] { *kept = c->currentText(); });
    QObject::connect(model, &QAbstractItemModel::modelReset, c, [c, kept] { setPick(c, *kept); });
    return c;
}
