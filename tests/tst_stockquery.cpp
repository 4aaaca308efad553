// The stock query, its corrections and the movement ledger view: radio
// filters and exact totals, hidden cost, the quantity correction and its
// ledger row, the cost price, removal of empty rows, the start-up alert, the
// ledger of one product and the spreadsheets.
#include "data/globals.h"
#include "ui/exportopen.h"
#include "chartread.h"
#include "screenkeys.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "stock/frmkc.h"
#include "stock/frmslist.h"
#include "stock/stockdialogs.h"
#include "testcaller.h"
#include "testdb.h"
#include "xlsxread.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QStandardPaths>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

QVector<Msg::Shown> g_shown;
int g_answer = 0;

QStringList shownTexts()
{
    QStringList out;
    for (const Msg::Shown &s : g_shown) out << s.text;
    return out;
}

QStringList column(ListScreen *s, const QString &field)
{
    QStringList out;
    for (int r = 0; r < s->grid()->model()->rowCount(); ++r) {
        const int c = s->resultModel()->columnOf(field);
        out << s->grid()->model()->index(r, c).data().toString();
    }
    return out;
}

QString totals(frmKC *s)
{
    return s->countLabel()->text() + "|" + s->totalLabel("theCount")->text() + "|" + s->totalLabel("theJE")->text();
}

void select(ListScreen *s, const QString &field, const QVariant &value)
{
    for (int r = 0; r < s->grid()->model()->rowCount(); ++r)
        if (s->valueAt(r, field) == value) {
            s->grid()->setCurrentIndex(s->grid()->model()->index(r, 0));
            return;
        }
    QFAIL("row not found");
}

} // namespace

class TstStockQuery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void radiosAndFiltersWithExactTotals_data();
    void radiosAndFiltersWithExactTotals();
    void exactStockValue_data();
    void exactStockValue();
    void hiddenCostStaysInTotalAndSpreadsheet();
    void quantityCorrection_data();
    void quantityCorrection();
    void quantityCorrectionThroughTheMenu();
    void costPriceChangesEveryWarehouse();
    void onlyEmptyRowsAreRemoved();
    void startUpAlertShowsRowsOutsideTheirLimits();
    void popupItemsWaitForRows();
    void ledgerOfOneProduct();
    void picturesOfTheRows();
    void keyboard();
    void chartOfEachWarehouse();

private:
    struct Fixture;
    QTemporaryDir m_dir;
};

struct TstStockQuery::Fixture {
    TestDb t;
    int cola = t.addProduct("可乐", Money::fromString("2.55"));
    int tea = t.addProduct("茶叶", Money::fromString("10"));
    int milk = t.addProduct("牛奶", Money::fromString("4"));
    int gone = t.addProduct("旧货", Money::fromString("1"));
    std::unique_ptr<frmKC> screen;

    // 一号库: 可乐 5, 茶叶 -2, 牛奶 0; 二号库: 可乐 3; a deleted product's stock is never shown.
    Fixture()
    {
        t.addWarehouse("一号库");
        t.addWarehouse("二号库");
        dm().mySQL("update SShop set theNum='P' || ID, thePY='KL', theType='饮料' where ID=?", {cola});
        dm().mySQL("update SShop set theNum='P' || ID, theType='茶' where ID<>?", {cola});
        dm().mySQL("update SShop set theDel='是' where ID=?", {gone});
        dm().KC_Up("一号库", cola, Money::fromString("5"));
        dm().KC_Do("一号库", tea, Money::fromString("2"));
        dm().KC_Up("一号库", milk, Money());
        dm().KC_Up("二号库", cola, Money::fromString("3"));
        dm().KC_Up("一号库", gone, Money::fromString("7"));
    }
    frmDM &dm() { return t.dm(); }
    frmKC *open()
    {
        screen = std::make_unique<frmKC>();
        screen->show();
        return screen.get();
    }
    int ukc(const QString &wh, int sid)
    {
        return dm().value("select ID from UKC where WName=? and SID=?", {wh, sid}).toInt();
    }
    FilterRow *filter(const QString &caption)
    {
        for (FilterRow *f : screen->filters())
            if (f->box()->text() == caption) return f;
        qFatal("no filter %s", qPrintable(caption));
    }
};

