#include "frmszk.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/numinput.h"
#include "products.h"
#include "ui/dialogbuttons.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

frmSZK::frmSZK(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSZK"));
    setWindowTitle(QStringLiteral("修改销售折扣"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("Edit1"));
    m_edit->setMaxLength(3);
    KeyFilter::install(m_edit, KeyFilter::Digits);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("销售折扣："), m_edit);

    auto *buttons = DialogButtons::row(this, &frmSZK::BitBtn1Click, DialogButtons::EnterActs);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void frmSZK::setup(const QString &mode, const QString &category, int id, int discount)
{
    m_mode = mode;
    m_category = category;
    m_id = id;
    m_edit->setText(QString::number(discount));
}

void frmSZK::BitBtn1Click()
{
    const QString text = m_edit->text();
    if (text.isEmpty()) {
        Msg::info(this, Msg::emptyText(QStringLiteral("销售折扣")));
        m_edit->setFocus();
        return;
    }
    // Typed, only digits get in; pasted, anything may: read it as a whole percent.
    const NumInput::Reading r = NumInput::read(text, NumInput::Percent);
    if (!r.ok()) {
        Msg::info(this, r.message(QStringLiteral("销售折扣")));
        m_edit->setFocus();
        return;
    }
    const int zk = r.whole;
    try {
        if (m_mode == QString::fromUtf8(CategoryMode)) setCategoryDiscount(DM(), m_id, m_category, zk);
        else setProductDiscount(DM(), m_id, zk);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, QStringLiteral("商品分类折扣 修改 保存成功！"));
    emit saved();
    accept();
}
