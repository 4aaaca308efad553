// The stock document management screens and line queries: lists and their
// details by kind, filters, printing again, deletion with its question and
// with the stock refusal, the line query's totals and spreadsheet, the menu.
#include "data/globals.h"
#include "ui/exportopen.h"
#include "modalwatch.h"
#include "shell/main.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "shell/screens.h"
#include "stock/frmkc.h"
#include "stock/frmslist.h"
#include "stock/frmstock_m.h"
#include "stock/frmstock_mx.h"
#include "stock/stockdoc.h"
#include "stock/stockentry.h"
#include "testdb.h"
#include "xlsxread.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

QVector<Msg::Shown> g_shown;
int g_answer = 0;
QStringList g_printed;

QStringList shownTexts()
{
    QStringList out;
    for (const Msg::Shown &s : g_shown) out << s.text;
    return out;
}

StockManageScreen *makeScreen(StockKind kind)
{
    switch (kind) {
    case StockKind::Transfer: return new frmDB_M;
    case StockKind::Loss: return new frmBS_M;
    case StockKind::Overage: return new frmBY_M;
    case StockKind::Assembly: break;
    }
    return new frmCZ_M;
}

StockLinesScreen *makeLines(StockKind kind)
{
    switch (kind) {
    case StockKind::Transfer: return new frmDB_MX;
    case StockKind::Loss: return new frmBS_MX;
    default: break;
    }
    return new frmBY_MX;
}

QStringList visibleCaptions(ListScreen *s)
{
    QStringList out;
    for (int c = 0; c < s->resultModel()->columnCount(); ++c)
        if (!s->grid()->isColumnHidden(c)) out << s->resultModel()->headerData(c, Qt::Horizontal).toString();
    return out;
}

QStringList column(ListScreen *s, const QString &field)
{
    QStringList out;
    for (int r = 0; r < s->grid()->model()->rowCount(); ++r) out << s->valueAt(r, field).toString();
    return out;
}

QStringList detail(ResultModel *m, const QString &field)
{
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) out << m->text(r, m->columnOf(field));
    return out;
}

QAction *action(QWidget *s, const char *name) { return s->findChild<QAction *>(name); }

} // namespace

class TstStockManage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listsByKind_data();
    void listsByKind();
    void filtersByWarehouse();
    void printAgain_data();
    void printAgain();
    void deleteAsksAndReverses();
    void deleteWithTheRealQuestion();
    void refusedDeletionIsTold();
    void lineQueries_data();
    void lineQueries();
    void exportLayouts_data();
    void exportLayouts();
    void menuOpensTheScreens_data();
    void menuOpensTheScreens();

private:
    struct Fixture;
    QTemporaryDir m_dir;
};

struct TstStockManage::Fixture {
    TestDb t;
    int cola = t.addProduct("可乐", Money::fromString("2.5"));
    int tea = t.addProduct("茶叶", Money::fromString("10"));
    std::unique_ptr<ListScreen> screen;

    Fixture()
    {
        t.addWarehouse("一号库");
        t.addWarehouse("二号库");
        dm().mySQL("insert into SStaff(theName,Remark,theState) values('王五','','启用'),('张三','','启用')");
        dm().mySQL("update SShop set theNum='P' || ID");
        dm().KC_Up("一号库", cola, Money::fromString("100"));
        dm().KC_Up("一号库", tea, Money::fromString("100"));
    }
    frmDM &dm() { return t.dm(); }
    // 3 cola at 10 and 1 tea at 5 (the tea put in on an assembly).
    QString save(StockKind k, const QString &date = "2012-11-17", const QString &remark = QString())
    {
        StockDoc d;
        d.kind = k;
        d.myDate = date;
        d.issuing = "一号库";
        d.warehouse = k == StockKind::Transfer ? "二号库" : "一号库";
        d.handler = "张三";
        d.remark = remark;
        StockLine l;
        l.sid = cola;
        l.price = Money::fromString("10");
        l.count = Money::fromString("3");
        d.sides[0] << l;
        l.sid = tea;
        l.price = Money::fromString("5");
        l.count = Money::fromString("1");
        d.sides[k == StockKind::Assembly ? 1 : 0] << l;
        return saveStockDoc(dm(), d);
    }
    int idOf(StockKind k, const QString &num)
    {
        return dm().value(QString("select ID from %1 where theNum=?").arg(stockKind(k).head), {num}).toInt();
    }
    template <class S> S *show(S *s)
    {
        screen.reset(s);
        screen->show();
        return s;
    }
    FilterRow *filter(ListScreen *s, const QString &caption)
    {
        for (FilterRow *f : s->filters())
            if (f->box()->text() == caption) return f;
        qFatal("no filter %s", qPrintable(caption));
    }
};

