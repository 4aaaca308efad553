#pragma once
// "商品管理": the product list with its filters, the purchase-price switch and
// the commands of its pop-up menu.
#include "ui/listscreen.h"

class QCheckBox;

class frmShop_M : public ListScreen {
    Q_OBJECT
public:
    explicit frmShop_M(QWidget *parent = nullptr);

    QCheckBox *hidePurchasePrice() const { return m_hideJH; }

public slots:
    void Q1Click(); // "启用 &Q"
    void T1Click(); // "停用 &T"
    void V1Click(); // "查看 &V"
    void P1Click(); // "拼音码修改 &P"
    void Z1Click(); // "修改销售折扣 &Z"
    void D1Click(); // "删除 &D"
    void M1Click(); // "图片管理 &P"
    void K1Click(); // "查看图片 &K"
    void B1Click(); // "图片列表 &B"
    void L1Click(); // "查看流动记录 &L"

private:
    void setState(const char *state);
    int currentID() const;

    QCheckBox *m_hideJH;
};
