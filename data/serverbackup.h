#pragma once
// Backup and restore of books on a server, with the server's own tools:
// pg_dump writes a backup in its custom format, pg_restore and psql put one
// back in one transaction. A backup of the file (a shop moving from one seat
// to several) is restored on a server by copying its rows. dbfile.h is the
// interface the dialogs use; it comes here for books on a server.
#include "dbfile.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace DbFile {

// Where a PostgreSQL client program lives (pg_dump, pg_restore, psql): on the
// search path, else the newest of /usr/lib/postgresql/*/bin. Empty when missing.
QString serverTool(const QString &name);

// pg_dump of the books open on `db` into `target` (written beside it under a
// temporary name, checked with pg_restore --list, then renamed over it).
// Returns an empty text on success, else what went wrong.
QString serverBackup(const QSqlDatabase &db, const QString &target);

// Whether `file` is a server backup of these books that this program can
// restore. Returns an empty text when it is, else the reason.
QString checkServerBackup(const QString &file);

// Whether `file` starts as a server backup (pg_dump's custom format).
bool isServerBackup(const QString &file);

// The connections to the books open on `db` that are not this seat's own:
// other seats, other programs. This seat's connections and the client
// programs it starts are told by their name (serverApplicationName), not
// by a process id that a seat on another machine may share. Throws DbError.
int otherSeats(QSqlDatabase db);

// The restore of dbfile.h for books on a server.
RestoreResult serverRestore(frmDM &dm, QSqlDatabase db, const QString &backupFile, const QDateTime &when);

} // namespace DbFile
