#pragma once
// The common frame of every list, query and report screen: the filter group
// "查询条件" with the buttons "查询", "退出" and "Excel", the read-only grid that
// sorts by a click on a title, the count and total labels under it, and the
// pop-up menu of the grid. A screen sets its column table, its statement and
// its filters; the rest is done here.
//
// The screen stays empty until the first "查询". "查询" composes the condition
// from the ticked filters and keeps it; Ref() runs the statement again with the
// kept condition (also after a dialog saved something). Only after the first
// query does the grid get its pop-up menu and "Excel" become usable. A filter
// that read something from the books (the IDs of the matching partners) reads
// it again at every Ref(): a partner added meanwhile is found.
#include "export/exportlayout.h"
#include "filterrow.h"
#include "listcolumn.h"
#include "sqlcondition.h"

#include <QHash>
#include <QList>
#include <QWidget>
#include <functional>

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTableView;
class QVBoxLayout;
class ColumnWidths;
class QAction;
class ResultModel;
class SortProxy;

class ListScreen : public QWidget {
    Q_OBJECT
public:
    explicit ListScreen(QWidget *parent = nullptr);
    ~ListScreen() override;

    // ---- configuration ----
    // The column table (grid order). Changing it clears the list and its sort.
    void setColumns(const QList<ListColumn> &columns);
    // The statement without its WHERE clause: `select` up to and including the
    // FROM part, `tail` what follows the condition ("order by ID desc").
    void setQuery(const QString &select, const QString &tail = QString());
    // A condition every query keeps (joins, "theDel = ?"), before the filters.
    void setBaseCondition(const QString &sql, const QVariantList &binds = {});
    // For lists that may run to years of rows: the grid reads a page of rows
    // at a time, the next page when it scrolls to the end, each page a
    // statement of its own that is read whole and let go (nothing stays open
    // on the connection between two actions of the user, so that another copy
    // of the program writing meanwhile never finds this one holding an old
    // snapshot). The count and the totals come from one summing statement
    // over the same condition (exact to the last decimal). A title click
    // sorts in the statement: the title's field, then the list's own order.
    //
    // The list's order is the `tail` of setQuery, "order by" followed by fields
    // of the select list, each with "desc" where it descends, the last one
    // unique on every row and none of them ever empty ("order by H.ID desc"
    // over "H.ID as JHID", "order by theNum desc, FID"). A page is the rows after the last row
    // read in that order (keyset paging), so that pages neither repeat nor skip
    // rows whatever is written between them. Every column's field must also
    // be a name of the select list (written "H.theNum as theNum"). "Excel" and
    // fetchAll read the rest first.
    void setPaged(bool paged);
    bool isPaged() const { return m_paged; }
    // A paged list's count and totals need only the tables its condition
    // names: given the kept condition, the source returns a select (up to its
    // FROM part) whose names include every total field, without the joins the
    // list needs only for showing names. The default is the list's own statement.
    using TotalsSource = std::function<QString(const SqlCondition &where)>;
    void setTotalsSource(TotalsSource source) { m_totalsSource = std::move(source); }

    // Filters, laid out in the filter group in the order added.
    FilterRow *addTextFilter(const QString &caption, const QStringList &fields);
    // A text filter over another table's rows (FilterRow::containsVia).
    FilterRow *addTextFilterVia(const QString &caption, const QString &key, const QString &table,
                                const QStringList &fields);
    FilterRow *addChoiceFilter(const QString &caption, const QString &field, QAbstractItemModel *pick, int pickColumn = 0);
    FilterRow *addChoiceFilter(const QString &caption, const QString &field, const QStringList &items);
    FilterRow *addDateFilter(const QString &caption, const QString &field, DateSpan span = DateSpan::Month);
    FilterRow *addFlagFilter(const QString &caption, const QString &sql, const QVariantList &binds = {},
                             const QString &uncheckedSql = QString(), const QVariantList &uncheckedBinds = {});
    FilterRow *addFilter(FilterRow *row);
    // A control of the filter group that is no filter (a check box such as "隐藏采购单价").
    void addFilterWidget(QWidget *widget);
    // How many filters stand side by side in a line of the filter group (default 3).
    void setFilterColumns(int n) { m_filterColumns = n; }

