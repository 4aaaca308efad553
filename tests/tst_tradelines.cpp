// The trade line queries: columns by kind, cost and profit on sales lines, the
// contact switch, the correction of a line's cost through its dialog, and the
// sales statistics workbook read back from the file.
#include "data/globals.h"
#include "ui/exportopen.h"
#include "modalwatch.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "stock/frmcb_xs.h"
#include "testdb.h"
#include "trade/frmtrade_mx.h"
#include "trade/salesstats.h"
#include "trade/tradedelete.h"
#include "trade/tradedoc.h"
#include "xlsxread.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

QStringList g_shown;

TradeLinesScreen *makeScreen(TradeKind kind)
{
    switch (kind) {
    case TradeKind::Purchase: return new frmJH_MX;
    case TradeKind::Sales: return new frmXS_MX;
    case TradeKind::PurchaseReturn: return new frmCG_O_MX;
    case TradeKind::SalesReturn: break;
    }
    return new frmXS_O_MX;
}

QStringList visibleCaptions(ListScreen *s)
{
    QStringList out;
    for (int c = 0; c < s->resultModel()->columnCount(); ++c)
        if (!s->grid()->isColumnHidden(c)) out << s->resultModel()->headerData(c, Qt::Horizontal).toString();
    return out;
}

QString shown(ListScreen *s, int row, const char *field)
{
    return s->resultModel()->text(row, s->resultModel()->columnOf(QLatin1String(field)));
}

// Runs `act` on the cost dialog that `trigger` opens, from inside its own event loop.
void onCostDialog(const std::function<void()> &trigger, const std::function<void(frmCB_XS *)> &act)
{
    bool done = false;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto *d = qobject_cast<frmCB_XS *>(QApplication::activeModalWidget());
        if (!d || done) return;
        done = true;
        act(d);
    });
    timer.start();
    trigger();
    timer.stop();
}

// "A", …, "Z", "AA", … for the n-th column counted from 0.
QString letters(int n)
{
    QString s;
    for (++n; n > 0; n = (n - 1) / 26) s.prepend(QChar('A' + (n - 1) % 26));
    return s;
}

} // namespace

class TstTradeLines : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void columnsByKind_data();
    void columnsByKind();
    void salesCostAndProfit();
    void exactCostAndProfit_data();
    void exactCostAndProfit();
    void contactSwitch();
    void costCorrectionThroughTheDialog();
    void costCorrectionRefusals_data();
    void costCorrectionRefusals();
    void statisticsWorkbook();
    void statisticsOfOneProductAtTwoPrices();
    void productFilterOverManyProducts_data();
    void productFilterOverManyProducts();

private:
    struct Fixture;
    QTemporaryDir m_dir;
};

struct TstTradeLines::Fixture {
    TestDb t;
    int supplier = t.addPartner("大华商行", "供应商");
    int shunfa = t.addPartner("顺发超市", "客户");
    int yuanfang = t.addPartner("远方贸易", "客户");
    int cola = t.addProduct("可乐", Money::fromString("2.5"), Money::fromString("3.5"));
    int tea = t.addProduct("茶叶", Money::fromString("10"), Money::fromString("15"));
    std::unique_ptr<TradeLinesScreen> screen;
    frmDM &dm() { return t.dm(); }

    Fixture()
    {
        storeShopOptions(dm()); // the options init() set
        t.addWarehouse("一号库");
        t.addWarehouse("二号库");
        dm().mySQL("update SShop set theNum='P' || ID, theCB=4");
        dm().mySQL("update SUnits set thePro='陈经理', thePho='0571-1', theAdd='城东'");
    }
    struct Line {
        int sid;
        const char *price, *count;
        int zk = 100;
    };
    QString save(TradeKind k, int uid, QVector<Line> lines, const QString &paid = "0", bool preSave = false,
                 const QString &ware = "一号库")
    {
        TradeDoc d;
        d.kind = k;
        d.uid = uid;
        d.partnerName = "伙伴";
        d.myDate = "2012-11-17";
        d.warehouse = ware;
        d.handler = "张三";
        d.account = "现金";
        d.person = "王五";
        d.paidText = paid;
        d.preSave = preSave;
        for (const Line &x : lines) {
            TradeLine l;
            l.sid = x.sid;
            l.price = Money::fromString(x.price);
            l.count = Money::fromString(x.count);
            l.zk = x.zk;
            d.lines << l;
        }
        return saveTradeDoc(dm(), d);
    }
    TradeLinesScreen *open(TradeKind k)
    {
        screen.reset(makeScreen(k));
        screen->show();
        return screen.get();
    }
};

