// Input codes: the initials of a name, read through its GBK bytes so that
// every character of the GBK set is treated by the row it lives in.
#include "pinyin.h"

#include "dberror.h"
#include "pinyin/pytable.h"

#include <QList>

#include <iconv.h>

#include <cerrno>

namespace {

// Numbers of the numbered forms in row 0xA2, second bytes 0xA1..0xFE;
// 0 for the unassigned positions.
const unsigned char NumberedForms[94] = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10,                 // ⅰ..ⅹ   A2A1..A2AA
    0, 0, 0, 0, 0, 0,                              //         A2AB..A2B0
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10,                 // ⒈..⒛   A2B1..A2C4
    11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10,                 // ⑴..⒇   A2C5..A2D8
    11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10,                 // ①..⑩   A2D9..A2E2
    0, 0,                                          //         A2E3..A2E4
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10,                 // ㈠..㈩  A2E5..A2EE
    0, 0,                                          //         A2EF..A2F0
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,         // Ⅰ..Ⅻ   A2F1..A2FC
    0, 0,                                          //         A2FD..A2FE
};
static_assert(sizeof(NumberedForms) == 0xFE - 0xA1 + 1);

// Latin transliteration of the Greek letters Α..Ω (row 0xA6, capitals from
// 0xA1, small letters from 0xC1).
const char *const Greek[24] = {
    "A", "B", "G", "D", "E", "Z", "E", "TH", "I", "K", "L", "M",
    "N", "X", "O", "P", "R", "S", "T", "U", "PH", "KH", "PS", "O",
};

bool isAsciiAlnum(int c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Encodes one code point as GBK; 0 bytes when GBK has no such character.
class GbkEncoder {
public:
    GbkEncoder() : m_cd(iconv_open("GBK", "UTF-32LE"))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw DbError(QStringLiteral("系统不支持 GBK 编码转换，无法生成助记码"));
    }
    ~GbkEncoder() { iconv_close(m_cd); }
    GbkEncoder(const GbkEncoder &) = delete;
    GbkEncoder &operator=(const GbkEncoder &) = delete;

    int encode(char32_t cp, unsigned char out[4])
    {
        char in[4] = {char(cp & 0xFF), char((cp >> 8) & 0xFF), char((cp >> 16) & 0xFF),
                      char((cp >> 24) & 0xFF)};
        char *src = in;
        size_t srcLeft = sizeof in;
        char *dst = reinterpret_cast<char *>(out);
        size_t dstLeft = 4;
        if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1)) {
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            return 0;
        }
        return int(4 - dstLeft);
    }

private:
    iconv_t m_cd;
};

// What one double-byte character (c, t) contributes.
QString doubleByte(int c, int t, int options)
{
    const bool mark = options & PY::MarkUnknown;
    const QString unknown = mark ? QStringLiteral("?") : QString();

    switch (c) {
    case 0xA2:
        if (t < 0xA1) return unknown;
        if (const int n = NumberedForms[t - 0xA1]) return QString::number(n);
        return {};
    case 0xA3: {
        if (t < 0xA1) return {};
        const int a = t - 0x80;  // full-width form of this ASCII character
        if (!(options & PY::KeepOthers) && !isAsciiAlnum(a)) return {};
        return QString(QLatin1Char(char(a)));
    }
    case 0xA6:
        if (t >= 0xA1 && t <= 0xB8) return QLatin1String(Greek[t - 0xA1]);
        if (t >= 0xC1 && t <= 0xD8) return QLatin1String(Greek[t - 0xC1]);
        return unknown;
    default:
        break;
    }

    const char *syllable = PyTable::syllableOf(c, t);
    if (!syllable) return unknown;
    const QString s = QString::fromLatin1(syllable).toUpper();
    return (options & PY::WholeSyllable) ? s.left(6) : s.left(1);
}

} // namespace

QString myRetPY(const QString &name, int options, int maxLength)
{
    QString result;
    if (options < 0 || maxLength <= 0) return result;

    GbkEncoder gbk;
    for (const char32_t cp : name.toUcs4()) {
        unsigned char b[4];
        const int n = gbk.encode(cp, b);
        if (n == 1) {
            // ASCII (and any other single byte): letters and digits kept,
            // letters upper-cased, the rest only on request.
            const int c = b[0];
            if (isAsciiAlnum(c) || (options & PY::KeepOthers))
                result += QString::fromUcs4(&cp, 1).toUpper();
        } else if (n == 2 && b[0] >= 0x81 && b[1] >= 0x40) {
            result += doubleByte(b[0], b[1], options);
        } else if (options & PY::MarkUnknown) {
            // Not a GBK character at all: no reading either.
            result += QLatin1Char('?');
        }
        if (result.size() >= maxLength) break;
    }
    result.truncate(maxLength);
    return result;
}
