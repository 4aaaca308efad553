#pragma once
// The four trade document line queries.
#include "tradelines.h"

class frmJH_MX : public TradeLinesScreen {
    Q_OBJECT
public:
    explicit frmJH_MX(QWidget *parent = nullptr) : TradeLinesScreen(TradeKind::Purchase, parent) {}
};

class frmXS_MX : public TradeLinesScreen {
    Q_OBJECT
public:
    explicit frmXS_MX(QWidget *parent = nullptr) : TradeLinesScreen(TradeKind::Sales, parent) {}
};

class frmCG_O_MX : public TradeLinesScreen {
    Q_OBJECT
public:
    explicit frmCG_O_MX(QWidget *parent = nullptr) : TradeLinesScreen(TradeKind::PurchaseReturn, parent) {}
};

class frmXS_O_MX : public TradeLinesScreen {
    Q_OBJECT
public:
    explicit frmXS_O_MX(QWidget *parent = nullptr) : TradeLinesScreen(TradeKind::SalesReturn, parent) {}
};
