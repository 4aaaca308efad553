#pragma once
// Sums of stored amounts and quantities that are exact: every value is added as
// a whole number of ten-thousandths, so ten years of figures add up without the
// rounding error of adding binary fractions. The text is plain SQL that SQLite
// and PostgreSQL both run.
//
//   "select " + SqlSum::units("theIn") + " from UList where ..."
//   Money in = SqlSum::read(row[0]);
#include "money.h"

#include <QString>
#include <QVariant>

namespace SqlSum {

// The exact sum of `expr` in ten-thousandths; NULL over no rows.
inline QString units(const QString &expr)
{
    return QStringLiteral("sum(cast(round(%1*10000) as bigint))").arg(expr);
}

// A sum made by units(). NULL (a sum over no rows) reads as 0 and sets *any to
// false.
inline Money read(const QVariant &v, bool *any = nullptr)
{
    const bool has = v.isValid() && !v.isNull();
    if (any) *any = has;
    return has ? Money::fromUnits(v.toLongLong()) : Money();
}

} // namespace SqlSum
