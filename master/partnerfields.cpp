#include "partnerfields.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "fieldwidgets.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"
#include "ui/taborder.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

PartnerFields::PartnerFields(bool withType, QWidget *parent) : QGroupBox(QStringLiteral("往来单位信息"), parent)
{
    setObjectName(QStringLiteral("GroupBox1"));
    m_name = namedEdit(this, "Edit1", 50);
    m_pro = namedEdit(this, "Edit2", 20);
    m_pho = namedEdit(this, "Edit3", 30);
    m_add = namedEdit(this, "Edit4", 60);
    m_remark = namedEdit(this, "Edit5", 100);
    m_ys = namedEdit(this, "Edit6", 0);
    m_yf = namedEdit(this, "Edit7", 0);
    KeyFilter::install(m_ys, KeyFilter::Number);
    KeyFilter::install(m_yf, KeyFilter::Number);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("单位名称："), m_name);
    form->addRow(QStringLiteral("联  系  人："), m_pro);
    form->addRow(QStringLiteral("联系电话："), m_pho);
    form->addRow(QStringLiteral("地        址："), m_add);
    form->addRow(QStringLiteral("备        注："), m_remark);
    if (withType) {
        m_type = new QComboBox(this);
        m_type->setObjectName(QStringLiteral("DBLookupComboBox1"));
        try {
            addNames(m_type, DM().DBComSUType());
        } catch (const DbError &e) {
            Msg::error(this, e.text());
        }
        m_type->setCurrentIndex(m_type->findText(QString::fromUtf8(Words::UTypeBoth)));
        form->addRow(QStringLiteral("单位类型："), m_type);
    }
    form->addRow(QStringLiteral("应收金额："), m_ys);
    form->addRow(QStringLiteral("应付金额："), m_yf);
    // The type drop-down is made after the balances but stands above them.
    TabOrder::chain({m_name, m_pro, m_pho, m_add, m_remark, m_type, m_ys, m_yf});
}

PartnerInput PartnerFields::input() const
{
    const QString type = m_type && m_type->currentIndex() >= 0 ? m_type->currentText() : QString();
    return PartnerInput{m_name->text(), m_pro->text(), m_pho->text(), m_add->text(),
                        m_remark->text(), type, m_ys->text(), m_yf->text()};
}

void PartnerFields::setInput(const PartnerInput &in)
{
    m_name->setText(in.name);
    m_pro->setText(in.pro);
    m_pho->setText(in.pho);
    m_add->setText(in.add);
    m_remark->setText(in.remark);
    m_ys->setText(in.ys);
    m_yf->setText(in.yf);
    if (m_type) m_type->setCurrentIndex(m_type->findText(in.type));
}

bool PartnerFields::save(QWidget *dialog, int id, const PartnerInput &in, int *savedId)
{
    PartnerSaveResult r;
    try {
        r = savePartner(DM(), id, in);
    } catch (const DbError &e) {
        Msg::error(dialog, e.text());
        return false;
    }
    switch (r.status) {
    case PartnerSaveResult::Invalid:
    case PartnerSaveResult::NotNumber:
    case PartnerSaveResult::Duplicate:
        Msg::info(dialog, r.message);
        switch (r.field) {
        case PartnerSaveResult::Name: m_name->setFocus(); break;
        case PartnerSaveResult::Receivable: m_ys->setFocus(); break;
        case PartnerSaveResult::Payable: m_yf->setFocus(); break;
        case PartnerSaveResult::NoField: break;
        }
        return false;
    case PartnerSaveResult::Saved:
        break;
    }
    if (savedId) *savedId = r.id;
    return true;
}

void PartnerFields::setReadOnly(bool on)
{
    for (QLineEdit *e : {m_name, m_pro, m_pho, m_add, m_remark, m_ys, m_yf}) e->setReadOnly(on);
}
