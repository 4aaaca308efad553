#include "frmjh_in.h"

namespace {
TradeEntryTexts texts()
{
    TradeEntryTexts t;
    t.partnerGroup = QStringLiteral("采购信息");
    t.moneyGroup = QStringLiteral("付款信息");
    t.partnerLabel = QStringLiteral("供  应  商：");
    t.partnerHint = QStringLiteral("录入单位名称的拼音首字母，按回车...");
    t.dateLabel = QStringLiteral("采购日期：");
    t.paidLabel = QStringLiteral("付款金额：");
    t.accountLabel = QStringLiteral("付款方式：");
    t.personLabel = QStringLiteral("付  款  人：");
    t.gridHint = QStringLiteral("亲，鼠标右键 有惊喜哟！");
    t.preSaveHint = QStringLiteral("预存的采购入库单可以修改，不增加库存");
    t.historyNoPartner = QStringLiteral("供应商 不能为空！ 请在 供应商 处 按回车 选择 供应商！");
    t.historyNoProduct = QStringLiteral("商品 不能为空！ 请在 商品信息 处 按回车 选择 商品！");
    return t;
}
} // namespace

frmJH_In::frmJH_In(QWidget *parent) : TradeEntryScreen(TradeKind::Purchase, texts(), parent)
{
    setObjectName(QStringLiteral("frmJH_In"));
}
