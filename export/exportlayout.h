#pragma once
// How one screen's list is laid out in a spreadsheet: the title word, the data
// columns after "序号", the column widths, the totals row and the few layout
// flags that differ between screens. Every export of the program goes through
// this one description; a screen only fills it in.
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

struct ExportColumn {
    QString header;        // caption in the header row
    int column = -1;       // model column the values are read from
    bool asText = false;   // kept exactly as shown (codes, dates): "000123" stays "000123"
    bool number = false;   // amounts and quantities: written as number cells
};

// A cell of the block between the title row and the header row (the product
// block of the stock movement sheet). Rows count from 0 = the first row after
// the title; columns from 0 = A. lastCol > col merges the cells up to lastCol.
struct ExportBlockCell {
    int row = 0;
    int col = 0;
    QString value;
    int lastCol = -1;
    bool asText = false;
};

struct ExportLayout {
    QString shopName;      // the title is the shop name followed by the title word
    QString titleWord;     // "商品表", "付款表", …; also names the file
    bool titleRow = true;  // without it the header row is row 1 (the title stays the document's title)
    QList<ExportColumn> columns;

    // Widths in character units for A (the serial column), B, C, …; a negative
    // width keeps the sheet's default, 0 hides the column. Columns past the list
    // get restWidth (negative: default).
    QVector<double> widths;
    double restWidth = -1;

    // Totals row after the last record: "合计" in A and these texts by sheet
    // column (0 = A). An empty text leaves its cell empty.
    bool totals = false;
    QMap<int, QString> totalCells;

    bool serialCentred = true;   // the running numbers in A
    bool totalCentred = true;    // the "合计" label
    bool portrait = false;       // otherwise landscape
    QString footerProduct = QStringLiteral("Tavrel进销存");

    // Extra rows between the title and the header row; the header row then
    // follows them and only the title row is centred.
    int blockRows = 0;
    QList<ExportBlockCell> block;

    QString title() const { return shopName + titleWord; }
};

// The vendor's web address printed in the page footer between the product name
// and the page numbers; left out of the footer while empty.
inline constexpr const char *VendorWebAddress = "";
