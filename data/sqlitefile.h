#pragma once
// The SQLite file underneath the books on one seat, reached through the
// engine's own interface where Qt has none: its handle, the online backup
// that copies a database page by page, its checks and the files beside it.
#include <QSqlDatabase>
#include <QString>

struct sqlite3;

namespace SqliteFile {

// The engine's handle behind a Qt connection, or nullptr.
sqlite3 *handleOf(const QSqlDatabase &db);

// The engine's last error on a handle.
QString engineText(sqlite3 *db);

// The first column of the first row of a statement (a PRAGMA), as text, or
// the engine's error when there is none.
QString firstRow(sqlite3 *db, const char *sql);

// Whether a side file (-wal, -journal, -shm) lies beside `file`; removes them all.
bool sideFileExists(const QString &file, const char *suffix);
void removeSideFiles(const QString &file);

// The address SQLite opens a file by read-only, without a lock and without
// anything written beside it (the file must not change while it is read).
QString readOnlyUri(const QString &file);

// Copies the database open on `source` into `target` with the engine's online
// backup (one read of the source, inside its open transaction if it has one):
// written under a temporary name readable by its owner only, in the
// rollback-journal mode (a single self-contained file that any tool can open
// read-only without leaving a log beside it), checked with the integrity
// check, and only then renamed over an older file of that name. Returns an
// empty text, or what went wrong.
QString copyDatabase(sqlite3 *source, const QString &target);

} // namespace SqliteFile