void TstTradeLines::initTestCase()
{
    G.AppPath = m_dir.path() + QLatin1Char('/');
}

void TstTradeLines::init()
{
    setSession("2012-11-16");
    G.ShopName = "测试商店";
    G.ShopFKC = true;
    G.ShopJH = G.ShopXS = false;
    G.ShopCB = "采购单价";
    g_shown.clear();
    Msg::setHandler([](const Msg::Shown &s) {
        g_shown << s.text;
        return 0;
    });
}

void TstTradeLines::cleanup()
{
    Msg::setHandler(nullptr);
    ExportOpen::setOpener(nullptr);
}

void TstTradeLines::columnsByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("captions");
    const QStringList head{"单号"}, people{"仓库名称", "经手人", "录入人", "备注"};
    const QStringList product{"联系人", "联系电话", "地址", "商品编码", "商品名称", "规格", "单位"};
    QTest::newRow("purchase receipts") << int(TradeKind::Purchase) << "采购入库明细"
        << QStringList{"采购日期"} + head + QStringList{"供应商"} + product + QStringList{"单价", "数量", "金额"} + people;
    QTest::newRow("sales deliveries") << int(TradeKind::Sales) << "销售出库明细"
        << QStringList{"销售日期"} + head + QStringList{"客户名称"} + product
               + QStringList{"销售单价", "折扣", "数量", "金额", "成本", "利润"} + people;
    // The purchase return shows the quantity before the price.
    QTest::newRow("purchase returns") << int(TradeKind::PurchaseReturn) << "采购退货明细"
        << QStringList{"退货日期"} + head + QStringList{"供应商"} + product + QStringList{"数量", "单价", "金额"} + people;
    QTest::newRow("sales returns") << int(TradeKind::SalesReturn) << "销售退货明细"
        << QStringList{"退货日期"} + head + QStringList{"客户名称"} + product + QStringList{"单价", "数量", "金额"} + people;
}

void TstTradeLines::columnsByKind()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QStringList, captions);
    Fixture f;
    const TradeKind k = TradeKind(kind);
    const int partner = k == TradeKind::Purchase || k == TradeKind::PurchaseReturn ? f.supplier : f.shunfa;
    f.save(k, partner, {{f.cola, "2", "3"}, {f.tea, "1.5", "2"}});
    TradeLinesScreen *s = f.open(k);
    QCOMPARE(s->windowTitle(), caption);
    s->queryButton()->click();
    QCOMPARE(visibleCaptions(s), captions);
    // Newest line first.
    QCOMPARE(shown(s, 0, "SPName"), QString("茶叶"));
    QCOMPARE(s->totalLabel("theCount")->text(), QString("数量合计：5"));
    QCOMPARE(s->totalLabel("theSum")->text(), QString("金额合计：9"));
    // The spreadsheet has "单价" before "数量" on every kind, with the totals under them.
    QString written;
    ExportOpen::setOpener([&](const QString &p) { written = p; return true; });
    s->excelButton()->click();
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    const bool sales = k == TradeKind::Sales;
    QCOMPARE(x.text("L2"), QString(sales ? "销售单价" : "单价"));
    QCOMPARE(x.text(sales ? "N2" : "M2"), QString("数量"));
    QCOMPARE(x.value(sales ? "N5" : "M5").toDouble(), 5.0);
    QCOMPARE(x.value(sales ? "O5" : "N5").toDouble(), 9.0);
}

