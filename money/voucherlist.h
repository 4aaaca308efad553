#pragma once
// The voucher management screens ("付款管理", "收款管理"): the live vouchers
// with their filters, count and sum; the grid's pop-up menu prints or deletes
// the selected voucher. One design; frmFK_M1 and frmSK_M1 choose the side.
#include "ui/listscreen.h"
#include "voucher.h"

class VoucherListScreen : public ListScreen {
    Q_OBJECT
public:
    VoucherKind kind() const { return m_side.kind; }

public slots:
    void P1Click(); // "打印付款单 &P" / "打印收款单 &P"
    void D1Click(); // "删除 &D"

protected:
    VoucherListScreen(VoucherKind kind, QWidget *parent);

private:
    const VoucherSide &m_side;
};

class frmFK_M1 : public VoucherListScreen {
    Q_OBJECT
public:
    explicit frmFK_M1(QWidget *parent = nullptr);
};

class frmSK_M1 : public VoucherListScreen {
    Q_OBJECT
public:
    explicit frmSK_M1(QWidget *parent = nullptr);
};
