#include "money.h"
#include "dberror.h"

#include <QLocale>
#include <cmath>

namespace {
// Rounds a / b to the nearest integer, halves away from zero.
__int128 roundDiv(__int128 a, __int128 b)
{
    if (b < 0) { a = -a; b = -b; }
    __int128 q = a / b;
    __int128 r = a % b;
    if (r < 0) r = -r;
    if (2 * r >= b) q += (a < 0 ? -1 : 1);
    return q;
}

}


Money Money::fromDouble(double d)
{
    if (!std::isfinite(d)) return invalid();
    const double u = std::round(d * Scale);
    // 2^63 is the first value past what the units hold.
    if (std::fabs(u) >= 9223372036854775808.0) return invalid();
    return fromUnits(qint64(u));
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
    // Far more digits than the range holds stop the reading early; the value is then out of range.
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
                if (whole >= StoreLimit) { whole = StoreLimit; continue; }
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
    Money m;
    if (plain && digits) {
        while (fracDigits < 4) { frac *= 10; ++fracDigits; }
        const __int128 u = __int128(whole) * Scale + frac + (roundUp ? 1 : 0);
        m = fromWide(neg ? -u : u);
    } else {
        // Other forms ("1e3") go through the C locale's conversion.
        bool good = false;
        const double d = QLocale::c().toDouble(s, &good);
        m = good ? fromDouble(d) : invalid();
    }
    if (!m.isValid() && ok) *ok = false;
    return m;
}

Money Money::fromVariant(const QVariant &v)
{
    if (v.isNull() || !v.isValid()) return Money();
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return fromWide(__int128(v.toLongLong()) * Scale);
    case QMetaType::Double:
        return fromDouble(v.toDouble());
    default:
        return fromString(v.toString());
    }
}

QVariant Money::toVariant() const
{
    if (!isStorable())
        throw DbError(QStringLiteral("数值 %1 超出账簿允许的范围（绝对值须小于 100000000000），未写入。").arg(toString()));
    return QVariant(toDouble());
}

QString Money::toString() const
{
    if (!isValid()) return QStringLiteral("超出范围");
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
    if (!isValid()) return toString();
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
    if (!isValid() || !o.isValid()) return invalid();
    return fromWide(roundDiv(__int128(m_units) * o.m_units, Scale));
}

Money Money::operator*(qint64 k) const
{
    if (!isValid()) return invalid();
    return fromWide(__int128(m_units) * k);
}

Money Money::operator/(const Money &o) const
{
    if (!isValid() || !o.isValid()) return invalid();
    if (o.m_units == 0) return Money();
    return fromWide(roundDiv(__int128(m_units) * Scale, o.m_units));
}

Money Money::operator/(qint64 k) const
{
    if (!isValid()) return invalid();
    if (k == 0) return Money();
    return fromWide(roundDiv(m_units, k));
}

Money Money::product(const Money &a, const Money &b, qint64 num, qint64 den)
{
    if (!a.isValid() || !b.isValid() || den == 0) return invalid();
    // Each factor is below 2^63, so a × b fits in 128 bits; × num is tested first.
    const __int128 ab = __int128(a.m_units) * b.m_units;
    const __int128 limit = (~__int128(0) ^ (__int128(1) << 127)) / (num < 0 ? -__int128(num) : __int128(num ? num : 1));
    if (ab > limit || ab < -limit) return invalid();
    return fromWide(roundDiv(ab * num, __int128(Scale) * den));
}

QString generalNumber(double d)
{
    if (d == 0) return QStringLiteral("0");
    return QString::number(d, 'g', 15);
}
