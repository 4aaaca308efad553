#include "picklist.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <memory>

void setPick(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text));
}

QComboBox *sharedPickList(QWidget *parent, const QString &objectName, QAbstractItemModel *model, int column)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(objectName);
    if (model) {
        c->setModel(model);
        c->setModelColumn(column);
        auto kept = std::make_shared<QString>();
        QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, c,
                         [c, kept] { *kept = c->currentIndex() < 0 ? QString() : c->currentText(); });
        QObject::connect(model, &QAbstractItemModel::modelReset, c, [c, kept] { setPick(c, *kept); });
    }
    c->setCurrentIndex(-1);
    return c;
}
