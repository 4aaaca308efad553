#pragma once
// The day, month and year reports ("日报表", "月报表", "年报表"): one design,
// frmBB_D, frmBB_M and frmBB_Y choose the period. "统计" works out one row per
// period of the chosen range (money/periodreport.h), stores them in UBB and
// lists UBB, newest period first. Beside the list a chart draws purchases,
// sales and their difference per period, oldest period first.
#include "money/periodreport.h"
#include "ui/listscreen.h"

class ChartPanel;
class QProgressBar;

class PeriodReportScreen : public ListScreen {
    Q_OBJECT
public:
    PeriodUnit unit() const { return m_unit; }
    QProgressBar *progressBar() const { return m_progress; }
    ChartPanel *chartPanel() const { return m_chart; }
    // The filters as the computation takes them.
    ReportFilters reportFilters() const;

    // "统计"
    void BitBtn1Click() override;

protected:
    PeriodReportScreen(PeriodUnit unit, QWidget *parent);
    // The chart follows the rows listed.
    void afterRef() override;

private:
    PeriodUnit m_unit;
    FilterRow *m_dates = nullptr;
    FilterRow *m_ware = nullptr, *m_handler = nullptr, *m_user = nullptr, *m_account = nullptr;
    QProgressBar *m_progress = nullptr;
    ChartPanel *m_chart = nullptr;
};

class frmBB_D : public PeriodReportScreen {
    Q_OBJECT
public:
    explicit frmBB_D(QWidget *parent = nullptr);
};

class frmBB_M : public PeriodReportScreen {
    Q_OBJECT
public:
    explicit frmBB_M(QWidget *parent = nullptr);
};

class frmBB_Y : public PeriodReportScreen {
    Q_OBJECT
public:
    explicit frmBB_Y(QWidget *parent = nullptr);
};
