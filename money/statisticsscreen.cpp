#include "statisticsscreen.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "print/reportoutput.h"
#include "ui/chartpanel.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"

#include <QSqlQueryModel>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

namespace {
bool anyTicked(const QList<FilterRow *> &filters)
{
    for (const FilterRow *f : filters)
        if (f->isTicked()) return true;
    return false;
}
} // namespace

StatisticsScreen::StatisticsScreen(TradeKind kind, QWidget *parent) : ListScreen(parent), m_kind(kind)
{
    const StatWords &w = statWords(kind);
    setWindowTitle(w.caption);
    filterGroup()->setTitle(QStringLiteral("统计条件"));
    queryButton()->setText(QStringLiteral("统计"));
    setFilterColumns(4);

    // The grouping: its box stays ticked, the choice always applies. Items
    // not in the list can be typed ("录入人").
    m_group = new QComboBox(filterGroup());
    m_group->setObjectName(QStringLiteral("ComboBox1"));
    m_group->setEditable(true);
    m_group->setInsertPolicy(QComboBox::NoInsert);
    m_group->addItems(statGroupItems(kind));
    m_group->setCurrentText(w.partnerWord);
    m_group->setMinimumWidth(120);
    FilterRow *grouping = addFilter(FilterRow::custom(filterGroup(), QStringLiteral("统计的项"), m_group,
                                                      [] { return SqlCondition(); }));
    grouping->box()->setChecked(true);
    grouping->box()->setEnabled(false);

    addDateFilter(w.dateWord, QStringLiteral("D.myDate"));
    addTextFilter(QStringLiteral("单        号"), {QStringLiteral("D.theNum")});
    m_partnerFilters << addTextFilter(w.partnerFilter, {QStringLiteral("U.theName")})
                     << addTextFilter(QStringLiteral("联  系  人"), {QStringLiteral("U.thePro")})
                     << addTextFilter(QStringLiteral("联系电话"), {QStringLiteral("U.thePho")})
                     << addTextFilter(QStringLiteral("地        址"), {QStringLiteral("U.theAdd")});
    m_productFilters << addTextFilter(QStringLiteral("商品编码"), {QStringLiteral("S.theNum")})
                     << addTextFilter(QStringLiteral("商品名称"), {QStringLiteral("S.theName")})
                     << addTextFilter(QStringLiteral("规        格"), {QStringLiteral("S.theStand")})
                     << addTextFilter(QStringLiteral("单        位"), {QStringLiteral("S.theUnit")});
    try {
        addChoiceFilter(QStringLiteral("仓库名称"), QStringLiteral("D.WName"), DM().DBComWare());
        addChoiceFilter(QStringLiteral("经  手  人"), QStringLiteral("D.UName"), DM().DBComStaff());
        addChoiceFilter(QStringLiteral("录  入  人"), QStringLiteral("D.IName"), DM().DBComUser());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    setBaseCondition(statBaseCondition(), {QString::fromUtf8(Words::No)});

    setExport(w.exportTitle, {4, 20, 8, 8});
    exportLayout().portrait = true;
    setGroupColumns(statGroup(kind, w.partnerWord));

    m_chart = ChartPanel::beside(this, ChartPanel::Bars::Horizontal);
    m_chart->setTitle(w.exportTitle);
    m_chart->setPrinter([this] { Print::picture(windowTitle(), m_chart->image(), this); });
}

void StatisticsScreen::afterRef()
{
    // The groups of the largest amounts, largest first; equal amounts keep
    // the list's order.
    ResultModel *m = resultModel();
    struct Group {
        QString name;
        Money amount;
    };
    QVector<Group> groups;
    groups.reserve(m->rowCount());
    for (int r = 0; r < m->rowCount(); ++r) {
        Money amount;
        numberOf(m->raw(r, QStringLiteral("theSum")), &amount);
        groups.push_back({m->text(r, 0), amount});
    }
    std::stable_sort(groups.begin(), groups.end(), [](const Group &a, const Group &b) { return a.amount > b.amount; });
    if (groups.size() > ChartGroups) groups.resize(ChartGroups);
    QStringList names;
    ChartPanel::Series amounts{QStringLiteral("金额"), {}};
    for (const Group &g : groups) {
        names << g.name;
        amounts.values << g.amount;
    }
    m_chart->setBars(names, {amounts});
}

void StatisticsScreen::setGroupColumns(const StatGroup &g)
{
    ListColumn group("theGroup", g.caption);
    if (g.number) group.num();
    setColumns({group, ListColumn("theCount", "数量").tenThousandths().w(80),
                ListColumn("theSum", "金额").tenThousandths().w(80)});
}

void StatisticsScreen::BitBtn1Click()
{
    const StatGroup g = statGroup(m_kind, m_group->currentText().trimmed());
    setGroupColumns(g);
    setQuery(statSelect(m_kind, g, anyTicked(m_partnerFilters), anyTicked(m_productFilters)), statTail(m_kind, g));
    ListScreen::BitBtn1Click();
}

frmBB_CG::frmBB_CG(QWidget *parent) : StatisticsScreen(TradeKind::Purchase, parent)
{
    setObjectName(QStringLiteral("frmBB_CG"));
}

frmBB_CT::frmBB_CT(QWidget *parent) : StatisticsScreen(TradeKind::PurchaseReturn, parent)
{
    setObjectName(QStringLiteral("frmBB_CT"));
}

frmBB_XS::frmBB_XS(QWidget *parent) : StatisticsScreen(TradeKind::Sales, parent)
{
    setObjectName(QStringLiteral("frmBB_XS"));
}

frmBB_XT::frmBB_XT(QWidget *parent) : StatisticsScreen(TradeKind::SalesReturn, parent)
{
    setObjectName(QStringLiteral("frmBB_XT"));
}