    // The count label under the grid: this text followed by the number of rows.
    void setCountLabel(const QString &text);
    // Total labels over no rows end in "0" instead of nothing.
    void setEmptyTotalsZero(bool zero) { m_emptyTotalsZero = zero; }

    // A widget under the buttons "查询", "退出" and "Excel" (a progress bar).
    void addButtonWidget(QWidget *widget);
    // A widget beside the grid, on its right (a chart); the user may move the
    // border between them.
    void addSideWidget(QWidget *widget);

    // The spreadsheet layout: title word, widths for A (the serial number), B, …,
    // and the flags. Columns, the totals row and the shop name are filled in at
    // export from the column table; adjustExport() may change them further.
    ExportLayout &exportLayout() { return m_export; }
    void setExport(const QString &titleWord, const QVector<double> &widths, double restWidth = -1);

    // The grid's pop-up menu: add the screen's actions to it. The frame adds
    // its own at the end with the first query: "按此列排序 &O" (the current
    // column, ascending, then descending when chosen again) and
    // "恢复默认列宽 &W". Right click, the Menu key and Shift+F10 open it.
    QMenu *popupMenu() const { return m_popup; }
    QAction *sortItem() const { return m_sortItem; }
    QAction *widthsItem() const { return m_widthsItem; }
    ColumnWidths *columnWidths() const { return m_widths; }
    // The layout below the grid (document lines, settlements, …).
    QVBoxLayout *bodyLayout() const { return m_body; }

    // ---- operations ----
    // The condition of the base and the ticked filters, as it would be kept now.
    SqlCondition composeCondition() const;
    // "查询": keeps the composed condition and runs it. A screen whose button
    // does more (a report that first works out its rows) does that, then runQuery.
    virtual void BitBtn1Click();
    // Runs the statement with the base condition and `condition` in place of
    // the filters, for an opener that shows the list pre-filtered (the stock
    // alert at start). It is not a "查询": the filters stay as they are, the grid
    // gets no pop-up menu and "Excel" no use until the first "查询", which
    // replaces the condition. Returns false after showing a database error.
    bool showWith(const SqlCondition &condition);
    // Runs the statement again with the kept condition. Does nothing before the
    // first query. Returns false after showing a database error.
    bool Ref();
    // "Excel": exports the rows in the grid's order.
    void BitBtn3Click();

    // ---- state ----
    bool queried() const { return m_queried; }
    SqlCondition keptCondition() const { return m_where.seeking(); }
    // The statement last run for the rows (on a paged list, the last page read).
    QString lastStatement() const { return m_lastSql; }
    // A paged list's statement of its count and totals, as last run.
    QString lastTotalsStatement() const { return m_lastTotalsSql; }
    QString lastExportFile() const { return m_lastExport; }

    QTableView *grid() const { return m_grid; }
    ResultModel *resultModel() const { return m_model; }
    SortProxy *sortProxy() const { return m_proxy; }
    QPushButton *queryButton() const { return m_query; }
    QPushButton *exitButton() const { return m_exit; }
    QPushButton *excelButton() const { return m_excel; }
    QGroupBox *filterGroup() const { return m_group; }
    QList<FilterRow *> filters() const { return m_filters; }

    // The rows read into the grid (on a paged list, those read so far).
    int rowCount() const;
    bool isEmpty() const { return rowCount() == 0; }
    // The result row behind the grid's current row, -1 without one.
    int currentRow() const;
    QVariant currentValue(const QString &field) const;
    // Value of a field in the grid's n-th row as shown (sorted order).
    QVariant valueAt(int viewRow, const QString &field) const;
    // The text after a total label: the sum of that column, empty when no row
    // had a value (as a database sum over nothing).
    QString totalText(const QString &field) const;
    // The number of rows the query found (all of them, read or not): the
    // number after the count label.
    int foundCount() const;
    // Reads the rows of a paged list not read yet (before going through all
    // of them). Returns false after showing a database error.
    bool fetchAll();
    QLabel *totalLabel(const QString &field) const { return m_totalLabels.value(field); }
    QLabel *countLabel() const { return m_count; }

