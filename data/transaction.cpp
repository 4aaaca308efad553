#include "transaction.h"
#include "connection.h"
#include "dberror.h"
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
        // A server session lost since the last statement is opened again
        // first; one found lost at the beginning (nothing of the save done
        // yet) is opened again and the save begun afresh on it.
        reconnectIfLost(m_db);
        try {
            begin();
        } catch (const DbError &) {
            if (!lostOutsideTransaction(m_db)) throw;
            reconnectIfLost(m_db);
            begin();
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

void Transaction::begin()
{
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
}

void Transaction::run(const QString &sql)
{
    QSqlQuery q(m_db);
    if (!q.exec(sql)) throw DbError::fromSql(q.lastError(), m_db);
}
