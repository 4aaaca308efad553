#pragma once
// The one database connection: the file Data/db.edb in the books' folder,
// an SQLite database created with the schema and initial rows when missing;
// or, for several seats, a database on a PostgreSQL server (bookslocation.h),
// given the same schema and initial rows when it is empty.
#include "bookslocation.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The password of the original shared database. SQLite files carry no password,
// so it is kept here for reference only and used nowhere.
inline constexpr const char *DatabasePassword = "qzk480";

// Connection name of the program's one connection.
inline constexpr const char *MainConnection = "ADOConnection1";

// AppPath + "Data/db.edb".
QString databaseFile(const QString &appPath);

// Opens the database at `file` under the connection name `name`.
//
// A missing file, an empty one, or an SQLite file without any table (left by
// a first start that was interrupted) is new: the database is built complete
// in a temporary file beside it and then moved into place, so that no half-made
// database can stay behind. A file that holds anything else is never changed
// before it is known to be this program's database of a version this program
// knows; then it is upgraded by the numbered steps it lacks (one transaction),
// switched to the write-ahead log, and tried for writing, so that a database
// that cannot be written is reported now and not at the first save.
//
// On failure returns false with a Chinese message saying what is wrong and
// where (engine detail below) in *error. Things worth telling the user that do
// not stop the start (a step that could not be done in full) go to *notes.
// `options` adds connection options (tests open files read-only this way).
bool openDatabase(const QString &file, const QString &name, QString *error, QStringList *notes = nullptr,
                  const QString &options = QString());

// Opens the books on a server under the connection name `name`. An empty
// database (no tables) is given the schema and initial rows in one
// transaction; two seats starting at once on it cannot both build it. A
// database holding anything else is never changed before it is known to be
// these books of a version this program knows; then it is upgraded like a
// file, and tried for writing. Every connection waits for another seat's
// lock at most EngineInfo::LockWaitMs. Failures as openDatabase.
bool openServer(const BooksLocation &where, const QString &name, QString *error, QStringList *notes = nullptr);

// The name a new server connection of this process gives the server, new for
// every connection: "jxc/<host>/<seat>/<n>", where everything up to the last
// "/" is the same for all connections of this run of the program.
QString serverApplicationName();

// Opens a server connection again after it was lost (the server restarted,
// the network dropped): the same settings, a new session. The statements
// prepared on the lost session must be let go before (reconnectIfLost does
// both). Returns false with the reason in *error.
bool reopenServerConnection(QSqlDatabase db, QString *error);

// Called before the first statement of every action on a connection (every
// statement of the data module, every list read, every Transaction): a
// server session that is gone (the server restarted or ended it, the network
// dropped) is found without a round trip and opened again, the data module's
// prepared statements let go first, so that the clerk notices nothing. Inside
// a Transaction nothing is done: the transaction went with its session and
// its error stands. Throws DbError of kind CannotOpen ("无法连接数据库服务器…")
// when the server cannot be reached. Nothing for the file.
void reconnectIfLost(QSqlDatabase db);

// Whether the last statement on `db` failed because its session was lost
// outside a Transaction: a read may then be run once more after
// reconnectIfLost (a write may not: whether it was done is unknown).
bool lostOutsideTransaction(const QSqlDatabase &db);

// Runs `read` (statements that change nothing) on `db` after reconnectIfLost,
// and once more on a new session should the session be lost under it.
template <class Read>
auto readWithReconnect(QSqlDatabase db, Read read) -> decltype(read())
{
    reconnectIfLost(db);
    try {
        return read();
    } catch (...) {
        if (!lostOutsideTransaction(db)) throw;
    }
    reconnectIfLost(db);
    return read();
}

// Opens the books wherever they are (openDatabase or openServer).
bool openBooks(const BooksLocation &where, const QString &name, QString *error, QStringList *notes = nullptr);

// The session settings every server connection of the program gets (the lock
// wait); nothing for the file. Returns false with the reason in *error.
bool prepareSession(QSqlDatabase db, QString *error);

// Ends the use of a connection. For the file: updates the planner's
// statistics, checkpoints the write-ahead log so that the database file alone
// holds everything, and closes; no -wal file is left when this was the last
// connection to the file. For a server: closes.
void closeDatabase(const QString &name);

// ---- schema (schema.cpp, upgrade.cpp) ----

// The schema version this program writes and understands.
int currentSchemaVersion();

// The version of an open database: 1 for a file made before versions were kept.
int schemaVersion(QSqlDatabase db);

// Creates every table, index and initial row in an empty database, at the
// current version (the first schema, then every upgrade step), or at an
// earlier `version` (the steps up to it: the books a backup of that version
// is read into before the later steps). Throws DbError.
void createSchema(QSqlDatabase db, int version = 0);

// Creates the first schema with its initial rows, as files were made before
// schema versions were kept. Throws DbError. (createSchema and tests use it.)
void createFirstSchema(QSqlDatabase db);

// Runs the upgrade steps a database lacks, in order, in one transaction; with
// `upTo`, only the steps up to that version. Returns notes for the user (empty
// when there is nothing to say). Throws DbError.
QStringList upgradeSchema(QSqlDatabase db, int upTo = 0);

// The tables of the books at schema `version` (0: this program's version):
// those of the first schema in the order they are created, then those later
// steps made (SVersion, the upgrades' own record, is not among them).
QStringList programTables(int version = 0);

// Makes one of the tables a later upgrade step adds, as the program declares
// it (its step calls it). Throws DbError.
void createProgramTable(QSqlDatabase db, const QString &table);

// A column of a table as the program makes it: a number (counter, whole
// number, switch or amount), an amount in particular, or else text.
struct SchemaColumn {
    QString name;
    bool number = false;
    bool money = false;
};
// The columns of one of the program's tables, in their order (none for a
// table the program does not know).
QList<SchemaColumn> programColumns(const QString &table);

// Whether an open database has the tables of this program.
bool hasProgramTables(QSqlDatabase db);
