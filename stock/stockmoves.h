#pragma once
// The stock movements of a stock document: what each line does to which
// warehouse, at save and at deletion, the test that no warehouse goes below
// zero, and the posting of the movements with their ledger rows.
#include "data/money.h"

#include <QString>
#include <QVector>

class frmDM;

struct StockMove {
    QString warehouse;
    int sid = 0;
    Money count;        // the quantity moved, not negative
    bool in = true;     // into the warehouse (KC_Up) or out of it (KC_Do)
    QString word;       // stock ledger word
    Money price;        // unit price for the ledger row
};

// The first product whose stock in a warehouse the moves would take below zero
// (the moves of one product and warehouse added up, ins against outs), told as
// the refusal naming the product, the warehouse and the stock; empty when there
// is none. `action` ends the text: "不能删除！". Reads the stock as it is now:
// call it inside the transaction that posts the moves.
QString stockShortfall(frmDM &dm, const QVector<StockMove> &moves, const QString &action);

// Posts each move in order: the stock (KC_Up or KC_Do), then its ledger row,
// whose balance is the stock after that move.
void postStockMoves(frmDM &dm, const QString &num, const QVector<StockMove> &moves);
