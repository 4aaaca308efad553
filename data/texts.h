#pragma once
// Message texts that both the logic and the screens show, defined once.
#include <QString>

namespace Texts {

// A typed value that is not a number: "“1.2.3”不是有效的数值".
inline QString notNumber(const QString &text) { return QStringLiteral("“%1”不是有效的数值").arg(text); }

} // namespace Texts
