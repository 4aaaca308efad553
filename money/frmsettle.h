#pragma once
// The four settlement dialogs: paying against a purchase receipt or a sales
// return, receiving against a sales delivery or a purchase return.
#include "settledialog.h"

class frmJH_FK : public SettleDialog {
    Q_OBJECT
public:
    explicit frmJH_FK(QWidget *parent = nullptr) : SettleDialog(TradeKind::Purchase, parent) {}
};

class frmXS_SK : public SettleDialog {
    Q_OBJECT
public:
    explicit frmXS_SK(QWidget *parent = nullptr) : SettleDialog(TradeKind::Sales, parent) {}
};

class frmCG_O_SK : public SettleDialog {
    Q_OBJECT
public:
    explicit frmCG_O_SK(QWidget *parent = nullptr) : SettleDialog(TradeKind::PurchaseReturn, parent) {}
};

class frmXS_O_FK : public SettleDialog {
    Q_OBJECT
public:
    explicit frmXS_O_FK(QWidget *parent = nullptr) : SettleDialog(TradeKind::SalesReturn, parent) {}
};

// The dialog of a kind.
SettleDialog *createSettleDialog(TradeKind kind, QWidget *parent);