void TstStockManage::initTestCase() { G.AppPath = m_dir.path() + QLatin1Char('/'); }

void TstStockManage::init()
{
    setSession("2012-11-16");
    G.ShopName = "测试商店";
    G.ShopFKC = false;
    g_shown.clear();
    g_printed.clear();
    g_answer = 0;
    Msg::setHandler([](const Msg::Shown &s) {
        g_shown << s;
        return g_answer;
    });
    StockEntryScreen::setPrintHook([](StockKind, const QString &num, QWidget *) { g_printed << num; });
}

void TstStockManage::cleanup()
{
    Msg::setHandler(nullptr);
    StockEntryScreen::setPrintHook(nullptr);
    ExportOpen::setOpener(nullptr);
}

void TstStockManage::listsByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QStringList>("menu");
    QTest::newRow("transfers") << int(StockKind::Transfer) << "商品调拨管理"
        << QStringList{"调拨日期", "单号", "调出仓库", "调入仓库", "经手人", "录入人", "备注"}
        << QStringList{"调拨日期", "调出仓库", "调入仓库", "经  手  人", "录  入  人", "备        注"}
        << QStringList{"打印商品调拨单 &P", "", "删除 &D"};
    QTest::newRow("losses") << int(StockKind::Loss) << "商品报损管理"
        << QStringList{"报损日期", "单号", "仓库名称", "经手人", "录入人", "备注"}
        << QStringList{"报损日期", "仓库名称", "经  手  人", "录  入  人", "备        注"}
        << QStringList{"打印商品报损单 &P", "删除 &D"};
    QTest::newRow("overages") << int(StockKind::Overage) << "商品报溢管理"
        << QStringList{"报溢日期", "单号", "仓库名称", "经手人", "录入人", "备注"}
        << QStringList{"报溢日期", "仓库名称", "经  手  人", "录  入  人", "备        注"}
        << QStringList{"打印商品报溢单 &P", "删除 &D"};
    QTest::newRow("assemblies") << int(StockKind::Assembly) << "商品拆装管理"
        << QStringList{"拆装日期", "单号", "出库仓库", "入库仓库", "经手人", "录入人", "备注"}
        << QStringList{"拆装日期", "出库仓库", "入库仓库", "经  手  人", "录  入  人", "备        注"}
        << QStringList{"打印商品拆装单 &P", "", "删除 &D"};
}

