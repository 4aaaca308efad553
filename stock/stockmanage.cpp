#include "stockmanage.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "ui/msg.h"
#include "stockdoc.h"
#include "stockentry.h"

#include <QAction>
#include <QMenu>
#include <QSqlQueryModel>

namespace {

// The words that differ between the four screens.
struct ManageWords {
    const char *caption;
    const char *objectName;
    const char *printItem;
    bool separator;       // between the print item and "删除 &D"
    int nameWidth;        // warehouses and people
    int remarkWidth;
    // The spreadsheet: widths of A (the running number), B, … and whether the
    // running numbers are centred.
    QVector<double> exportWidths;
    bool serialCentred;
};

const ManageWords &words(StockKind kind)
{
    static const ManageWords w[4] = {
        {"商品调拨管理", "frmDB_M", "打印商品调拨单 &P", true, 100, 400, {4, 10, 12, 12, 12, 12, 12, 42}, false},
        {"商品报损管理", "frmBS_M", "打印商品报损单 &P", false, 100, 500, {4, 10, 12, 12, 12, 12, 54}, false},
        {"商品报溢管理", "frmBY_M", "打印商品报溢单 &P", false, 100, 500, {4, 10, 12, 12, 12, 12, 54}, true},
        {"商品拆装管理", "frmCZ_M", "打印商品拆装单 &P", true, 100, 400, {4, 10, 12, 12, 12, 12, 12, 42}, true},
    };
    return w[int(kind)];
}

QString u(const char *s) { return QString::fromUtf8(s); }

} // namespace

StockManageScreen::StockManageScreen(StockKind kind, QWidget *parent)
    : DocManageScreen(parent), m_kind(kind), m_info(stockKind(kind))
{
    setObjectName(u(words(kind).objectName));
    setWindowTitle(u(words(kind).caption));
    // Years of documents: the first screenful at once, the rest as the list scrolls.
    setPaged(true);
    buildList();
    buildFilters();
    buildDetails();
    buildMenu();
    setDeleter(QStringLiteral("ID"), QString(), [kind](int id) { return deleteStockDoc(DM(), kind, id); });
}

void StockManageScreen::buildList()
{
    const ManageWords &w = words(m_kind);
    QList<ListColumn> cols{ListColumn("myDate", m_info.dateLabel).asText(), ListColumn("theNum", "单号").w(120)};
    QString select = QStringLiteral("select H.myDate as myDate, H.theNum as theNum");
    if (m_info.twoWarehouses) {
        cols << ListColumn("DName", m_info.issuingLabel).w(w.nameWidth);
        select += QStringLiteral(", H.DName as DName");
    }
    cols << ListColumn("WName", m_info.receivingLabel).w(w.nameWidth) << ListColumn("UName", "经手人").w(w.nameWidth)
         << ListColumn("IName", "录入人").w(w.nameWidth) << ListColumn("Remark", "备注").w(w.remarkWidth)
         << ListColumn("ID").hide();
    select += QStringLiteral(", H.WName as WName, H.UName as UName, H.IName as IName, H.Remark as Remark, H.ID as ID");
    setColumns(cols);
    // Newest first, live documents only.
    setQuery(select + QStringLiteral(" from %1 H").arg(m_info.head), QStringLiteral("order by H.ID desc"));
    setBaseCondition(QStringLiteral("H.theDel = ?"), {u(Words::No)});
    setCountLabel(m_info.countLabel);
    setExport(m_info.titleWord, w.exportWidths);
    exportLayout().serialCentred = w.serialCentred;
}

void StockManageScreen::buildFilters()
{
    addDateFilter(m_info.dateLabel, QStringLiteral("H.myDate"));
    try {
        if (m_info.twoWarehouses)
            addChoiceFilter(m_info.issuingLabel, QStringLiteral("H.DName"), DM().DBComWare());
        addChoiceFilter(m_info.receivingLabel, QStringLiteral("H.WName"), DM().DBComWare());
        addChoiceFilter(QStringLiteral("经  手  人"), QStringLiteral("H.UName"), DM().DBComStaff());
        addChoiceFilter(QStringLiteral("录  入  人"), QStringLiteral("H.IName"), DM().DBComUser());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    addTextFilter(QStringLiteral("备        注"), {QStringLiteral("H.Remark")});
}

void StockManageScreen::buildDetails()
{
    // Two grids side by side (an assembly) get narrower columns.
    const bool narrow = m_info.sides.size() > 1;
    auto lines = [narrow](const QString &nameCaption) {
        return QList<ListColumn>{ListColumn("SPNum", "商品编码").w(narrow ? 80 : 100).asText(),
                                 ListColumn("SPName", nameCaption).w(narrow ? 120 : 160),
                                 ListColumn("theStand", "规格").w(narrow ? 60 : 80), ListColumn("theUnit", "单位").w(50),
                                 ListColumn("theCount", "数量").num().w(60), ListColumn("thePrice", "单价").num().w(narrow ? 60 : 80),
                                 ListColumn("theSum", "金额").num().w(narrow ? 80 : 100),
                                 ListColumn("Remark", "备注").w(narrow ? 80 : 120), ListColumn("SID").hide()};
    };
    auto select = [](const QString &table) {
        return QStringLiteral("select S.theNum as SPNum, S.theName as SPName, S.theStand as theStand, "
                              "S.theUnit as theUnit, L.theCount as theCount, L.thePrice as thePrice, "
                              "L.theSum as theSum, L.Remark as Remark, L.SID as SID "
                              "from %1 L left join SShop S on L.SID=S.ID where L.theNum=? order by L.theBH, L.ID")
            .arg(table);
    };
    if (m_info.sides.size() == 1) {
        addDetailGrid(QStringLiteral("DBGrid2"), lines(QStringLiteral("商品名称")), select(m_info.sides[0].lines));
    } else {
        // The goods put in beside the goods taken out.
        addDetailGrid(QStringLiteral("DBGrid2"), lines(QStringLiteral("入库商品名称")), select(m_info.sides[1].lines));
        addDetailGrid(QStringLiteral("DBGrid3"), lines(QStringLiteral("出库商品名称")), select(m_info.sides[0].lines));
    }
    setDetailKey(QStringLiteral("theNum"));
}

void StockManageScreen::buildMenu()
{
    QMenu *m = popupMenu();
    QAction *print = m->addAction(u(words(m_kind).printItem));
    print->setObjectName(QStringLiteral("P1"));
    connect(print, &QAction::triggered, this, &StockManageScreen::P1Click);
    if (words(m_kind).separator) m->addSeparator();
    addDeleteItem();
}

void StockManageScreen::P1Click()
{
    if (isEmpty() || currentRow() < 0) return;
    StockEntryScreen::printDocument(m_kind, currentValue(QStringLiteral("theNum")).toString(), this);
}
