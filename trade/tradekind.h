#pragma once
// The four trade documents share one shape and one way of posting; this table
// holds everything that differs between them.
#include "data/money.h"

#include <QString>

class frmDM;

enum class TradeKind { Purchase, Sales, PurchaseReturn, SalesReturn };

enum class BalanceOp { YF_Up, YS_Up, YF_Do, YS_Do };

struct TradeKindInfo {
    TradeKind kind;
    QString caption;         // "采购入库单"
    QString head;            // header table
    QString lines;           // line table
    QString prefix;          // number prefix
    QString owedColumn;      // theYF or theYS
    bool stockIn;            // KC_Up (true) or KC_Do
    QString stockWord;       // ledger word at save
    QString stockDeletedWord;
    BalanceOp balance;       // for the owed part
    QString settleTable;     // UJH_FK …
    QString settlePerson;    // theFKR / theSKR
    QString settleDate;      // FKDate / SKDate
    QString cashWord;        // money log word at entry
    bool cashIn;             // money comes in (true) or goes out
    bool canPreSave;
    bool stockTest;          // refuses lines beyond stock unless negative stock is allowed
    bool salesLines;         // lines carry a discount and the cost price

    // Refusal texts of the save, in the order they are checked.
    QString msgNoPartner;
    QString msgPaidEmpty;
    QString msgOverpaid;
    QString msgNoAccount;
    QString msgNoPerson;
};

const TradeKindInfo &tradeKind(TradeKind kind);

// The balance operation that takes back what `op` did (YF_Up and YF_Do, YS_Up and YS_Do).
BalanceOp inverse(BalanceOp op);
// Moves the partner's balance by `amount` with the operation `op` (one of the data module's four).
void postBalance(frmDM &dm, BalanceOp op, int uid, Money amount);
