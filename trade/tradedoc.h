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
    int row = 0;       // the screen row, for messages; 0 counts the lines from 1

    // What the screen could not read from this line's cells ("第 2 行的 数量 …"),
    // and the grid column concerned. The save refuses such a line where the
    // line checks run, after the header checks.
    QString unread;
    int unreadColumn = -1;

    // price × quantity; for sales deliveries price × quantity × discount / 100,
    // rounded once. Invalid when the result leaves Money's range.
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
    int column = -1;        // grid column of a refused cell, -1 for the row
    bool ok() const { return field == TradeField::None; }
};

// The checks of the save, in order: partner, warehouse, handler, lines present;
// then each line (cells that could not be read, quantity, price and discount
// inside their ranges, the amount inside Money's range), the total; the stock
// test (sales deliveries and purchase returns, unless negative stock is
// allowed), which adds up the lines of one product, so two lines of the same
// product cannot together take more than the stock; then payment, account, person.
TradeCheck checkTradeDoc(frmDM &dm, const TradeDoc &doc);

// Checks, stores and posts the document in one transaction; returns its
// number. The checks run inside the transaction, against the stock as it is
// when the save holds the database: a refusal returns an empty number and
// fills *refused (or throws DbError with its message when refused is null).
// Does not print. Throws DbError; nothing is left behind then.
QString saveTradeDoc(frmDM &dm, const TradeDoc &doc, TradeCheck *refused = nullptr);

// A stored document with its lines (in stored order), for reopening a pre-saved one.
// Returns false when there is no such document.
bool loadTradeDoc(frmDM &dm, TradeKind kind, const QString &num, TradeDoc *doc);
