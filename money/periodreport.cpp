#include "periodreport.h"

#include "data/dm.h"
#include "data/sqlmoney.h"
#include "data/dberror.h"
#include "data/engine.h"
#include "data/words.h"
#include "ui/sqlcondition.h"

#include <QHash>
#include <QSqlError>

namespace {

// One source of the report: its table, the columns it sums (a count follows
// them), where its figures start among the thirty, and the filters it takes.
struct Source {
    const char *table;
    QVector<const char *> sums;
    int first;
    bool preSave;    // pre-saved documents ("预存") are left out
    bool warehouse;  // takes the warehouse filter
    bool account;    // takes the account filter
};

// In the order the report has always asked them.
const Source Sources[] = {
    {"UJH", {"theHJ", "theSJ", "theYF", "theCount"}, 0, true, true, true},
    {"UCG_O", {"theHJ", "theSJ", "theYS", "theCount"}, 5, false, true, true},
    {"UXS", {"theHJ", "theSJ", "theYS", "theCount"}, 12, true, true, true},
    {"UXS_O", {"theHJ", "theSJ", "theYF", "theCount"}, 17, false, true, true},
    {"UBS", {"theSum", "theCount"}, 24, false, true, false},
    {"UBY", {"theSum", "theCount"}, 27, false, true, false},
    {"USK", {"theSK"}, 22, false, false, true},
    {"UFK", {"theFK"}, 10, false, false, true},
};

QString keyFormat(PeriodUnit unit)
{
    switch (unit) {
    case PeriodUnit::Day: return QStringLiteral("yyyy-MM-dd");
    case PeriodUnit::Month: return QStringLiteral("yyyy-MM");
    case PeriodUnit::Year: break;
    }
    return QStringLiteral("yyyy");
}

QDate step(PeriodUnit unit, const QDate &d)
{
    switch (unit) {
    case PeriodUnit::Day: return d.addDays(1);
    case PeriodUnit::Month: return d.addMonths(1);
    case PeriodUnit::Year: break;
    }
    return d.addYears(1);
}

QStringList keysFrom(PeriodUnit unit, QDate d, int n)
{
    QStringList keys;
    const QString format = keyFormat(unit);
    for (int i = 0; i < n; ++i, d = step(unit, d)) keys << d.toString(format);
    return keys;
}

// The fixed conditions of a source and the filters it takes.
SqlCondition sourceCondition(const Source &s, const ReportFilters &f)
{
    QList<SqlCondition> parts{{QStringLiteral("theDel=?"), {QString::fromUtf8(Words::No)}}};
    if (s.preSave) parts << SqlCondition{QStringLiteral("theYC=?"), {QString::fromUtf8(Words::No)}};
    if (s.warehouse && f.warehouse) parts << SqlCondition{QStringLiteral("WName=?"), {*f.warehouse}};
    if (f.handler) parts << SqlCondition{QStringLiteral("UName=?"), {*f.handler}};
    if (f.user) parts << SqlCondition{QStringLiteral("IName=?"), {*f.user}};
    if (s.account && f.account) parts << SqlCondition{QStringLiteral("AName=?"), {*f.account}};
    return SqlCondition::all(parts);
}

QString figureColumns(const Source &s)
{
    QStringList cols;
    for (const char *c : s.sums) cols << SqlMoney::sumUnits(QLatin1String(c));
    cols << QStringLiteral("count(*)");
    return cols.join(QLatin1Char(','));
}

// Puts one result row (the sums, then the count) into a report row.
void fill(ReportRow &row, const Source &s, const QVariantList &v, int from)
{
    for (int i = 0; i < s.sums.size(); ++i) row.figures[s.first + i] = SqlMoney::fromSum(v[from + i]);
    row.figures[s.first + s.sums.size()] = Money::fromUnits(v[from + s.sums.size()].toLongLong() * Money::Scale);
}

// What a period is matched by: the whole business date for a day, its first
// seven or four characters for a month or a year.
QString periodExpression(PeriodUnit unit)
{
    switch (unit) {
    case PeriodUnit::Day: return QStringLiteral("theDate");
    case PeriodUnit::Month: return QStringLiteral("substr(theDate,1,7)");
    case PeriodUnit::Year: break;
    }
    return QStringLiteral("substr(theDate,1,4)");
}

QVector<ReportRow> emptyRows(const QStringList &keys)
{
    QVector<ReportRow> rows(keys.size());
    for (int i = 0; i < keys.size(); ++i) rows[i].key = keys[i];
    return rows;
}

} // namespace

