#pragma once
// The client library's connection under a server connection of the driver,
// for what the driver does not offer (bulk load, a look at the session).
#include <QSqlDatabase>

struct pg_conn;

// The open connection's PGconn, or null (not open, not a server).
pg_conn *serverConnectionHandle(const QSqlDatabase &db);
