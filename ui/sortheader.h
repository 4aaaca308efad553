#pragma once
// Sorting a fetched list by a click on a column title, without a new query:
// the first click on a title sorts ascending and shows that title bold and red,
// a click on the title already sorted ascending sorts descending and shows it
// bold and blue; every other title goes back to normal. Number columns sort by
// value, empty values first. Over a ResultModel the rows are compared by the
// places it prepares once per column (ResultModel::sortRanks).
#include <QSortFilterProxyModel>
#include <functional>

class QTableView;

class SortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit SortProxy(QObject *parent = nullptr);

    // What a click on the title of (proxy) column `column` does.
    void clickTitle(int column);
    // Back to the source order, all titles normal.
    void clearSort();

    // A list fetched in batches has not all its rows at hand: its statement
    // sorts instead. With a sorter set, a title click marks the titles as
    // above and hands the column and order to it instead of sorting here; the
    // sorter returns false when it could not sort, and the marks stay as they were.
    using Sorter = std::function<bool(int column, Qt::SortOrder order)>;
    void setSorter(Sorter sorter) { m_sorter = std::move(sorter); }

    int sortedColumn() const { return m_column; }
    Qt::SortOrder sortedOrder() const { return m_order; }

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    void mark(int column, Qt::SortOrder order);

    int m_column = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
    Sorter m_sorter;
};

// Lets clicks on the titles of `view` sort through `proxy` (the view's model).
void attachSortHeader(QTableView *view, SortProxy *proxy);
