#pragma once
// Moving the rows of the books from one database into another: a restore
// reads a backup's rows into fresh books made by this program, a shop that
// grows from one seat on the file to several seats on a server takes its
// books along, and the timing programs put their ten-year file on a server.
//
// Only rows move, and only those of the tables and columns the program makes
// (connection.h, programColumns). What else a database holds (triggers, views,
// indexes, other tables and columns, settings) never reaches the books: the
// schema of the books is always the program's own.
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>

// The columns the program knows of `table`, in its order, each checked to be
// in that table of the database open on `from`. Throws DbError naming the
// table, or the first column, that is missing.
QStringList knownColumns(QSqlDatabase from, const QString &table);

// Copies every row of the program's tables (the columns it knows) from the
// database open on `from` into the books open on `to`, which hold the same
// schema version and no rows. The IDs are kept; on a server the counters go on
// after the highest ID. Runs on `to` inside the caller's transaction, so that a
// failure part-way leaves `to` as the caller's rollback makes it. `progress`,
// when given, is told each table before it is copied. Throws DbError.
void copyBooksRows(QSqlDatabase from, QSqlDatabase to, const std::function<void(const QString &table)> &progress = {});

// The same for a database attached to the file open on `to` under the name
// `attached` (both SQLite): the rows are copied by the engine itself.
void copyAttachedRows(QSqlDatabase to, const QString &attached);

// Checks that every number in the books open on `db` is a number of its
// column's kind and within the books' range (amounts, prices and quantities
// below 10^11, whole numbers below 2^31), and that no counter is empty.
// Throws DbError naming the first table and column that holds anything else.
void checkBooksValues(QSqlDatabase db);

// Runs `copy` (rows into the books open on `to`, in the caller's transaction)
// with the books' indexes dropped before and made again after it: sorting
// once is much quicker than keeping them in order row by row. A unique index
// that the rows break fails to be made again (DbError).
void withIndexesAfter(QSqlDatabase to, const std::function<void()> &copy);

// Empties every table of the books open on `to` (inside the caller's transaction).
void emptyBooks(QSqlDatabase to);

class ServerCopy;

// Writes rows into one table of the books in the caller's transaction: many
// to a statement on the file, through the server's bulk load on a server,
// where the table's counter goes on after the highest ID once all are written
// (finish).
class RowWriter {
public:
    RowWriter(QSqlDatabase to, const QString &table, const QStringList &columns);
    ~RowWriter();
    void add(const QVariantList &row); // throws DbError
    void finish();                     // throws DbError

private:
    void write(int rows);
    QSqlDatabase m_to;
    QString m_table;
    QStringList m_columns;
    QVector<QVariantList> m_batch;
    std::unique_ptr<ServerCopy> m_copy;
};
