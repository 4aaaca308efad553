#pragma once
// What a printed document shows, read from the database: the shop row, the
// document title, the header row and the lines. One PrintData per document
// printed; the layouts that paint it live with the screens.
#include "dataset.h"

#include <QString>

class frmDM;

// The printable document kinds.
enum class DocKind {
    Purchase,       // purchase receipt, UJH
    PurchaseReturn, // purchase return, UCG_O
    Payment,        // payment voucher, UFK
    Sales,          // sales delivery, UXS
    SalesTicket,    // sales delivery on the half-page ticket, UXS
    SalesReturn,    // sales return, UXS_O
    Receipt,        // receipt voucher, USK
    Loss,           // loss, UBS
    Overage,        // overage, UBY
    Transfer,       // transfer, UDB
    Assembly,       // assembly or dismantling, UCZ: two sides of lines
};

struct PrintData {
    DocKind kind = DocKind::Purchase;
    QString number; // the document number asked for
    DataSet shop;   // the one SDept row
    DataSet title;  // the SDJ row of the kind: theName
    DataSet header; // the document header, empty when no document has the number
    DataSet lines;  // the lines joined to their products, in theBH order; empty for vouchers;
                    // for assemblies the goods taken out
    DataSet linesIn; // assemblies: the goods put in
};

// The SDJ row id of the kind's title ("采购入库单" is 1).
int titleId(DocKind kind);
// The lines table of the kind, empty for vouchers; for assemblies the goods taken out.
QString linesTable(DocKind kind);

// The shop dataset: theName, thePhone, theAdd, theGG, theZH, theSW, ...
DataSet PrintUnit(frmDM &dm);
// The title dataset for a title id: ID, theName.
DataSet PrintDJ(frmDM &dm, int id);

// Reads everything a document of the kind prints. A number that matches no
// document gives an empty header and no lines. Throws DbError.
PrintData loadPrintData(frmDM &dm, DocKind kind, const QString &number);
