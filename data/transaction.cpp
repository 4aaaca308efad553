#include "transaction.h"
#include "dberror.h"

#include <QSqlError>
#include <QSqlQuery>

namespace { int g_serial = 0; }

Transaction::Transaction(QSqlDatabase db) : m_db(db), m_name(QStringLiteral("tx%1").arg(++g_serial))
{
    run(QStringLiteral("SAVEPOINT ") + m_name);
}

Transaction::~Transaction()
{
    if (m_done) return;
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("ROLLBACK TO ") + m_name);
    q.exec(QStringLiteral("RELEASE ") + m_name);
}

void Transaction::commit()
{
    if (m_done) return;
    run(QStringLiteral("RELEASE ") + m_name);
    m_done = true;
}

void Transaction::run(const QString &sql)
{
    QSqlQuery q(m_db);
    if (!q.exec(sql)) throw DbError(q.lastError().text());
}
