#pragma once
// Sums of amounts and quantities worked out by the engine, exactly.
//
// Stored amounts are four-decimal values the engine may hold as doubles; a sum
// of many doubles drifts in the last places. Each value is turned into whole
// ten-thousandths first, and whole numbers add up exactly:
//
//   select sum(<units("L.theSum")>) ... -> Money::fromUnits(that sum)
#include "money.h"

#include <QString>
#include <QVariant>

namespace SqlMoney {

// The SQL expression for `expr` in whole ten-thousandths.
inline QString units(const QString &expr)
{
    return QStringLiteral("cast(round((%1)*10000) as bigint)").arg(expr);
}

// "sum(units(expr))".
inline QString sumUnits(const QString &expr)
{
    return QStringLiteral("sum(%1)").arg(units(expr));
}

// A sum read back from such a statement; `any` (when given) tells a sum over
// no values (NULL) from a sum of 0.
inline Money fromSum(const QVariant &v, bool *any = nullptr)
{
    const bool has = v.isValid() && !v.isNull();
    if (any) *any = has;
    return has ? Money::fromUnits(v.toLongLong()) : Money();
}

} // namespace SqlMoney