void TstTradeLines::salesCostAndProfit()
{
    Fixture f;
    // 3 units at 10 less 10 %: 27, at a recorded cost of 4.
    const QString posted = f.save(TradeKind::Sales, f.shunfa, {{f.cola, "10", "3", 90}});
    const QString pre = f.save(TradeKind::Sales, f.yuanfang, {{f.tea, "5", "1"}}, "0", true);
    const QString gone = f.save(TradeKind::Sales, f.yuanfang, {{f.tea, "7", "1"}});
    deleteTradeDoc(f.dm(), TradeKind::Sales,
                   f.dm().value("select ID from UXS where theNum=?", {gone}).toInt());
    TradeLinesScreen *s = f.open(TradeKind::Sales);
    s->queryButton()->click();
    // The pre-saved delivery's line is listed, the deleted one's is not.
    QCOMPARE(s->resultModel()->rowCount(), 2);
    QCOMPARE(shown(s, 0, "theNum"), pre);
    QCOMPARE(shown(s, 1, "theNum"), posted);
    QCOMPARE(QStringList({shown(s, 1, "theZK"), shown(s, 1, "theSum"), shown(s, 1, "theCB"), shown(s, 1, "theLR")}),
             (QStringList{"90", "27", "12", "15"}));
    QCOMPARE(s->countLabel()->text(), QString("销售出库明细数量：2"));
    QStringList totals;
    for (const char *f : {"theCount", "theSum", "theCB", "theLR"}) totals << s->totalLabel(f)->text();
    QCOMPARE(totals, (QStringList{"数量合计：4", "金额合计：32", "成本合计：16", "利润合计：16"}));
}

void TstTradeLines::exactCostAndProfit_data()
{
    // `lines` sales lines of `count` at `price`, each with the unit cost `jj`.
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("jj");
    QTest::addColumn<QString>("price");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("cost");        // of one line
    QTest::addColumn<QString>("profit");
    QTest::addColumn<QString>("costTotal");
    QTest::addColumn<QString>("profitTotal");
    QTest::newRow("0.5 x 1.0009: a half rounds up") << "0.5" << "1.0009" << "10" << 1 << "0.5005" << "4.4995"
                                                    << "0.5005" << "4.4995";
    QTest::newRow("0.5 x 0.0003") << "0.5" << "0.0003" << "1" << 1 << "0.0002" << "0.4998" << "0.0002" << "0.4998";
    QTest::newRow("1.5 x 2.0003") << "1.5" << "2.0003" << "4" << 1 << "3.0005" << "2.9995" << "3.0005" << "2.9995";
    QTest::newRow("0.0001 x 0.5: the smallest half") << "0.0001" << "0.5" << "1" << 1 << "0.0001" << "0" << "0.0001"
                                                     << "0";
    QTest::newRow("forty lines, each rounded once") << "0.5" << "1.0009" << "10" << 40 << "0.5005" << "4.4995"
                                                    << "20.02" << "179.98";
    QTest::newRow("eight decimals of a large product") << "12345.6789" << "98765.4321" << "1" << 1 << "1219326311.1264"
                                                       << "-1219313965.4475" << "1219326311.1264"
                                                       << "-1219313965.4475";
    QTest::newRow("a product past 64 bits in 10^-8") << "99999" << "999999.9999" << "1" << 1 << "99998999990.0001"
                                                     << "-99998899991.0001" << "99998999990.0001"
                                                     << "-99998899991.0001";
}

void TstTradeLines::exactCostAndProfit()
{
    // Cost is quantity times unit cost, exact to the ten-thousandth and rounded
    // once as the program rounds every product: the list, its totals, the
    // spreadsheet and the cost dialog agree, on every engine.
    QFETCH(QString, count);
    QFETCH(QString, jj);
    QFETCH(QString, price);
    QFETCH(int, lines);
    QFETCH(QString, cost);
    QFETCH(QString, profit);
    QFETCH(QString, costTotal);
    QFETCH(QString, profitTotal);
    QCOMPARE((Money::fromString(count) * Money::fromString(jj)).toString(), cost);
    Fixture f;
    const QByteArray p = price.toUtf8(), c = count.toUtf8();
    const QVector<Fixture::Line> many(lines, Fixture::Line{f.cola, p.constData(), c.constData()});
    f.save(TradeKind::Sales, f.shunfa, many);
    f.dm().mySQL("update UXS_List set theJJ=?", {Money::fromString(jj).toVariant()});

    TradeLinesScreen *s = f.open(TradeKind::Sales);
    s->queryButton()->click();
    s->fetchAll();
    QCOMPARE(s->resultModel()->rowCount(), lines);
    for (int r = 0; r < lines; ++r) {
        QCOMPARE(shown(s, r, "theCB"), cost);
        QCOMPARE(shown(s, r, "theLR"), profit);
    }
    QCOMPARE(s->totalLabel("theCB")->text(), "成本合计：" + costTotal);
    QCOMPARE(s->totalLabel("theLR")->text(), "利润合计：" + profitTotal);

    // The spreadsheet: 成本 in P, 利润 in Q, the totals row under them.
    QString written;
    ExportOpen::setOpener([&](const QString &path) { written = path; return true; });
    s->excelButton()->click();
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    QCOMPARE(x.text("P2") + "|" + x.text("Q2"), QString("成本|利润"));
    auto cell = [&](const char *col, int row) {
        return Money::fromVariant(x.value(QString("%1%2").arg(col).arg(row))).toString();
    };
    for (int r = 3; r < 3 + lines; ++r) {
        QCOMPARE(cell("P", r), cost);
        QCOMPARE(cell("Q", r), profit);
    }
    QCOMPARE(x.text(QString("A%1").arg(3 + lines)), QString("合计"));
    QCOMPARE(cell("P", 3 + lines), costTotal);
    QCOMPARE(cell("Q", 3 + lines), profitTotal);

    // The cost dialog starts with the line's cost as listed and, given the
    // same unit cost again, works out the same.
    s->grid()->setCurrentIndex(s->grid()->model()->index(0, 0));
    QStringList seen;
    onCostDialog([&] { s->findChild<QAction *>("M1")->trigger(); }, [&](frmCB_XS *d) {
        seen << d->costEdit()->text();
        d->unitCostEdit()->setText(jj);
        seen << d->costEdit()->text();
        d->reject();
    });
    QCOMPARE(seen, (QStringList{cost, cost}));
}