void TstStockManage::listsByKind()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, filters);
    QFETCH(QStringList, menu);
    Fixture f;
    const StockKind k = StockKind(kind);
    const QString first = f.save(k);
    const QString gone = f.save(k);
    QCOMPARE(deleteStockDoc(f.dm(), k, f.idOf(k, gone)).outcome, DeleteOutcome::Deleted);
    const QString second = f.save(k, "2012-11-18", "第二张");

    StockManageScreen *s = f.show(makeScreen(k));
    QCOMPARE(s->windowTitle(), caption);
    QStringList boxes;
    for (FilterRow *r : s->filters()) boxes << r->box()->text();
    QCOMPARE(boxes, filters);
    QStringList items;
    for (QAction *a : s->popupMenu()->actions()) items << a->text();
    QCOMPARE(items, menu);
    // Empty, without a pop-up menu, until the first "查询".
    QCOMPARE(s->resultModel()->rowCount(), 0);
    QCOMPARE(s->grid()->contextMenuPolicy(), Qt::NoContextMenu);
    s->queryButton()->click();
    QCOMPARE(visibleCaptions(s), captions);
    // Newest first; the deleted one is not listed.
    QCOMPARE(column(s, "theNum"), (QStringList{second, first}));
    QCOMPARE(column(s, "Remark"), (QStringList{"第二张", ""}));
    QCOMPARE(s->countLabel()->text(), stockKind(k).countLabel + "2");

    // The lines of the current document follow the current row.
    ResultModel *lines = s->detailModel(0);
    if (k == StockKind::Assembly) {
        QCOMPARE(s->detailGrid(0)->model()->headerData(1, Qt::Horizontal).toString(), QString("入库商品名称"));
        QCOMPARE(s->detailGrid(1)->model()->headerData(1, Qt::Horizontal).toString(), QString("出库商品名称"));
        QCOMPARE(detail(lines, "SPName"), QStringList{"茶叶"});
        QCOMPARE(detail(s->detailModel(1), "SPName"), QStringList{"可乐"});
        QCOMPARE(detail(s->detailModel(1), "theCount"), QStringList{"3"});
    } else {
        QCOMPARE(detail(lines, "SPNum"), (QStringList{"P1", "P2"}));
        QCOMPARE(detail(lines, "theSum"), (QStringList{"30", "5"}));
    }
    s->grid()->setCurrentIndex(s->grid()->model()->index(1, 0));
    QCOMPARE(lines->rowCount(), 1 + (k == StockKind::Assembly ? 0 : 1));
}

void TstStockManage::filtersByWarehouse()
{
    Fixture f;
    const QString a = f.save(StockKind::Transfer);
    StockDoc d;
    d.kind = StockKind::Transfer;
    d.myDate = "2012-11-17";
    d.issuing = "二号库";
    d.warehouse = "一号库";
    d.handler = "王五";
    StockLine l;
    l.sid = f.cola;
    l.count = Money::fromString("1");
    d.sides[0] << l;
    const QString back = saveStockDoc(f.dm(), d);
    StockManageScreen *s = f.show(new frmDB_M);
    FilterRow *issuing = f.filter(s, "调出仓库");
    issuing->comboBox()->setCurrentText("二号库");
    issuing->box()->setChecked(true);
    s->queryButton()->click();
    QCOMPARE(column(s, "theNum"), QStringList{back});
    issuing->box()->setChecked(false);
    FilterRow *handler = f.filter(s, "经  手  人");
    handler->comboBox()->setCurrentText("张三");
    handler->box()->setChecked(true);
    s->queryButton()->click();
    QCOMPARE(column(s, "theNum"), QStringList{a});
}

void TstStockManage::printAgain_data()
{
    QTest::addColumn<int>("kind");
    for (StockKind k : {StockKind::Transfer, StockKind::Loss, StockKind::Overage, StockKind::Assembly})
        QTest::newRow(qPrintable(stockKind(k).caption)) << int(k);
}

void TstStockManage::printAgain()
{
    QFETCH(int, kind);
    Fixture f;
    const QString num = f.save(StockKind(kind));
    StockManageScreen *s = f.show(makeScreen(StockKind(kind)));
    action(s, "P1")->trigger();   // nothing listed yet: nothing printed
    QVERIFY(g_printed.isEmpty());
    s->queryButton()->click();
    action(s, "P1")->trigger();
    QCOMPARE(g_printed, QStringList{num});
}

void TstStockManage::deleteAsksAndReverses()
{
    Fixture f;
    const QString num = f.save(StockKind::Transfer);
    QCOMPARE(f.dm().myRetKC("二号库", f.cola).toString(), QString("3"));
    StockManageScreen *s = f.show(new frmDB_M);
    s->queryButton()->click();
    g_answer = 0;
    action(s, "D1")->trigger();
    QCOMPARE(g_shown.size(), 1);
    QCOMPARE(g_shown[0].kind, Msg::Kind::Question);
    QCOMPARE(g_shown[0].caption, QString("删除"));
    QCOMPARE(g_shown[0].text, QString("确认要删除吗？该删除将不可恢复！"));
    QVERIFY(g_shown[0].defaultNo);
    QCOMPARE(column(s, "theNum"), QStringList{num});

    g_answer = 1;
    action(s, "D1")->trigger();
    QCOMPARE(column(s, "theNum"), QStringList{});
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("100"));
    QCOMPARE(f.dm().myRetKC("二号库", f.cola).toString(), QString("0"));
    QCOMPARE(f.dm().value("select count(*) from SList where theType like '调拨%删除'").toInt(), 4);
}

