#pragma once
// Copies of the database file: the backup taken from the open connection, the
// test that a file is a database of this program, and the restore that puts a
// backup in place of the database file.
#include <QDateTime>
#include <QString>

class frmDM;

namespace DbFile {

// The backup file for a business date in a folder: folder + "/" + date + ".edb",
// with one separator between folder and name also when the folder is the root.
QString backupPath(const QString &folder, const QString &workDate);

// Copies the database open on `connection` into `target` with the engine's
// online backup: a consistent picture of the committed state, the write-ahead
// log included, read in one go while other seats may go on writing. The copy is
// written under a temporary name beside the target, checked, and only then
// renamed over an older file of that name, so a failed backup never spoils the
// previous one. Returns an empty text on success, else what went wrong.
QString backup(const QString &connection, const QString &target);

// Whether `file` is a database of this program that this program can open:
// an SQLite file passing the engine's integrity check, holding the program's
// tables, of a schema version not newer than this program's. The file is
// opened read-only and nothing is written beside it. Returns an empty text
// when it is, else the reason in Chinese.
QString checkProgramDatabase(const QString &file);

struct RestoreResult {
    bool ok = false;
    QString message;     // the reason when refused
    QString safetyCopy;  // where the replaced database was kept
    bool closed = false; // the connection is closed: the program must end
};

// The name of the safety copy kept beside the database file at `when`:
// "db-恢复前-yyyyMMdd-HHmmss.edb" in the same folder ("…-2.edb" and so on
// when that name is taken).
QString safetyCopyPath(const QString &databaseFile, const QDateTime &when);

// Puts the backup `backupFile` in place of the database file open on
// `connection`:
//  1. copies the backup beside the database file and checks the copy
//     (checkProgramDatabase); anything else is refused and nothing changes;
//  2. lets go of the data module's statements and closes the connection after
//     folding the write-ahead log back into the file; when another program
//     still holds the database (its -wal stays), the connection is opened
//     again and the restore refused;
//  3. keeps the current database file as a dated safety copy beside it;
//  4. renames the checked copy over the database file, with no -wal, -shm or
//     -journal of the old database left beside it.
// After a successful restore the connection stays closed: the caller ends
// the program so that the next start opens the restored file.
RestoreResult restore(frmDM &dm, const QString &connection, const QString &backupFile,
                      const QDateTime &when = QDateTime::currentDateTime());

} // namespace DbFile
