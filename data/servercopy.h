#pragma once
// Rows written into a table of the books on a server with the server's own
// bulk load (COPY … FROM STDIN) on the open connection, inside its
// transaction: the hundreds of thousands of rows of a restore go in many times
// quicker than by inserts. Values are sent as data in the copy text format;
// nothing of them is ever read as a statement.
#include <QByteArray>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>

class ServerCopy {
public:
    // Starts the load of `columns` of `table`. Throws DbError.
    ServerCopy(QSqlDatabase db, const QString &table, const QStringList &columns);
    ~ServerCopy();
    void add(const QVariantList &row); // throws DbError
    void finish();                     // throws DbError

    ServerCopy(const ServerCopy &) = delete;
    ServerCopy &operator=(const ServerCopy &) = delete;

private:
    void send();
    [[noreturn]] void fail(const QString &text, const QString &state = QString());
    QSqlDatabase m_db;
    void *m_conn = nullptr; // the connection's PGconn
    QByteArray m_buffer;
    bool m_open = false;
};
