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

// The product of two stored four-decimal values (a quantity times a unit
// price or cost) in whole ten-thousandths, worked out in whole numbers and
// rounded once, halves away from zero, as Money's multiplication rounds:
// 0.5 × 1.0009 is 0.5005 on every engine, where doubles would give 0.5004.
// The ten-thousandths of `b` are split into whole yuan and the rest, so that
// no step leaves 64 bits while the product itself fits and |a| stays below
// 92 000 000 000 (a quantity: `a` in ten-thousandths times 10^4 below 2^63).
inline QString productUnits(const QString &a, const QString &b)
{
    const QString ua = units(a), ub = units(b);
    // a × the whole yuan of b is exact; a × the rest of b is in 10^-8 and is
    // rounded to 10^-4 by adding half a unit towards its sign, then cutting
    // towards zero (integer division does). Both parts carry the sign of the
    // product, which the plain product of the two values tells exactly.
    return QStringLiteral("(%1*(%2/10000) + (%1*(%2 %3 10000) + case when (%4)*(%5) < 0 then -5000 else 5000 end)/10000)")
        .arg(ua, ub, QStringLiteral("%"), a, b);
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