void TstStockManage::deleteWithTheRealQuestion()
{
    // The real question box in its own event loop, answered by its Yes button.
    Fixture f;
    f.save(StockKind::Assembly);
    StockManageScreen *s = f.show(new frmCZ_M);
    s->queryButton()->click();
    Msg::setHandler(nullptr);
    QString seen;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !seen.isEmpty()) return;
        seen = box->windowTitle() + "|" + box->text() + "|"
             + (box->defaultButton() == box->button(QMessageBox::No) ? "No" : "Yes");
        box->button(QMessageBox::Yes)->click();
    });
    timer.start();
    action(s, "D1")->trigger();
    timer.stop();
    QCOMPARE(seen, QString("删除|确认要删除吗？该删除将不可恢复！|No"));
    QCOMPARE(s->resultModel()->rowCount(), 0);
    QCOMPARE(f.dm().value("select theDel from UCZ").toString(), QString("是"));
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("100"));
    QCOMPARE(f.dm().myRetKC("一号库", f.tea).toString(), QString("100"));
}

void TstStockManage::refusedDeletionIsTold()
{
    // The overage's goods went out again: taking it back would leave stock
    // below zero, which the shop does not allow.
    Fixture f;
    f.save(StockKind::Overage);
    f.dm().KC_Do("一号库", f.tea, Money::fromString("100.5"));
    StockManageScreen *s = f.show(new frmBY_M);
    s->queryButton()->click();
    g_answer = 1;
    action(s, "D1")->trigger();
    QCOMPARE(shownTexts().last(), QString("商品 P2 茶叶 在仓库 一号库 的库存为 0.5，减少 1 后将小于零，不能删除！"));
    QCOMPARE(s->resultModel()->rowCount(), 1);
    QCOMPARE(f.dm().value("select theDel from UBY").toString(), QString("否"));
    // Allowed, it goes through and leaves the stock negative.
    G.ShopFKC = true;
    storeShopOptions(f.dm());
    action(s, "D1")->trigger();
    QCOMPARE(s->resultModel()->rowCount(), 0);
    QCOMPARE(f.dm().myRetKC("一号库", f.tea).toString(), QString("-0.5"));
}

void TstStockManage::lineQueries_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("countLabel");
    QTest::addColumn<QString>("title");
    QTest::newRow("transfers") << int(StockKind::Transfer) << "商品调拨明细"
        << QStringList{"调拨日期", "单号", "调出仓库", "调入仓库", "商品编码", "商品名称", "规格", "单位", "单价", "数量",
                       "金额", "经手人", "备注"}
        << QStringList{"调拨日期", "商品名称", "调出仓库", "调入仓库", "经  手  人"} << "调拨明细数量：" << "测试商店商品调拨明细表";
    QTest::newRow("losses") << int(StockKind::Loss) << "商品报损明细"
        << QStringList{"报损日期", "单号", "仓库名称", "商品编码", "商品名称", "规格", "单位", "单价", "数量", "金额",
                       "经手人", "录入人", "备注"}
        << QStringList{"报损日期", "商品名称", "仓库名称", "经  手  人", "录  入  人"} << "报损明细数量：" << "测试商店商品报损明细表";
    QTest::newRow("overages") << int(StockKind::Overage) << "商品报溢明细"
        << QStringList{"报溢日期", "单号", "仓库名称", "商品编码", "商品名称", "规格", "单位", "单价", "数量", "金额",
                       "经手人", "录入人", "备注"}
        << QStringList{"报溢日期", "商品名称", "仓库名称", "经  手  人", "录  入  人"} << "报溢明细数量：" << "测试商店商品报溢明细表";
}

