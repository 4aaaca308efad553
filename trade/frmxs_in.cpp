#include "frmxs_in.h"

namespace {
TradeEntryTexts texts()
{
    TradeEntryTexts t;
    t.partnerGroup = QStringLiteral("销售信息");
    t.moneyGroup = QStringLiteral("收款信息");
    t.partnerLabel = QStringLiteral("客户名称：");
    t.partnerHint = QStringLiteral("录入客户名称的拼音首字母，按回车...");
    t.dateLabel = QStringLiteral("销售日期：");
    t.paidLabel = QStringLiteral("收款金额：");
    t.accountLabel = QStringLiteral("收款方式：");
    t.personLabel = QStringLiteral("收  款  人：");
    t.gridHint = QStringLiteral("亲，鼠标右键 有惊喜哟！");
    t.preSaveHint = QStringLiteral("预存的销售出库单可以修改，不减少库存");
    t.historyNoPartner = QStringLiteral("客户 不能为空！ 请在客户处 按回车 选择 客户！");
    t.historyNoProduct = QStringLiteral("商品 不能为空！ 请在商品信息处 按回车 选择 商品！");
    return t;
}
} // namespace

frmXS_In::frmXS_In(QWidget *parent) : TradeEntryScreen(TradeKind::Sales, texts(), parent)
{
    setObjectName(QStringLiteral("frmXS_In"));
}
