#pragma once
// The corrections made from the stock query: a stock row's quantity (with its
// "修改库存" ledger row), a product's cost price, the stock limits of a whole
// category, and the removal of a stock row that holds nothing. Each reads what
// it changes again inside its transaction. They throw DbError.
#include "data/money.h"

#include <QString>

class frmDM;

// Sets the quantity of the stock row `ukcId` and writes one ledger row
// "修改库存" for the difference to the quantity stored now (in when it grew, out
// when it shrank), priced at the product's cost price, in one transaction.
// Returns false (nothing written) when the row no longer exists.
bool setStockCount(frmDM &dm, int ukcId, Money count);

// Sets the cost price of a product; every warehouse's stock value follows.
void setCostPrice(frmDM &dm, int sid, Money price);

// Sets both limits of every product of the category (deleted ones included);
// returns how many products it changed.
int setCategoryLimits(frmDM &dm, const QString &category, Money lowest, Money highest);

enum class StockRowRemoval { Removed, NotZero, Gone };
// Removes the stock row `ukcId` if its quantity (read again) is zero.
StockRowRemoval removeStockRow(frmDM &dm, int ukcId);
