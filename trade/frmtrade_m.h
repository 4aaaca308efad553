#pragma once
// The four trade document management screens.
#include "trademanage.h"

class frmJH_M : public TradeManageScreen {
    Q_OBJECT
public:
    explicit frmJH_M(QWidget *parent = nullptr) : TradeManageScreen(TradeKind::Purchase, parent) {}
};

class frmXS_M : public TradeManageScreen {
    Q_OBJECT
public:
    explicit frmXS_M(QWidget *parent = nullptr) : TradeManageScreen(TradeKind::Sales, parent) {}
};

class frmCG_O_M : public TradeManageScreen {
    Q_OBJECT
public:
    explicit frmCG_O_M(QWidget *parent = nullptr) : TradeManageScreen(TradeKind::PurchaseReturn, parent) {}
};

class frmXS_O_M : public TradeManageScreen {
    Q_OBJECT
public:
    explicit frmXS_O_M(QWidget *parent = nullptr) : TradeManageScreen(TradeKind::SalesReturn, parent) {}
};
