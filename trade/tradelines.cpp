#include "tradelines.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/sqlmoney.h"
#include "data/words.h"
#include "ui/exportopen.h"
#include "salesbook.h"
#include "salesstats.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "stock/frmcb_xs.h"
#include "tradelinequery.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QMenu>
#include <QSqlQueryModel>
#include <QTableView>

namespace {

struct LineWords {
    const char *caption;
    const char *dateCaption;
    const char *partnerCaption;
    const char *partnerFilter;
    const char *countLabel;
    const char *exportWord;
};

const LineWords &words(TradeKind kind)
{
    static const LineWords w[4] = {
        {"采购入库明细", "采购日期", "供应商", "供  应  商", "采购入库明细数量：", "采购入库明细表"},
        {"销售出库明细", "销售日期", "客户名称", "客户名称", "销售出库明细数量：", "销售出库明细表"},
        {"采购退货明细", "退货日期", "供应商", "供  应  商", "采购退货明细数量：", "采购退货明细表"},
        {"销售退货明细", "退货日期", "客户名称", "客户名称", "销售退货明细数量：", "销售退货明细表"},
    };
    return w[int(kind)];
}

QString u(const char *s) { return QString::fromUtf8(s); }

// A sales line's cost in ten-thousandths: quantity times unit cost, exact and
// rounded once as every amount is, the same on every engine.
QString lineCost() { return SqlMoney::productUnits(QStringLiteral("L.theCount"), QStringLiteral("L.theJJ")); }

const char *const ContactFields[] = {"thePro", "thePho", "theAdd"};

} // namespace

TradeLinesScreen::TradeLinesScreen(TradeKind kind, QWidget *parent)
    : ListScreen(parent), m_kind(kind), m_info(tradeKind(kind))
{
    setObjectName(QStringLiteral("frm") + QStringList{"JH_MX", "XS_MX", "CG_O_MX", "XS_O_MX"}[int(kind)]);
    setWindowTitle(u(words(kind).caption));
    setPaged(true);
    buildColumns();
    buildFilters();

    m_hideContact = new QCheckBox(QStringLiteral("不显示联系人、联系电话、地址"), this);
    m_hideContact->setObjectName(QStringLiteral("CheckBox15"));
    addFilterWidget(m_hideContact);
    connect(m_hideContact, &QCheckBox::toggled, this, [this](bool hide) {
        for (const char *f : ContactFields) setColumnVisible(QLatin1String(f), !hide);
        if (queried()) BitBtn1Click();
    });

    if (m_info.salesLines) {
        QAction *t = popupMenu()->addAction(QStringLiteral("统计 &T"));
        t->setObjectName(QStringLiteral("T1"));
        connect(t, &QAction::triggered, this, &TradeLinesScreen::T1Click);
        QAction *m = popupMenu()->addAction(QStringLiteral("修改成本 &M"));
        m->setObjectName(QStringLiteral("M1"));
        connect(m, &QAction::triggered, this, &TradeLinesScreen::M1Click);
    }
}