void TstStockManage::lineQueries()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, filters);
    QFETCH(QString, countLabel);
    QFETCH(QString, title);
    Fixture f;
    const StockKind k = StockKind(kind);
    const QString first = f.save(k);
    const QString gone = f.save(k);
    deleteStockDoc(f.dm(), k, f.idOf(k, gone));
    const QString second = f.save(k);
    StockLinesScreen *s = f.show(makeLines(k));
    QCOMPARE(s->windowTitle(), caption);
    QStringList boxes;
    for (FilterRow *r : s->filters()) boxes << r->box()->text();
    QCOMPARE(boxes, filters);
    s->queryButton()->click();
    QCOMPARE(visibleCaptions(s), captions);
    // Newest line first, live documents only.
    QCOMPARE(column(s, "theNum"), (QStringList{second, second, first, first}));
    QCOMPARE(column(s, "SPName"), (QStringList{"茶叶", "可乐", "茶叶", "可乐"}));
    QCOMPARE(s->countLabel()->text(), countLabel + "4");
    QCOMPARE(s->totalLabel("theCount")->text(), QString("数量合计：8"));
    QCOMPARE(s->totalLabel("theSum")->text(), QString("金额合计：70"));
    // A product by its name or input code.
    FilterRow *name = f.filter(s, "商品名称");
    name->lineEdit()->setText("茶");
    name->box()->setChecked(true);
    s->queryButton()->click();
    QCOMPARE(column(s, "SPName"), (QStringList{"茶叶", "茶叶"}));
    QCOMPARE(s->totalLabel("theSum")->text(), QString("金额合计：10"));

    // The spreadsheet: the 13 columns after "序号" and the sums under 数量 and 金额.
    QString written;
    ExportOpen::setOpener([&](const QString &path) { written = path; return true; });
    s->excelButton()->click();
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), title);
    QStringList header;
    const QString cols = "ABCDEFGHIJKLMN";
    for (QChar c : cols) header << x.text(QString(c) + "2");
    QCOMPARE(header, QStringList{"序号"} + captions);
    QCOMPARE(x.text("A5"), QString("合计"));
    QCOMPARE(x.text(QString(cols[header.indexOf("数量")]) + "5"), QString("2"));
    QCOMPARE(x.text(QString(cols[header.indexOf("金额")]) + "5"), QString("10"));
}

void TstStockManage::exportLayouts_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QList<double>>("widths");   // A (the running number), B, … to the last column
    QTest::addColumn<bool>("serialCentred");
    QTest::addColumn<int>("totals");             // the "合计" row: -1 none, 0 not centred, 1 centred
    QTest::newRow("frmDB_M") << "frmDB_M" << QList<double>{4, 10, 12, 12, 12, 12, 12, 42} << false << -1;
    QTest::newRow("frmDB_MX") << "frmDB_MX" << QList<double>{4, 8, 10, 8, 8, 10, 14, 6, 6, 6, 6, 8, 8, 8} << false << 0;
    QTest::newRow("frmBS_M") << "frmBS_M" << QList<double>{4, 10, 12, 12, 12, 12, 54} << false << -1;
    QTest::newRow("frmBS_MX") << "frmBS_MX" << QList<double>{4, 10, 12, 12, 12, 22, 8, 6, 6, 6, 8, 8, 8, 8} << true << 1;
    QTest::newRow("frmBY_M") << "frmBY_M" << QList<double>{4, 10, 12, 12, 12, 12, 54} << true << -1;
    QTest::newRow("frmBY_MX") << "frmBY_MX" << QList<double>{4, 10, 12, 12, 12, 22, 8, 6, 6, 8, 8, 8, 8, 8} << true << 1;
    QTest::newRow("frmCZ_M") << "frmCZ_M" << QList<double>{4, 10, 12, 12, 12, 12, 12, 42} << true << -1;
    QTest::newRow("frmKC") << "frmKC" << QList<double>{4, 8, 12, 10, 30, 10, 6, 8, 8, 8, 8} << true << 1;
    QTest::newRow("frmSList") << "frmSList" << QList<double>{4, 8, 12, 12, 12, 12, 12, 12, 12, 12} << false << -1;
}

