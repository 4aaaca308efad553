#pragma once
// A stock document (transfer, loss, overage, assembly) as the entry screens
// gather it, and the operations that check, save and delete it. A save and a
// deletion each run in one transaction: an error part-way leaves nothing of
// them behind, and the header is written with its lines, so a number never
// stands on lines without a header and is never handed out twice.
#include "data/docposting.h"
#include "data/money.h"
#include "stockkind.h"

#include <QString>
#include <QVector>
#include <array>

class frmDM;

struct StockLine {
    int sid = 0;
    QString code;      // product number and name, for messages
    QString name;
    Money price;
    Money count;
    QString remark;
    int row = 0;       // the screen row, for messages; 0 counts the lines from 1

    // What the screen could not read from this line's cells and the grid
    // column concerned; the save refuses such a line before anything is written.
    QString unread;
    int unreadColumn = -1;

    Money amount() const { return price * count; }
};

struct StockDoc {
    StockKind kind = StockKind::Transfer;
    QString myDate;      // document date "yyyy-MM-dd"
    QString issuing;     // DName: the warehouse goods leave (transfers, assemblies)
    QString warehouse;   // WName: the receiving warehouse, or the one warehouse
    QString handler;
    QString remark;
    // The lines of each side: [0] the only side, or the goods taken out; [1] the goods put in.
    std::array<QVector<StockLine>, 2> sides;

    Money total() const;       // over every side
    Money totalCount() const;
};

enum class StockField { None, Grid, Issuing, Receiving, Handler };

struct StockCheck {
    StockField field = StockField::None;
    QString message;
    int side = 0;     // the grid of a refused line
    int line = -1;    // index into that side's lines
    int column = -1;  // grid column of a refused cell, -1 for the row
    bool ok() const { return field == StockField::None; }
};

// The checks of the save, in order, for each side: lines present, each line's
// cells readable and inside their ranges, then (unless negative stock is
// allowed) the stock of every product leaving a warehouse, the lines of one
// product in one warehouse added up; after the sides the warehouses (and, for
// transfers, that they differ) and the handler.
StockCheck checkStockDoc(frmDM &dm, const StockDoc &doc);

// Checks, stores and posts the document in one transaction; returns its
// number. The checks run inside the transaction, against the stock as it is
// when the save holds the database: a refusal returns an empty number and fills
// *refused (or throws DbError with its message when refused is null). Does not
// print. Throws DbError; nothing is left behind then.
QString saveStockDoc(frmDM &dm, const StockDoc &doc, StockCheck *refused = nullptr);

// Deletes the document with this header ID: marks it deleted and takes back
// each line's movements with their ledger rows, in one transaction, reading the
// document again inside it. Unless negative stock is allowed, a reversal that
// would take a warehouse below zero is refused, naming product, warehouse and
// stock. Throws DbError; nothing is left behind then.
DeleteResult deleteStockDoc(frmDM &dm, StockKind kind, int id);

// A stored document with its lines (in line order). Returns false when there is none.
bool loadStockDoc(frmDM &dm, StockKind kind, const QString &num, StockDoc *doc);
