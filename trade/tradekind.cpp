#include "tradekind.h"
#include "data/dm.h"
#include "data/words.h"

namespace {
TradeKindInfo make(TradeKind k)
{
    namespace S = StockWord;
    namespace M = MoneyWord;
    switch (k) {
    case TradeKind::Purchase:
        return {k, "采购入库单", "UJH", "UJH_List", "CG", "theYF", true, S::PurchaseIn, S::PurchaseInDeleted, BalanceOp::YF_Up,
                "UJH_FK", "theFKR", "FKDate", M::PurchaseEntered, false, true, false, false,
                "供应商不能为空！ 请在供应商处 按回车 选择 供应商！", "付款金额 不能为空，请录入 付款金额！",
                "付款金额 不能大于合计金额，请重新录入 付款金额！", "请选择 付款方式！", "请选择 付款人！"};
    case TradeKind::Sales:
        return {k, "销售出库单", "UXS", "UXS_List", "XS", "theYS", false, S::SalesOut, S::SalesOutDeleted, BalanceOp::YS_Up,
                "UXS_SK", "theSKR", "SKDate", M::SalesEntered, true, true, true, true,
                "客户名称不能为空！ 请在单位名称处 按回车 选择 单位名称！", "收款金额 不能为空，请录入 收款金额！",
                "实收金额 不能大于 合计金额，请重新录入 实收金额！", "请选择 收款方式！", "请选择 收款人！"};
    case TradeKind::PurchaseReturn:
        return {k, "采购退货单", "UCG_O", "UCG_O_List", "CT", "theYS", false, S::PurchaseReturn, S::PurchaseReturnDeleted,
                BalanceOp::YF_Do, "UCG_O_SK", "theSKR", "SKDate", M::PurchaseReturnEntered, true, false, true, false,
                "供应商 不能为空！ 请在供应商处 按回车 选择 供应商！", "收款金额 不能为空，请录入 收款金额！",
                "收款金额 不能小于零，请重新录入 收款金额！", "请选择 收款方式！", "请选择 收款人！"};
    case TradeKind::SalesReturn:
        break;
    }
    return {k, "销售退货单", "UXS_O", "UXS_O_List", "XT", "theYF", true, S::SalesReturn, S::SalesReturnDeleted,
            BalanceOp::YS_Do, "UXS_O_FK", "theFKR", "FKDate", M::SalesReturnEntered, false, false, false, false,
            "客户名称 不能为空！ 请在客户名称处 按回车 选择 客户名称！", "付款金额 不能为空，请录入 付款金额！",
            "付款金额 不能小于零，请重新录入 付款金额！", "请选择 付款方式！", "请选择 付款人！"};
}
}

const TradeKindInfo &tradeKind(TradeKind kind)
{
    static const TradeKindInfo kinds[4] = {make(TradeKind::Purchase), make(TradeKind::Sales),
                                           make(TradeKind::PurchaseReturn), make(TradeKind::SalesReturn)};
    return kinds[int(kind)];
}

BalanceOp inverse(BalanceOp op)
{
    switch (op) {
    case BalanceOp::YF_Up: return BalanceOp::YF_Do;
    case BalanceOp::YF_Do: return BalanceOp::YF_Up;
    case BalanceOp::YS_Up: return BalanceOp::YS_Do;
    case BalanceOp::YS_Do: break;
    }
    return BalanceOp::YS_Up;
}

void postBalance(frmDM &dm, BalanceOp op, int uid, Money amount)
{
    switch (op) {
    case BalanceOp::YF_Up: dm.YF_Up(uid, amount); break;
    case BalanceOp::YS_Up: dm.YS_Up(uid, amount); break;
    case BalanceOp::YF_Do: dm.YF_Do(uid, amount); break;
    case BalanceOp::YS_Do: dm.YS_Do(uid, amount); break;
    }
}
