#pragma once
// Purchase receipt ("采购入库单") entry screen.
#include "tradeentry.h"

class frmJH_In : public TradeEntryScreen {
    Q_OBJECT
public:
    explicit frmJH_In(QWidget *parent = nullptr);
};
