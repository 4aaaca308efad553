#include "balancelist.h"

#include "data/words.h"
#include "voucherentry.h"

#include <QAction>
#include <QMenu>
#include <QTableView>
#include <memory>

BalanceListScreen::BalanceListScreen(VoucherKind kind, QWidget *parent) : ListScreen(parent), m_kind(kind)
{
    const VoucherSide &s = voucherSide(kind);
    const bool payable = kind == VoucherKind::Payment;
    const QString word = payable ? QStringLiteral("应付金额") : QStringLiteral("应收金额");
    setWindowTitle(payable ? QStringLiteral("应付查询") : QStringLiteral("应收查询"));
    setColumns({
        ListColumn("theType", "单位类型").noXls(),
        ListColumn("theName", "单位名称").w(300),
        ListColumn("thePro", "联系人").w(120),
        ListColumn("thePho", "联系电话").w(160),
        ListColumn("theAdd", "地址").w(260),
        ListColumn("Remark", "备注").w(300),
        ListColumn(s.balanceColumn, word).num().w(80).sum(word + QStringLiteral("：")),
        ListColumn("ID").hide(),
    });
    setQuery(QStringLiteral("select theType,theName,thePro,thePho,theAdd,Remark,%1,ID from SUnits").arg(s.balanceColumn),
             QStringLiteral("order by ID desc"));
    // Partners of both kinds are listed on both screens.
    setBaseCondition(QStringLiteral("theDel=? and coalesce(theType,'')<>?"),
                     {QString::fromUtf8(Words::No), s.excludedType});

    addTextFilter(QStringLiteral("单位名称"), {QStringLiteral("theName"), QStringLiteral("thePY")});
    addTextFilter(QStringLiteral("联  系  人"), {QStringLiteral("thePro")});
    addTextFilter(QStringLiteral("联系电话"), {QStringLiteral("thePho")});
    addTextFilter(QStringLiteral("地        址"), {QStringLiteral("theAdd")});
    addTextFilter(QStringLiteral("备        注"), {QStringLiteral("Remark")});

    setCountLabel(QStringLiteral("往来单位数量："));
    setExport(payable ? QStringLiteral("应付表") : QStringLiteral("应收表"), {4, 30, 12, 20, 20, 22, 8});

    QAction *a = popupMenu()->addAction(payable ? QStringLiteral("付款录入 &F") : QStringLiteral("收款录入 &S"), this,
                                        &BalanceListScreen::N1Click);
    a->setObjectName(QStringLiteral("N1"));
}

void BalanceListScreen::N1Click()
{
    if (isEmpty()) return;
    const QVariant balance = currentValue(voucherSide(m_kind).balanceColumn);
    const Money amount = Money::fromVariant(balance);
    // Nothing to pay or collect on a settled partner.
    if (amount.isZero()) return;
    std::unique_ptr<VoucherEntryScreen> entry;
    if (m_kind == VoucherKind::Payment) entry = std::make_unique<frmFK_In>(this);
    else entry = std::make_unique<frmSK_In>(this);
    entry->setFromBalance(currentValue(QStringLiteral("ID")).toInt(), currentValue(QStringLiteral("theName")).toString(),
                          amount.toString());
    entry->exec();
    // The balances shown are those after what the entry saved.
    Ref();
}

frmUnits_YF::frmUnits_YF(QWidget *parent) : BalanceListScreen(VoucherKind::Payment, parent)
{
    setObjectName(QStringLiteral("frmUnits_YF"));
}

frmUnits_YS::frmUnits_YS(QWidget *parent) : BalanceListScreen(VoucherKind::Receipt, parent)
{
    setObjectName(QStringLiteral("frmUnits_YS"));
}