    // Shows or hides a column in the grid only; it is still exported.
    void setColumnVisible(const QString &field, bool visible);

signals:
    void refreshed();

protected:
    // Keeps `where` as the condition and runs it: the work of "查询".
    void runQuery(const SqlCondition &where);
    // The row of labels under the grid (count and totals), for a label of the screen's own.
    QHBoxLayout *bottomLayout() const;
    // Called at the end of every successful Ref (reload the detail grids, …).
    virtual void afterRef() {}
    // "恢复默认列宽": forgets the widths the user dragged and fits the columns again.
    virtual void restoreColumnWidths();
    // Last changes to a layout before it is written (zero widths, extra totals).
    virtual void adjustExport(ExportLayout &layout) { Q_UNUSED(layout); }
    // The first time: Tab order and the focus in the first filter.
    void showEvent(QShowEvent *e) override;
    // Enter in a filter's field.
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void placeFilterWidget(QWidget *first, QWidget *second);
    // Tab runs through the filters line by line, then "查询", "退出", "Excel"
    // and the grid.
    void orderTabs();
    void buildTotals();
    void applyColumns();
    void showPopup(const QPoint &pos);
    // Opens the menu at the current cell (the Menu key, Shift+F10).
    void showPopupAtCurrent();
    void openPopup(const QPoint &globalPos);
    // "按此列排序": sorts by the current column as a click on its title does.
    void sortByCurrentColumn();
    void closeScreen();
    bool sortInStatement(int column, Qt::SortOrder order);
    void readTotals();
    // Runs the statement again; a paged list reads its first page, or as many
    // rows as it held before when `keepRows`. With `lookAgain` the kept
    // condition first reads again what it read from the books (SqlCondition::again).
    bool reload(bool keepRows, bool lookAgain = false);
    // A paged list's statement: the rows after `after` (the last key read;
    // none = from the start), at most `limit` of them (0 = all).
    QString pageStatement(const QVariantList &after, int limit, QVariantList *binds) const;
    // Reads the next page (all the rest when `all`). From the grid's scrolling
    // a failure is told once the scrolling is over.
    bool fetchPage(bool all, bool fromView);

    QGroupBox *m_group = nullptr;
    QGridLayout *m_filterGrid = nullptr;
    int m_filterColumns = 3;
    int m_filterSlots = 0;
    int m_boxNo = 0, m_editNo = 0, m_comboNo = 0, m_dateNo = 0;
    QPushButton *m_query = nullptr, *m_exit = nullptr, *m_excel = nullptr;
    QLabel *m_whereLabel = nullptr;
    QVBoxLayout *m_buttons = nullptr;
    QTableView *m_grid = nullptr;
    QSplitter *m_split = nullptr;
    ResultModel *m_model = nullptr;
    SortProxy *m_proxy = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_sortItem = nullptr;
    QAction *m_widthsItem = nullptr;
    ColumnWidths *m_widths = nullptr;
    QVBoxLayout *m_body = nullptr;
    QWidget *m_bottom = nullptr;
    QLabel *m_count = nullptr;
    QString m_countText;
    QHash<QString, QLabel *> m_totalLabels;
    QHash<QString, bool> m_hiddenInView;

    QList<FilterRow *> m_filters;
    QList<QWidget *> m_filterInputs; // the filter group's fields in layout order
    bool m_shown = false;
    QString m_select, m_tail;
    SqlCondition m_base;
    SqlCondition m_where;
    QString m_lastSql;
    QString m_lastTotalsSql;
    bool m_queried = false;
    bool m_menuOn = false;   // the pop-up menu and "Excel" came with the first "查询"
    bool m_emptyTotalsZero = false;

    // Paging.
    struct OrderKey {
        QString name;       // a name of the select list
        bool desc = false;
        bool mayBeEmpty = false;   // a title's field: NULL sorts first ascending, last descending
    };
    // The list's own order from the tail, then (first) a title's field.
    QList<OrderKey> orderKeys() const;
    // The name of the select list for a term of the tail's order.
    QString selectName(const QString &term) const;
    bool m_paged = false;
    int m_pageSize = 200;
    QString m_sortField;              // a title click's field, empty = the list's own order
    bool m_sortDesc = false;
    SqlCondition m_pageWhere;         // the kept condition as the pages run it (seeking or walking)
    QHash<QString, QString> m_sums;   // the total texts by field
    int m_found = 0;                  // the number of rows found
    TotalsSource m_totalsSource;
    ExportLayout m_export;
    QString m_lastExport;
};
