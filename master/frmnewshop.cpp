#include "frmnewshop.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "productfields.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "trade/lookup.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

frmNewShop::frmNewShop(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNewShop"));
    setWindowTitle(QStringLiteral("商品录入"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_fields = new ProductFields(this);
    m_kind = new QLabel(this);
    m_kind->setObjectName(QStringLiteral("Label8"));
    m_kind->hide();

    auto *bottom = DialogButtons::row(this, &frmNewShop::BitBtn1Click, DialogButtons::EnterActs);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fields);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_fields->startNew();
    m_fields->name()->setFocus();
}

void frmNewShop::setCaller(PickerCaller *caller)
{
    m_caller = caller;
    m_kind->setText(caller ? caller->callerCode() : QString());
}

QString frmNewShop::kind() const { return m_kind->text(); }

void frmNewShop::BitBtn1Click()
{
    if (!m_fields->save(this, 0, &m_saved)) return;
    try {
        if (m_caller) putProduct(DM(), *m_caller, productHit(DM(), kind(), m_saved));
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    accept();
}
