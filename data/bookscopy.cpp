#include "bookscopy.h"
#include "connection.h"
#include "dberror.h"
#include "engine.h"
#include "money.h"
#include "servercopy.h"

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

// The table itself, not a seat's scratch copy of it (UBB on a server).
QString tableIn(QSqlDatabase db, const QString &table)
{
    if (!EngineInfo::onServer(db)) return table;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select current_schema()")) || !q.next()) throw DbError::fromSql(q.lastError(), db);
    return q.value(0).toString() + QLatin1Char('.') + table;
}

QSqlQuery run(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql)) throw DbError::fromSql(q.lastError(), db);
    return q;
}

QString insertText(const QString &table, const QStringList &cols, int rows)
{
    const QString row = QLatin1Char('(') + QStringList(cols.size(), QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    return QStringLiteral("insert into %1(%2) values %3").arg(table, cols.join(QLatin1Char(',')), QStringList(rows, row).join(QLatin1Char(',')));
}

QStringList names(const QList<SchemaColumn> &columns)
{
    QStringList out;
    for (const SchemaColumn &c : columns) out << c.name;
    return out;
}

bool hasId(const QStringList &cols) { return cols.contains(QStringLiteral("ID"), Qt::CaseInsensitive); }

// The server's counter goes on after the highest ID copied.
void resetCounter(QSqlDatabase to, const QString &target)
{
    if (!EngineInfo::onServer(to)) return;
    run(to, QStringLiteral("select setval(pg_get_serial_sequence('%1', 'id'), "
                           "coalesce((select max(ID) from %2), 0) + 1, false)")
                .arg(target.toLower(), target));
}

void missing(const QString &what)
{
    throw DbError(what, DbError::Kind::NotADatabase);
}

} // namespace

QStringList knownColumns(QSqlDatabase from, const QString &table)
{
    const QStringList want = names(programColumns(table));
    const QSqlRecord rec = from.record(table);
    if (rec.isEmpty()) missing(QStringLiteral("没有表 %1").arg(table));
    QStringList have;
    for (int i = 0; i < rec.count(); ++i) have << rec.fieldName(i);
    for (const QString &c : want)
        if (!have.contains(c, Qt::CaseInsensitive)) missing(QStringLiteral("表 %1 缺少列 %2").arg(table, c));
    return want;
}

void withIndexesAfter(QSqlDatabase to, const std::function<void()> &copy)
{
    const QList<QPair<QString, QString>> indexes = EngineInfo::indexDefinitions(to);
    for (const auto &index : indexes) run(to, QStringLiteral("DROP INDEX \"%1\"").arg(index.first));
    copy();
    for (const auto &index : indexes) run(to, index.second);
}

void emptyBooks(QSqlDatabase to)
{
    for (const QString &t : programTables(schemaVersion(to))) run(to, QStringLiteral("delete from %1").arg(tableIn(to, t)));
}

RowWriter::RowWriter(QSqlDatabase to, const QString &table, const QStringList &columns)
    : m_to(to), m_table(tableIn(to, table)), m_columns(columns)
{
    if (EngineInfo::onServer(to)) m_copy = std::make_unique<ServerCopy>(to, m_table, columns);
    else m_batch.reserve(RowsPerInsert);
}

RowWriter::~RowWriter() = default;

void RowWriter::add(const QVariantList &row)
{
    if (row.size() != m_columns.size())
        throw DbError(QStringLiteral("表 %1 的一行有 %2 个值，应为 %3 个").arg(m_table).arg(row.size()).arg(m_columns.size()),
                      DbError::Kind::NotADatabase);
    if (m_copy) {
        m_copy->add(row);
        return;
    }
    m_batch << row;
    if (m_batch.size() == RowsPerInsert) write(RowsPerInsert);
}

void RowWriter::finish()
{
    if (m_copy) m_copy->finish();
    else if (!m_batch.isEmpty()) write(int(m_batch.size()));
    if (hasId(m_columns)) resetCounter(m_to, m_table);
}

