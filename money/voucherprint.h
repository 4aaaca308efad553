#pragma once
// Printing a voucher by its number: a payment voucher with PrintIn_FK, a
// receipt voucher with PrintOut_SK, in the print preview. The entry screens
// print after each save, the management screens on request.
#include "voucher.h"

#include <functional>

class QWidget;

namespace VoucherPrint {

void print(VoucherKind kind, const QString &num, QWidget *parent);

// Test hook: receives what would be printed instead of the preview. Pass
// nullptr to restore.
using Hook = std::function<void(VoucherKind kind, const QString &num)>;
void setHook(Hook hook);

} // namespace VoucherPrint