void TstStockQuery::initTestCase()
{
    // The pop-up items include "恢复默认列宽", which writes the settings.
    QStandardPaths::setTestModeEnabled(true);
    G.AppPath = m_dir.path() + QLatin1Char('/');
}

void TstStockQuery::init()
{
    setSession("2012-11-16");
    G.ShopName = "测试商店";
    G.ShopFKC = false;
    g_shown.clear();
    g_answer = 0;
    Msg::setHandler([](const Msg::Shown &s) {
        g_shown << s;
        return g_answer;
    });
}

void TstStockQuery::cleanup()
{
    Msg::setHandler(nullptr);
    ExportOpen::setOpener(nullptr);
}

void TstStockQuery::radiosAndFiltersWithExactTotals_data()
{
    QTest::addColumn<int>("radio");
    QTest::addColumn<QString>("filter");   // "caption=text" of a filter to tick
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("totals");
    // 5 × 2.55 − 2 × 10 + 3 × 2.55 is 0.4 exactly, not a double's 0.40000000000000036.
    QTest::newRow("全部") << 0 << "" << QStringList{"可乐", "茶叶", "牛奶", "可乐"} << "记录：4|数量：6|金额：0.4";
    QTest::newRow("负库存") << 1 << "" << QStringList{"茶叶"} << "记录：1|数量：-2|金额：-20";
    // Rows that exist with nothing in them; products never held have no row.
    QTest::newRow("零库存") << 2 << "" << QStringList{"牛奶"} << "记录：1|数量：0|金额：0";
    QTest::newRow("正库存") << 3 << "" << QStringList{"可乐", "可乐"} << "记录：2|数量：8|金额：20.4";
    QTest::newRow("warehouse") << 0 << "仓库名称=二号库" << QStringList{"可乐"} << "记录：1|数量：3|金额：7.65";
    QTest::newRow("input code") << 0 << "商品名称=kl" << QStringList{"可乐", "可乐"} << "记录：2|数量：8|金额：20.4";
    QTest::newRow("category and radio") << 3 << "商品分类=茶" << QStringList{} << "记录：0|数量：0|金额：0";
    QTest::newRow("code") << 0 << "商品编码=P2" << QStringList{"茶叶"} << "记录：1|数量：-2|金额：-20";
}

void TstStockQuery::radiosAndFiltersWithExactTotals()
{
    QFETCH(int, radio);
    QFETCH(QString, filter);
    QFETCH(QStringList, names);
    QFETCH(QString, totals);
    Fixture f;
    frmKC *s = f.open();
    if (!filter.isEmpty()) {
        FilterRow *row = f.filter(filter.section('=', 0, 0));
        if (row->comboBox()) row->comboBox()->setCurrentText(filter.section('=', 1));
        else row->lineEdit()->setText(filter.section('=', 1));
        row->box()->setChecked(true);
    }
    // A radio button runs the query as "查询" does.
    s->radio(radio)->click();
    QVERIFY(s->queried());
    QCOMPARE(column(s, "theName"), names);
    QCOMPARE(::totals(s), totals);
    // The grid's rows come in the order the stock rows came to be.
    if (radio == 0 && filter.isEmpty()) {
        QCOMPARE(column(s, "WName"), (QStringList{"一号库", "一号库", "一号库", "二号库"}));
        QCOMPARE(column(s, "theJE"), (QStringList{"12.75", "-20", "0", "7.65"}));
    }
    // "查询" keeps the radio's choice.
    s->queryButton()->click();
    QCOMPARE(column(s, "theName"), names);
}

void TstStockQuery::exactStockValue_data()
{
    QTest::addColumn<QString>("count");   // of 可乐 in 一号库
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QString>("value");   // of that row
    QTest::addColumn<QString>("total");   // with 二号库's 3 at the same cost
    QTest::newRow("0.5 x 1.0009: a half rounds up") << "0.5" << "1.0009" << "0.5005" << "3.5032";
    QTest::newRow("below zero: a half rounds away from zero") << "-0.5" << "1.0009" << "-0.5005" << "2.5022";
    QTest::newRow("eight decimals of a large product") << "12345.6789" << "98765.4321" << "1219326311.1264"
                                                       << "1219622607.4227";
}

