#include "numinput.h"
#include "texts.h"

namespace NumInput {

namespace {

const qint64 QuantityLimit = qint64(1000000000) * Money::Scale; // exclusive

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

Reading refuse(Reading r, Problem p)
{
    r.problem = p;
    r.value = Money();
    r.whole = 0;
    return r;
}

} // namespace

Money largest(Rule rule)
{
    switch (rule) {
    case Quantity: return Money::fromUnits(QuantityLimit - 1);
    case Percent: return Money::fromUnits(999 * Money::Scale);
    case Amount:
    case Price:
    case SignedAmount: break;
    }
    return Money::storeMax();
}

bool inRange(const Money &value, Rule rule)
{
    if (!value.isValid()) return false;
    if (value.isNegative() && rule != SignedAmount) return false;
    return value.abs() <= largest(rule);
}

Reading read(const QString &input, Rule rule, bool emptyIsZero)
{
    Reading r;
    r.rule = rule;
    r.text = input.trimmed();
    const QString &s = r.text;
    if (s.isEmpty()) return emptyIsZero ? r : refuse(r, Problem::Empty);

    // Only the plain form is accepted: an optional minus sign, digits, at most
    // one decimal point. No exponents, no grouping, no plus sign.
    int i = 0;
    bool negative = false;
    if (s[0] == QLatin1Char('-')) { negative = true; i = 1; }
    int digits = 0, decimals = 0, points = 0;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (isAsciiDigit(c)) {
            ++digits;
            if (points) ++decimals;
        } else if (c == QLatin1Char('.')) {
            ++points;
        } else {
            return refuse(r, Problem::NotNumber);
        }
    }
    if (digits == 0 || points > 1) return refuse(r, Problem::NotNumber);
    if (negative && rule != SignedAmount) return refuse(r, Problem::Negative);
    if (rule == Percent && points) return refuse(r, Problem::NotWhole);
    if (decimals > 4) return refuse(r, Problem::TooManyDecimals);

    bool ok = false;
    const Money v = Money::fromString(s, &ok);
    if (!ok || !inRange(v, rule)) return refuse(r, Problem::TooLarge);
    r.value = v;
    if (rule == Percent) r.whole = int(v.units() / Money::Scale);
    return r;
}

QString Reading::message(const QString &label) const
{
    switch (problem) {
    case Problem::None: return QString();
    case Problem::Empty: return label + QStringLiteral(" 不能为空，请重新录入！");
    case Problem::NotNumber: return label + QLatin1Char(' ') + Texts::notNumber(text) + QStringLiteral("，请重新录入！");
    case Problem::Negative: return label + QStringLiteral(" 不能小于零，请重新录入！");
    case Problem::TooManyDecimals: return label + QStringLiteral(" 最多只能有四位小数，请重新录入！");
    case Problem::NotWhole: return label + QStringLiteral(" 只能是整数，请重新录入！");
    case Problem::TooLarge: break;
    }
    return QStringLiteral("%1 “%2”超出允许的范围（最大 %3），请重新录入！").arg(label, text, largest(rule).toString());
}

QString cellLabel(int row, const QString &caption) { return QStringLiteral("第 %1 行的 %2").arg(row).arg(caption); }

QString tooLargeText(const QString &label)
{
    return QStringLiteral("%1 超出允许的范围（最大 %2），请检查单价和数量！").arg(label, Money::storeMax().toString());
}

} // namespace NumInput
