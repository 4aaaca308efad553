#pragma once
// A trade document as the entry screens gather it, and the operations that
// check, save and load it. A save runs in one transaction: an error part-way
// leaves nothing of the document behind.
#include "data/money.h"
#include "tradekind.h"

#include <QString>
#include <QVector>

class frmDM;

struct TradeLine {
    int sid = 0;
    QString code;      // product number and name, for messages
    QString name;
    Money price;
    Money count;
    int zk = 100;      // discount percent (sales deliveries)
    QString remark;

    // price × quantity; for sales deliveries price × discount × quantity / 100.
    Money amount(TradeKind kind) const;
};

struct TradeDoc {
    TradeKind kind = TradeKind::Purchase;
    QString num;           // number of the pre-saved document being changed; empty for a new one
    int uid = 0;           // partner id; 0 when none is chosen
    QString partnerName;   // the partner as shown in the partner box
    QString myDate;        // document date "yyyy-MM-dd"
    QString warehouse;
    QString handler;
    QString account;
    QString person;        // who paid or received
    QString remark;
    QString paidText;      // the amount paid or received now, as typed
    bool preSave = false;
    QVector<TradeLine> lines;

    Money total() const;
    Money totalCount() const;
    Money paid() const { return Money::fromString(paidText); }
    Money owed() const { return total() - paid(); }
};

// What the save refuses, and where the screen puts the focus.
enum class TradeField { None, Partner, Warehouse, Handler, Grid, Paid, Account, Person };

struct TradeCheck {
    TradeField field = TradeField::None;
    QString message;
    int line = -1;          // index into lines for a refused line
    bool ok() const { return field == TradeField::None; }
};

// The checks of the save, in order. The stock test (sales deliveries and
// purchase returns, unless negative stock is allowed) adds up the lines of one
// product, so two lines of the same product cannot together take more than the stock.
TradeCheck checkTradeDoc(frmDM &dm, const TradeDoc &doc);

// Stores and posts the document; returns its number. Does not print.
// Throws DbError; nothing is left behind then.
QString saveTradeDoc(frmDM &dm, const TradeDoc &doc);

// A stored document with its lines (in stored order), for reopening a pre-saved one.
// Returns false when there is no such document.
bool loadTradeDoc(frmDM &dm, TradeKind kind, const QString &num, TradeDoc *doc);
