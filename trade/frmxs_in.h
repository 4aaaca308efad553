#pragma once
// Sales delivery ("销售出库单") entry screen.
#include "tradeentry.h"

class frmXS_In : public TradeEntryScreen {
    Q_OBJECT
public:
    explicit frmXS_In(QWidget *parent = nullptr);
};
