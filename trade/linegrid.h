#pragma once
// The line grid of the entry screens (trade and stock documents): 100 rows,
// row 0 the caption row, rows 1 to 99 the lines with their labels "@ 1" …
// "@ 99", the product ID in a hidden last column; a row is a line exactly when
// that cell is filled.
//
// The grid does what every entry screen's grid does: the key filters by
// column, Enter running the product lookup and then moving from the code to
// the price, the quantity and the next row, the recomputation of the line's
// amount on every key released, Tab leaving the grid, Esc closing the screen
// (which asks first when lines were typed). After each change it calls
// `changed` so that the screen brings its totals up to date.
//
// Each grid is the caller of its own product lookups (trade/pickercaller.h):
// the assembly screen has two, "cz" and "czrk".
#include "data/money.h"
#include "pickercaller.h"

#include <QTableWidget>
#include <QVector>
#include <functional>
#include <memory>

class GridCellDelegate;
class QKeyEvent;
class QLineEdit;

// One line as read from the grid by the rules the key filters keep.
struct GridLine {
    int row = 0;       // the screen row
    int sid = 0;
    QString code, name, remark;
    Money price, count;
    int zk = 100;      // discount percent (grids with a discount column)
    // What could not be read ("第 2 行的 数量 …") and the column concerned;
    // the save refuses such a line where its line checks run.
    QString unread;
    int unreadColumn = -1;
};

class LineGrid : public QTableWidget {
    Q_OBJECT
public:
    struct Layout {
        QString callerCode;      // "jh", "db", "cz", …
        bool discount = false;   // sales deliveries: a discount column after the price
        // The code cell takes any key even after the row holds a product
        // (returns and stock documents); otherwise only Backspace and Enter.
        bool codeAlwaysFree = false;
    };

    LineGrid(const Layout &layout, QWidget *parent);
    ~LineGrid() override;

    static constexpr int LastRow = 99;

    int priceColumn() const { return 5; }
    int discountColumn() const { return m_layout.discount ? 6 : -1; }
    int quantityColumn() const { return m_layout.discount ? 7 : 6; }
    int amountColumn() const { return m_layout.discount ? 8 : 7; }
    int remarkColumn() const { return m_layout.discount ? 9 : 8; }
    int idColumn() const { return m_layout.discount ? 10 : 9; }
    QString callerCode() const { return m_layout.callerCode; }

    // Called after every change of the lines (mySumMoney of the screen).
    std::function<void()> changed;
    // The partner chosen on the screen, for the suggested prices of a taken product.
    std::function<int()> partnerId;

    // The lookup's view of this grid.
    PickerCaller &caller();

    // Captions, widths, row labels; every line emptied, cursor to row 1, column 1.
    void resetLines();
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    // Empties the cells of a row from `fromColumn` to the product ID.
    void emptyRow(int row, int fromColumn = 1);
    // "全部删除 &A": every row label rewritten, every line emptied.
    void clearLines();
    // The line cells as they stand, to tell typed lines from a fresh or just loaded grid.
    QString snapshot() const;
    // Whether any row holds a product.
    bool hasLines() const;

    // The rows that hold a product, read by their rules.
    QVector<GridLine> readLines() const;
    // Total quantity and amount over the complete lines; what cannot be read
    // yet counts as nothing (the save refuses it).
    void totals(Money *count, Money *amount) const;
    // Works out the amount of a row again from its price, discount and quantity.
    void recomputeRow(int row);

    // myFindSP: the product lookup for the current row.
    void findProduct();
    // Selects a row (and a cell) of a refused line.
    void showLine(int row, int column = -1);

    GridCellDelegate *cellDelegate() const { return m_delegate; }

protected:
    bool event(QEvent *e) override;

private:
    class Caller;
    bool keyPress(QKeyEvent *e, QWidget *editor);
    void keyRelease();
    bool keyAllowed(int row, int column, QChar c) const;
    bool cellTakesText(int row, int column) const;
    int lookupRow() const;

    const Layout m_layout;
    GridCellDelegate *m_delegate = nullptr;
    std::unique_ptr<Caller> m_caller;
    int m_lookupRow = 0;   // the row a running product lookup writes into
};