void TstStockQuery::exactStockValue()
{
    // A row's value is its quantity times the cost price, exact and rounded
    // once as every product is; the list, the total and the spreadsheet agree.
    QFETCH(QString, count);
    QFETCH(QString, cost);
    QFETCH(QString, value);
    QFETCH(QString, total);
    Fixture f;
    const Money c = Money::fromString(cost);
    QCOMPARE((Money::fromString(count) * c).toString(), value);
    QCOMPARE((Money::fromString(count) * c + Money::fromString("3") * c).toString(), total);
    f.dm().mySQL("update UKC set theCount=? where WName='一号库' and SID=?", {Money::fromString(count).toVariant(), f.cola});
    f.dm().mySQL("update SShop set theCB=? where ID=?", {c.toVariant(), f.cola});
    frmKC *s = f.open();
    f.filter("商品名称")->lineEdit()->setText("可乐");
    f.filter("商品名称")->box()->setChecked(true);
    s->queryButton()->click();
    QCOMPARE(s->resultModel()->rowCount(), 2);
    QCOMPARE(s->resultModel()->text(0, s->resultModel()->columnOf("theJE")), value);
    QCOMPARE(s->totalLabel("theJE")->text(), "金额：" + total);

    QString written;
    ExportOpen::setOpener([&](const QString &path) { written = path; return true; });
    s->excelButton()->click();
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    QCOMPARE(x.text("J2"), QString("金额"));
    QCOMPARE(Money::fromVariant(x.value("J3")).toString(), value);
    QCOMPARE(x.text("A5"), QString("合计"));
    QCOMPARE(Money::fromVariant(x.value("J5")).toString(), total);
}

void TstStockQuery::hiddenCostStaysInTotalAndSpreadsheet()
{
    Fixture f;
    QString written;
    ExportOpen::setOpener([&](const QString &path) { written = path; return true; });
    frmKC *s = f.open();
    // The box runs the query too (Alt+A from the keyboard).
    s->hideCostBox()->click();
    QVERIFY(s->queried());
    const int cb = s->resultModel()->columnOf("theCB"), je = s->resultModel()->columnOf("theJE");
    QVERIFY(s->grid()->isColumnHidden(cb));
    QVERIFY(s->grid()->isColumnHidden(je));
    QVERIFY(s->totalLabel("theJE")->isVisible());
    QCOMPARE(s->totalLabel("theJE")->text(), QString("金额：0.4"));

    s->excelButton()->click();
    QVERIFY(!written.isEmpty());
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), QString("测试商店商品库存表"));
    QStringList header;
    for (const char *c : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K"}) header << x.text(QString(c) + "2");
    QCOMPARE(header, (QStringList{"序号", "仓库名称", "商品编码", "商品分类", "商品名称", "规格", "单位", "库存数量",
                                   "成本单价", "金额", "备注"}));
    QCOMPARE(x.text("L2"), QString());
    QCOMPARE(x.type("C3"), QString("s"));
    QCOMPARE(x.value("I3").toDouble(), 2.55);
    QCOMPARE(x.value("J3").toDouble(), 12.75);
    QCOMPARE(x.text("A7"), QString("合计"));
    QCOMPARE(x.value("H7").toDouble(), 6.0);
    QCOMPARE(x.text("J7"), QString("0.4"));
}

void TstStockQuery::quantityCorrection_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stock");     // afterwards
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("5 to 8") << "8" << "8" << "3" << "0" << "";
    QTest::newRow("5 to 2") << "2" << "2" << "0" << "3" << "";
    QTest::newRow("5 to -1") << "-1" << "-1" << "0" << "6" << "";
    QTest::newRow("empty counts as 0") << "" << "0" << "0" << "5" << "";
    QTest::newRow("unchanged") << "5" << "5" << "0" << "0" << "";
    // What the key filter lets through, or a paste brings, is refused before anything is written.
    QTest::newRow("1-2") << "1-2" << "5" << "" << "" << "库存数量 “1-2”不是有效的数值，请重新录入！";
    QTest::newRow("1.2.3") << "1.2.3" << "5" << "" << "" << "库存数量 “1.2.3”不是有效的数值，请重新录入！";
    QTest::newRow("pasted letters") << "五" << "5" << "" << "" << "库存数量 “五”不是有效的数值，请重新录入！";
    QTest::newRow("too many decimals") << "1.00001" << "5" << "" << "" << "库存数量 最多只能有四位小数，请重新录入！";
    QTest::newRow("ten thousand million") << "9999999999" << "5" << "" << ""
                                        << "库存数量 超出允许的范围（-999999999.9999 到 999999999.9999），请重新录入！";
}

