#include "frmkc.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/sqlmoney.h"
#include "data/words.h"
#include "frmslist.h"
#include "master/frmpic_list.h"
#include "master/frmpic_v.h"
#include "print/reportoutput.h"
#include "ui/chartpanel.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "ui/sortheader.h"
#include "stockdialogs.h"
#include "stockedits.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSet>
#include <QSqlQueryModel>
#include <QTableView>

namespace {

// The radio buttons and what each adds to the condition.
struct Radio {
    const char *caption;
    const char *condition;
};
const Radio Radios[] = {{"全部", ""}, {"负库存", "K.theCount < 0"}, {"零库存", "K.theCount = 0"}, {"正库存", "K.theCount > 0"}};

QString u(const char *s) { return QString::fromUtf8(s); }

SqlCondition live() { return SqlCondition{QStringLiteral("S.theDel = ?"), {u(Words::No)}}; }

} // namespace

frmKC::frmKC(QWidget *parent) : ListScreen(parent)
{
    setObjectName(QStringLiteral("frmKC"));
    setWindowTitle(QStringLiteral("商品库存"));
    // Hundreds of thousands of stock rows on a shop of years: the first
    // screenful at once, the count and the sums from one summing statement.
    setPaged(true);

    setColumns({
        ListColumn("WName", "仓库名称").w(80),
        ListColumn("theNum", "商品编码").w(100).asText(),
        ListColumn("theType", "商品分类").w(80),
        ListColumn("theName", "商品名称").w(200),
        ListColumn("theStand", "规格").w(80),
        ListColumn("theUnit", "单位").w(60),
        ListColumn("theCount", "库存数量").num().w(60).sum("数量："),
        ListColumn("theCB", "成本单价").num().w(60),
        // The value of a row is its quantity times the product's cost price,
        // exact to the ten-thousandth (in ten-thousandths from the query).
        ListColumn("theJE", "金额").tenThousandths().w(80).sum("金额："),
        ListColumn("theXS", "销售单价").num().w(60).noXls(),
        ListColumn("Remark", "备注").w(200),
        ListColumn("ID").hide(),
        ListColumn("SID").hide(),
    });
    const QString from = QStringLiteral(" from UKC K inner join SShop S on K.SID=S.ID");
    const QString value = SqlMoney::productUnits(QStringLiteral("K.theCount"), QStringLiteral("S.theCB"));
    setQuery(QStringLiteral("select K.WName as WName, S.theNum as theNum, S.theType as theType, S.theName as theName, "
                            "S.theStand as theStand, S.theUnit as theUnit, K.theCount as theCount, S.theCB as theCB, ")
                 + value
                 + QStringLiteral(" as theJE, S.theXS as theXS, S.Remark as Remark, K.ID as ID, K.SID as SID") + from,
             // The stock rows in the order they came to be.
             QStringLiteral("order by K.ID"));
    m_valueSelect = QStringLiteral("select K.WName as WName, ") + value + QStringLiteral(" as theJE") + from;
    setTotalsSource([from, value](const SqlCondition &) {
        return QStringLiteral("select K.theCount as theCount, ") + value + QStringLiteral(" as theJE") + from;
    });
    setBaseCondition(live().sql, live().binds);

    setFilterColumns(4);
    try {
        addChoiceFilter(QStringLiteral("仓库名称"), QStringLiteral("K.WName"), DM().DBComWare());
        addChoiceFilter(QStringLiteral("商品分类"), QStringLiteral("S.theType"), DM().DBComSType());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    // Product fields are looked up among the products: a rare product's few
    // stock rows are found through the product index.
    const QString sid = QStringLiteral("K.SID"), shop = QStringLiteral("SShop");
    addTextFilterVia(QStringLiteral("商品名称"), sid, shop, {QStringLiteral("theName"), QStringLiteral("thePY")});
    addTextFilterVia(QStringLiteral("商品编码"), sid, shop, {QStringLiteral("theNum")});
    addTextFilterVia(QStringLiteral("备        注"), sid, shop, {QStringLiteral("Remark")});
    addTextFilterVia(QStringLiteral("规        格"), sid, shop, {QStringLiteral("theStand")});
    addTextFilterVia(QStringLiteral("单        位"), sid, shop, {QStringLiteral("theUnit")});

    m_hideCost = new QCheckBox(QStringLiteral("隐藏成本单价和金额 （Alt 加 A 健）&A"), this);
    m_hideCost->setObjectName(QStringLiteral("CheckBox8"));
    addFilterWidget(m_hideCost);
    m_radios = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto *r = new QRadioButton(u(Radios[i].caption), this);
        r->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        m_radios->addButton(r, i);
        addFilterWidget(r);
    }
    radio(0)->setChecked(true);

    // "查询", each radio button and the hide box run the same action.
    connect(m_radios, &QButtonGroup::idClicked, this, [this](int id) {
        setBaseCondition(SqlCondition::all({live(), SqlCondition{u(Radios[id].condition), {}}}).sql, live().binds);
        BitBtn1Click();
    });
    connect(m_hideCost, &QCheckBox::toggled, this, [this](bool hide) {
        // The "金额：" sum stays, and the spreadsheet keeps both columns.
        setColumnVisible(QStringLiteral("theCB"), !hide);
        setColumnVisible(QStringLiteral("theJE"), !hide);
        BitBtn1Click();
    });

    setCountLabel(QStringLiteral("记录："));
    setExport(QStringLiteral("商品库存表"), {4, 8, 12, 10, 30, 10, 6, 8, 8, 8, 8});
    exportLayout().footerProduct = QStringLiteral("Tavrel进销存软件");

    QMenu *m = popupMenu();
    auto item = [this, m](const char *name, const QString &text, void (frmKC::*slot)()) {
        QAction *a = m->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
    };
    item("M1", QStringLiteral("修改库存数量 &M"), &frmKC::M1Click);
    item("P1", QStringLiteral("修改成本单价 &P"), &frmKC::P1Click);
    item("V1", QStringLiteral("查看流动记录 &V"), &frmKC::V1Click);
    item("I1", QStringLiteral("查看图片 &I"), &frmKC::I1Click);
    item("L1", QStringLiteral("图片列表 &L"), &frmKC::L1Click);
    item("D1", QStringLiteral("删除 &D"), &frmKC::D1Click);

    m_chart = ChartPanel::beside(this, ChartPanel::Bars::Horizontal);
    m_chart->setTitle(QStringLiteral("各仓库库存金额"));
    m_chart->setPrinter([this] { Print::picture(windowTitle(), m_chart->image(), this); });
}

