#pragma once
// One column of a list screen: where its values come from, how the grid shows
// it, whether it is summed into a total label and how it goes to the
// spreadsheet. A screen's columns are a table of these, written as
//     ListColumn("theNum", "商品编码").w(100).asText()
//     ListColumn("theJH", "采购单价").num().w(80)
//     ListColumn("theHJ", "合计金额").num().sum("合计金额：")
//     ListColumn("ID").hide()
//     ListColumn("theSum", "金额").tenThousandths()   (an exact sum, data/sqlmoney.h)
#include <QString>
#include <Qt>

struct ListColumn {
    enum class Kind { Text, Number };

    QString field;          // field name in the query's result
    QString caption;        // grid title (the field name when empty)
    int width = 0;          // grid width in pixels, 0 = default
    Kind kind = Kind::Text; // Number: Money display, numeric sort, right aligned, number cells
    Qt::Alignment align;    // empty = by kind
    bool hidden = false;    // never shown and not exported (IDs and other keys)
    bool total = false;     // summed into a total label after each query
    QString totalLabel;     // text before the sum (caption + "：" when empty)
    bool xlsText = false;   // exported as text ("000123" stays "000123")
    bool exported = true;   // written to the spreadsheet
    QString xlsHeader;      // spreadsheet header (the caption when empty)
    // A paged list's total worked out from two other totals (profit = amount
    // minus cost) instead of summing this column again.
    QString totalMinuend, totalSubtrahend;
    bool scaled = false;    // the query gives the number in ten-thousandths (an exact sum)

    ListColumn(const QString &f, const QString &c = QString()) : field(f), caption(c.isEmpty() ? f : c) {}

    ListColumn &w(int px) { width = px; return *this; }
    ListColumn &num() { kind = Kind::Number; return *this; }
    ListColumn &alignTo(Qt::Alignment a) { align = a; return *this; }
    ListColumn &hide() { hidden = true; exported = false; return *this; }
    ListColumn &sum(const QString &label = QString()) { total = true; totalLabel = label; return *this; }
    ListColumn &sumAsDifference(const QString &label, const QString &minuend, const QString &subtrahend)
    {
        sum(label);
        totalMinuend = minuend;
        totalSubtrahend = subtrahend;
        return *this;
    }
    ListColumn &asText() { xlsText = true; return *this; }
    ListColumn &noXls() { exported = false; return *this; }
    ListColumn &xls(const QString &header) { xlsHeader = header; return *this; }
    // A number column whose query value is a whole number of ten-thousandths
    // (data/sqlmoney.h): shown and summed exactly.
    ListColumn &tenThousandths() { kind = Kind::Number; scaled = true; return *this; }

    bool isNumber() const { return kind == Kind::Number; }
    QString sumLabel() const { return totalLabel.isEmpty() ? caption + QStringLiteral("：") : totalLabel; }
    Qt::Alignment alignment() const
    {
        if (align) return align;
        return (isNumber() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
};
