#pragma once
// The day, month and year reports: for every period of a range, the totals of
// purchases, purchase returns, sales, sales returns, losses, overages and both
// kinds of voucher entered under that period's business dates, stored as one
// row per period in the scratch table UBB.
//
// The periods start at the one holding the first date and step one day, one
// calendar month or one calendar year; how many there are follows the whole
// days, months or years between the two dates (periodCount). A period without
// any document gets a row of zeros.
//
// The figures are worked out with one grouped query per source over the whole
// range (computeReport). computeReportPerPeriod is the same report asked period
// by period, eight queries each; both give the same rows.
#include "data/money.h"

#include <QDate>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

class frmDM;

enum class PeriodUnit { Day, Month, Year };

// The number of periods a report over `from` .. `to` has: whole days between
// them plus 1; whole months (days / 30.4375) plus 2; whole years (days /
// 365.25) plus 2. The month and year reports may so end one period after the
// one holding `to`.
int periodCount(PeriodUnit unit, const QDate &from, const QDate &to);

// The period keys in order: "yyyy-MM-dd", "yyyy-MM" or "yyyy".
QStringList periodKeys(PeriodUnit unit, const QDate &from, const QDate &to);

// The chosen filters; an empty optional is a filter not ticked. Each source
// takes only the filters it has: warehouse (not the vouchers), handler and user
// (all), account (not losses and overages).
struct ReportFilters {
    std::optional<QString> warehouse;
    std::optional<QString> handler;
    std::optional<QString> user;
    std::optional<QString> account;
};

// The thirty figures of UBB in column order: CG1..CG5, CT1..CT5, FK1, FK2,
// XS1..XS5, XT1..XT5, SK1, SK2, BS1..BS3, BY1..BY3 (counts as whole numbers).
inline constexpr int ReportFigures = 30;

struct ReportRow {
    QString key;
    QVector<Money> figures = QVector<Money>(ReportFigures);
    bool operator==(const ReportRow &o) const { return key == o.key && figures == o.figures; }
};

// The UBB column names in figure order.
const QStringList &reportColumns();
// The grid captions in figure order ("采购合计", …).
const QStringList &reportCaptions();

// The rows of the periods of `from` .. `to` (periodKeys), with one grouped
// query per source over the whole range. Throws DbError.
QVector<ReportRow> computeReport(frmDM &dm, PeriodUnit unit, const QDate &from, const QDate &to,
                                 const ReportFilters &filters);
// The same rows, asked period by period: eight queries for every period.
QVector<ReportRow> computeReportPerPeriod(frmDM &dm, PeriodUnit unit, const QDate &from, const QDate &to,
                                          const ReportFilters &filters);

// Empties UBB and writes the rows, in one transaction (SaveBB for each row);
// `progress` (may be empty) is told after each row how many are written.
// Throws DbError; UBB keeps the last run's rows then.
void storeReport(frmDM &dm, const QVector<ReportRow> &rows, const std::function<void(int written)> &progress = {});
