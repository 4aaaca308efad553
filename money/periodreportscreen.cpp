#include "periodreportscreen.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "print/reportoutput.h"
#include "ui/chartpanel.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"

#include <QSqlQueryModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

struct UnitWords {
    const char *title;      // caption and export title
    const char *dateHeader; // spreadsheet header of the date column
    bool dateAsText;
};

UnitWords words(PeriodUnit unit)
{
    switch (unit) {
    case PeriodUnit::Day: return {"日报表", "日期", false};
    case PeriodUnit::Month: return {"月报表", "月份", true};
    case PeriodUnit::Year: break;
    }
    return {"年报表", "年份", false};
}

std::optional<QString> chosen(const FilterRow *f)
{
    if (!f || !f->isTicked()) return std::nullopt;
    return f->comboBox()->currentText();
}

} // namespace

PeriodReportScreen::PeriodReportScreen(PeriodUnit unit, QWidget *parent) : ListScreen(parent), m_unit(unit)
{
    const UnitWords w = words(unit);
    setWindowTitle(QString::fromUtf8(w.title));
    queryButton()->setText(QStringLiteral("统计"));

    QList<ListColumn> cols{ListColumn("theDate", "日期").w(80).xls(QString::fromUtf8(w.dateHeader))};
    if (w.dateAsText) cols.last().asText();
    QStringList fields{QStringLiteral("theDate")};
    for (int i = 0; i < ReportFigures; ++i) {
        cols << ListColumn(reportColumns()[i], reportCaptions()[i]).num().w(60);
        fields << reportColumns()[i];
    }
    setColumns(cols);
    setQuery(QStringLiteral("select %1 from UBB").arg(fields.join(QLatin1Char(','))), QStringLiteral("order by theDate desc"));

    // The range always applies: its box stays ticked.
    m_dates = addDateFilter(QStringLiteral("营业日期"), QStringLiteral("theDate"),
                            unit == PeriodUnit::Day ? DateSpan::Month : DateSpan::Year);
    m_dates->box()->setChecked(true);
    m_dates->box()->setEnabled(false);
    try {
        m_ware = addChoiceFilter(QStringLiteral("仓库名称"), QStringLiteral("WName"), DM().DBComWare());
        m_handler = addChoiceFilter(QStringLiteral("经  手  人"), QStringLiteral("UName"), DM().DBComStaff());
        m_user = addChoiceFilter(QStringLiteral("录  入  人"), QStringLiteral("IName"), DM().DBComUser());
        m_account = addChoiceFilter(QStringLiteral("收付款方式"), QStringLiteral("AName"), DM().DBComAccount());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setValue(0);
    addButtonWidget(m_progress);

    setExport(QString::fromUtf8(w.title), {4, 8});

    m_chart = ChartPanel::beside(this, ChartPanel::Bars::Vertical);
    m_chart->setTitle(QString::fromUtf8(w.title));
    m_chart->setPrinter([this] { Print::picture(windowTitle(), m_chart->image(), this); });
}

void PeriodReportScreen::afterRef()
{
    // Purchases ("采购合计"), sales ("销售合计") and sales less purchases, from
    // the rows listed, oldest period first.
    ResultModel *m = resultModel();
    QStringList periods;
    ChartPanel::Series bought{QStringLiteral("采购合计"), {}}, sold{QStringLiteral("销售合计"), {}},
        difference{QStringLiteral("差额（销售－采购）"), {}};
    for (int r = m->rowCount() - 1; r >= 0; --r) {
        Money cg, xs;
        numberOf(m->raw(r, QStringLiteral("CG1")), &cg);
        numberOf(m->raw(r, QStringLiteral("XS1")), &xs);
        periods << m->raw(r, QStringLiteral("theDate")).toString();
        bought.values << cg;
        sold.values << xs;
        difference.values << xs - cg;
    }
    m_chart->setBars(periods, {bought, sold, difference});
}

ReportFilters PeriodReportScreen::reportFilters() const
{
    ReportFilters f;
    f.warehouse = chosen(m_ware);
    f.handler = chosen(m_handler);
    f.user = chosen(m_user);
    f.account = chosen(m_account);
    return f;
}

void PeriodReportScreen::BitBtn1Click()
{
    const QDate from = m_dates->dateFrom()->date();
    const QDate to = m_dates->dateTo()->date();
    if (from > to) {
        Msg::info(this, QStringLiteral("营业日期 选择错误，请重新选择！"));
        m_dates->dateFrom()->setFocus();
        return;
    }
    // The grid is emptied while the new rows are worked out.
    resultModel()->clear();
    const int periods = periodCount(m_unit, from, to);
    m_progress->setRange(0, periods);
    m_progress->setValue(0);
    try {
        const QVector<ReportRow> rows = computeReport(DM(), m_unit, from, to, reportFilters());
        storeReport(DM(), rows, [this](int written) { m_progress->setValue(written); });
    } catch (const DbError &e) {
        // UBB keeps the last run's rows.
        Msg::error(this, e.text());
        Ref();
        return;
    }
    // UBB is listed whole: the filters chose the figures, not the rows.
    runQuery(SqlCondition());
}

frmBB_D::frmBB_D(QWidget *parent) : PeriodReportScreen(PeriodUnit::Day, parent)
{
    setObjectName(QStringLiteral("frmBB_D"));
}

frmBB_M::frmBB_M(QWidget *parent) : PeriodReportScreen(PeriodUnit::Month, parent)
{
    setObjectName(QStringLiteral("frmBB_M"));
}

frmBB_Y::frmBB_Y(QWidget *parent) : PeriodReportScreen(PeriodUnit::Year, parent)
{
    setObjectName(QStringLiteral("frmBB_Y"));
}
