#pragma once
// A later payment or receipt against one trade document: the settlement row,
// the partner's balance, the cash log and the document's paid and owed columns,
// written in one transaction.
//
// The amount is read as exact money and compared with the owed amount read
// again inside the transaction, so two settlements of the same document made
// at the same time cannot together pay more than is owed. A pre-saved or a
// deleted document is not settled.
#include "trade/tradekind.h"

#include <QString>

class frmDM;

// The words of one settlement dialog: pay ("付款") or receive ("收款").
struct SettleKindInfo {
    TradeKind kind;
    QString form;        // "frmJH_FK"
    bool pay;            // the shop pays (付款) or receives (收款)
    QString verb;        // "付款" / "收款"
    QString owedWord;    // "应付金额" / "应收金额"
    QString cashWord;    // the cash-log word
    bool cashIn;         // the money comes in
    BalanceOp balance;   // how the partner's balance moves by the amount

    QString dateLabel() const { return verb + QStringLiteral("日期："); }
    QString amountLabel() const { return verb + QStringLiteral("金额："); }
    QString accountLabel() const { return verb + QStringLiteral("方式："); }
    QString personLabel() const;   // "付  款  人："
    QString amountWord() const { return verb + QStringLiteral("金额"); }

    QString msgAmountEmpty() const;   // "付款金额 不能为空，请录入 付款金额！"
    QString msgNoAccount() const;     // "请选择 付款方式！"
    QString msgNoPerson() const;      // "请选择 付款人！"
    QString msgOverOwed() const;      // "付款金额 大于 应付金额，请重新录入！"
    QString msgOwedZero(const QString &num) const;   // "单号 … 应付金额 为零，不能付款！"
    QString msgPreSaved(const QString &num) const;   // "单号 … 是预存单，不能付款！"
    QString msgDeleted(const QString &num) const;    // "单号 … 已删除，不能付款！"
};

const SettleKindInfo &settleKind(TradeKind kind);

struct Settlement {
    QString date;        // the picked date, "yyyy-MM-dd": goes into the settlement row
    QString amountText;  // as typed
    QString account;
    QString person;
};

enum class SettleField { None, Amount, Account, Person, Document };

struct SettleCheck {
    SettleField field = SettleField::None;
    QString message;
    bool ok() const { return field == SettleField::None; }
};

// Checks and books the settlement of the document whose header row has this
// ID. Returns the refusal (nothing written), or an ok check after the writes.
// Throws DbError on an engine error; nothing stays behind then.
SettleCheck settleTradeDoc(frmDM &dm, TradeKind kind, int docId, const Settlement &s);
