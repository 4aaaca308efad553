#include "frmnewunits.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "partnerfields.h"
#include "shell/msg.h"
#include "trade/lookup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmNewUnits::frmNewUnits(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNewUnits"));
    setWindowTitle(QStringLiteral("往来单位录入"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_fields = new PartnerFields(false, this);
    m_kind = new QLabel(this);
    m_kind->setObjectName(QStringLiteral("Label6"));
    m_kind->hide();

    auto *save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("BitBtn1"));
    save->setDefault(true);
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn2"));
    quit->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &frmNewUnits::BitBtn1Click);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(save);
    bottom->addWidget(quit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fields);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_fields->name()->setFocus();
}

void frmNewUnits::setCaller(PickerCaller *caller)
{
    m_caller = caller;
    m_kind->setText(caller ? caller->callerCode() : QString());
}

QString frmNewUnits::kind() const { return m_kind->text(); }

void frmNewUnits::BitBtn1Click()
{
    PartnerInput in = m_fields->input();
    in.type = partnerTypeForCaller(kind());
    PartnerSaveResult r;
    try {
        r = savePartner(DM(), 0, in);
        if (r.status == PartnerSaveResult::Saved) {
            m_saved = r.id;
            if (m_caller) putPartner(*m_caller, partnerHit(DM(), r.id));
        }
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    switch (r.status) {
    case PartnerSaveResult::Invalid:
    case PartnerSaveResult::Duplicate:
        Msg::info(this, r.message);
        m_fields->name()->setFocus();
        return;
    case PartnerSaveResult::NotNumber:
        Msg::error(this, r.message);
        return;
    case PartnerSaveResult::Saved:
        break;
    }
    accept();
}