void TstStockManage::exportLayouts()
{
    // Each stock list keeps its own spreadsheet layout: the width of every
    // column and where the running numbers and "合计" stand.
    QFETCH(QString, screen);
    QFETCH(QList<double>, widths);
    QFETCH(bool, serialCentred);
    QFETCH(int, totals);
    Fixture f;
    for (StockKind k : {StockKind::Transfer, StockKind::Loss, StockKind::Overage, StockKind::Assembly}) f.save(k);
    QString written;
    ExportOpen::setOpener([&](const QString &path) { written = path; return true; });
    int firstRecord = 3;
    if (screen == "frmSList") {
        frmSList ledger;
        ledger.setProduct(f.cola);
        ledger.show();
        ledger.BitBtn1Click();
        firstRecord = 6;   // after the product block
    } else {
        const QMap<QString, std::function<ListScreen *()>> make{
            {"frmDB_M", [] { return new frmDB_M; }},   {"frmDB_MX", [] { return new frmDB_MX; }},
            {"frmBS_M", [] { return new frmBS_M; }},   {"frmBS_MX", [] { return new frmBS_MX; }},
            {"frmBY_M", [] { return new frmBY_M; }},   {"frmBY_MX", [] { return new frmBY_MX; }},
            {"frmCZ_M", [] { return new frmCZ_M; }},   {"frmKC", [] { return new frmKC; }}};
        ListScreen *s = f.show(make.value(screen)());
        s->queryButton()->click();
        s->excelButton()->click();
    }
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    QCOMPARE(x.maxColumn(), widths.size());
    for (int c = 0; c < widths.size(); ++c) {
        const QString letter(QChar('A' + c));
        // The file keeps a width with the padding of the sheet's default font (5 of 7 pixels).
        QVERIFY2(qAbs(x.width(letter) - (widths[c] + 5.0 / 7)) < 0.01,
                 qPrintable(QString("%1: %2, expected %3").arg(letter).arg(x.width(letter)).arg(widths[c])));
    }
    QCOMPARE(x.value(QString("A%1").arg(firstRecord)).toInt(), 1);
    QCOMPARE(x.hAlign(QString("A%1").arg(firstRecord)), QString(serialCentred ? "center" : ""));
    const QString last = QString("A%1").arg(x.maxRow());
    QCOMPARE(x.text(last) == "合计", totals >= 0);
    if (totals >= 0) QCOMPARE(x.hAlign(last), QString(totals ? "center" : ""));
}

void TstStockManage::menuOpensTheScreens_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("screen");
    const char *rows[][2] = {{"商品调拨管理 &F", "frmDB_M"}, {"商品调拨明细 &G", "frmDB_MX"}, {"商品报损管理 &I", "frmBS_M"},
                             {"商品报损明细 &J", "frmBS_MX"}, {"商品报溢管理 &L", "frmBY_M"}, {"商品报溢明细 &M", "frmBY_MX"},
                             {"商品拆装管理 &O", "frmCZ_M"}, {"商品库存查询 &A", "frmKC"}};
    for (const auto &r : rows) QTest::newRow(r[1]) << QString(r[0]) << QString(r[1]);
}

void TstStockManage::menuOpensTheScreens()
{
    QFETCH(QString, item);
    QFETCH(QString, screen);
    Fixture f;
    Screens::registerAll();
    frmMain main;
    main.applyRights(1);
    QAction *a = nullptr;
    for (int top = 0; top < main.topCount() && !a; ++top)
        for (QAction *i : main.topMenu(top)->actions())
            if (i->text() == item) a = i;
    QVERIFY(a);
    a->trigger();
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
    QMdiSubWindow *sub = main.mdiArea()->subWindowList().first();
    QCOMPARE(sub->widget()->objectName(), screen);
    QVERIFY(sub->isMaximized());
}

QTEST_MAIN(TstStockManage)
#include "tst_stockmanage.moc"
