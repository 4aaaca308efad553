#include "frmxs_o_in.h"

namespace {
TradeEntryTexts texts()
{
    TradeEntryTexts t;
    t.partnerGroup = QStringLiteral("客户信息");
    t.moneyGroup = QStringLiteral("付款信息");
    t.partnerLabel = QStringLiteral("客户名称：");
    t.partnerHint = QStringLiteral("录入单位名称的拼音首字母，按回车...");
    t.dateLabel = QStringLiteral("退货日期：");
    t.paidLabel = QStringLiteral("付款金额：");
    t.accountLabel = QStringLiteral("付款方式：");
    t.personLabel = QStringLiteral("付  款  人：");
    return t;
}
} // namespace

frmXS_O_In::frmXS_O_In(QWidget *parent) : TradeEntryScreen(TradeKind::SalesReturn, texts(), parent)
{
    setObjectName(QStringLiteral("frmXS_O_In"));
}
