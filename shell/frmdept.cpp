#include "frmdept.h"
#include "ui/dialogbuttons.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"
#include "startup.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLineEdit *edit(QWidget *parent, int number, int maxLength)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QStringLiteral("Edit%1").arg(number));
    e->setMaxLength(maxLength);
    return e;
}

QCheckBox *box(QWidget *parent, int number, const QString &text)
{
    auto *b = new QCheckBox(text, parent);
    b->setObjectName(QStringLiteral("CheckBox%1").arg(number));
    return b;
}

const char *const CostWords[6] = {Words::CostMovingAverage, Words::CostFirstIn, Words::CostLastIn,
                                  Words::CostHighest, Words::CostLowest, Words::CostPurchasePrice};

bool same(const ShopInfo &a, const ShopInfo &b)
{
    for (int i = 0; i < 5; ++i)
        if (a.lines[i] != b.lines[i]) return false;
    return a.name == b.name && a.t1 == b.t1 && a.t2 == b.t2 && a.gs == b.gs && a.alert == b.alert
           && a.kcMin == b.kcMin && a.kcMax == b.kcMax && a.negativeStock == b.negativeStock && a.jh == b.jh
           && a.xs == b.xs && a.jh1 == b.jh1 && a.xs1 == b.xs1 && a.costMethod == b.costMethod;
}

} // namespace

frmDept::frmDept(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDept"));
    setWindowTitle(QStringLiteral("本店信息"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    // ---- 本店信息 ----
    auto *info = new QGroupBox(QStringLiteral("本店信息"), this);
    info->setObjectName(QStringLiteral("GroupBox1"));
    auto *form = new QFormLayout(info);
    m_name = edit(info, 1, 30);
    form->addRow(QStringLiteral("本店名称："), m_name);
    const char *lineLabels[5] = {"第  一  行：", "第  二  行：", "第  三  行：", "第  四  行：", "第  五  行："};
    for (int i = 0; i < 5; ++i) {
        m_lines[i] = edit(info, 2 + i, 100);
        m_lines[i]->setMinimumWidth(420);
        form->addRow(QString::fromUtf8(lineLabels[i]), m_lines[i]);
    }
    auto *note = new QLabel(QStringLiteral("下面的第一行到第五行对应打印单据的底部"), info);
    note->setObjectName(QStringLiteral("Label8"));
    form->insertRow(1, QString(), note);

    // Kept from older layouts: not shown, their values stay as they are.
    auto *left = new QGroupBox(QStringLiteral("单据左上信息"), this);
    left->setObjectName(QStringLiteral("GroupBox3"));
    auto *leftForm = new QFormLayout(left);
    m_t1 = edit(left, 7, 100);
    m_t2 = edit(left, 8, 100);
    leftForm->addRow(QStringLiteral("左上一行："), m_t1);
    leftForm->addRow(QStringLiteral("左上二行："), m_t2);
    left->hide();
    auto *gs = new QGroupBox(QStringLiteral("工商提醒"), this);
    gs->setObjectName(QStringLiteral("GroupBox4"));
    auto *gsForm = new QFormLayout(gs);
    m_gs = edit(gs, 9, 100);
    gsForm->addRow(QStringLiteral("工商提醒："), m_gs);
    gs->hide();

    // ---- 其它设置 ----
    auto *other = new QGroupBox(QStringLiteral("其它设置"), this);
    other->setObjectName(QStringLiteral("GroupBox2"));
    auto *grid = new QGridLayout(other);
    m_alert = box(other, 1, QStringLiteral("启用库存警戒"));
    m_kcMin = edit(other, 10, 10);
    m_kcMax = edit(other, 11, 10);
    for (QLineEdit *e : {m_kcMin, m_kcMax}) {
        KeyFilter::install(e, KeyFilter::Number);
        e->setMaximumWidth(90);
    }
    m_fkc = box(other, 2, QStringLiteral("支持负库存"));
    auto *stockRow = new QHBoxLayout;
    stockRow->addWidget(m_alert);
    auto *minLabel = new QLabel(QStringLiteral("最低库存："), other);
    minLabel->setBuddy(m_kcMin);
    auto *maxLabel = new QLabel(QStringLiteral("最高库存："), other);
    maxLabel->setBuddy(m_kcMax);
    stockRow->addWidget(minLabel);
    stockRow->addWidget(m_kcMin);
    stockRow->addWidget(maxLabel);
    stockRow->addWidget(m_kcMax);
    stockRow->addWidget(m_fkc);
    stockRow->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("库存设置："), other), 0, 0);
    grid->addLayout(stockRow, 0, 1);

    m_options[0] = box(other, 3, QStringLiteral("采购入库时自动修改同一商品进货单价"));
    m_options[1] = box(other, 4, QStringLiteral("销售出库时自动修改同一商品销售单价"));
    m_options[2] = box(other, 5, QStringLiteral("同一供应商、同一商品采购单价为上次采购单价"));
    m_options[3] = box(other, 6, QStringLiteral("同一客户、同一商品销售单价为上次销售单价"));
    auto pair = [](QWidget *a, QWidget *b) {
        auto *row = new QHBoxLayout;
        row->addWidget(a);
        row->addWidget(b);
        row->addStretch();
        return row;
    };
    grid->addWidget(new QLabel(QStringLiteral("商品单价："), other), 1, 0);
    grid->addLayout(pair(m_options[0], m_options[1]), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("自动记忆："), other), 2, 0);
    grid->addLayout(pair(m_options[2], m_options[3]), 2, 1);

    auto *costRow = new QHBoxLayout;
    auto *costGroup = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        m_cost[i] = new QRadioButton(QString::fromUtf8(CostWords[i]), other);
        m_cost[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        costGroup->addButton(m_cost[i], i);
        costRow->addWidget(m_cost[i]);
    }
    costRow->addStretch();
    m_cost[0]->setChecked(true);
    grid->addWidget(new QLabel(QStringLiteral("商品成本："), other), 3, 0);
    grid->addLayout(costRow, 3, 1);

    connect(m_alert, &QCheckBox::toggled, this, [this](bool on) {
        m_kcMin->setEnabled(on);
        m_kcMax->setEnabled(on);
    });

    auto *buttons = DialogButtons::row(this, &frmDept::BitBtn1Click, DialogButtons::EnterActs);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(info);
    layout->addWidget(left);
    layout->addWidget(gs);
    layout->addWidget(other);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    try {
        m_loaded = ShopInfoData::read(DM());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    fill(m_loaded);
    m_loaded = input(); // as the window shows it: Esc asks only after a change
    m_name->setFocus();
}

