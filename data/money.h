#pragma once
// Money: the one value type for amounts, prices and quantities.
// Fixed point with four decimals, like a database currency type: every value is
// held as a whole number of ten-thousandths, so sums and differences are exact
// (0.3 - 0.1 - 0.2 is exactly 0). Conversion from a double rounds half away
// from zero to the nearest ten-thousandth.
#include <QString>
#include <QVariant>
#include <QtGlobal>

class Money {
public:
    static constexpr qint64 Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 u) { Money m; m.m_units = u; return m; }
    static Money fromDouble(double d);
    // Parses a number as typed ("12", "12.5", "-0.25", " 3 "). Empty text is 0.
    // Returns false in *ok for text that is not a number.
    static Money fromString(const QString &s, bool *ok = nullptr);
    // Reads a database value: NULL and empty are 0.
    static Money fromVariant(const QVariant &v);

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return double(m_units) / Scale; }
    // Shortest general form: "12.5", "0", "-3", "1234.0001".
    QString toString() const;
    // The value in whole fen (hundredths), rounded half away from zero: the one
    // rounding behind every printed amount, figures and capitals alike.
    qint64 toFen() const;
    // Two decimals with thousands separators, as printed documents show prices: "1,234.50".
    QString toPrintString() const;
    // The value to bind to a statement parameter.
    QVariant toVariant() const { return QVariant(toDouble()); }

    constexpr bool isZero() const { return m_units == 0; }
    constexpr bool isNegative() const { return m_units < 0; }
    Money abs() const { return fromUnits(m_units < 0 ? -m_units : m_units); }

    // Multiplication and division round the exact result to four decimals.
    Money operator*(const Money &o) const;
    Money operator*(qint64 k) const { return fromUnits(m_units * k); }
    Money operator/(const Money &o) const; // division by zero yields 0
    Money operator/(qint64 k) const;

    constexpr Money operator+(const Money &o) const { return fromUnits(m_units + o.m_units); }
    constexpr Money operator-(const Money &o) const { return fromUnits(m_units - o.m_units); }
    constexpr Money operator-() const { return fromUnits(-m_units); }
    Money &operator+=(const Money &o) { m_units += o.m_units; return *this; }
    Money &operator-=(const Money &o) { m_units -= o.m_units; return *this; }

    constexpr bool operator==(const Money &o) const { return m_units == o.m_units; }
    constexpr bool operator!=(const Money &o) const { return m_units != o.m_units; }
    constexpr bool operator<(const Money &o) const { return m_units < o.m_units; }
    constexpr bool operator<=(const Money &o) const { return m_units <= o.m_units; }
    constexpr bool operator>(const Money &o) const { return m_units > o.m_units; }
    constexpr bool operator>=(const Money &o) const { return m_units >= o.m_units; }

private:
    qint64 m_units = 0;
};

// Shortest general form of a double, up to 15 significant digits, no grouping.
QString generalNumber(double d);

Q_DECLARE_METATYPE(Money)
