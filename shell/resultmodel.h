#pragma once
// The rows of a list query, fetched into memory and shown read-only.
// Columns follow the screen's column table; each column reads the result field
// of its name. Number columns show Money's shortest form and sort by value.
//
// By default every row is fetched at once. With a batch size the first batch
// is fetched at once and the statement stays open; the view asks for the next
// batch as it scrolls towards the end (canFetchMore/fetchMore), so that a list
// of years of documents shows its first screen at once.
#include "listcolumn.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QVariantList>
#include <QVector>
#include <memory>

class QSqlQuery;

class Money;

class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        SortRole = Qt::UserRole + 1,   // the value a title click sorts by (number columns: Money units)
        FieldRole,                     // header: the column's field name
    };

    explicit ResultModel(QObject *parent = nullptr);
    ~ResultModel() override;

    // Rows fetched at a time; 0 (the default) fetches every row at load.
    void setBatch(int rows) { m_batch = rows; }
    int batch() const { return m_batch; }

    void setColumns(const QList<ListColumn> &columns);
    const QList<ListColumn> &columns() const { return m_columns; }
    int columnOf(const QString &field) const;   // -1 when not in the table

    // Runs the statement with its bound values and keeps all its rows.
    // Throws DbError when the engine refuses it or a column's field is missing.
    void load(QSqlDatabase db, const QString &sql, const QVariantList &binds);
    void clear();
    // Whether every row of the statement has been fetched.
    bool isComplete() const { return !m_open; }
    // Fetches the rest of the rows. Throws DbError.
    void fetchAll();

    // The stored value (NULL stays an invalid or null QVariant).
    QVariant raw(int row, int column) const;
    QVariant raw(int row, const QString &field) const;
    // The text the grid shows.
    QString text(int row, int column) const;
    // Sum of a number column over all rows. *any is false when no row had a value,
    // as a database sum over no rows gives nothing.
    Money sum(int column, bool *any = nullptr) const;

    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

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

signals:
    // A later batch could not be read; the list ends where it stopped.
    void fetchFailed(const QString &text);

private:
    // Reads up to `n` rows of the open statement (all when n <= 0) into `into`;
    // closes the statement at its end. Throws DbError.
    void readRows(int n, QVector<QVector<QVariant>> *into);
    void dropSortRanks();

    QList<ListColumn> m_columns;
    QVector<QVector<QVariant>> m_rows;
    mutable QHash<int, QVector<int>> m_ranks;   // by column, until the rows change
    int m_batch = 0;
    std::unique_ptr<QSqlQuery> m_open;   // the statement of a list not yet fetched to its end
    QVector<int> m_from;                  // result field of each column
};

// Reads a number out of a stored value; false for NULL, empty and non-numbers.
bool numberOf(const QVariant &v, Money *out);
