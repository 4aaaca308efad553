#include "voucherprint.h"

#include "data/dm.h"
#include "print/printops.h"

namespace VoucherPrint {

namespace {
Hook &hook()
{
    static Hook h;
    return h;
}
} // namespace

void setHook(Hook h) { hook() = std::move(h); }

void print(VoucherKind kind, const QString &num, QWidget *parent)
{
    if (hook()) {
        hook()(kind, num);
        return;
    }
    const Print::Target target = Print::Target::preview(parent);
    if (kind == VoucherKind::Payment) Print::PrintIn_FK(DM(), num, target);
    else Print::PrintOut_SK(DM(), num, target);
}

} // namespace VoucherPrint
