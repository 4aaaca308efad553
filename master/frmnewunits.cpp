#include "frmnewunits.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "partnerfields.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "trade/lookup.h"

#include <QLabel>
#include <QLineEdit>
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

    auto *bottom = DialogButtons::row(this, &frmNewUnits::BitBtn1Click, DialogButtons::EnterActs);
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
    if (!m_fields->save(this, 0, in, &m_saved)) return;
    try {
        if (m_caller) putPartner(*m_caller, partnerHit(DM(), m_saved));
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    accept();
}