void TstStockQuery::quantityCorrection()
{
    QFETCH(QString, typed);
    QFETCH(QString, stock);
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(QString, refusal);
    Fixture f;
    frmKC_Count dlg;
    dlg.setup(f.ukc("一号库", f.cola), "5", "一号库", "可乐");
    QCOMPARE(dlg.windowTitle(), QString("一号库 可乐 库存数量"));
    dlg.edit()->setText(typed);
    QSignalSpy saved(&dlg, &frmKC_Count::saved);
    dlg.BitBtn1Click();
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), stock);
    if (!refusal.isEmpty()) {
        QCOMPARE(shownTexts(), QStringList{refusal});
        QCOMPARE(saved.count(), 0);
        QCOMPARE(f.dm().value("select count(*) from SList").toInt(), 0);
        return;
    }
    QCOMPARE(saved.count(), 1);
    // One ledger row, without a number, priced at the cost price, with the stock now as its balance.
    const auto rows = f.dm().rows("select theType, theNum, WName, SID, ICount, OCount, SPrice, WCount, UName from SList");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0], (QVariantList{"修改库存", "", "一号库", f.cola, Money::fromString(in).toDouble(),
                                    Money::fromString(out).toDouble(), 2.55, Money::fromString(stock).toDouble(),
                                    "系统管理员"}));
}

void TstStockQuery::quantityCorrectionThroughTheMenu()
{
    // The dialog opened from the pop-up menu runs its own event loop; the
    // difference is taken to the quantity stored now, which another seat
    // changed after the list was read.
    Fixture f;
    frmKC *s = f.open();
    s->queryButton()->click();
    select(s, "ID", f.ukc("二号库", f.cola));
    f.dm().KC_Up("二号库", f.cola, Money::fromString("1"));   // 4 now, the list still shows 3
    ModalScript modal;
    QString seen, shown;
    modal.next(&seen, [&](QDialog *d) {
        auto *e = d->findChild<QLineEdit *>("Edit1");
        shown = e->text();
        e->selectAll();
        QTest::keyClicks(e, "10");
        QTest::keyClick(e, Qt::Key_Return);   // Enter saves
    });
    s->findChild<QAction *>("M1")->trigger();
    QCOMPARE(seen, QString("frmKC_Count"));
    QCOMPARE(shown, QString("3"));
    QCOMPARE(f.dm().rows("select ICount, OCount, WCount from SList"), (QVector<QVariantList>{{6, 0, 10}}));
    // The list was read again.
    QCOMPARE(s->valueAt(3, "theCount").toDouble(), 10.0);
    QCOMPARE(s->totalLabel("theCount")->text(), QString("数量：13"));
}

void TstStockQuery::costPriceChangesEveryWarehouse()
{
    Fixture f;
    frmKC *s = f.open();
    s->queryButton()->click();
    select(s, "ID", f.ukc("一号库", f.cola));
    ModalScript modal;
    QString seen, caption;
    modal.next(&seen, [&](QDialog *d) {
        caption = d->windowTitle();
        auto *e = d->findChild<QLineEdit *>("Edit1");
        e->setText("3");
        d->findChild<QPushButton *>("BitBtn1")->click();
    });
    s->findChild<QAction *>("P1")->trigger();
    QCOMPARE(seen, QString("frmKC_Price"));
    QCOMPARE(caption, QString("一号库 可乐 成本单价"));
    QCOMPARE(column(s, "theJE"), (QStringList{"15", "-20", "0", "9"}));
    QCOMPARE(s->totalLabel("theJE")->text(), QString("金额：4"));
    // No ledger row: the stock did not move.
    QCOMPARE(f.dm().value("select count(*) from SList").toInt(), 0);

    // The cost price and stock are offered whole, and saved unchanged they stay as they were.
    for (const char *price : {"123456.7891", "99999999999.9999"}) {
        f.dm().mySQL("update SShop set theCB=? where ID=?", {QString(price), f.cola});
        frmKC_Price whole;
        whole.setup(f.cola, price, "一号库", "可乐");
        QCOMPARE(whole.edit()->text(), QString(price));
        whole.BitBtn1Click();
        QCOMPARE(Money::fromVariant(f.dm().value("select theCB from SShop where ID=?", {f.cola})).toString(), QString(price));
    }
    frmKC_Count count;
    count.setup(f.ukc("一号库", f.cola), "-123456.7891", "一号库", "可乐");
    QCOMPARE(count.edit()->text(), QString("-123456.7891"));
    f.dm().mySQL("update SShop set theCB=3 where ID=?", {f.cola});

    // A cost price that is not a number is refused before anything is written.
    frmKC_Price dlg;
    dlg.setup(f.cola, "3", "一号库", "可乐");
    dlg.edit()->setText("-1");
    dlg.BitBtn1Click();
    QCOMPARE(shownTexts(), QStringList{"成本单价 不能小于零，请重新录入！"});
    QCOMPARE(f.dm().value("select theCB from SShop where ID=?", {f.cola}).toDouble(), 3.0);
}

