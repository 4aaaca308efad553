#include "servercopy.h"
#include "dberror.h"
#include "pgconn.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <libpq-fe.h>

namespace {

// Sent to the server in pieces of about this size.
constexpr int PieceBytes = 1 << 20;

PGconn *connectionOf(const QSqlDatabase &db) { return serverConnectionHandle(db); }

// One value in the copy text format: \N for none, text with its backslash,
// tab and line breaks escaped.
void appendField(QByteArray &out, const QVariant &v)
{
    if (v.isNull()) {
        out += "\\N";
        return;
    }
    const QByteArray text = v.toString().toUtf8();
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
}

QString quoted(const QString &name) { return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"'); }

} // namespace

ServerCopy::ServerCopy(QSqlDatabase db, const QString &table, const QStringList &columns)
    : m_db(db)
{
    PGconn *conn = connectionOf(db);
    if (!conn) throw DbError(QStringLiteral("没有连接到服务器。"));
    m_conn = conn;
    // The table may come with its schema ("schema.table").
    QStringList parts;
    for (const QString &p : table.split(QLatin1Char('.'))) parts << quoted(p.toLower());
    QStringList cols;
    for (const QString &c : columns) cols << quoted(c.toLower());
    const QByteArray sql = QStringLiteral("COPY %1 (%2) FROM STDIN").arg(parts.join(QLatin1Char('.')), cols.join(QLatin1Char(','))).toUtf8();
    PGresult *r = PQexec(conn, sql.constData());
    const bool ok = PQresultStatus(r) == PGRES_COPY_IN;
    const QString message = ok ? QString() : QString::fromUtf8(PQresultErrorMessage(r));
    const QString state = ok ? QString() : QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE));
    PQclear(r);
    if (!ok) fail(message, state);
    m_open = true;
    m_buffer.reserve(PieceBytes + 4096);
}

ServerCopy::~ServerCopy()
{
    if (!m_open) return;
    // Given up part-way (an exception): the load ends in an error, and the
    // caller's transaction is rolled back.
    PGconn *conn = static_cast<PGconn *>(m_conn);
    PQputCopyEnd(conn, "abandoned");
    while (PGresult *r = PQgetResult(conn)) PQclear(r);
}

void ServerCopy::add(const QVariantList &row)
{
    for (int i = 0; i < row.size(); ++i) {
        if (i) m_buffer += '\t';
        appendField(m_buffer, row.at(i));
    }
    m_buffer += '\n';
    if (m_buffer.size() >= PieceBytes) send();
}

void ServerCopy::send()
{
    if (m_buffer.isEmpty()) return;
    PGconn *conn = static_cast<PGconn *>(m_conn);
    if (PQputCopyData(conn, m_buffer.constData(), int(m_buffer.size())) != 1) fail(QString::fromUtf8(PQerrorMessage(conn)));
    m_buffer.clear();
}

void ServerCopy::finish()
{
    send();
    PGconn *conn = static_cast<PGconn *>(m_conn);
    m_open = false;
    if (PQputCopyEnd(conn, nullptr) != 1) fail(QString::fromUtf8(PQerrorMessage(conn)));
    QString message, state;
    while (PGresult *r = PQgetResult(conn)) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK && message.isEmpty()) {
            message = QString::fromUtf8(PQresultErrorMessage(r));
            state = QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE));
        }
        PQclear(r);
    }
    if (!message.isEmpty()) fail(message, state);
}

void ServerCopy::fail(const QString &text, const QString &state)
{
    const QSqlError e(QString(), text.trimmed(), QSqlError::StatementError, state);
    throw DbError::fromSql(e, m_db);
}
