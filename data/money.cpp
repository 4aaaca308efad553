#include "money.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {
// Rounds a / b to the nearest integer, halves away from zero (b > 0).
qint64 roundDiv(__int128 a, __int128 b)
{
    if (b < 0) { a = -a; b = -b; }
    __int128 q = a / b;
    __int128 r = a % b;
    if (r < 0) r = -r;
    if (2 * r >= b) q += (a < 0 ? -1 : 1);
    return qint64(q);
}
}

Money Money::fromDouble(double d)
{
    if (!std::isfinite(d)) return Money();
    return fromUnits(qint64(std::llround(d * Scale)));
}

Money Money::fromString(const QString &text, bool *ok)
{
    const QString s = text.trimmed();
    if (ok) *ok = true;
    if (s.isEmpty()) return Money();
    // Exact decimal parsing for the common form, so "0.1" is exactly 1000 units.
    int i = 0;
    bool neg = false;
    if (s[0] == QLatin1Char('-') || s[0] == QLatin1Char('+')) { neg = s[0] == QLatin1Char('-'); i = 1; }
    qint64 whole = 0;
    qint64 frac = 0;
    int fracDigits = 0;
    bool digits = false, dot = false, roundUp = false, plain = true;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
            const int v = c.unicode() - '0';
            if (!dot) {
                if (whole > (qint64(1) << 50)) { plain = false; break; }
                whole = whole * 10 + v;
            } else if (fracDigits < 4) {
                frac = frac * 10 + v; ++fracDigits;
            } else if (fracDigits == 4) {
                roundUp = v >= 5; ++fracDigits;
            }
        } else if (c == QLatin1Char('.') && !dot) {
            dot = true;
        } else {
            plain = false;
            break;
        }
    }
    const qint64 largest = std::numeric_limits<qint64>::max();
    if (plain && digits) {
        while (fracDigits < 4) { frac *= 10; ++fracDigits; }
        const qint64 rest = frac + (roundUp ? 1 : 0);
        // A number past the range of Money is not a number here, never a
        // wrapped value.
        if (whole > (largest - rest) / Scale) {
            if (ok) *ok = false;
            return Money();
        }
        qint64 u = whole * Scale + rest;
        return fromUnits(neg ? -u : u);
    }
    // Other forms ("1e3") go through the C locale's conversion.
    bool good = false;
    const double d = QLocale::c().toDouble(s, &good);
    // 2^63 ten-thousandths is the first value past the range.
    if (!good || !std::isfinite(d) || std::fabs(d * Scale) >= 9223372036854775808.0) {
        if (ok) *ok = false;
        return Money();
    }
    return fromDouble(d);
}

Money Money::fromVariant(const QVariant &v)
{
    if (v.isNull() || !v.isValid()) return Money();
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return fromUnits(v.toLongLong() * Scale);
    case QMetaType::Double:
        return fromDouble(v.toDouble());
    default:
        return fromString(v.toString());
    }
}

QString Money::toString() const
{
    const bool neg = m_units < 0;
    const quint64 a = neg ? quint64(-m_units) : quint64(m_units);
    QString s = QString::number(a / Scale);
    quint64 f = a % Scale;
    if (f) {
        QString fs = QString::number(f).rightJustified(4, QLatin1Char('0'));
        while (fs.endsWith(QLatin1Char('0'))) fs.chop(1);
        s += QLatin1Char('.') + fs;
    }
    return neg ? QLatin1Char('-') + s : s;
}

qint64 Money::toFen() const
{
    return roundDiv(m_units, Scale / 100);
}

QString Money::toPrintString() const
{
    const qint64 cents = toFen();
    const bool neg = cents < 0;
    const quint64 a = neg ? quint64(-cents) : quint64(cents);
    QString whole = QString::number(a / 100);
    for (int p = whole.size() - 3; p > 0; p -= 3) whole.insert(p, QLatin1Char(','));
    const QString s = whole + QLatin1Char('.') + QString::number(a % 100).rightJustified(2, QLatin1Char('0'));
    return neg ? QLatin1Char('-') + s : s;
}

Money Money::operator*(const Money &o) const
{
    return fromUnits(roundDiv(__int128(m_units) * o.m_units, Scale));
}

Money Money::operator/(const Money &o) const
{
    if (o.m_units == 0) return Money();
    return fromUnits(roundDiv(__int128(m_units) * Scale, o.m_units));
}

Money Money::operator/(qint64 k) const
{
    if (k == 0) return Money();
    return fromUnits(roundDiv(m_units, k));
}

QString generalNumber(double d)
{
    if (d == 0) return QStringLiteral("0");
    return QString::number(d, 'g', 15);
}
