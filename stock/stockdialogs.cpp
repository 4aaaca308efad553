#include "stockdialogs.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/numinput.h"
#include "ui/dialogbuttons.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"
#include "stockedits.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// A number field. No length limit: the value it is given (a cost price of
// 123456.7891) is offered whole, and what is typed is checked by the save
// against the range the books hold.
QLineEdit *numberField(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

// The frame of the three dialogs: a group with the fields, then 保存 and 退出;
// Enter in a field saves.
template <class Dialog>
QGroupBox *frame(Dialog *dlg, const QList<QPair<QString, QLineEdit *>> &fields)
{
    dlg->setWindowFlags(dlg->windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto *group = new QGroupBox(dlg);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *form = new QFormLayout(group);
    for (const auto &f : fields) {
        f.second->setParent(group);
        form->addRow(f.first, f.second);
    }
    auto *layout = new QVBoxLayout(dlg);
    layout->addWidget(group);
    layout->addLayout(DialogButtons::row(dlg, &Dialog::BitBtn1Click, DialogButtons::EnterActs));
    return group;
}

void setCaption(QDialog *dlg, QGroupBox *group, const QString &caption)
{
    dlg->setWindowTitle(caption);
    group->setTitle(caption);
}

} // namespace

// ---- frmKC_Count ----

frmKC_Count::frmKC_Count(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmKC_Count"));
    m_edit = numberField(this, "Edit1");
    KeyFilter::install(m_edit, KeyFilter::Signed);
    m_group = frame(this, {{QStringLiteral("库存数量："), m_edit}});
}

void frmKC_Count::setup(int ukcId, const QString &count, const QString &warehouse, const QString &productName)
{
    m_id = ukcId;
    m_edit->setText(count);
    setCaption(this, m_group, warehouse + QLatin1Char(' ') + productName + QStringLiteral(" 库存数量"));
}

void frmKC_Count::BitBtn1Click()
{
    // Stock may stand below zero: the count takes a sign. What the key filter
    // lets through ("1-2", "1.2.3") or a paste brings is refused here; empty is 0.
    const NumInput::Reading r = NumInput::read(m_edit->text(), NumInput::SignedAmount, true);
    QString refusal;
    if (!r.ok()) {
        refusal = r.message(QStringLiteral("库存数量"));
    } else if (!NumInput::inRange(r.value.abs(), NumInput::Quantity)) {
        const QString most = NumInput::largest(NumInput::Quantity).toString();
        refusal = QStringLiteral("库存数量 超出允许的范围（-%1 到 %1），请重新录入！").arg(most);
    }
    if (!refusal.isEmpty()) {
        Msg::info(this, refusal);
        m_edit->setFocus();
        return;
    }
    try {
        if (!setStockCount(DM(), m_id, r.value)) {
            Msg::info(this, QStringLiteral("该库存记录已不存在！"));
            emit saved();
            reject();
            return;
        }
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    emit saved();
    accept();
}

// ---- frmKC_Price ----

frmKC_Price::frmKC_Price(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmKC_Price"));
    m_edit = numberField(this, "Edit1");
    KeyFilter::install(m_edit, KeyFilter::Number);
    m_group = frame(this, {{QStringLiteral("成本单价："), m_edit}});
}

void frmKC_Price::setup(int sid, const QString &price, const QString &warehouse, const QString &productName)
{
    m_sid = sid;
    m_edit->setText(price);
    setCaption(this, m_group, warehouse + QLatin1Char(' ') + productName + QStringLiteral(" 成本单价"));
}

void frmKC_Price::BitBtn1Click()
{
    const NumInput::Reading r = NumInput::read(m_edit->text(), NumInput::Price, true);
    if (!r.ok()) {
        Msg::info(this, r.message(QStringLiteral("成本单价")));
        m_edit->setFocus();
        return;
    }
    try {
        setCostPrice(DM(), m_sid, r.value);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    emit saved();
    accept();
}

// ---- frmKCJJ ----

frmKCJJ::frmKCJJ(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmKCJJ"));
    setWindowTitle(QStringLiteral("库存警戒设置"));
    m_min = numberField(this, "Edit1");
    m_max = numberField(this, "Edit2");
    m_min->setText(G.ShopKCMin);
    m_max->setText(G.ShopKCMax);
    m_group = frame(this, {{QStringLiteral("最低库存："), m_min}, {QStringLiteral("最高库存："), m_max}});
    m_group->setTitle(QStringLiteral("库存警戒设置"));
}

void frmKCJJ::setCategory(const QString &category)
{
    m_category = category;
    setCaption(this, m_group, category + QStringLiteral(" 库存警戒设置"));
}

void frmKCJJ::BitBtn1Click()
{
    // An empty field counts as 0; anything else must be a quantity.
    const NumInput::Reading lowest = NumInput::read(m_min->text(), NumInput::Quantity, true);
    if (!lowest.ok()) {
        Msg::info(this, lowest.message(QStringLiteral("最低库存")));
        m_min->setFocus();
        return;
    }
    const NumInput::Reading highest = NumInput::read(m_max->text(), NumInput::Quantity, true);
    if (!highest.ok()) {
        Msg::info(this, highest.message(QStringLiteral("最高库存")));
        m_max->setFocus();
        return;
    }
    try {
        setCategoryLimits(DM(), m_category, lowest.value, highest.value);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, windowTitle() + QStringLiteral(" 保存成功！"));
    accept();
}
