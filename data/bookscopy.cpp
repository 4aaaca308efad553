#include "bookscopy.h"
#include "connection.h"
#include "dberror.h"
#include "engine.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariantList>

namespace {

// Rows written by one statement: few statements, and well below the
// engines' limit on bound values.
constexpr int RowsPerInsert = 200;

QStringList booksTables()
{
    return programTables() << QStringLiteral("SVersion");
}

// The table itself, not a seat's scratch copy of it (UBB on a server).
QString tableIn(QSqlDatabase db, const QString &table)
{
    if (!EngineInfo::onServer(db)) return table;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select current_schema()")) || !q.next()) throw DbError::fromSql(q.lastError(), db);
    return q.value(0).toString() + QLatin1Char('.') + table;
}

QSqlQuery prepare(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.prepare(sql)) throw DbError::fromSql(q.lastError(), db);
    return q;
}

QString insertText(const QString &table, const QStringList &cols, int rows)
{
    const QString row = QLatin1Char('(') + QStringList(cols.size(), QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    return QStringLiteral("insert into %1(%2) values %3").arg(table, cols.join(QLatin1Char(',')), QStringList(rows, row).join(QLatin1Char(',')));
}

void writeRows(QSqlDatabase to, QSqlQuery &q, const QVector<QVariantList> &rows)
{
    int i = 0;
    for (const QVariantList &r : rows)
        for (const QVariant &v : r) q.bindValue(i++, v);
    if (!q.exec()) throw DbError::fromSql(q.lastError(), to);
    q.finish();
}

} // namespace

void emptyBooks(QSqlDatabase to)
{
    for (const QString &t : booksTables()) {
        QSqlQuery q(to);
        if (!q.exec(QStringLiteral("delete from %1").arg(tableIn(to, t)))) throw DbError::fromSql(q.lastError(), to);
    }
}

void copyBooksRows(QSqlDatabase from, QSqlDatabase to, const std::function<void(const QString &table)> &progress)
{
    for (const QString &table : booksTables()) {
        if (progress) progress(table);
        QStringList cols;
        const QSqlRecord rec = from.record(table);
        for (int i = 0; i < rec.count(); ++i) cols << rec.fieldName(i);
        if (cols.isEmpty()) throw DbError(QStringLiteral("数据库中没有表 %1").arg(table), DbError::Kind::NotADatabase);
        const bool hasId = cols.contains(QStringLiteral("ID"), Qt::CaseInsensitive);

        QSqlQuery read(from);
        read.setForwardOnly(true);
        if (!read.exec(QStringLiteral("select %1 from %2%3")
                           .arg(cols.join(QLatin1Char(',')), table, hasId ? QStringLiteral(" order by ID") : QString())))
            throw DbError::fromSql(read.lastError(), from);
        const QString target = tableIn(to, table);
        QSqlQuery full = prepare(to, insertText(target, cols, RowsPerInsert));
        QVector<QVariantList> batch;
        batch.reserve(RowsPerInsert);
        while (read.next()) {
            QVariantList r;
            r.reserve(cols.size());
            for (int i = 0; i < cols.size(); ++i) r << read.value(i);
            batch << r;
            if (batch.size() == RowsPerInsert) {
                writeRows(to, full, batch);
                batch.clear();
            }
        }
        if (read.lastError().isValid()) throw DbError::fromSql(read.lastError(), from);
        if (!batch.isEmpty()) {
            QSqlQuery rest = prepare(to, insertText(target, cols, int(batch.size())));
            writeRows(to, rest, batch);
        }
        // The server's counter goes on after the highest ID copied.
        if (hasId && EngineInfo::onServer(to)) {
            QSqlQuery q(to);
            if (!q.exec(QStringLiteral("select setval(pg_get_serial_sequence('%1', 'id'), "
                                       "coalesce((select max(ID) from %2), 0) + 1, false)")
                            .arg(target.toLower(), target)))
                throw DbError::fromSql(q.lastError(), to);
        }
    }
}
