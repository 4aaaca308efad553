#pragma once
// Importing products and partners from a spreadsheet sheet (master/sheet.h).
//
// Columns are found by their names. Each import is one transaction: a value
// that cannot be taken (a price that is not a number) stops it with a message
// naming the sheet row and the column, and nothing of the file stays. Missing
// columns are reported before any row is read.
//
// Products: a row without a name is skipped; a row without a code gets the next
// product number; a code that a live product carries adds only stock (when
// stock is booked) and changes nothing of that product; any other row creates a
// product, and its category when no category of that name exists (enabled,
// discount 100). Opening stock goes into the chosen warehouse with a ledger row
// "商品导入" priced at the product's purchase price. A row whose quantity is 0 or
// empty books nothing: no stock row (one of 0 would list the product under
// 零库存 in that warehouse) and no ledger row; a stock row the product already
// has stays as it is.
//
// Partners: a row without a name ends the import (the rows before it stay); a
// name that a live partner carries is skipped; every new partner is of the type
// "两者皆是".
#include <QString>
#include <QStringList>

class frmDM;
struct Sheet;

namespace SheetImport {

// The required column names, in the order the rule label gives them.
const QStringList &productColumns();
const QStringList &partnerColumns();
// The rule shown above the "打开" button.
QString productRule();
QString partnerRule();

struct Outcome {
    bool ok = false;        // the import was stored
    int imported = 0;       // new products or partners
    int stockRows = 0;      // stock bookings made (products)
    int categories = 0;     // categories created (products)
    int skipped = 0;        // rows passed over: no name (products), name exists (partners)
    int stoppedAtRow = 0;   // partners: the sheet row without a name that ended the import; 0 when none did
    int failedRow = 0;      // the sheet row of a refused value
    QString failedColumn;   // its column
    QString message;        // why nothing was imported
};

// Throws DbError when the engine refuses a statement (then nothing is stored).
Outcome importProducts(frmDM &dm, const Sheet &sheet, bool saveStock, const QString &warehouse);
Outcome importPartners(frmDM &dm, const Sheet &sheet);

} // namespace SheetImport
