#pragma once

#include <QString>

// The input code of a product or partner name: the upper-case initials that
// users type to find it (stored in thePY). 可口可乐 500ml gives "KKKL500ML".
namespace PY {
enum Option {
    WholeSyllable = 1, // the whole syllable instead of its initial
    MarkUnknown = 2,   // "?" for a character without a reading
    KeepOthers = 4,    // keep characters that are neither letters nor digits
};
constexpr int Default = MarkUnknown;
constexpr int MaxLength = 255;
}

// Works on the GBK form of the name. A negative options value gives an empty
// code; the result is cut to maxLength characters.
QString myRetPY(const QString &name, int options = PY::Default, int maxLength = PY::MaxLength);
