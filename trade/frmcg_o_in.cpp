#include "frmcg_o_in.h"

namespace {
TradeEntryTexts texts()
{
    TradeEntryTexts t;
    t.partnerGroup = QStringLiteral("供应商信息");
    t.moneyGroup = QStringLiteral("收款信息");
    t.partnerLabel = QStringLiteral("供  应  商：");
    t.partnerHint = QStringLiteral("录入单位名称的拼音首字母，按回车...");
    t.dateLabel = QStringLiteral("退货日期：");
    t.paidLabel = QStringLiteral("收款金额：");
    t.accountLabel = QStringLiteral("收款方式：");
    t.personLabel = QStringLiteral("收  款  人：");
    return t;
}
} // namespace

frmCG_O_In::frmCG_O_In(QWidget *parent) : TradeEntryScreen(TradeKind::PurchaseReturn, texts(), parent)
{
    setObjectName(QStringLiteral("frmCG_O_In"));
}
