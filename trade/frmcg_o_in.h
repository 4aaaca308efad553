#pragma once
// Purchase return ("采购退货单") entry screen.
#include "tradeentry.h"

class frmCG_O_In : public TradeEntryScreen {
    Q_OBJECT
public:
    explicit frmCG_O_In(QWidget *parent = nullptr);
};
