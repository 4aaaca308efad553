#pragma once
// The code words stored in the tables, defined once. They are compared and
// written exactly as they stand.

namespace Words {

// theDel, theYC
inline constexpr const char *No = "否";
inline constexpr const char *Yes = "是";

// theState
inline constexpr const char *StateOn = "启用";
inline constexpr const char *StateOff = "停用";

// SUnits.theType
inline constexpr const char *UTypeBoth = "两者皆是";
inline constexpr const char *UTypeSupplier = "供应商";
inline constexpr const char *UTypeCustomer = "客户";

// SDept.theCB: cost method
inline constexpr const char *CostMovingAverage = "移动加权平均";
inline constexpr const char *CostFirstIn = "先进先出";
inline constexpr const char *CostLastIn = "后进先出";
inline constexpr const char *CostHighest = "最高单价";
inline constexpr const char *CostLowest = "最低单价";
inline constexpr const char *CostPurchasePrice = "采购单价";

} // namespace Words

// SList.theType: the kinds of stock movement. The comment gives the direction
// the caller passes the quantity in.
namespace StockWord {
inline constexpr const char *PurchaseIn = "采购入库";               // in
inline constexpr const char *PurchaseInDeleted = "采购入库删除";    // out
inline constexpr const char *PurchaseReturn = "采购退货";           // out
inline constexpr const char *PurchaseReturnDeleted = "采购退货删除"; // in
inline constexpr const char *SalesOut = "销售出库";                 // out
inline constexpr const char *SalesOutDeleted = "销售出库删除";      // in
inline constexpr const char *SalesReturn = "销售退货";              // in
inline constexpr const char *SalesReturnDeleted = "销售退货删除";   // out
inline constexpr const char *TransferOut = "调拨出库";              // out, issuing warehouse
inline constexpr const char *TransferIn = "调拨入库";               // in, receiving warehouse
inline constexpr const char *TransferOutDeleted = "调拨出库删除";   // in
inline constexpr const char *TransferInDeleted = "调拨入库删除";    // out
inline constexpr const char *Loss = "商品报损";                     // out
inline constexpr const char *LossDeleted = "商品报损删除";          // in
inline constexpr const char *Overage = "商品报溢";                  // in
inline constexpr const char *OverageDeleted = "商品报溢删除";       // out
inline constexpr const char *AssemblyOut = "拆装出库";              // out
inline constexpr const char *AssemblyIn = "拆装入库";               // in
inline constexpr const char *AssemblyOutDeleted = "拆装出库删除";   // in
inline constexpr const char *AssemblyInDeleted = "拆装入库删除";    // out
inline constexpr const char *StockEdit = "修改库存";                // in or out, no document number
inline constexpr const char *ProductImport = "商品导入";            // in, no document number

inline constexpr const char *All[] = {
    PurchaseIn, PurchaseInDeleted, PurchaseReturn, PurchaseReturnDeleted, SalesOut, SalesOutDeleted,
    SalesReturn, SalesReturnDeleted, TransferOut, TransferIn, TransferOutDeleted, TransferInDeleted,
    Loss, LossDeleted, Overage, OverageDeleted, AssemblyOut, AssemblyIn, AssemblyOutDeleted,
    AssemblyInDeleted, StockEdit, ProductImport};
} // namespace StockWord

// UList.theType: the kinds of money movement, with the direction of the amount.
namespace MoneyWord {
inline constexpr const char *PurchaseEntered = "采购入库录入";       // out
inline constexpr const char *PurchaseDeleted = "采购入库删除";       // in
inline constexpr const char *PurchasePaid = "采购入库付款";          // out
inline constexpr const char *PurchaseReturnEntered = "采购退货录入"; // in
inline constexpr const char *PurchaseReturnDeleted = "采购退货删除"; // out
inline constexpr const char *PurchaseReturnReceived = "采购退货收款"; // in
inline constexpr const char *SalesEntered = "销售出库录入";          // in
inline constexpr const char *SalesDeleted = "销售出库删除";          // out
inline constexpr const char *SalesReceived = "销售出库收款";         // in
inline constexpr const char *SalesReturnEntered = "销售退货录入";    // out
inline constexpr const char *SalesReturnDeleted = "销售退货删除";    // in
inline constexpr const char *SalesReturnPaid = "销售退货付款";       // out
inline constexpr const char *PaymentEntered = "付款单录入";          // out
inline constexpr const char *PaymentDeleted = "付款单删除";          // in
inline constexpr const char *ReceiptEntered = "收款单录入";          // in
inline constexpr const char *ReceiptDeleted = "收款单删除";          // out

inline constexpr const char *All[] = {
    PurchaseEntered, PurchaseDeleted, PurchasePaid, PurchaseReturnEntered, PurchaseReturnDeleted,
    PurchaseReturnReceived, SalesEntered, SalesDeleted, SalesReceived, SalesReturnEntered,
    SalesReturnDeleted, SalesReturnPaid, PaymentEntered, PaymentDeleted, ReceiptEntered, ReceiptDeleted};
} // namespace MoneyWord

// SOpLog.theKind: what a row of the operation log tells. A trade or stock
// document's save is its name (its caption without the last "单") followed by
// Saved, PreSaved or Changed.
namespace OpLogWord {
inline constexpr const char *Saved = "保存";
inline constexpr const char *PreSaved = "预存";
inline constexpr const char *Changed = "修改";
inline constexpr const char *PaymentSaved = "付款单保存";
inline constexpr const char *ReceiptSaved = "收款单保存";
inline constexpr const char *Delete = "删除";
inline constexpr const char *Settle = "结算";
inline constexpr const char *StockEdit = "库存修改";
inline constexpr const char *CostPriceEdit = "成本价修改";
inline constexpr const char *SalesCostEdit = "销售成本修改";
inline constexpr const char *ProductImport = "商品导入";
inline constexpr const char *PartnerImport = "往来单位导入";
inline constexpr const char *Backup = "数据备份";
inline constexpr const char *Restore = "数据恢复";
inline constexpr const char *UserAdded = "用户新增";
inline constexpr const char *UserOn = "用户启用";
inline constexpr const char *UserOff = "用户停用";
inline constexpr const char *UserDeleted = "用户删除";
inline constexpr const char *RightsChanged = "权限修改";
inline constexpr const char *OptionsChanged = "默认选项修改";
inline constexpr const char *PasswordChanged = "密码修改";
inline constexpr const char *ShopInfoChanged = "本店信息修改";
inline constexpr const char *Login = "登录";
inline constexpr const char *LoginFailed = "登录失败";
inline constexpr const char *Logout = "退出";

// The words that are not made from a document's name, in the order the log
// screen offers them after the documents' saves.
inline constexpr const char *Standalone[] = {
    PaymentSaved, ReceiptSaved, Delete, Settle, StockEdit, CostPriceEdit, SalesCostEdit, ProductImport,
    PartnerImport, Backup, Restore, UserAdded, UserOn, UserOff, UserDeleted, RightsChanged, OptionsChanged,
    PasswordChanged, ShopInfoChanged, Login, LoginFailed, Logout};
} // namespace OpLogWord
