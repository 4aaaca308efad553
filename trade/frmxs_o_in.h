#pragma once
// Sales return ("销售退货单") entry screen.
#include "tradeentry.h"

class frmXS_O_In : public TradeEntryScreen {
    Q_OBJECT
public:
    explicit frmXS_O_In(QWidget *parent = nullptr);
};
