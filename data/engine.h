#pragma once
#include <functional>
// The two engines the books can live in, and everything that differs between
// them. The statements of the program are the same text on both wherever the
// standard allows; what cannot be the same is asked of this descriptor, and
// only the data module asks.
//
//   File   — the SQLite file Data/db.edb: one seat (or a few on one shared file).
//   Server — a database on a PostgreSQL server: several seats at once.
#include <QSqlDatabase>
#include <QString>
#include <QList>
#include <QPair>
#include <QStringList>

enum class Engine { File, Server };

namespace EngineInfo {

// The engine behind a connection (by its Qt driver).
Engine of(const QSqlDatabase &db);
inline bool onServer(const QSqlDatabase &db) { return of(db) == Engine::Server; }

// The Qt driver of each engine.
QString driverName(Engine e);

// ---- schema ----

// The counter primary key "ID": given by the engine, never by the program.
QString idColumn(Engine e);
// A text column of a declared width. On the server: text in the "C"
// collation, which sorts and compares byte by byte as the file does.
QString textType(Engine e, int width);
// Amounts, prices and quantities: exact, four decimals.
QString moneyType(Engine e);
// Shop switches (0 or 1).
QString bitType(Engine e);

// The names of the tables of the open database (as the engine spells them).
QStringList tableNames(QSqlDatabase db);

// The indexes the program made on the books' tables (not those of primary
// keys), each as its name and the statement that makes it again.
QList<QPair<QString, QString>> indexDefinitions(QSqlDatabase db);

// The statements that give the product lookup's "contains" an index of its
// own (name, input code, number), or none where the engine has no such
// index: on the server, trigram indexes (the pg_trgm extension), which
// serve every search text of three characters or more.
QStringList productSearchIndex(Engine e);

// The statements that make `table` refuse every change and removal of its
// rows (rows can only be added): on the file, triggers that abort the
// statement; on the server, a trigger function that raises an error on
// UPDATE, DELETE and TRUNCATE; the error says `refusal` (no quotes in it).
// Made again without harm.
QStringList appendOnly(Engine e, const QString &table, const QString &refusal);

// Runs `write` (single statements, each committed on its own, no Transaction)
// without waiting for another seat holding the books for writing: on the file
// the wait is cut to nothing for its length; on the server a plain insert
// does not wait for the books' write lock anyway. Returns false when the
// engine refused (busy), true when written.
bool writeWithoutWaiting(QSqlDatabase db, const std::function<void()> &write);

// A condition that holds for a value of `field` that is stored as something
// other than a number (whole numbers only with `whole`), or an empty text where
// the engine's column types already refuse such values (the server). A file
// stores what it is given, so a file from outside is checked with it.
QString notANumberTerm(Engine e, const QString &field, bool whole);

// Gives the connection a table of its own standing in front of the books'
// `table` (a temporary table of the same columns, which an unqualified name
// finds first on both engines), unless it has one already. What is written
// there is this connection's alone and takes no write lock on the books:
// another seat saving meanwhile is not waited for. Statements prepared
// before it are compiled again by the engine and find it. Throws DbError.
void ownScratchTable(QSqlDatabase db, const QString &table);

// ---- statements ----

// The statements that start a write transaction. Both take the books for
// writing before anything is read: one seat writes at a time, and what a save
// reads to decide cannot change under it. Readers never wait.
//   File:   BEGIN IMMEDIATE (the file's write lock).
//   Server: BEGIN and the books' write lock (a lock held until the
//           transaction ends, waited for up to the lock timeout).
QStringList beginWrite(Engine e);

// Appended to a select of rows a transaction is about to change: locks them
// until it ends (server); nothing on the file, where the transaction already
// holds the whole file. With `alias`, only the rows of that table of a join
// are locked (the other side of an outer join cannot be).
QString rowLock(Engine e, const QString &alias = QString());

// The "contains" test of lists and lookups: `field` against a bound pattern
// with % and _ as wildcards, ignoring the case of the letters A to Z and
// nothing else, with no escape character, the same on both engines.
QString likeTerm(Engine e, const QString &field);

// Whether a list filtered by "partner (or product) whose name contains …"
// does better with the matching IDs read first and given as a list of
// values. The server estimates such a list from its statistics of the
// document column (a partner with half the documents is seen as one);
// given the sub-select it expects an average partner and may build every
// row of a big one before the first page. The file does best with the sub-select.
inline bool readsLookupsFirst(Engine e) { return e == Engine::Server; }

// How long a seat waits for another seat's lock before it is told the books
// are busy.
inline constexpr int LockWaitMs = 5000;

} // namespace EngineInfo
