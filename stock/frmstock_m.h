#pragma once
// The management screens of the stock documents.
#include "stockmanage.h"

class frmDB_M : public StockManageScreen { // "商品调拨管理"
    Q_OBJECT
public:
    explicit frmDB_M(QWidget *parent = nullptr) : StockManageScreen(StockKind::Transfer, parent) {}
};

class frmBS_M : public StockManageScreen { // "商品报损管理"
    Q_OBJECT
public:
    explicit frmBS_M(QWidget *parent = nullptr) : StockManageScreen(StockKind::Loss, parent) {}
};

class frmBY_M : public StockManageScreen { // "商品报溢管理"
    Q_OBJECT
public:
    explicit frmBY_M(QWidget *parent = nullptr) : StockManageScreen(StockKind::Overage, parent) {}
};

class frmCZ_M : public StockManageScreen { // "商品拆装管理"
    Q_OBJECT
public:
    explicit frmCZ_M(QWidget *parent = nullptr) : StockManageScreen(StockKind::Assembly, parent) {}
};