void TstTradeLines::contactSwitch()
{
    Fixture f;
    f.save(TradeKind::Purchase, f.supplier, {{f.cola, "2", "3"}});
    TradeLinesScreen *s = f.open(TradeKind::Purchase);
    s->queryButton()->click();
    QSignalSpy refreshed(s, &ListScreen::refreshed);
    s->hideContactBox()->click();
    // Clicking the box runs the query again.
    QCOMPARE(refreshed.count(), 1);
    QVERIFY(!visibleCaptions(s).contains("联系人"));
    QVERIFY(!visibleCaptions(s).contains("联系电话"));
    QVERIFY(!visibleCaptions(s).contains("地址"));
    // In the spreadsheet the columns are there, but of width 0.
    QString written;
    ExportOpen::setOpener([&](const QString &p) { written = p; return true; });
    s->excelButton()->click();
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    QCOMPARE(x.text("E2"), QString("联系人"));
    QVERIFY(x.hidden("E") && x.hidden("F") && x.hidden("G"));
    QVERIFY(!x.hidden("H"));
    s->hideContactBox()->click();
    QVERIFY(visibleCaptions(s).contains("联系人"));
}

void TstTradeLines::costCorrectionThroughTheDialog()
{
    Fixture f;
    f.save(TradeKind::Sales, f.shunfa, {{f.cola, "10", "3", 90}});
    f.save(TradeKind::Sales, f.yuanfang, {{f.cola, "10", "1"}});
    TradeLinesScreen *s = f.open(TradeKind::Sales);
    s->queryButton()->click();
    s->grid()->setCurrentIndex(s->grid()->model()->index(1, 0));
    QCOMPARE(shown(s, 1, "theCB"), QString("12"));

    QString seen;
    onCostDialog([&] { s->findChild<QAction *>("M1")->trigger(); }, [&](frmCB_XS *d) {
        QStringList state{d->windowTitle()};
        for (const char *e : {"Edit1", "Edit2", "Edit5", "Edit6", "Edit7", "Edit8"}) state << d->findChild<QLineEdit *>(e)->text();
        state << d->unitCostEdit()->text() << d->costEdit()->text();
        d->unitCostEdit()->selectAll();
        QTest::keyClicks(d->unitCostEdit(), "5");
        // The cost follows at once.
        state << d->costEdit()->text();
        seen = state.join('|');
        d->findChild<QPushButton *>("BitBtn1")->click();
    });
    QCOMPARE(seen, QString("修改商品成本|P%1|可乐|10|90|3|27|4|12|15").arg(f.cola));
    QCOMPARE(g_shown, QStringList{"商品成本修改 保存成功！"});
    // The query shows the new cost and a profit 3 lower; nothing else changed.
    QCOMPARE(shown(s, 1, "theCB"), QString("15"));
    QCOMPARE(shown(s, 1, "theLR"), QString("12"));
    QCOMPARE(shown(s, 0, "theCB"), QString("4"));
    QCOMPARE(f.dm().value("select theCB from SShop where ID=?", {f.cola}).toString(), QString("4"));
    QCOMPARE(f.dm().value("select count(*) from SList where theType not like '销售出库'").toInt(), 0);
}

