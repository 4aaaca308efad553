#pragma once
// The balances screens: every live partner with what the shop owes it
// ("应付查询", frmUnits_YF) or what it owes the shop ("应收查询", frmUnits_YS),
// with the sum. "付款录入" / "收款录入" on a partner opens the voucher entry
// with its whole balance; the list is read again when that entry closes.
#include "ui/listscreen.h"
#include "voucher.h"

class BalanceListScreen : public ListScreen {
    Q_OBJECT
public:
    VoucherKind kind() const { return m_kind; }

public slots:
    void N1Click(); // "付款录入" / "收款录入"

protected:
    BalanceListScreen(VoucherKind kind, QWidget *parent);

private:
    VoucherKind m_kind;
};

class frmUnits_YF : public BalanceListScreen {
    Q_OBJECT
public:
    explicit frmUnits_YF(QWidget *parent = nullptr);
};

class frmUnits_YS : public BalanceListScreen {
    Q_OBJECT
public:
    explicit frmUnits_YS(QWidget *parent = nullptr);
};
