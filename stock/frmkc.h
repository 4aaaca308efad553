#pragma once
// "商品库存": the stock of every live product in every warehouse that ever had
// it, with its cost price and value, on the list-screen frame. Filters, the
// radio buttons "全部", "负库存", "零库存", "正库存", the box that hides cost and
// value, the count and the sums of quantity and value under the list, and the
// pop-up menu with the corrections, the movement ledger, the pictures and the
// removal of a stock row that holds nothing. Beside the list a chart draws
// the stock value of each warehouse under the same filters.
#include "ui/listscreen.h"

class ChartPanel;
class QButtonGroup;
class QCheckBox;
class QRadioButton;

class frmKC : public ListScreen {
    Q_OBJECT
public:
    explicit frmKC(QWidget *parent = nullptr);

    // The rows outside their stock limits, as the main window opens the screen
    // at start when the stock alert is on. The filters stay as they are and
    // the grid has no pop-up menu until the first "查询".
    Q_INVOKABLE bool showOutOfLimits();

    QCheckBox *hideCostBox() const { return m_hideCost; }
    QRadioButton *radio(int i) const; // 0 "全部", 1 "负库存", 2 "零库存", 3 "正库存"
    ChartPanel *chartPanel() const { return m_chart; }

public slots:
    void M1Click(); // "修改库存数量 &M"
    void P1Click(); // "修改成本单价 &P"
    void V1Click(); // "查看流动记录 &V"
    void I1Click(); // "查看图片 &I"
    void L1Click(); // "图片列表 &L"
    void D1Click(); // "删除 &D"

protected:
    void afterRef() override;
    void adjustExport(ExportLayout &layout) override;

private:
    bool hasRow() const;

    QButtonGroup *m_radios;
    QCheckBox *m_hideCost;
    ChartPanel *m_chart = nullptr;
    QString m_valueSelect;   // warehouse and value of each stock row, up to its FROM part
};
