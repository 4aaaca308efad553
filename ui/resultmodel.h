#pragma once
// The rows of a list query, read into memory and shown read-only.
// Columns follow the screen's column table; each column reads the result field
// of its name. Number columns show Money's shortest form and sort by value.
//
// Every statement is read to its end and let go before load or append returns:
// nothing stays open on the connection between two user actions. A long list
// is read a page at a time by its screen (ListScreen::setPaged), each page a
// statement of its own; the model only holds the rows and asks for more.
#include "listcolumn.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <functional>

class Money;

class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        SortRole = Qt::UserRole + 1,   // the value a title click sorts by (number columns: Money units)
        FieldRole,                     // header: the column's field name
    };

    explicit ResultModel(QObject *parent = nullptr);

    void setColumns(const QList<ListColumn> &columns);
    const QList<ListColumn> &columns() const { return m_columns; }
    int columnOf(const QString &field) const;   // -1 when not in the table

    // Runs the statement with its bound values and keeps all its rows.
    // Throws DbError when the engine refuses it or a column's field is missing.
    void load(QSqlDatabase db, const QString &sql, const QVariantList &binds);
    // Adds the rows of a statement after those held (the next page of a long
    // list). Returns how many rows it added. Throws DbError.
    int append(QSqlDatabase db, const QString &sql, const QVariantList &binds);
    void clear();

    // A list read page by page: while more rows are there, the grid scrolling
    // to the end calls `fetch`, which appends the next page.
    // The fields of the list's order: their values in the last row read are
    // kept as read (lastKey), for the statement of the next page.
    void setKeyFields(const QStringList &fields) { m_keyFields = fields; }
    const QVariantList &lastKey() const { return m_lastKey; }
    void setMoreRows(std::function<void()> fetch) { m_fetch = std::move(fetch); }
    void setHasMore(bool more) { m_hasMore = more; }
    bool hasMore() const { return m_hasMore; }
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // The stored value (NULL stays an invalid or null QVariant).
    QVariant raw(int row, int column) const;
    QVariant raw(int row, const QString &field) const;
    // The text the grid shows.
    QString text(int row, int column) const;
    // Sum of a number column over all rows. *any is false when no row had a value,
    // as a database sum over no rows gives nothing.
    Money sum(int column, bool *any = nullptr) const;

    // The place of each row in the column's ascending order: empty values
    // first, then numbers by value (number columns), then texts in the
    // locale's order; equal values share a place. Made once per column after
    // each load, so that sorting compares two integers instead of building and
    // collating two texts for every comparison.
    const QVector<int> &sortRanks(int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // Reads every row of the statement; *lastKey gets the key fields of the
    // last row (left alone when there is none). Throws DbError.
    QVector<QVector<QVariant>> read(QSqlDatabase db, const QString &sql, const QVariantList &binds,
                                    QVariantList *lastKey) const;
    void dropSortRanks();

    QList<ListColumn> m_columns;
    QVector<QVector<QVariant>> m_rows;
    mutable QHash<int, QVector<int>> m_ranks;   // by column, until the rows change
    std::function<void()> m_fetch;
    bool m_hasMore = false;
    QStringList m_keyFields;
    QVariantList m_lastKey;
};

// Reads a number out of a stored value; false for NULL, empty and non-numbers.
bool numberOf(const QVariant &v, Money *out);
