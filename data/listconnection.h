#pragma once
// The connection a long list is read through, batch by batch, while the
// program goes on working on its main connection.
//
// On the file the main connection serves: SQLite keeps every statement apart.
// A server connection reads the rows of one statement at a time, and running
// any other statement on it gives up the rest of a half-read result; a list
// read in batches there gets a connection of its own, opened with the main
// connection's settings the first time it is needed and closed with this object.
#include <QSqlDatabase>
#include <QString>

class ListConnection {
public:
    ListConnection() = default;
    ~ListConnection();
    ListConnection(const ListConnection &) = delete;
    ListConnection &operator=(const ListConnection &) = delete;

    // The connection to read a list of `main` through. Throws DbError when a
    // server connection of its own cannot be opened.
    QSqlDatabase forList(const QSqlDatabase &main);

private:
    QString m_name;   // the connection of its own, once opened
};
