#include "entryfields.h"

#include <QComboBox>
#include <QSqlQueryModel>
#include <memory>

namespace EntryFields {

void setPick(QComboBox *box, const QString &text) { box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text)); }

QComboBox *pickList(QWidget *parent, const QString &name, QSqlQueryModel *model)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setModel(model);
    c->setModelColumn(0);
    // The lists are shared and re-read when another screen fills them; keep
    // the choice made here across that.
    auto kept = std::make_shared<QString>();
    QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, c, [c, kept] { *kept = c->currentText(); });
    QObject::connect(model, &QAbstractItemModel::modelReset, c, [c, kept] { setPick(c, *kept); });
    return c;
}

} // namespace EntryFields
