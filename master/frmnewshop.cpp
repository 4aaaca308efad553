#include "frmnewshop.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "productfields.h"
#include "shell/msg.h"
#include "trade/lookup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

    auto *save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("BitBtn1"));
    save->setDefault(true);
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn2"));
    quit->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &frmNewShop::BitBtn1Click);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(save);
    bottom->addWidget(quit);
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
    ProductSaveResult r;
    try {
        r = saveProduct(DM(), 0, m_fields->input());
        if (r.status == ProductSaveResult::Saved) {
            m_saved = r.id;
            if (m_caller) putProduct(DM(), *m_caller, productHit(DM(), kind(), r.id));
        }
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    switch (r.status) {
    case ProductSaveResult::Invalid:
    case ProductSaveResult::Duplicate:
        Msg::info(this, r.message);
        m_fields->focusField(r.field);
        return;
    case ProductSaveResult::NotNumber:
        Msg::error(this, r.message);
        m_fields->focusField(r.field);
        return;
    case ProductSaveResult::Saved:
        break;
    }
    accept();
}
