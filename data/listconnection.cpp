#include "listconnection.h"
#include "connection.h"
#include "dberror.h"
#include "engine.h"

#include <QSqlError>

namespace { int g_serial = 0; }

ListConnection::~ListConnection()
{
    if (m_name.isEmpty()) return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase ListConnection::forList(const QSqlDatabase &main)
{
    if (!EngineInfo::onServer(main)) return main;
    if (!m_name.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        // The same server and books as the main connection (a restore or a
        // new start may have changed them): otherwise opened anew.
        if (db.isOpen() && db.hostName() == main.hostName() && db.port() == main.port()
            && db.databaseName() == main.databaseName() && db.userName() == main.userName())
            return db;
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    m_name = QStringLiteral("%1-list%2").arg(main.connectionName()).arg(++g_serial);
    QSqlDatabase db = QSqlDatabase::cloneDatabase(main, m_name);
    if (!db.open()) throw DbError::fromSql(db.lastError(), db);
    QString error;
    if (!prepareSession(db, &error)) throw DbError(error);
    return db;
}
