// An amount in Chinese capital numerals, as printed on documents.
#include "dm.h"

namespace {
// Position units from the left; an amount uses the last positions, so the
// fifteen of an amount below 10^13 yuan are the familiar "万仟佰拾亿…元角分".
// The three further positions on the left carry amounts up to 10^16 yuan,
// which is more than any Money value holds.
const QString Units = QStringLiteral("仟佰拾万仟佰拾亿仟佰拾万仟佰拾元角分");
const QString Digits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");

// Rounds ten-thousandths to fen, halves to the even neighbour.
qint64 toFen(qint64 units)
{
    qint64 q = units / 100;
    qint64 r = units % 100;
    if (r < 0) { r += 100; --q; }
    if (r > 50 || (r == 50 && (q & 1))) ++q;
    return q;
}
}

QString NumToChar(Money amount)
{
    // Nothing outside the range is ever stored or printed; write nothing for it.
    if (!amount.isValid()) return QString();
    qint64 fen = toFen(amount.units());
    QString sign;
    if (fen < 0) {
        // A negative amount is written with "负" before the capitals of its size.
        sign = QStringLiteral("负");
        fen = -fen;
    }
    const QString s = QString::number(fen);
    QString r;
    const int offset = Units.size() - s.size();
    for (int i = 0; i < s.size(); ++i) {
        r += Digits[s[i].unicode() - '0'];
        r += Units[offset + i];
    }

    static const std::pair<const char *, const char *> steps[] = {
        {"零元", "元"}, {"零拾", "零"}, {"零佰", "零"}, {"零仟", "零"}, {"零万", "万"}, {"零亿", "亿"}, {"亿万", "亿"},
        {"零零零", "零"}, {"零零", "零"}, {"零万", "万"}, {"零亿", "亿"}, {"亿万", "亿"}, {"零元", "元"}};
    for (const auto &st : steps) r.replace(QString::fromUtf8(st.first), QString::fromUtf8(st.second));
    if (r.contains(QStringLiteral("零分")))
        r.replace(QStringLiteral("零角"), QStringLiteral("整"));
    else
        r.replace(QStringLiteral("零角"), QStringLiteral("零"));
    r.remove(QStringLiteral("零分"));
    // Zero has no capitals at all.
    if (fen == 0) return QString();
    return sign + r;
}