void RowWriter::write(int rows)
{
    QSqlQuery q(m_to);
    if (!q.prepare(insertText(m_table, m_columns, rows))) throw DbError::fromSql(q.lastError(), m_to);
    int i = 0;
    for (const QVariantList &r : m_batch)
        for (const QVariant &v : r) q.bindValue(i++, v);
    if (!q.exec()) throw DbError::fromSql(q.lastError(), m_to);
    m_batch.clear();
}

void copyBooksRows(QSqlDatabase from, QSqlDatabase to, const std::function<void(const QString &table)> &progress)
{
    // The tables of the books' version: a backup made before a table was added has none of it.
    for (const QString &table : programTables(schemaVersion(to))) {
        if (progress) progress(table);
        const QStringList cols = knownColumns(from, table);
        QSqlQuery read = run(from, QStringLiteral("select %1 from %2%3")
                                       .arg(cols.join(QLatin1Char(',')), table,
                                            hasId(cols) ? QStringLiteral(" order by ID") : QString()));
        RowWriter writer(to, table, cols);
        while (read.next()) {
            QVariantList r;
            r.reserve(cols.size());
            for (int i = 0; i < cols.size(); ++i) r << read.value(i);
            writer.add(r);
        }
        if (read.lastError().isValid()) throw DbError::fromSql(read.lastError(), from);
        writer.finish();
    }
}

void copyAttachedRows(QSqlDatabase to, const QString &attached)
{
    for (const QString &table : programTables(schemaVersion(to))) {
        // The columns the attached database has, by the engine's own account.
        QSqlQuery info = run(to, QStringLiteral("PRAGMA %1.table_info(\"%2\")").arg(attached, table));
        QStringList have;
        while (info.next()) have << info.value(1).toString();
        if (have.isEmpty()) missing(QStringLiteral("没有表 %1").arg(table));
        const QStringList cols = names(programColumns(table));
        for (const QString &c : cols)
            if (!have.contains(c, Qt::CaseInsensitive)) missing(QStringLiteral("表 %1 缺少列 %2").arg(table, c));
        const QString list = cols.join(QLatin1Char(','));
        run(to, QStringLiteral("insert into main.%1(%2) select %2 from %3.%1%4")
                    .arg(table, list, attached, hasId(cols) ? QStringLiteral(" order by ID") : QString()));
    }
}

void checkBooksValues(QSqlDatabase db)
{
    const Engine e = EngineInfo::of(db);
    const QString moneyLimit = QString::number(Money::StoreLimit / Money::Scale);
    for (const QString &table : programTables(schemaVersion(db))) {
        QStringList terms, labels;
        for (const SchemaColumn &c : programColumns(table)) {
            if (!c.number) continue;
            QStringList t;
            const QString kind = EngineInfo::notANumberTerm(e, c.name, !c.money);
            if (!kind.isEmpty()) t << kind;
            t << QStringLiteral("abs(%1) >= %2").arg(c.name, c.money ? moneyLimit : QStringLiteral("2147483648"));
            if (c.name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0) t << QStringLiteral("ID is null");
            terms << QLatin1Char('(') + t.join(QStringLiteral(" or ")) + QLatin1Char(')');
            labels << c.name;
        }
        if (terms.isEmpty()) continue;
        QStringList flags;
        for (const QString &t : terms) flags << QStringLiteral("case when %1 then 1 else 0 end").arg(t);
        QSqlQuery q = run(db, QStringLiteral("select %1 from %2 where %3 limit 1")
                                  .arg(flags.join(QLatin1Char(',')), tableIn(db, table), terms.join(QStringLiteral(" or "))));
        if (!q.next()) continue;
        for (int i = 0; i < labels.size(); ++i)
            if (q.value(i).toInt() == 1)
                missing(QStringLiteral("表 %1 的列 %2 含有不是数字或超出范围的值").arg(table, labels.at(i)));
    }
}
