#include "transaction.h"
#include "connection.h"
#include "dberror.h"
#include "dm.h"
#include "engine.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace {
int g_serial = 0;
// Open guards per connection.
QHash<QString, int> &depth()
{
    static QHash<QString, int> d;
    return d;
}
}

bool Transaction::active(const QSqlDatabase &db) { return depth().value(db.connectionName()) > 0; }

Transaction::Transaction(QSqlDatabase db) : m_db(db)
{
    int &open = depth()[m_db.connectionName()];
    if (open == 0) {
        // A server connection lost since the last statement is opened again first.
        if (EngineInfo::onServer(m_db) && !m_db.isOpen()) {
            frmDM *dm = frmDM::instance();
            if (dm && dm->db().connectionName() == m_db.connectionName()) {
                dm->reconnectIfLost();
            } else {
                QString error;
                if (!reopenServerConnection(m_db, &error)) throw DbError(error, DbError::Kind::CannotOpen);
            }
        }
        const QStringList begin = EngineInfo::beginWrite(EngineInfo::of(m_db));
        for (int i = 0; i < begin.size(); ++i) {
            try {
                run(begin[i]);
            } catch (const DbError &) {
                // The books' lock not had in time: the transaction begun ends here.
                if (i > 0) QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
                throw;
            }
        }
    } else {
        m_name = QStringLiteral("tx%1").arg(++g_serial);
        run(QStringLiteral("SAVEPOINT ") + m_name);
    }
    ++open;
}

Transaction::~Transaction()
{
    if (m_done) return;
    QSqlQuery q(m_db);
    if (m_name.isEmpty()) {
        q.exec(QStringLiteral("ROLLBACK"));
    } else {
        q.exec(QStringLiteral("ROLLBACK TO ") + m_name);
        q.exec(QStringLiteral("RELEASE ") + m_name);
    }
    end();
}

void Transaction::commit()
{
    if (m_done) return;
    run(m_name.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_name);
    end();
}

void Transaction::end()
{
    m_done = true;
    int &open = depth()[m_db.connectionName()];
    if (open > 0) --open;
}

void Transaction::run(const QString &sql)
{
    QSqlQuery q(m_db);
    if (!q.exec(sql)) throw DbError::fromSql(q.lastError(), m_db);
}