void TradeLinesScreen::buildColumns()
{
    const LineWords &w = words(m_kind);
    QList<ListColumn> cols{
        ListColumn("myDate", u(w.dateCaption)).asText(),
        ListColumn("theNum", "单号"),
        ListColumn("theName", u(w.partnerCaption)).w(160),
        ListColumn("thePro", "联系人").w(80),
        ListColumn("thePho", "联系电话").w(120),
        ListColumn("theAdd", "地址").w(160),
        ListColumn("SPNum", "商品编码").w(100).asText(),
        ListColumn("SPName", "商品名称").w(160),
        ListColumn("theStand", "规格").w(80),
        ListColumn("theUnit", "单位").w(60),
    };
    QString select = QStringLiteral("select H.myDate as myDate, H.theNum as theNum, U.theName as theName, "
                                    "U.thePro as thePro, U.thePho as thePho, U.theAdd as theAdd, S.theNum as SPNum, "
                                    "S.theName as SPName, S.theStand as theStand, S.theUnit as theUnit, "
                                    "L.thePrice as thePrice, L.theCount as theCount, L.theSum as theSum, "
                                    "H.WName as WName, H.UName as UName, H.IName as IName, L.Remark as Remark, "
                                    "L.ID as myID");
    const ListColumn count = ListColumn("theCount", "数量").num().w(60).sum("数量合计：");
    const ListColumn amount = ListColumn("theSum", "金额").num().w(80).sum("金额合计：");
    if (m_info.salesLines) {
        // Cost is quantity times unit cost, to the ten-thousandth; profit is
        // the amount less that cost, so the profit total is the amount total
        // less the cost total, to the last digit. Both come in ten-thousandths.
        cols << ListColumn("thePrice", "销售单价").num().w(60) << ListColumn("theZK", "折扣").num().w(40) << count
             << amount << ListColumn("theCB", "成本").tenThousandths().w(60).sum("成本合计：")
             << ListColumn("theLR", "利润").tenThousandths().w(60).sumAsDifference("利润合计：", "theSum", "theCB");
        select += QStringLiteral(", L.theZK as theZK, %1 as theCB, %2-%1 as theLR, L.theJJ as theJJ")
                      .arg(lineCost(), SqlMoney::units(QStringLiteral("L.theSum")));
    } else if (m_kind == TradeKind::PurchaseReturn) {
        cols << count << ListColumn("thePrice", "单价").num().w(60) << amount;
    } else {
        cols << ListColumn("thePrice", "单价").num().w(60) << count << amount;
    }
    cols << ListColumn("WName", "仓库名称").w(80) << ListColumn("UName", "经手人").w(80)
         << ListColumn("IName", "录入人").w(80) << ListColumn("Remark", "备注").w(100);
    if (m_info.salesLines) cols << ListColumn("myID").hide() << ListColumn("theJJ").num().hide();
    setColumns(cols);
    // Newest line first.
    setQuery(select + QStringLiteral(" from ") + tradeLinesFrom(m_kind), QStringLiteral("order by L.ID desc"));
    // The filters name partner and product by their IDs: the totals need the
    // lines and their documents only. Each line's cost is summed as the list
    // shows it.
    const QString totals = QStringLiteral("select L.theCount as theCount, L.theSum as theSum%1 from %2 L "
                                          "inner join %3 H on L.theNum=H.theNum")
                               .arg(m_info.salesLines ? QStringLiteral(", %1 as theCB").arg(lineCost()) : QString(),
                                    m_info.lines, m_info.head);
    setTotalsSource([totals](const SqlCondition &) { return totals; });
    setBaseCondition(QStringLiteral("H.theDel = ?"), {u(Words::No)});
    setCountLabel(u(w.countLabel));
    if (m_info.salesLines)
        setExport(u(w.exportWord), {4, 10, 12, 16, 12, 12, 16, 12, 18, 8, 6, 6, 4, 6, 8, 6, 6, 8, 8, 8, 8});
    else
        setExport(u(w.exportWord), {4, 10, 12, 18, 12, 12, 18, 12, 18, 12}, 8);
}

