#pragma once
// Purchase and sales statistics: the lines of one kind of trade document,
// totalled (quantity and amount) per value of one chosen item: a partner, a
// product, a date, a warehouse, … Only documents not deleted count; pre-saved
// ones count like any other.
#include "trade/tradekind.h"

#include <QString>
#include <QStringList>

// The words of one statistics screen.
struct StatWords {
    QString caption;        // "采购入库统计"
    QString dateWord;       // "采购日期": date filter and grouping item
    QString partnerWord;    // "供应商": grouping item and default
    QString partnerFilter;  // "供  应  商": the partner filter's box
    QString exportTitle;    // "采购入库统计表"
};

const StatWords &statWords(TradeKind kind);

// What the rows are grouped by.
struct StatGroup {
    enum class Table { Document, Line, Partner, Product };
    QString caption;   // the item's word, the title of the group column
    QString expr;      // the expression grouped by
    Table table = Table::Partner;
    bool number = false; // the line price: shown and sorted as a number
};

// The items of the grouping list, in list order.
QStringList statGroupItems(TradeKind kind);
// The grouping of a text from the list, or typed: "录入人" groups by the entry
// clerk; any other text groups by the partner.
StatGroup statGroup(TradeKind kind, const QString &text);

// The statement up to its WHERE clause, with the group column as theGroup and
// the exact sums of quantity and amount in ten-thousandths as theCount and
// theSum. The documents D drive and their lines L follow; the partner U and
// the product S are joined only when a ticked filter needs them (every line's
// product and every document's partner stay in their tables, which are never
// emptied: deleting only marks them). The lines are totalled per document
// (items of the document or its partner) or per product (product items)
// first, and those totals then grouped by the item: only the line price
// groups the lines themselves.
QString statSelect(TradeKind kind, const StatGroup &group, bool partnerJoin, bool productJoin);
// What follows the condition: the grouping.
QString statTail(TradeKind kind, const StatGroup &group);
// The condition every statistics query keeps: lines of their document, the
// document not deleted (bind Words::No).
QString statBaseCondition();
