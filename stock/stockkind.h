#pragma once
// The four stock documents (transfer, loss, overage, assembly) share one shape
// and one way of posting; this table holds everything that differs between
// them.
//
// A document has one or two sides of lines (the assembly: goods taken out and
// goods put in), each in its own line table and grid. Every line of a side is
// posted by the side's moves, in order: a move takes the line's quantity into
// or out of one of the document's warehouses and writes its ledger row.
#include <QString>
#include <QVector>

enum class StockKind { Transfer, Loss, Overage, Assembly };

// Which of the header's warehouses a move uses.
enum class StockWarehouse {
    Issuing,   // DName: "调出仓库", "出库仓库"
    Receiving, // WName: "调入仓库", "入库仓库", or the one "仓库名称"
};

struct StockMoveRule {
    StockWarehouse warehouse;
    bool in;              // at save: KC_Up (true) or KC_Do; a deletion does the reverse
    QString word;         // stock ledger word at save
    QString deletedWord;  // stock ledger word at deletion
};

struct StockSide {
    QString lines;        // line table
    QString callerCode;   // product lookup of its grid: "db", "cz", "czrk", …
    QString gridCaption;  // caption of the grid's group
    QString msgEmpty;     // the refusal of a side without lines
    QVector<StockMoveRule> moves;
};

struct StockKindInfo {
    StockKind kind;
    QString caption;        // "商品调拨单"
    QString head;           // header table
    QString prefix;         // number prefix
    bool twoWarehouses;     // the header has DName beside WName
    bool mustDiffer;        // the two warehouses must not be the same (transfers)
    bool totals;            // the header keeps theSum, theCount and theDX
    QVector<StockSide> sides;

    // Screen words.
    QString infoGroup;      // "调拨信息"
    QString issuingLabel;   // "调出仓库" (two warehouses only)
    QString receivingLabel; // "调入仓库", "仓库名称"
    QString dateLabel;      // "调拨日期"
    QString countLabel;     // the management screen's count: "调拨数量："
    QString titleWord;      // spreadsheet title of the management screen: "商品调拨表"

    // Refusal texts of the save for the header.
    QString msgNoIssuing;
    QString msgNoReceiving;
    QString msgSame;
};

const StockKindInfo &stockKind(StockKind kind);
