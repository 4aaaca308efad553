#include "stocklines.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "ui/msg.h"

#include <QSqlQueryModel>

namespace {

struct LineWords {
    const char *caption;
    const char *objectName;
    const char *countLabel;
    const char *exportWord;
    // The spreadsheet: widths of A (the running number), B, … and whether the
    // running numbers and "合计" are centred.
    QVector<double> exportWidths;
    bool serialCentred;
    bool totalCentred;
};

const LineWords &words(StockKind kind)
{
    static const LineWords w[3] = {
        {"商品调拨明细", "frmDB_MX", "调拨明细数量：", "商品调拨明细表", {4, 8, 10, 8, 8, 10, 14, 6, 6, 6, 6, 8, 8, 8},
         false, false},
        {"商品报损明细", "frmBS_MX", "报损明细数量：", "商品报损明细表", {4, 10, 12, 12, 12, 22, 8, 6, 6, 6, 8, 8, 8, 8},
         true, true},
        {"商品报溢明细", "frmBY_MX", "报溢明细数量：", "商品报溢明细表", {4, 10, 12, 12, 12, 22, 8, 6, 6, 8, 8, 8, 8, 8},
         true, true},
    };
    return w[qMin(int(kind), 2)];
}

QString u(const char *s) { return QString::fromUtf8(s); }

} // namespace

StockLinesScreen::StockLinesScreen(StockKind kind, QWidget *parent)
    : ListScreen(parent), m_kind(kind), m_info(stockKind(kind))
{
    const LineWords &w = words(kind);
    setObjectName(u(w.objectName));
    setWindowTitle(u(w.caption));
    setPaged(true);

    const QString lines = m_info.sides[0].lines;
    QList<ListColumn> cols{ListColumn("myDate", m_info.dateLabel).asText(), ListColumn("theNum", "单号").w(120)};
    QString select = QStringLiteral("select H.myDate as myDate, H.theNum as theNum");
    if (m_info.twoWarehouses) {
        cols << ListColumn("DName", m_info.issuingLabel).w(80);
        select += QStringLiteral(", H.DName as DName");
    }
    cols << ListColumn("WName", m_info.receivingLabel).w(80) << ListColumn("SPNum", "商品编码").w(100).asText()
         << ListColumn("SPName", "商品名称").w(160) << ListColumn("theStand", "规格").w(80)
         << ListColumn("theUnit", "单位").w(60) << ListColumn("thePrice", "单价").num().w(60)
         << ListColumn("theCount", "数量").num().w(60).sum("数量合计：")
         << ListColumn("theSum", "金额").num().w(80).sum("金额合计：") << ListColumn("UName", "经手人").w(80);
    if (!m_info.twoWarehouses) cols << ListColumn("IName", "录入人").w(80);
    cols << ListColumn("Remark", "备注").w(100);
    select += QStringLiteral(", H.WName as WName, S.theNum as SPNum, S.theName as SPName, S.theStand as theStand, "
                             "S.theUnit as theUnit, L.thePrice as thePrice, L.theCount as theCount, L.theSum as theSum, "
                             "H.UName as UName, H.IName as IName, L.Remark as Remark, L.ID as myID");
    setColumns(cols);
    const QString from = QStringLiteral(" from %1 L inner join %2 H on L.theNum=H.theNum").arg(lines, m_info.head);
    // Newest line first; the product is joined by key and only read.
    setQuery(select + from + QStringLiteral(" left join SShop S on L.SID=S.ID"), QStringLiteral("order by L.ID desc"));
    // The filters name the product by its ID: the totals need the lines and their documents only.
    const QString totals = QStringLiteral("select L.theCount as theCount, L.theSum as theSum") + from;
    setTotalsSource([totals](const SqlCondition &) { return totals; });
    setBaseCondition(QStringLiteral("H.theDel = ?"), {u(Words::No)});
    setCountLabel(u(w.countLabel));
    setExport(u(w.exportWord), w.exportWidths);
    exportLayout().serialCentred = w.serialCentred;
    exportLayout().totalCentred = w.totalCentred;

    addDateFilter(m_info.dateLabel, QStringLiteral("H.myDate"));
    addTextFilterVia(QStringLiteral("商品名称"), QStringLiteral("L.SID"), QStringLiteral("SShop"),
                     {QStringLiteral("theName"), QStringLiteral("thePY")});
    try {
        if (m_info.twoWarehouses) addChoiceFilter(m_info.issuingLabel, QStringLiteral("H.DName"), DM().DBComWare());
        addChoiceFilter(m_info.receivingLabel, QStringLiteral("H.WName"), DM().DBComWare());
        addChoiceFilter(QStringLiteral("经  手  人"), QStringLiteral("H.UName"), DM().DBComStaff());
        if (!m_info.twoWarehouses)
            addChoiceFilter(QStringLiteral("录  入  人"), QStringLiteral("H.IName"), DM().DBComUser());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
}
