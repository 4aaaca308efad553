#pragma once
// A transaction guard: everything done between its creation and commit() is kept
// together; leaving the scope without commit() (an exception, an early return)
// rolls it all back. Guards nest through savepoints, so a save that calls another
// save stays one unit.
#include <QSqlDatabase>
#include <QString>

class Transaction {
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    void commit();

    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    void run(const QString &sql);
    QSqlDatabase m_db;
    QString m_name;
    bool m_done = false;
};