void TradeLinesScreen::buildFilters()
{
    const LineWords &w = words(m_kind);
    m_date = addDateFilter(u(w.dateCaption), QStringLiteral("H.myDate"));
    // Product and partner fields are looked up in their own tables: a rare
    // product's or partner's few lines are found through their indexes.
    const QString sid = QStringLiteral("L.SID"), shop = QStringLiteral("SShop");
    const QString uid = QStringLiteral("H.UID"), units = QStringLiteral("SUnits");
    addTextFilterVia(QStringLiteral("商品名称"), sid, shop, {QStringLiteral("theName"), QStringLiteral("thePY")});
    addTextFilterVia(u(w.partnerFilter), uid, units, {QStringLiteral("theName"), QStringLiteral("thePY")});
    addTextFilter(QStringLiteral("单        号"), {QStringLiteral("H.theNum")});
    addTextFilter(QStringLiteral("备        注"), {QStringLiteral("L.Remark")});
    try {
        addChoiceFilter(QStringLiteral("仓库名称"), QStringLiteral("H.WName"), DM().DBComWare());
        addChoiceFilter(QStringLiteral("经  手  人"), QStringLiteral("H.UName"), DM().DBComStaff());
        addChoiceFilter(QStringLiteral("录  入  人"), QStringLiteral("H.IName"), DM().DBComUser());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    addTextFilterVia(QStringLiteral("联  系  人"), uid, units, {QStringLiteral("thePro")});
    addTextFilterVia(QStringLiteral("联系电话"), uid, units, {QStringLiteral("thePho")});
    addTextFilterVia(QStringLiteral("地        址"), uid, units, {QStringLiteral("theAdd")});
    addTextFilterVia(QStringLiteral("商品编码"), sid, shop, {QStringLiteral("theNum")});
    addTextFilterVia(QStringLiteral("规        格"), sid, shop, {QStringLiteral("theStand")});
    addTextFilterVia(QStringLiteral("单        位"), sid, shop, {QStringLiteral("theUnit")});
}

void TradeLinesScreen::adjustExport(ExportLayout &layout)
{
    // The spreadsheet keeps "单价" before "数量" on every kind.
    if (m_kind == TradeKind::PurchaseReturn) {
        int price = -1, count = -1;
        for (int i = 0; i < layout.columns.size(); ++i) {
            if (layout.columns[i].header == QStringLiteral("单价")) price = i;
            if (layout.columns[i].header == QStringLiteral("数量")) count = i;
        }
        if (price >= 0 && count >= 0) {
            layout.columns.swapItemsAt(price, count);
            const QString a = layout.totalCells.value(price + 1), b = layout.totalCells.value(count + 1);
            layout.totalCells.insert(price + 1, b);
            layout.totalCells.insert(count + 1, a);
        }
    }
    // Hidden contact columns are there, but of width 0 (E, F, G).
    if (m_hideContact->isChecked()) {
        if (layout.widths.size() < 7) layout.widths.resize(7, layout.restWidth);
        for (int c = 4; c <= 6; ++c) layout.widths[c] = 0;
    }
}

void TradeLinesScreen::T1Click()
{
    if (!m_info.salesLines || !queried()) return;
    // The date range applies to the received and owed sums only while its box is ticked.
    QString from, to;
    const SqlCondition kept = keptCondition();
    if (m_date->isTicked()) {
        from = m_date->dateFrom()->date().toString(QString::fromLatin1(DateFormat));
        to = m_date->dateTo()->date().toString(QString::fromLatin1(DateFormat));
    }
    SalesStats stats;
    try {
        stats = salesStatistics(DM(), kept.sql, kept.binds, from, to);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    SalesBook book(stats, G.ShopName);
    m_lastStats = ExportOpen::run(this, book.layout(), book.model());
}

void TradeLinesScreen::M1Click()
{
    if (!m_info.salesLines || isEmpty() || currentRow() < 0) return;
    const ResultModel *m = resultModel();
    const int r = currentRow();
    auto shown = [m, r](const char *field) { return m->text(r, m->columnOf(QLatin1String(field))); };
    frmCB_XS dlg(this);
    dlg.setLine(currentValue(QStringLiteral("myID")).toInt(),
                {shown("SPNum"), shown("SPName"), shown("theStand"), shown("theUnit"), shown("thePrice"),
                 shown("theZK"), shown("theCount"), shown("theSum")},
                shown("theJJ"), shown("theCB"));
    connect(&dlg, &frmCB_XS::saved, this, [this] { Ref(); });
    dlg.exec();
}
