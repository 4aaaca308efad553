#pragma once
// What every kind of document shares when it is deleted: the stock it moves
// back, the test that this leaves no stock below zero when the shop does not
// allow negative stock, and the outcome told to the screen.
//
// A deletion reads its document again inside its transaction, gathers the
// movements it takes back as StockMoves, asks stockShortfall() before writing
// anything, and posts them with postStockMoves().
#include "money.h"

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

// Posts each move to the stock (KC_Up or KC_Do) in order, then writes their
// stock ledger rows together, each with the stock after its own move.
void postStockMoves(frmDM &dm, const QString &num, const QVector<StockMove> &moves);

// How a deletion ended.
enum class DeleteOutcome {
    Deleted,         // reversed and marked deleted
    AlreadyDeleted,  // found marked deleted when read again: nothing done
    NotFound,        // no such document
    Refused,         // a check refused it before anything was written (message says why)
};

struct DeleteResult {
    DeleteOutcome outcome = DeleteOutcome::Deleted;
    QString message;   // for Refused (and a text for the others)
};
