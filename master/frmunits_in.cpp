#include "frmunits_in.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "partnerfields.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

frmUnits_In::frmUnits_In(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmUnits_In"));
    setWindowTitle(QStringLiteral("往来单位录入"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_fields = new PartnerFields(true, this);
    m_id = new QLabel(QStringLiteral("0"), this);
    m_id->setObjectName(QStringLiteral("Lab_ID"));
    m_id->hide();
    m_continue = new QCheckBox(QStringLiteral("连续新增"), this);
    m_continue->setObjectName(QStringLiteral("CheckBox1"));
    m_continue->setChecked(true);

    auto *bottom = DialogButtons::row(this, &frmUnits_In::BitBtn1Click, DialogButtons::EnterActs, {m_continue});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fields);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_fields->name()->setFocus();
}

int frmUnits_In::partnerID() const { return m_id->text().toInt(); }

void frmUnits_In::setPartnerID(int id)
{
    m_id->setText(QString::number(id));
    try {
        const PartnerRecord p = readPartner(DM(), id);
        m_fields->setInput(p.input);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    m_continue->setChecked(false);
    m_continue->hide();
    // The balances move only by postings once the partner exists.
    m_fields->receivable()->setEnabled(false);
    m_fields->payable()->setEnabled(false);
}

void frmUnits_In::BitBtn1Click()
{
    const int id = partnerID();
    if (!m_fields->save(this, id, m_fields->input())) return;
    if (m_continue->isChecked()) {
        // The type and the opening balances stay for the next partner.
        for (QLineEdit *e : {m_fields->name(), m_fields->contact(), m_fields->phone(), m_fields->address(),
                             m_fields->remark()})
            e->clear();
        m_fields->name()->setFocus();
        return;
    }
    Msg::info(this, Msg::savedText(QStringLiteral("往来单位信息")));
    if (id != 0) emit saved();
    accept();
}
