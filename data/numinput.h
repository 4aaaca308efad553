#pragma once
// Reading the numbers people type, paste or import. Every such number goes
// through read() with the rule of its field, so that what a key filter would
// have stopped (a minus sign, a second decimal point, a letter) and what lies
// outside the range the books hold exactly is refused the same way everywhere,
// with a message that names the field.
//
//   const NumInput::Reading r = NumInput::read(edit->text(), NumInput::Price);
//   if (!r.ok()) { Msg::info(this, r.message(QStringLiteral("采购单价"))); ... }
//
// The ranges:
//   Amount, Price   0 up to 99 999 999 999.9999 (Money's range), four decimals at most
//   Quantity        0 up to 999 999 999.9999: a thousand million or more on one
//                   line is a slip (a barcode scanned into the quantity cell)
//   Percent         a whole number 0 to 999 (discounts)
//   SignedAmount    as Amount, a minus sign allowed (opening balances may be negative)
#include "money.h"

#include <QString>

namespace NumInput {

enum Rule { Amount, Price, Quantity, Percent, SignedAmount };

enum class Problem { None, Empty, NotNumber, Negative, TooManyDecimals, NotWhole, TooLarge };

struct Reading {
    Problem problem = Problem::None;
    Money value;          // the number read; 0 when refused
    int whole = 0;        // the value of a Percent reading
    QString text;         // what was read, trimmed
    Rule rule = Amount;

    bool ok() const { return problem == Problem::None; }
    // The refusal, naming the field: "第 3 行的 数量 …，请重新录入！" when the
    // label is "第 3 行的 数量". Empty when ok().
    QString message(const QString &label) const;
};

// Empty text is refused as Empty unless emptyIsZero is set (optional fields
// such as stock limits), when it reads as 0.
Reading read(const QString &text, Rule rule, bool emptyIsZero = false);

// The largest value a rule accepts.
Money largest(Rule rule);

// Whether a value (computed, or read from elsewhere) lies inside a rule's range.
bool inRange(const Money &value, Rule rule);

// "第 n 行的 单价": the label of a grid cell in messages.
QString cellLabel(int row, const QString &caption);

// The refusal of a computed value that left the range (a line amount, a total).
QString tooLargeText(const QString &label);

} // namespace NumInput
