#pragma once
// Moving the books from one database into another: a shop that grows from
// one seat on the file to several seats on a server takes its books along
// (the restore of a file's backup on a server), and the timing programs put
// their ten-year file on a server the same way.
#include <QSqlDatabase>
#include <functional>

// Copies every row of every table of the books open on `from` into the books
// open on `to`, which hold the same schema version and no rows. The IDs are
// kept; on a server the counters go on after the highest ID. Runs on `to`
// inside the caller's transaction, so that a failure part-way leaves `to` as
// the caller's rollback makes it. `progress`, when given, is told each table
// before it is copied. Throws DbError.
void copyBooksRows(QSqlDatabase from, QSqlDatabase to, const std::function<void(const QString &table)> &progress = {});

// Empties every table of the books open on `to` (inside the caller's transaction).
void emptyBooks(QSqlDatabase to);
