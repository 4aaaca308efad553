#pragma once
// Deleting a trade document: it is marked deleted and everything its save
// posted is taken back (stock, stock ledger, partner balance and, for every
// settlement row, a cash-log row giving the money back), in one transaction.
//
// The document is read again inside the transaction: one already deleted (in
// another window, by a second click) is left alone. When the shop does not
// allow negative stock, a deletion that would take a product's stock below zero
// (a receipt whose goods were sold since) is refused before anything is written.
#include "data/docposting.h"
#include "tradekind.h"

class frmDM;

// Deletes the document whose header row has this ID. Throws DbError on an
// engine error; nothing of the deletion stays behind then.
DeleteResult deleteTradeDoc(frmDM &dm, TradeKind kind, int docId);
