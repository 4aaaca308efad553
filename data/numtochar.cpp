// An amount in Chinese capital numerals, as printed on documents and written
// on cheques: 壹仟零伍元整, 壹拾万零伍拾元整, 壹亿零壹仟元整, 壹拾贰元零伍分.
#include "dm.h"

namespace {
const QString Digits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
const QChar Zero = Digits[0];

// 1 to 9999 in capitals. Zeros between two written digits become one 零;
// zeros at the end are left out (壹仟零伍, 壹仟零伍拾, 壹仟伍佰).
QString section(int v)
{
    static const QString units[] = {QStringLiteral("仟"), QStringLiteral("佰"), QStringLiteral("拾"), QString()};
    QString r;
    bool zeros = false;
    for (int i = 0, d = 1000; i < 4; ++i, d /= 10) {
        const int digit = v / d % 10;
        if (digit == 0) {
            zeros = !r.isEmpty();
            continue;
        }
        if (zeros) r += Zero;
        zeros = false;
        r += Digits[digit];
        r += units[i];
    }
    return r;
}

// A whole number of yuan above zero, in groups of four digits under 万 and
// 亿. Where the lower part starts with zeros, a 零 stands for them, also when
// a whole group is zero: 壹万零壹, 壹亿零壹仟, 壹拾亿零壹. Trailing zeros of a
// group are carried by the group's unit (壹拾万柒仟).
QString whole(quint64 n)
{
    static const QString Yi = QStringLiteral("亿");
    static const QString Wan = QStringLiteral("万");
    if (n >= 100000000) {
        const quint64 low = n % 100000000;
        QString r = whole(n / 100000000) + Yi;
        if (low == 0) return r;
        if (low < 10000000) r += Zero;
        return r + whole(low);
    }
    if (n >= 10000) {
        const int low = int(n % 10000);
        QString r = section(int(n / 10000)) + Wan;
        if (low == 0) return r;
        if (low < 1000) r += Zero;
        return r + section(low);
    }
    return section(int(n));
}
}

QString NumToChar(Money amount)
{
    // Nothing outside the range is ever stored or printed; write nothing for it.
    if (!amount.isValid()) return QString();
    // The same rounding as the printed figures (half away from zero), so the
    // capitals always say what the total beside them says.
    const qint64 fen = amount.toFen();
    // Zero has no capitals at all.
    if (fen == 0) return QString();
    // A negative amount is written with "负" before the capitals of its size.
    // |fen| fits: Money's extremes divided by 100 are far from the limits.
    const quint64 size = quint64(fen < 0 ? -fen : fen);
    const quint64 yuan = size / 100;
    const int jiao = int(size / 10 % 10);
    const int cents = int(size % 10);

    QString r = fen < 0 ? QStringLiteral("负") : QString();
    if (yuan) r += whole(yuan) + QStringLiteral("元");
    if (jiao == 0 && cents == 0) return r + QStringLiteral("整");
    if (jiao)
        r += Digits[jiao] + QStringLiteral("角");
    else if (yuan)
        r += Zero; // 壹拾贰元零伍分: a missing 角 is written between 元 and 分
    if (cents) r += Digits[cents] + QStringLiteral("分");
    return r;
}
