#pragma once
// The purchase and sales statistics ("采购入库统计", "采购退货统计",
// "销售出库统计", "销售退货统计"): one design, the thin classes choose the kind
// of document. "统计" totals quantity and amount of the lines per value of the
// item chosen in "统计的项" (money/statistics.h), under the ticked filters.
// Beside the list a chart draws the groups of the largest amounts.
#include "money/statistics.h"
#include "ui/listscreen.h"

class ChartPanel;
class QComboBox;

class StatisticsScreen : public ListScreen {
    Q_OBJECT
public:
    TradeKind kind() const { return m_kind; }
    QComboBox *groupChoice() const { return m_group; }   // ComboBox1
    ChartPanel *chartPanel() const { return m_chart; }
    // The chart holds at most this many groups, the largest amounts first.
    static constexpr int ChartGroups = 20;

    // "统计"
    void BitBtn1Click() override;

protected:
    StatisticsScreen(TradeKind kind, QWidget *parent);
    void afterRef() override;

private:
    void setGroupColumns(const StatGroup &g);

    TradeKind m_kind;
    QComboBox *m_group = nullptr;
    QList<FilterRow *> m_partnerFilters;   // need the partner joined
    QList<FilterRow *> m_productFilters;   // need the product joined
    ChartPanel *m_chart = nullptr;
};

class frmBB_CG : public StatisticsScreen {
    Q_OBJECT
public:
    explicit frmBB_CG(QWidget *parent = nullptr);
};

class frmBB_CT : public StatisticsScreen {
    Q_OBJECT
public:
    explicit frmBB_CT(QWidget *parent = nullptr);
};

class frmBB_XS : public StatisticsScreen {
    Q_OBJECT
public:
    explicit frmBB_XS(QWidget *parent = nullptr);
};

class frmBB_XT : public StatisticsScreen {
    Q_OBJECT
public:
    explicit frmBB_XT(QWidget *parent = nullptr);
};