void frmDept::fill(const ShopInfo &s)
{
    m_name->setText(s.name);
    for (int i = 0; i < 5; ++i) m_lines[i]->setText(s.lines[i]);
    m_t1->setText(s.t1);
    m_t2->setText(s.t2);
    m_gs->setText(s.gs);
    m_alert->setChecked(s.alert);
    m_kcMin->setText(s.kcMin);
    m_kcMax->setText(s.kcMax);
    m_kcMin->setEnabled(s.alert);
    m_kcMax->setEnabled(s.alert);
    m_fkc->setChecked(s.negativeStock);
    m_options[0]->setChecked(s.jh);
    m_options[1]->setChecked(s.xs);
    m_options[2]->setChecked(s.jh1);
    m_options[3]->setChecked(s.xs1);
    for (QRadioButton *b : m_cost)
        if (b->text() == s.costMethod) b->setChecked(true);
}

ShopInfo frmDept::input() const
{
    ShopInfo s;
    s.name = m_name->text();
    for (int i = 0; i < 5; ++i) s.lines[i] = m_lines[i]->text();
    s.t1 = m_t1->text();
    s.t2 = m_t2->text();
    s.gs = m_gs->text();
    s.alert = m_alert->isChecked();
    s.kcMin = m_kcMin->text();
    s.kcMax = m_kcMax->text();
    s.negativeStock = m_fkc->isChecked();
    s.jh = m_options[0]->isChecked();
    s.xs = m_options[1]->isChecked();
    s.jh1 = m_options[2]->isChecked();
    s.xs1 = m_options[3]->isChecked();
    for (const QRadioButton *b : m_cost)
        if (b->isChecked()) s.costMethod = b->text();
    return s;
}

void frmDept::BitBtn1Click()
{
    ShopInfoData::SaveResult r;
    try {
        r = ShopInfoData::save(DM(), input());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, r.message);
    if (!r.saved) {
        QLineEdit *field = r.field == ShopInfoData::Field::KCMin   ? m_kcMin
                           : r.field == ShopInfoData::Field::KCMax ? m_kcMax
                                                                   : m_name;
        // A limit is checked even while the alert is off: let it be corrected.
        field->setEnabled(true);
        field->setFocus();
        field->selectAll();
        return;
    }
    accept();
    Shell::endProgram();
}

void frmDept::reject()
{
    if (!same(input(), m_loaded) && !Msg::ask(this, QStringLiteral("放弃对本店信息的修改吗？"), QString(), true)) return;
    QDialog::reject();
}