void TstStockQuery::onlyEmptyRowsAreRemoved()
{
    Fixture f;
    frmKC *s = f.open();
    s->queryButton()->click();
    // Negative or positive: refused without the question.
    for (int sid : {f.tea, f.cola}) {
        g_shown.clear();
        select(s, "ID", f.ukc("一号库", sid));
        s->D1Click();
        QCOMPARE(shownTexts(), QStringList{"库存数量 不为零，不能删除！"});
    }
    // An empty row: the question, No keeps it, Yes removes it.
    select(s, "ID", f.ukc("一号库", f.milk));
    g_shown.clear();
    s->D1Click();
    QCOMPARE(shownTexts(), QStringList{"确认要删除吗？该删除将不可恢复！"});
    QCOMPARE(g_shown[0].caption, QString("删除"));
    QVERIFY(g_shown[0].defaultNo);
    QCOMPARE(s->rowCount(), 4);
    // Goods arriving since the list was read keep the row.
    f.dm().KC_Up("一号库", f.milk, Money::fromString("1"));
    g_answer = 1;
    g_shown.clear();
    s->D1Click();
    QCOMPARE(shownTexts(), (QStringList{"确认要删除吗？该删除将不可恢复！", "库存数量 不为零，不能删除！"}));
    QCOMPARE(f.ukc("一号库", f.milk) > 0, true);
    f.dm().KC_Do("一号库", f.milk, Money::fromString("1"));
    s->Ref();
    select(s, "ID", f.ukc("一号库", f.milk));
    s->D1Click();
    QCOMPARE(f.ukc("一号库", f.milk), 0);
    QCOMPARE(column(s, "theName"), (QStringList{"可乐", "茶叶", "可乐"}));
}

void TstStockQuery::startUpAlertShowsRowsOutsideTheirLimits()
{
    Fixture f;
    f.dm().mySQL("update SShop set theKCMin=1, theKCMax=4");
    frmKC *s = f.open();
    QVERIFY(s->showOutOfLimits());
    // 可乐 5 above 4, 茶叶 -2 and 牛奶 0 below 1; 二号库's 可乐 3 is within.
    QCOMPARE(column(s, "theName"), (QStringList{"可乐", "茶叶", "牛奶"}));
    QCOMPARE(::totals(s), QString("记录：3|数量：3|金额：-7.25"));
    // Not a query: no pop-up menu, no spreadsheet, the filters untouched.
    QCOMPARE(s->grid()->contextMenuPolicy(), Qt::NoContextMenu);
    QVERIFY(!s->excelButton()->isEnabled());
    for (FilterRow *r : s->filters()) QVERIFY(!r->isTicked());
    // The first "查询" replaces the limits by the filters.
    s->queryButton()->click();
    QCOMPARE(s->rowCount(), 4);
    QCOMPARE(s->grid()->contextMenuPolicy(), Qt::CustomContextMenu);
    QVERIFY(s->excelButton()->isEnabled());
}

