#pragma once
// Money: the one value type for amounts, prices and quantities.
// Fixed point with four decimals, like a database currency type: every value is
// held as a whole number of ten-thousandths, so sums and differences are exact
// (0.3 - 0.1 - 0.2 is exactly 0). Conversion from a double rounds half away
// from zero to the nearest ten-thousandth.
//
// Two ranges. A Money value holds any whole number of ten-thousandths that a
// 64-bit integer does (about ±922 million million yuan); a conversion or an
// operation whose exact result does not fit gives the invalid value instead of
// wrapping round, and invalid stays invalid through further arithmetic.
// The books themselves hold less: every amount, price and quantity stored lies
// strictly between -10^11 and 10^11 (up to 99 999 999 999.9999), where a value
// is exact to four decimals even where the database keeps it as a double
// (10^15 ten-thousandths < 2^53). Binding a value outside that range to a
// statement throws, so neither an invalid nor an inexact value reaches a row.
// Typed, pasted and imported numbers are read through data/numinput.h, which
// refuses what lies outside the stored range and names the field.
#include <QString>
#include <QVariant>
#include <QtGlobal>
#include <limits>

class Money {
public:
    static constexpr qint64 Scale = 10000;
    // Exclusive bound of the stored range in ten-thousandths (10^11 yuan).
    static constexpr qint64 StoreLimit = qint64(100000000000) * Scale;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 u) { Money m; m.m_units = u; return m; }
    static constexpr Money invalid() { Money m; m.m_units = Invalid; return m; }
    // The largest value of the stored range.
    static constexpr Money storeMax() { return fromUnits(StoreLimit - 1); }
    // An exact result in ten-thousandths, or the invalid value when it does not fit.
    static constexpr Money fromWide(__int128 u)
    {
        return u > std::numeric_limits<qint64>::max() || u < -std::numeric_limits<qint64>::max() ? invalid()
                                                                                                 : fromUnits(qint64(u));
    }
    static Money fromDouble(double d);
    // Parses a number ("12", "12.5", "-0.25", " 3 "). Empty text is 0; a fifth
    // decimal rounds. Returns false in *ok (and the invalid value) for text that
    // is not a number or does not fit.
    static Money fromString(const QString &s, bool *ok = nullptr);
    // Reads a database value: NULL and empty are 0.
    static Money fromVariant(const QVariant &v);

    constexpr bool isValid() const { return m_units != Invalid; }
    // Inside the range the books store exactly.
    constexpr bool isStorable() const { return isValid() && m_units < StoreLimit && m_units > -StoreLimit; }
    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return double(m_units) / Scale; }
    // Shortest general form: "12.5", "0", "-3", "1234.0001". The invalid value
    // shows as "超出范围", which no parse accepts.
    QString toString() const;
    // The value in whole fen (hundredths), rounded half away from zero: the one
    // rounding behind every printed amount, figures and capitals alike.
    qint64 toFen() const;
    // Two decimals with thousands separators, as printed documents show prices: "1,234.50".
    QString toPrintString() const;
    // The value to bind to a statement parameter. Throws DbError for a value
    // outside the stored range (the invalid value included).
    QVariant toVariant() const;

    constexpr bool isZero() const { return m_units == 0; }
    constexpr bool isNegative() const { return isValid() && m_units < 0; }
    constexpr Money abs() const { return isValid() && m_units < 0 ? fromUnits(-m_units) : *this; }

    // Multiplication and division round the exact result once, half away from
    // zero, to four decimals. Results that do not fit are invalid.
    Money operator*(const Money &o) const;
    Money operator*(qint64 k) const;
    Money operator/(const Money &o) const; // division by zero yields 0
    Money operator/(qint64 k) const;
    // a × b × num / den, rounded once (a sales line: price × quantity × discount / 100).
    static Money product(const Money &a, const Money &b, qint64 num, qint64 den);

    constexpr Money operator+(const Money &o) const
    {
        return isValid() && o.isValid() ? fromWide(__int128(m_units) + o.m_units) : invalid();
    }
    constexpr Money operator-(const Money &o) const
    {
        return isValid() && o.isValid() ? fromWide(__int128(m_units) - o.m_units) : invalid();
    }
    constexpr Money operator-() const { return isValid() ? fromUnits(-m_units) : invalid(); }
    Money &operator+=(const Money &o) { return *this = *this + o; }
    Money &operator-=(const Money &o) { return *this = *this - o; }

    constexpr bool operator==(const Money &o) const { return m_units == o.m_units; }
    constexpr bool operator!=(const Money &o) const { return m_units != o.m_units; }
    constexpr bool operator<(const Money &o) const { return m_units < o.m_units; }
    constexpr bool operator<=(const Money &o) const { return m_units <= o.m_units; }
    constexpr bool operator>(const Money &o) const { return m_units > o.m_units; }
    constexpr bool operator>=(const Money &o) const { return m_units >= o.m_units; }

private:
    // The one 64-bit value no valid amount takes; its negation does not fit either.
    static constexpr qint64 Invalid = std::numeric_limits<qint64>::min();
    qint64 m_units = 0;
};

// Shortest general form of a double, up to 15 significant digits, no grouping.
QString generalNumber(double d);

Q_DECLARE_METATYPE(Money)