int periodCount(PeriodUnit unit, const QDate &from, const QDate &to)
{
    const qint64 days = from.daysTo(to);
    if (days < 0) return 0;
    switch (unit) {
    case PeriodUnit::Day: return int(days + 1);
    // Whole months are days / 30.4375 (= 487 / 16), whole years days / 365.25
    // (= 1461 / 4), truncated; worked in whole numbers so that no rounding
    // can move a border.
    case PeriodUnit::Month: return int(days * 16 / 487 + 2);
    case PeriodUnit::Year: break;
    }
    return int(days * 4 / 1461 + 2);
}

QStringList periodKeys(PeriodUnit unit, const QDate &from, const QDate &to)
{
    return keysFrom(unit, from, periodCount(unit, from, to));
}

const QStringList &reportColumns()
{
    static const QStringList c = QStringLiteral("CG1,CG2,CG3,CG4,CG5,CT1,CT2,CT3,CT4,CT5,FK1,FK2,XS1,XS2,XS3,XS4,XS5,"
                                                "XT1,XT2,XT3,XT4,XT5,SK1,SK2,BS1,BS2,BS3,BY1,BY2,BY3")
                                     .split(QLatin1Char(','));
    return c;
}

const QStringList &reportCaptions()
{
    static const QStringList c = QStringLiteral("采购合计,采购实付,采购应付,采购数量,采购单,采退合计,采退实收,采退应收,采退数量,采退单,"
                                                "付款金额,付款单,销售合计,销售实收,销售应收,销售数量,销售单,"
                                                "销退合计,销退实付,销退应付,销退数量,销退单,收款金额,收款单,"
                                                "报损合计,报损数量,报损单,报溢合计,报溢数量,报溢单")
                                     .split(QLatin1Char(','));
    return c;
}

QVector<ReportRow> computeReport(frmDM &dm, PeriodUnit unit, const QDate &from, const QDate &to,
                                 const ReportFilters &filters)
{
    const QStringList keys = periodKeys(unit, from, to);
    QVector<ReportRow> rows = emptyRows(keys);
    if (keys.isEmpty()) return rows;
    QHash<QString, int> at;
    for (int i = 0; i < keys.size(); ++i) at.insert(keys[i], i);

    // Every business date of a period lies between the first key and the key
    // after the last one (as text: "2013-01-31" < "2013-02"), so the range can
    // be read through the date index; the grouping then sorts the rows into
    // periods, and only groups that are exactly a period's key are taken, as
    // the period-by-period query matches them.
    const QString first = keys.first();
    const QString after = keysFrom(unit, from, keys.size() + 1).last();
    const QString group = periodExpression(unit);
    for (const Source &s : Sources) {
        const SqlCondition c = sourceCondition(s, filters);
        QVariantList binds{first, after};
        binds += c.binds;
        const auto result = dm.rows(QStringLiteral("select %1,%2 from %3 where theDate>=? and theDate<? and %4 group by %1")
                                        .arg(group, figureColumns(s), QLatin1String(s.table), c.sql),
                                    binds);
        for (const QVariantList &v : result) {
            const auto it = at.constFind(v[0].toString());
            if (it != at.constEnd()) fill(rows[it.value()], s, v, 1);
        }
    }
    return rows;
}

QVector<ReportRow> computeReportPerPeriod(frmDM &dm, PeriodUnit unit, const QDate &from, const QDate &to,
                                          const ReportFilters &filters)
{
    QVector<ReportRow> rows = emptyRows(periodKeys(unit, from, to));
    const QString period = periodExpression(unit);
    for (ReportRow &row : rows) {
        for (const Source &s : Sources) {
            const SqlCondition c = sourceCondition(s, filters);
            QVariantList binds{row.key};
            binds += c.binds;
            const auto result = dm.rows(QStringLiteral("select %1 from %2 where %3=? and %4")
                                            .arg(figureColumns(s), QLatin1String(s.table), period, c.sql),
                                        binds);
            fill(row, s, result.first(), 0);
        }
    }
    return rows;
}

void storeReport(frmDM &dm, const QVector<ReportRow> &rows, const std::function<void(int)> &progress)
{
    // The rows go to the seat's own UBB, kept together but without the books'
    // write lock: a report never waits for another seat's save.
    QSqlDatabase db = dm.db();
    EngineInfo::ownScratchTable(db, QStringLiteral("UBB"));
    if (!db.transaction()) throw DbError::fromSql(db.lastError(), db);
    try {
        dm.mySQL(QStringLiteral("delete from UBB"));
        int written = 0;
        for (const ReportRow &r : rows) {
            QStringList figures;
            figures.reserve(ReportFigures);
            for (const Money &m : r.figures) figures << m.toString();
            dm.SaveBB(r.key, figures);
            if (progress) progress(++written);
        }
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const DbError e = DbError::fromSql(db.lastError(), db);
        db.rollback();
        throw e;
    }
}