void TstStockQuery::popupItemsWaitForRows()
{
    Fixture f;
    frmKC *s = f.open();
    f.filter("商品名称")->lineEdit()->setText("无此商品");
    f.filter("商品名称")->box()->setChecked(true);
    s->queryButton()->click();
    QCOMPARE(::totals(s), QString("记录：0|数量：0|金额：0"));
    QStringList texts;
    for (QAction *a : s->popupMenu()->actions()) {
        if (a->isSeparator()) continue;
        texts << a->text();
        a->trigger();
    }
    QCOMPARE(texts, (QStringList{"修改库存数量 &M", "修改成本单价 &P", "查看流动记录 &V", "查看图片 &I", "图片列表 &L", "删除 &D",
                                 "按此列排序 &O", "恢复默认列宽 &W"}));
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(shownTexts(), QStringList());
}

void TstStockQuery::ledgerOfOneProduct()
{
    Fixture f;
    G.WorkDate = "2012-11-17";
    f.dm().SaveSList("采购入库", "CG121117-0001", "一号库", f.cola, Money::fromString("5"), Money(), Money::fromString("2"));
    f.dm().SaveSList("调拨入库", "DB121117-0001", "二号库", f.cola, Money::fromString("3"), Money(), Money::fromString("2"));
    f.dm().SaveSList("修改库存", "", "一号库", f.tea, Money(), Money::fromString("2"), Money::fromString("10"));
    f.dm().SaveSList("销售出库", "XS121117-0001", "一号库", f.cola, Money(), Money::fromString("1"), Money::fromString("4"));

    // From the stock query: the row's warehouse only, through the real modal loop.
    frmKC *s = f.open();
    s->queryButton()->click();
    select(s, "ID", f.ukc("一号库", f.cola));
    ModalScript modal;
    QString seen;
    QStringList rows, fields;
    modal.next(&seen, [&](QDialog *d) {
        auto *g = d->findChild<QTableView *>("DBGrid1");
        for (int r = 0; r < g->model()->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 9; ++c) cells << g->model()->index(r, c).data().toString();
            rows << cells.join(' ');
        }
        for (int i = 1; i <= 8; ++i) fields << d->findChild<QLineEdit *>(QString("Edit%1").arg(i))->text();
        d->reject();
    });
    s->findChild<QAction *>("V1")->trigger();
    QCOMPARE(seen, QString("frmSList"));
    QCOMPARE(rows, (QStringList{"2012-11-17 系统管理员 一号库 采购入库 CG121117-0001 5 0 2 5",
                                "2012-11-17 系统管理员 一号库 销售出库 XS121117-0001 0 1 4 5"}));
    QCOMPARE(fields, (QStringList{"P1", "饮料", "可乐", "", "个", "2.55", "0", ""}));

    // From the product list: every warehouse, in the order written, and the spreadsheet with the product block.
    QString written;
    ExportOpen::setOpener([&](const QString &path) { written = path; return true; });
    frmSList all;
    all.setProduct(f.cola);
    all.show();
    QCOMPARE(all.model()->rowCount(), 3);
    QCOMPARE(all.model()->text(1, 2), QString("二号库"));
    all.BitBtn1Click();
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), QString("测试商店商品流动表"));
    QCOMPARE(x.text("A2"), QString("商品编码"));
    QCOMPARE(x.text("C2"), QString("P1"));
    QCOMPARE(x.text("G2"), QString("可乐"));
    QCOMPARE(x.text("F3"), QString("采购单价"));
    QCOMPARE(x.value("G3").toDouble(), 2.55);
    QCOMPARE(x.text("A4"), QString("备注"));
    QStringList header;
    for (const char *c : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"}) header << x.text(QString(c) + "5");
    QCOMPARE(header, (QStringList{"序号", "营业日期", "录入人", "仓库名称", "操作事件", "单号", "入库数量", "出库数量", "单价",
                                   "库存数量"}));
    QCOMPARE(x.value("A8").toInt(), 3);
    QCOMPARE(x.text("E8"), QString("销售出库"));
    QCOMPARE(x.value("H8").toDouble(), 1.0);

    // A product without movements shows its fields and nothing else.
    frmSList none;
    none.setProduct(f.milk);
    none.show();
    QCOMPARE(none.model()->rowCount(), 0);
    QCOMPARE(none.findChild<QLineEdit *>("Edit3")->text(), QString("牛奶"));
}