void TstTradeLines::costCorrectionRefusals_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("cost");
    QTest::newRow("empty") << "" << "成本单价 不能为空！" << "4";
    QTest::newRow("two decimal points") << "1.2.3" << "成本单价 “1.2.3”不是有效的数值，请重新录入！" << "4";
    QTest::newRow("a pasted minus") << "-2" << "成本单价 不能小于零，请重新录入！" << "4";
    QTest::newRow("zero: all of it profit") << "0" << "商品成本修改 保存成功！" << "0";
}

void TstTradeLines::costCorrectionRefusals()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, cost);
    Fixture f;
    f.save(TradeKind::Sales, f.shunfa, {{f.cola, "10", "3", 90}});
    const int line = f.dm().value("select ID from UXS_List").toInt();
    frmCB_XS d;
    d.setLine(line, {"P1", "可乐", "", "个", "10", "90", "3", "27"}, "4", "12");
    d.unitCostEdit()->setText(typed);
    d.BitBtn1Click();
    QCOMPARE(g_shown, QStringList{message});
    QCOMPARE(Money::fromVariant(f.dm().value("select theJJ from UXS_List where ID=?", {line})).toString(), cost);
}

void TstTradeLines::statisticsWorkbook()
{
    Fixture f;
    // Thirty products to 顺发超市 from the first warehouse: the product columns run past Z.
    QVector<Fixture::Line> many;
    for (int i = 1; i <= 30; ++i) {
        const int sid = f.t.addProduct(QString("商品%1").arg(i, 2, 10, QChar('0')), Money::fromString("1"), Money::fromString("2"));
        many.append({sid, "2", "1"});
    }
    f.dm().mySQL("update SShop set theNum='Q' || substr('000' || ID, length('000' || ID) - 2) where theNum=theName");
    f.save(TradeKind::Sales, f.shunfa, many, "10");
    // 顺发超市 again, from the second warehouse: a row of its own; cola at 12 there.
    f.save(TradeKind::Sales, f.shunfa, {{f.cola, "12", "2"}}, "24", false, "二号库");
    // 远方贸易 buys cola at 10 twice: 0.1 and 0.2 add up to exactly 0.3.
    f.save(TradeKind::Sales, f.yuanfang, {{f.cola, "10", "0.1"}, {f.cola, "10", "0.2"}}, "1");

    TradeLinesScreen *s = f.open(TradeKind::Sales);
    s->queryButton()->click();
    QString written;
    ExportOpen::setOpener([&](const QString &p) { written = p; return true; });
    s->findChild<QAction *>("T1")->trigger();
    QCOMPARE(s->lastStatisticsFile(), written);
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    QCOMPARE(x.title(), QString("测试商店销售出库统计表"));

    // Row 1 holds the headers: five customer columns, 32 product columns
    // (cola at two prices is two columns), then the sums and the people.
    QStringList header;
    for (int c = 0; c < 43; ++c) header << x.text(letters(c) + "1");
    QCOMPARE(header.mid(0, 5), (QStringList{"序号", "客户名称", "联系人", "联系电话", "地址"}));
    QCOMPARE(header.mid(37), (QStringList{"合计数量", "合计金额", "收款金额", "应收金额", "仓库名称", "经手人"}));
    QVERIFY(header.contains("可乐 10") && header.contains("可乐 12") && header.contains("商品30"));
    const int cola10 = header.indexOf("可乐 10"), cola12 = header.indexOf("可乐 12"), p30 = header.indexOf("商品30");

    // One row per customer and warehouse.
    QCOMPARE(x.maxRow(), 4);
    QMap<QString, int> rowOf;
    for (int r = 2; r <= 4; ++r) rowOf.insert(x.text(QString("B%1").arg(r)) + "|" + x.text(QString("AP%1").arg(r)), r);
    QCOMPARE(rowOf.keys(), (QStringList{"远方贸易|一号库", "顺发超市|一号库", "顺发超市|二号库"}));
    auto cell = [&](const QString &key, int col) { return x.value(letters(col) + QString::number(rowOf[key])); };
    QCOMPARE(cell("远方贸易|一号库", cola10).toDouble(), 0.3);
    QCOMPARE(cell("远方贸易|一号库", cola12).toDouble(), 0.0);
    QCOMPARE(cell("顺发超市|二号库", cola12).toDouble(), 2.0);
    QCOMPARE(cell("顺发超市|一号库", p30).toDouble(), 1.0);
    QCOMPARE(cell("顺发超市|一号库", 37).toDouble(), 30.0);   // 合计数量
    QCOMPARE(cell("顺发超市|一号库", 38).toDouble(), 60.0);   // 合计金额
    QCOMPARE(cell("顺发超市|一号库", 39).toDouble(), 10.0);   // 收款金额
    QCOMPARE(cell("顺发超市|一号库", 40).toDouble(), 50.0);   // 应收金额
    QCOMPARE(cell("远方贸易|一号库", 37).toString(), QString("0.3"));
    QCOMPARE(x.text(QString("AQ%1").arg(rowOf["远方贸易|一号库"])), QString("张三"));

    // Borders and size 9 over every column, past Z to the last.
    for (const QString &ref : {QString("A1"), letters(p30) + "1", QString("AQ1"), QString("AQ4"), QString("AB3")}) {
        QCOMPARE(x.border(ref), QString("thin"));
        QCOMPARE(x.fontSize(ref), 9.0);
    }
    const double widths[] = {4, 16, 12, 12, 16};
    for (int c = 0; c < 5; ++c) QVERIFY(qAbs(x.width(letters(c)) - widths[c]) < 1);
}