QRadioButton *frmKC::radio(int i) const { return static_cast<QRadioButton *>(m_radios->button(i)); }

bool frmKC::showOutOfLimits()
{
    return showWith(SqlCondition{QStringLiteral("(K.theCount < S.theKCMin) or (K.theCount > S.theKCMax)"), {}});
}

void frmKC::afterRef()
{
    // A sum over no rows shows as 0.
    for (const char *f : {"theCount", "theJE"}) {
        const QString field = QLatin1String(f);
        if (totalText(field).isEmpty())
            totalLabel(field)->setText(resultModel()->columns()[resultModel()->columnOf(field)].sumLabel()
                                       + QStringLiteral("0"));
    }

    // The value of each warehouse over the rows found (all of them, not only
    // those read into the grid), summed exactly as the "金额：" total.
    const SqlCondition where = keptCondition();
    QString sql = m_valueSelect;
    if (!where.isEmpty()) sql += QStringLiteral(" where ") + where.sql;
    sql = QStringLiteral("select WName, sum(theJE) from (%1) T group by WName order by WName").arg(sql);
    QStringList wares;
    ChartPanel::Series value{QStringLiteral("库存金额"), {}};
    try {
        for (const QVariantList &r : DM().rows(sql, where.binds)) {
            wares << r.value(0).toString();
            value.values << SqlMoney::fromSum(r.value(1));
        }
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    m_chart->setBars(wares, {value});
}

void frmKC::adjustExport(ExportLayout &layout)
{
    for (auto it = layout.totalCells.begin(); it != layout.totalCells.end(); ++it)
        if (it.value().isEmpty()) it.value() = QStringLiteral("0");
}

bool frmKC::hasRow() const { return !isEmpty() && currentRow() >= 0; }

void frmKC::M1Click()
{
    if (!hasRow()) return;
    const ResultModel *m = resultModel();
    frmKC_Count dlg(this);
    dlg.setup(currentValue(QStringLiteral("ID")).toInt(), m->text(currentRow(), m->columnOf(QStringLiteral("theCount"))),
              currentValue(QStringLiteral("WName")).toString(), currentValue(QStringLiteral("theName")).toString());
    connect(&dlg, &frmKC_Count::saved, this, [this] { Ref(); });
    dlg.exec();
}

void frmKC::P1Click()
{
    if (!hasRow()) return;
    const ResultModel *m = resultModel();
    frmKC_Price dlg(this);
    dlg.setup(currentValue(QStringLiteral("SID")).toInt(), m->text(currentRow(), m->columnOf(QStringLiteral("theCB"))),
              currentValue(QStringLiteral("WName")).toString(), currentValue(QStringLiteral("theName")).toString());
    connect(&dlg, &frmKC_Price::saved, this, [this] { Ref(); });
    dlg.exec();
}

void frmKC::V1Click()
{
    if (!hasRow()) return;
    frmSList dlg(this);
    dlg.setProduct(currentValue(QStringLiteral("SID")).toInt(), currentValue(QStringLiteral("WName")).toString());
    dlg.exec();
}

void frmKC::I1Click()
{
    if (!hasRow()) return;
    frmPic_V dlg(this);
    dlg.setProduct(currentValue(QStringLiteral("SID")).toInt(), currentValue(QStringLiteral("theNum")).toString()
                                                                      + QLatin1Char(' ')
                                                                      + currentValue(QStringLiteral("theName")).toString());
    dlg.exec();
}

void frmKC::L1Click()
{
    if (isEmpty() || !fetchAll()) return;
    // Every product of the list, once each, in the list's order.
    QList<int> ids;
    QSet<int> seen;
    const int n = sortProxy()->rowCount();
    for (int r = 0; r < n; ++r) {
        const int sid = valueAt(r, QStringLiteral("SID")).toInt();
        if (!seen.contains(sid)) {
            seen.insert(sid);
            ids << sid;
        }
    }
    frmPic_List dlg(this);
    dlg.setProductIds(ids);
    dlg.exec();
}

void frmKC::D1Click()
{
    if (!hasRow()) return;
    const QString refused = QStringLiteral("库存数量 不为零，不能删除！");
    if (!Money::fromVariant(currentValue(QStringLiteral("theCount"))).isZero()) {
        Msg::info(this, refused);
        return;
    }
    if (!Msg::confirmDelete(this)) return;
    try {
        // Goods may have come in since the list was read: the row is read again.
        if (removeStockRow(DM(), currentValue(QStringLiteral("ID")).toInt()) == StockRowRemoval::NotZero)
            Msg::info(this, refused);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Ref();
}
