#include "frmsettle.h"

SettleDialog *createSettleDialog(TradeKind kind, QWidget *parent)
{
    switch (kind) {
    case TradeKind::Purchase: return new frmJH_FK(parent);
    case TradeKind::Sales: return new frmXS_SK(parent);
    case TradeKind::PurchaseReturn: return new frmCG_O_SK(parent);
    case TradeKind::SalesReturn: break;
    }
    return new frmXS_O_FK(parent);
}
