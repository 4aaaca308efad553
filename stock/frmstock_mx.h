#pragma once
// The line queries of transfers, losses and overages.
#include "stocklines.h"

class frmDB_MX : public StockLinesScreen { // "商品调拨明细"
    Q_OBJECT
public:
    explicit frmDB_MX(QWidget *parent = nullptr) : StockLinesScreen(StockKind::Transfer, parent) {}
};

class frmBS_MX : public StockLinesScreen { // "商品报损明细"
    Q_OBJECT
public:
    explicit frmBS_MX(QWidget *parent = nullptr) : StockLinesScreen(StockKind::Loss, parent) {}
};

class frmBY_MX : public StockLinesScreen { // "商品报溢明细"
    Q_OBJECT
public:
    explicit frmBY_MX(QWidget *parent = nullptr) : StockLinesScreen(StockKind::Overage, parent) {}
};
