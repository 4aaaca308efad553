#pragma once
// The product picker: the caller's search result as a list; Enter or a
// double-click takes the current product into the caller's row, "全选 &A" takes
// them all into consecutive rows, Esc leaves the caller as it was.
#include "lookup.h"
#include "pickerlist.h"

class QMenu;

class frmFindShop : public PickerDialog {
    Q_OBJECT
public:
    explicit frmFindShop(QWidget *parent = nullptr);

    void setList(const QVector<ProductHit> &list);

public slots:
    void myLoad() override; // take the current product
    void A1Click();         // "全选 &A"

private:
    QMenu *m_menu;
    QVector<ProductHit> m_list;
};
