#pragma once
// The line query of the four trade documents: one row per line of the live
// documents (pre-saved ones included) with its document's date, number,
// partner and people; totals under the list. One design configured by the
// kind; the thin classes frmJH_MX, frmXS_MX, frmCG_O_MX and frmXS_O_MX name it.
// The sales screen adds each line's cost and profit, the statistics workbook
// "统计 &T" and the correction of a line's cost "修改成本 &M".
#include "ui/listscreen.h"
#include "tradekind.h"

class QCheckBox;

class TradeLinesScreen : public ListScreen {
    Q_OBJECT
public:
    TradeKind kind() const { return m_kind; }
    QCheckBox *hideContactBox() const { return m_hideContact; }
    FilterRow *dateFilter() const { return m_date; }

    // Where "统计 &T" writes its workbook: the file's path after it was written
    // and shown, empty when it failed (the failure was shown).
    QString lastStatisticsFile() const { return m_lastStats; }

public slots:
    void T1Click();   // "统计 &T"
    void M1Click();   // "修改成本 &M"

protected:
    TradeLinesScreen(TradeKind kind, QWidget *parent);
    void adjustExport(ExportLayout &layout) override;

private:
    void buildColumns();
    void buildFilters();

    const TradeKind m_kind;
    const TradeKindInfo &m_info;
    QCheckBox *m_hideContact = nullptr;
    FilterRow *m_date = nullptr;
    QString m_lastStats;
};