void TstStockQuery::picturesOfTheRows()
{
    Fixture f;
    frmKC *s = f.open();
    s->queryButton()->click();
    select(s, "ID", f.ukc("二号库", f.cola));
    ModalScript modal;
    QString seen, caption;
    modal.next(&seen, [&](QDialog *d) {
        caption = d->windowTitle();
        d->reject();
    });
    s->findChild<QAction *>("I1")->trigger();
    QCOMPARE(seen, QString("frmPic_V"));
    QVERIFY2(caption.contains("P1 可乐"), qPrintable(caption));

    // The list of pictures: every product of the rows now listed, once each.
    QStringList names;
    modal.next(&seen, [&](QDialog *d) {
        auto *list = d->findChild<QListView *>();
        for (int r = 0; r < list->model()->rowCount(); ++r) names << list->model()->index(r, 0).data().toString();
        d->reject();
    });
    s->findChild<QAction *>("L1")->trigger();
    QCOMPARE(seen, QString("frmPic_List"));
    names.sort();
    QCOMPARE(names, (QStringList{"可乐", "牛奶", "茶叶"}));
}

void TstStockQuery::keyboard()
{
    // Focus in the first filter; Alt+A hides cost and value and runs the query.
    Fixture f;
    frmKC *s = f.open();
    QVERIFY(QTest::qWaitForWindowActive(s));
    QCOMPARE(Keys::nameOf(Keys::focus()), QString("ComboBox1"));
    // Through the window, as the keyboard sends it: the mnemonic is a shortcut.
    QTest::keyClick(s->windowHandle(), Qt::Key_A, Qt::AltModifier);
    // A mnemonic clicks the box a moment later, as a mouse click would look.
    QTRY_VERIFY(s->hideCostBox()->isChecked());
    QVERIFY(s->queried());
    QVERIFY(s->grid()->isColumnHidden(s->resultModel()->columnOf("theCB")));
}

// The chart: one value per warehouse, summing exactly to "金额：", under the
// same filters; saved as a picture.
void TstStockQuery::chartOfEachWarehouse()
{
    Fixture f;
    frmKC *s = f.open();
    s->resize(1366, 700);
    s->radio(0)->click();
    // A warehouse's value summed over every row found, the total's way.
    auto drawn = [s] {
        const DrawnBars d = drawnBars(s->chartPanel());
        QStringList out;
        for (int i = d.labels.size() - 1; i >= 0; --i) out << d.labels[i] + "=" + QString::number(d.values[0][i]);
        return out;
    };
    // 一号库: 5 × 2.55 − 2 × 10 + 0 = −7.25; 二号库: 3 × 2.55 = 7.65; together 0.4 as "金额：".
    QCOMPARE(drawn(), (QStringList{"一号库=-7.25", "二号库=7.65"}));
    QCOMPARE(s->chartPanel()->series().size(), 1);
    Money sum;
    for (const Money &m : s->chartPanel()->series()[0].values) sum += m;
    QCOMPARE("金额：" + sum.toString(), s->totalLabel("theJE")->text());

    // The radio "正库存" leaves 一号库's cola only there.
    s->radio(3)->click();
    QCOMPARE(drawn(), (QStringList{"一号库=12.75", "二号库=7.65"}));
    // A filter on the product: tea is in 一号库 only.
    FilterRow *code = f.filter("商品编码");
    code->lineEdit()->setText(QString("P%1").arg(f.tea));
    code->box()->setChecked(true);
    s->radio(0)->click();
    QCOMPARE(s->rowCount(), 1);
    QCOMPARE(drawn(), (QStringList{"一号库=-20"}));

    s->chartPanel()->showBox()->setChecked(false);
    QVERIFY(!s->chartPanel()->isVisible());
    s->chartPanel()->showBox()->setChecked(true);
    g_answer = 1;
    const QImage img = savedThroughMenu(s->chartPanel(), m_dir.filePath("库存.png"));
    QVERIFY(!img.isNull());
    QVERIFY(img.width() > 100 && img.height() > 100);
    QCOMPARE(g_shown.last().kind, Msg::Kind::FileSave);
}

QTEST_MAIN(TstStockQuery)
#include "tst_stockquery.moc"
