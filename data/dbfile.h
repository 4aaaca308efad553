#pragma once
// Copies of the database file: the backup taken from the open connection, the
// test that a file is a database of this program, and the restore that puts a
// backup in place of the database file.
#include <QDateTime>
#include <QString>
#include <QStringList>

class frmDM;

namespace DbFile {

// Renames `from` over `to` and makes the rename last through a power cut.
bool renameOver(const QString &from, const QString &to);
// Copies a file byte for byte and makes the copy durable. Returns an empty
// text on success; a failed copy leaves nothing behind.
QString copyFile(const QString &from, const QString &to);

// Creates `file` empty and readable by its owner only (backups and copies of
// the books hold the shop's users). False when it is there already or cannot
// be made.
bool createPrivateFile(const QString &file);

// The backup file for a business date in a folder: folder + "/" + date + ".edb",
// with one separator between folder and name also when the folder is the root.
QString backupPath(const QString &folder, const QString &workDate);

// Copies the database open on `connection` into `target` with the engine's
// online backup: a consistent picture of the committed state, the write-ahead
// log included, read in one go while other seats may go on writing. The copy is
// one self-contained file in the rollback-journal mode (any tool opens it
// read-only without leaving a log beside it), readable by its owner only (it
// holds the shop's users). It is written under a temporary name beside the
// target, passes the integrity check, and only then is renamed over an older
// file of that name, so a failed backup never spoils the previous one. Returns
// an empty text on success, else what went wrong.
QString backup(const QString &connection, const QString &target);

// Whether `file` is a database of this program that this program can open:
// an SQLite file passing the engine's integrity check, holding the program's
// tables, of a schema version not newer than this program's. The file is
// opened read-only and nothing is written beside it. Returns an empty text
// when it is, else the reason in Chinese; *version receives its schema version.
QString checkProgramDatabase(const QString &file, int *version = nullptr);

struct RestoreResult {
    bool ok = false;
    QString message;     // the reason when refused
    QString safetyCopy;  // where the replaced database was kept
    bool closed = false; // the connection is closed: the program must end
    QStringList notes;   // what the upgrade of an older backup has to say
};

// The name of the safety copy kept beside the database file at `when`:
// "db-恢复前-yyyyMMdd-HHmmss.edb" in the same folder ("…-2.edb" and so on
// when that name is taken).
QString safetyCopyPath(const QString &databaseFile, const QDateTime &when);

// Puts the books of the backup `backupFile` in place of the books open on
// `connection`:
//  1. checks the backup (checkProgramDatabase); anything else is refused and
//     nothing changes;
//  2. makes fresh books of the program's own schema beside the database and
//     copies into them only the rows of the tables and columns the program
//     knows (an older backup read through the upgrade steps); triggers, views,
//     indexes, other tables and settings of the backup never reach the books;
//  3. takes the books for writing and holds them to the end: keeps the books
//     as they are (every save told OK so far) as a dated safety copy, written
//     under a temporary name and renamed when complete, then brings the fresh
//     books into the open database with the engine's online backup, one write
//     transaction. No file is renamed under another connection: every other
//     program sees either the books before or the restored ones, and one that
//     waits too long for the books is told they are busy.
// The connection stays open on the restored books; the caller ends the
// program so that its next start reads the restored shop options and users.
// On a server (serverbackup.h) the same, with the server's means.
RestoreResult restore(frmDM &dm, const QString &connection, const QString &backupFile,
                      const QDateTime &when = QDateTime::currentDateTime());

} // namespace DbFile
