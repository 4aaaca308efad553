#pragma once
// A transaction guard: everything done between its creation and commit() is kept
// together; leaving the scope without commit() (an exception, an early return)
// rolls it all back. Guards nest through savepoints, so a save that calls another
// save stays one unit.
//
// The outermost guard takes the books for writing at once (BEGIN IMMEDIATE on
// the file, the books' write lock on a server; data/engine.h): what a save
// reads to decide (stock, owed amounts, flags) cannot change under it, and
// when another seat is writing, the engine's wait applies before anything is
// read. After that wait the guard throws a DbError of kind Busy.
#include <QSqlDatabase>
#include <QString>

class Transaction {
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    void commit();

    // Whether a guard is open on that connection.
    static bool active(const QSqlDatabase &db);

    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    void begin();
    void run(const QString &sql);
    void end();
    QSqlDatabase m_db;
    QString m_name;     // savepoint name; empty for the outermost guard
    bool m_done = false;
};
