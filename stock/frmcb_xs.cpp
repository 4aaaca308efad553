#include "frmcb_xs.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/numinput.h"
#include "salescost.h"
#include "ui/dialogbuttons.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

frmCB_XS::frmCB_XS(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCB_XS"));
    setWindowTitle(QStringLiteral("修改商品成本"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto *info = new QGroupBox(QStringLiteral("商品信息"), this);
    info->setObjectName(QStringLiteral("GroupBox1"));
    auto *infoForm = new QFormLayout(info);
    const char *labels[] = {"商品编码：", "商品名称：", "规        格：", "单        位：",
                            "销售单价：", "折        扣：", "数        量：", "金        额："};
    int n = 0;
    for (const char *l : labels) {
        auto *e = new QLineEdit(info);
        e->setObjectName(QStringLiteral("Edit%1").arg(++n));
        infoForm->addRow(QString::fromUtf8(l), e);
        m_shown << e;
    }
    // Display only.
    info->setEnabled(false);

    auto *costBox = new QGroupBox(QStringLiteral("商品成本"), this);
    costBox->setObjectName(QStringLiteral("GroupBox2"));
    auto *costForm = new QFormLayout(costBox);
    m_unitCost = new QLineEdit(costBox);
    m_unitCost->setObjectName(QStringLiteral("Edit9"));
    KeyFilter::install(m_unitCost, KeyFilter::Number);
    m_cost = new QLineEdit(costBox);
    m_cost->setObjectName(QStringLiteral("Edit10"));
    m_cost->setReadOnly(true);
    costForm->addRow(QStringLiteral("成本单价："), m_unitCost);
    costForm->addRow(QStringLiteral("成        本："), m_cost);
    connect(m_unitCost, &QLineEdit::textChanged, this, &frmCB_XS::recompute);

    // Enter saves.
    auto *buttons = DialogButtons::row(this, &frmCB_XS::BitBtn1Click, DialogButtons::EnterActs);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(info);
    layout->addWidget(costBox);
    layout->addLayout(buttons);
    m_unitCost->setFocus();
}

void frmCB_XS::setLine(int lineId, const QStringList &shown, const QString &unitCost, const QString &cost)
{
    m_lineId = lineId;
    for (int i = 0; i < m_shown.size(); ++i) m_shown[i]->setText(shown.value(i));
    m_quantity = shown.value(6);
    {
        const QSignalBlocker block(m_unitCost);
        m_unitCost->setText(unitCost);
    }
    m_cost->setText(cost);
    m_unitCost->selectAll();
}

void frmCB_XS::recompute()
{
    // Read as it is typed: an empty field counts 0, something that is no
    // number yet (a lone ".") leaves the cost empty until it is one.
    const NumInput::Reading unit = NumInput::read(m_unitCost->text(), NumInput::Price, true);
    const NumInput::Reading count = NumInput::read(m_quantity, NumInput::Quantity, true);
    if (!unit.ok() || !count.ok()) {
        m_cost->clear();
        return;
    }
    const Money cost = unit.value * count.value;
    m_cost->setText(cost.isValid() ? cost.toString() : QString());
}

void frmCB_XS::BitBtn1Click()
{
    const QString text = m_unitCost->text();
    if (text.trimmed().isEmpty()) {
        Msg::info(this, QStringLiteral("成本单价 不能为空！"));
        m_unitCost->setFocus();
        return;
    }
    // A pasted "1.2.3" or "-4" is refused here, before anything is written.
    const NumInput::Reading r = NumInput::read(text, NumInput::Price);
    if (!r.ok()) {
        Msg::info(this, r.message(QStringLiteral("成本单价")));
        m_unitCost->setFocus();
        return;
    }
    try {
        setSalesLineCost(DM(), m_lineId, r.value);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, QStringLiteral("商品成本修改 保存成功！"));
    emit saved();
    accept();
}
