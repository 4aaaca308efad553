#pragma once
// The settlement queries: every payment or receipt booked against the live
// documents of one trade kind (at entry or later), one row per settlement with
// its document and partner. One design configured by the kind; the thin
// classes frmJH_FKQ, frmCG_O_SKQ, frmXS_SKQ and frmXS_O_FKQ name it.
#include "ui/listscreen.h"
#include "trade/tradekind.h"

class SettleQueryScreen : public ListScreen {
    Q_OBJECT
public:
    TradeKind kind() const { return m_kind; }

protected:
    SettleQueryScreen(TradeKind kind, QWidget *parent);

private:
    const TradeKind m_kind;
};

class frmJH_FKQ : public SettleQueryScreen {
    Q_OBJECT
public:
    explicit frmJH_FKQ(QWidget *parent = nullptr) : SettleQueryScreen(TradeKind::Purchase, parent) {}
};

class frmCG_O_SKQ : public SettleQueryScreen {
    Q_OBJECT
public:
    explicit frmCG_O_SKQ(QWidget *parent = nullptr) : SettleQueryScreen(TradeKind::PurchaseReturn, parent) {}
};

class frmXS_SKQ : public SettleQueryScreen {
    Q_OBJECT
public:
    explicit frmXS_SKQ(QWidget *parent = nullptr) : SettleQueryScreen(TradeKind::Sales, parent) {}
};

class frmXS_O_FKQ : public SettleQueryScreen {
    Q_OBJECT
public:
    explicit frmXS_O_FKQ(QWidget *parent = nullptr) : SettleQueryScreen(TradeKind::SalesReturn, parent) {}
};