// One customer buys one product at two prices in one delivery: each price
// column of the statistics holds its own quantity.
void TstTradeLines::statisticsOfOneProductAtTwoPrices()
{
    Fixture f;
    f.save(TradeKind::Sales, f.shunfa, {{f.cola, "10", "1"}, {f.cola, "12", "2"}}, "4");
    TradeLinesScreen *s = f.open(TradeKind::Sales);
    s->queryButton()->click();
    const SqlCondition kept = s->keptCondition();
    const SalesStats stats = salesStatistics(f.dm(), kept.sql, kept.binds, QString(), QString());
    QStringList columns;
    for (const SalesStats::Product &p : stats.products) columns << p.header;
    QCOMPARE(columns, (QStringList{"可乐 10", "可乐 12"}));
    QCOMPARE(stats.customers.size(), 1);
    const SalesStats::Customer &c = stats.customers[0];
    QStringList figures;
    for (const Money &m : c.counts) figures << m.toString();
    figures << c.count.toString() << c.amount.toString() << c.received.toString() << c.owed.toString();
    QCOMPARE(figures, (QStringList{"1", "2", "3", "34", "4", "30"}));
}

void TstTradeLines::productFilterOverManyProducts_data()
{
    QTest::addColumn<int>("matching");
    // On a server the matching products are read first and given as values
    // while they are few; past that the filter stays a sub-select.
    QTest::newRow("500 matching products") << 500;
    QTest::newRow("501 matching products") << 501;
    QTest::newRow("502 matching products") << 502;
}

// Every matching product counts, however many match: the lines of the first
// and the last of them are listed.
void TstTradeLines::productFilterOverManyProducts()
{
    QFETCH(int, matching);
    Fixture f;
    f.dm().mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<?) "
                 "insert into SShop(theNum,theName,thePY,theType,theStand,theUnit,theJH,theXS,theCB,theZK,theKCMin,theKCMax,"
                 "theCD,thePH,Remark,theDate,theState,theDel) "
                 "select 'R' || i, '螺丝' || i, '', '', '', '个', 1, 2, 1, 100, 0, 1000, '', '', '', '', '启用', '否' from n",
                 {matching});
    const auto ids = f.dm().rows("select min(ID), max(ID) from SShop where theName like '螺丝%'");
    f.save(TradeKind::Purchase, f.supplier,
           {{ids[0][0].toInt(), "1", "1"}, {f.cola, "2", "1"}, {ids[0][1].toInt(), "3", "1"}});
    TradeLinesScreen *s = f.open(TradeKind::Purchase);
    FilterRow *product = nullptr;
    for (FilterRow *r : s->filters())
        if (r->box()->text() == "商品名称") product = r;
    QVERIFY(product);
    product->lineEdit()->setText("螺丝");
    product->box()->setChecked(true);
    s->queryButton()->click();
    QCOMPARE(s->resultModel()->rowCount(), 2);
    QCOMPARE(QStringList({shown(s, 0, "SPName"), shown(s, 1, "SPName")}),
             (QStringList{QString("螺丝%1").arg(matching), "螺丝1"}));
}

QTEST_MAIN(TstTradeLines)
#include "tst_tradelines.moc"
