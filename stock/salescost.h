#pragma once
// Correcting the unit cost recorded on one sales delivery line (UXS_List.theJJ).
// Nothing else changes: not the product's cost price, not the stock, not a ledger.
#include "data/money.h"

class frmDM;

// Sets the unit cost of the sales line with this ID. Throws DbError when the
// line no longer exists or the engine refuses; nothing is written then.
void setSalesLineCost(frmDM &dm, int lineId, Money unitCost);
