#pragma once
// The entry screens of the stock documents, each the one stock entry design
// configured by its kind.
#include "stockentry.h"

class frmDB_In : public StockEntryScreen { // "商品调拨单"
    Q_OBJECT
public:
    explicit frmDB_In(QWidget *parent = nullptr);
};

class frmBS_In : public StockEntryScreen { // "商品报损单"
    Q_OBJECT
public:
    explicit frmBS_In(QWidget *parent = nullptr);
};

class frmBY_In : public StockEntryScreen { // "商品报溢单"
    Q_OBJECT
public:
    explicit frmBY_In(QWidget *parent = nullptr);
};

class frmCZ_In : public StockEntryScreen { // "拆装单"
    Q_OBJECT
public:
    explicit frmCZ_In(QWidget *parent = nullptr);
};
