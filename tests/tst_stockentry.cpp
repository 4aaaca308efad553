// The stock entry screens driven through the keyboard: focus, Tab order, the
// grids and their lookups, the refusals, what a save leaves on the screen, Esc.
#include "data/globals.h"
#include "screenkeys.h"
#include "ui/msg.h"
#include "stock/frmstock_in.h"
#include "testdb.h"
#include "trade/linegrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

struct PrintCall {
    StockKind kind;
    QString num;
};
QVector<PrintCall> g_printed;
QVector<Msg::Shown> g_shown;
int g_answer = 0;

QStringList shownTexts()
{
    QStringList out;
    for (const Msg::Shown &s : g_shown) out << s.text;
    return out;
}

StockEntryScreen *makeScreen(StockKind kind)
{
    switch (kind) {
    case StockKind::Transfer: return new frmDB_In;
    case StockKind::Loss: return new frmBS_In;
    case StockKind::Overage: return new frmBY_In;
    case StockKind::Assembly: break;
    }
    return new frmCZ_In;
}

template <class T = QLineEdit> T *field(QWidget *s, const char *name) { return s->findChild<T *>(name); }
QString at() { return Keys::nameOf(Keys::focus()); }

} // namespace

class TstStockEntry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensWithTheFocusOnTheFirstField_data();
    void opensWithTheFocusOnTheFirstField();
    void tabOrderFollowsTheLayout_data();
    void tabOrderFollowsTheLayout();
    void keyboardOnlyTransfer();
    void refusalsPutTheFocusWhereTheyPoint_data();
    void refusalsPutTheFocusWhereTheyPoint();
    void savedWithoutContinuingCannotBeSavedAgain();
    void assemblyGridsLookUpForThemselves();
    void escapeAsksOnlyWithTypedLines_data();
    void escapeAsksOnlyWithTypedLines();
    void escapeRealQuestionKeepsTheLines();

private:
    struct Fixture;
};

struct TstStockEntry::Fixture {
    TestDb t;
    int cola = t.addProduct("COLA", Money::fromString("2.5"));
    int tea = t.addProduct("TEA", Money::fromString("10"));
    std::unique_ptr<StockEntryScreen> screen;
    QTimer modalGuard;

    Fixture()
    {
        // A lookup that unexpectedly opens a window would wait for the user:
        // close it, so that the test fails instead of hanging.
        modalGuard.setInterval(500);
        QObject::connect(&modalGuard, &QTimer::timeout, [] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                qWarning("unexpected window %s closed", w->metaObject()->className());
                w->close();
            }
        });
        modalGuard.start();
        for (const char *w : {"一号库", "二号库"}) t.addWarehouse(QString::fromUtf8(w));
        for (const char *n : {"张三", "李四"})
            t.dm().mySQL("insert into SStaff(theName,Remark,theState) values(?,'','启用')", {QString::fromUtf8(n)});
        t.dm().KC_Up("一号库", cola, Money::fromString("5"));
        t.dm().KC_Up("一号库", tea, Money::fromString("5"));
    }
    frmDM &dm() { return t.dm(); }
    StockEntryScreen *open(StockKind kind)
    {
        screen.reset(makeScreen(kind));
        screen->show();
        return screen.get();
    }
    LineGrid *grid(int side = 0) { return screen->grid(side); }
    // A product into a row by its code and Enter; the cursor then stands on the price.
    void addLine(int row, const QString &search, int side = 0)
    {
        LineGrid *g = grid(side);
        g->setFocus();
        g->setCurrentCell(row, 1);
        Keys::type(search);
        Keys::press(Qt::Key_Return);
    }
    void setCell(int row, int column, const QString &text, int side = 0)
    {
        LineGrid *g = grid(side);
        g->setFocus();
        g->setCurrentCell(row, column);
        Keys::type(text);
        Keys::press(Qt::Key_Return);
    }
    void save() { QTest::mouseClick(field<QPushButton>(screen.get(), "BitBtn1"), Qt::LeftButton); }
    QString stock(const QString &wh, int sid) { return dm().myRetKC(wh, sid).toString(); }
};

void TstStockEntry::init()
{
    setSession("2012-11-16");
    G.ShopFKC = false;
    G.UserCK = "一号库";
    G.UserJSR = "张三";
    g_printed.clear();
    g_shown.clear();
    g_answer = 0;
    Msg::setHandler([](const Msg::Shown &s) {
        g_shown << s;
        return g_answer;
    });
    StockEntryScreen::setPrintHook([](StockKind kind, const QString &num, QWidget *) { g_printed << PrintCall{kind, num}; });
}

void TstStockEntry::cleanup()
{
    Msg::setHandler(nullptr);
    StockEntryScreen::setPrintHook(nullptr);
}

void TstStockEntry::opensWithTheFocusOnTheFirstField_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("transfer") << int(StockKind::Transfer) << "商品调拨单"
                              << QStringList{"调出仓库：", "调入仓库：", "经  手  人：", "调拨日期：", "合计数量：", "合计金额："};
    QTest::newRow("loss") << int(StockKind::Loss) << "商品报损单"
                          << QStringList{"仓库名称：", "经  手  人：", "报损日期：", "合计数量：", "合计金额："};
    QTest::newRow("overage") << int(StockKind::Overage) << "商品报溢单"
                             << QStringList{"仓库名称：", "经  手  人：", "报溢日期：", "合计数量：", "合计金额："};
    QTest::newRow("assembly") << int(StockKind::Assembly) << "拆装单"
                              << QStringList{"出库仓库：", "入库仓库：", "经  手  人：", "拆装日期："};
}

void TstStockEntry::opensWithTheFocusOnTheFirstField()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QStringList, labels);
    Fixture f;
    StockEntryScreen *s = f.open(StockKind(kind));
    QVERIFY(QTest::qWaitForWindowActive(s));
    QCOMPARE(s->windowTitle(), caption);
    QCOMPARE(at(), QString("DBLookupComboBox1"));
    QStringList shown;
    for (QLabel *l : s->findChildren<QLabel *>()) shown << l->text();
    for (const QString &l : labels) QVERIFY2(shown.contains(l), qPrintable(l));
    // The warehouses start at the user's own, the handler at the user's, the date at the working date.
    for (QComboBox *c : s->findChildren<QComboBox *>()) {
        if (c->objectName() == "DBLookupComboBox3" || (kind == int(StockKind::Loss) || kind == int(StockKind::Overage))
                                                          && c->objectName() == "DBLookupComboBox2")
            QCOMPARE(c->currentText(), QString("张三"));
        else
            QCOMPARE(c->currentText(), QString("一号库"));
    }
    QCOMPARE(field<QDateEdit>(s, "DateTimePicker1")->date(), QDate(2012, 11, 16));
    QCOMPARE(field<QCheckBox>(s, "CheckBox1")->isChecked(), true);
    QCOMPARE(f.grid()->rowCount(), 100);
    QCOMPARE(f.grid()->item(99, 0)->text(), QString("@ 99"));
}

void TstStockEntry::tabOrderFollowsTheLayout_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("walk");
    QTest::newRow("transfer") << int(StockKind::Transfer)
                              << QStringList{"DBLookupComboBox1", "DBLookupComboBox2", "DBLookupComboBox3", "DateTimePicker1",
                                             "Edit1", "StringGrid1", "CheckBox1", "BitBtn1", "BitBtn2", "DBLookupComboBox1"};
    QTest::newRow("loss") << int(StockKind::Loss)
                          << QStringList{"DBLookupComboBox1", "DBLookupComboBox2", "DateTimePicker1", "Edit1",
                                         "StringGrid1", "CheckBox1", "BitBtn1", "BitBtn2", "DBLookupComboBox1"};
    QTest::newRow("assembly") << int(StockKind::Assembly)
                              << QStringList{"DBLookupComboBox1", "DBLookupComboBox2", "DBLookupComboBox3", "DateTimePicker1",
                                             "Edit1", "StringGrid1", "StringGrid2", "CheckBox1", "BitBtn1", "BitBtn2",
                                             "DBLookupComboBox1"};
}

void TstStockEntry::tabOrderFollowsTheLayout()
{
    QFETCH(int, kind);
    QFETCH(QStringList, walk);
    Fixture f;
    StockEntryScreen *s = f.open(StockKind(kind));
    QVERIFY(QTest::qWaitForWindowActive(s));
    QCOMPARE(Keys::tabWalk(), walk);
}

void TstStockEntry::keyboardOnlyTransfer()
{
    // A transfer from the first key to the stored document: no mouse, no focus
    // set by the test; every key goes where the focus is.
    Fixture f;
    StockEntryScreen *s = f.open(StockKind::Transfer);
    QVERIFY(QTest::qWaitForWindowActive(s));
    QCOMPARE(at(), QString("DBLookupComboBox1"));   // 调出仓库: 一号库 already
    Keys::press(Qt::Key_Tab);
    Keys::press(Qt::Key_Down);                      // 调入仓库: 二号库
    QCOMPARE(field<QComboBox>(s, "DBLookupComboBox2")->currentText(), QString("二号库"));
    // Handler, date (Tab walks its year, month and day), remark, grid.
    for (int i = 0; i < 8 && at() != "StringGrid1"; ++i) Keys::press(Qt::Key_Tab);
    QCOMPARE(at(), QString("StringGrid1"));
    Keys::type("te");
    Keys::press(Qt::Key_Return);                    // the product, then the price
    QCOMPARE(f.grid()->cell(1, 9), QString::number(f.tea));
    QCOMPARE(f.grid()->cell(1, 5), QString("10"));
    QCOMPARE(f.grid()->currentColumn(), 5);
    Keys::press(Qt::Key_Return);                    // the quantity
    Keys::type("3");
    Keys::press(Qt::Key_Return);                    // the next row
    QCOMPARE(f.grid()->cell(1, 7), QString("30"));
    QCOMPARE(field(s, "Edit6")->text(), QString("3"));
    QCOMPARE(field(s, "Edit2")->text(), QString("30"));
    QCOMPARE(f.grid()->currentRow(), 2);
    Keys::press(Qt::Key_Tab);                       // out of the grid
    QCOMPARE(at(), QString("CheckBox1"));
    Keys::press(Qt::Key_Tab);
    QCOMPARE(at(), QString("BitBtn1"));
    Keys::press(Qt::Key_Return);                    // 保存
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(f.dm().rows("select theNum, DName, WName, UName, theSum, theCount from UDB"),
             (QVector<QVariantList>{{"DB121116-0001", "一号库", "二号库", "张三", 30, 3}}));
    QCOMPARE(f.stock("一号库", f.tea), QString("2"));
    QCOMPARE(f.stock("二号库", f.tea), QString("3"));
    QCOMPARE(g_printed.size(), 1);
    QCOMPARE(g_printed[0].num, QString("DB121116-0001"));
    // "连续新增": a fresh screen, the focus back on the first field, both warehouses the user's own.
    QCOMPARE(at(), QString("DBLookupComboBox1"));
    QCOMPARE(f.grid()->cell(1, 1), QString());
    QCOMPARE(field<QComboBox>(s, "DBLookupComboBox2")->currentText(), QString("一号库"));
}

void TstStockEntry::refusalsPutTheFocusWhereTheyPoint_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("case_");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("no lines") << int(StockKind::Transfer) << "none" << "商品信息 不能为空！ 请重新选择！" << "StringGrid1" << 1 << 1;
    QTest::newRow("same warehouse") << int(StockKind::Transfer) << "same" << "不能在同一仓库里进行商品调拨！"
                                    << "DBLookupComboBox2" << -1 << -1;
    QTest::newRow("beyond the stock") << int(StockKind::Loss) << "six" << "商品 COLA COLA 库存不足，不能出库！"
                                      << "StringGrid1" << 2 << 1;
    QTest::newRow("lone dot as quantity") << int(StockKind::Overage) << "dot"
                                          << "第 2 行的 数量 “.”不是有效的数值，请重新录入！" << "StringGrid1" << 2 << 6;
    QTest::newRow("assembly without goods put in") << int(StockKind::Assembly) << "one side"
                                                   << "入库商品信息 不能为空！ 请重新选择！" << "StringGrid2" << 1 << 1;
}

void TstStockEntry::refusalsPutTheFocusWhereTheyPoint()
{
    QFETCH(int, kind);
    QFETCH(QString, case_);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(int, row);
    QFETCH(int, column);
    Fixture f;
    StockEntryScreen *s = f.open(StockKind(kind));
    QVERIFY(QTest::qWaitForWindowActive(s));
    if (case_ != "none") {
        f.addLine(1, "TEA");
        f.addLine(2, "COLA");
    }
    if (case_ == "six") f.setCell(2, 6, "6");
    if (case_ == "dot") f.setCell(2, 6, ".");
    if (case_ == "same") QCOMPARE(field<QComboBox>(s, "DBLookupComboBox2")->currentText(), QString("一号库"));
    f.save();
    QCOMPARE(shownTexts(), QStringList{message});
    QCOMPARE(at(), focus);
    if (row > 0) {
        auto *g = static_cast<LineGrid *>(Keys::focus());
        QCOMPARE(g->currentRow(), row);
        QCOMPARE(g->currentColumn(), column);
    }
    QCOMPARE(f.dm().value("select count(*) from SList").toInt(), 0);
    QVERIFY(s->isVisible());
}

void TstStockEntry::savedWithoutContinuingCannotBeSavedAgain()
{
    Fixture f;
    StockEntryScreen *s = f.open(StockKind::Loss);
    QVERIFY(QTest::qWaitForWindowActive(s));
    f.addLine(1, "TEA");
    field<QCheckBox>(s, "CheckBox1")->setChecked(false);
    f.save();
    QCOMPARE(s->savedNum(), QString("BS121116-0001"));
    // The saved document stays in view; a second 保存 moves nothing again.
    QCOMPARE(f.grid()->cell(1, 1), QString("TEA"));
    QVERIFY(!field<QPushButton>(s, "BitBtn1")->isEnabled());
    f.save();
    s->BitBtn1Click();
    QCOMPARE(f.dm().value("select count(*) from UBS").toInt(), 1);
    QCOMPARE(f.stock("一号库", f.tea), QString("4"));
    // Nothing is left to lose: Esc closes without asking.
    Keys::press(Qt::Key_Escape);
    QCOMPARE(shownTexts(), QStringList());
    QVERIFY(!s->isVisible());
}

void TstStockEntry::assemblyGridsLookUpForThemselves()
{
    // Each grid leaves out only its own products: one product may stand on both sides.
    Fixture f;
    StockEntryScreen *s = f.open(StockKind::Assembly);
    QVERIFY(QTest::qWaitForWindowActive(s));
    f.addLine(1, "TEA");
    f.setCell(1, 6, "2");
    f.addLine(1, "TEA", 1);
    QCOMPARE(f.grid(1)->cell(1, 9), QString::number(f.tea));
    QCOMPARE(f.grid(1)->cell(1, 5), QString("10"));
    QCOMPARE(f.grid(1)->cell(1, 6), QString("1"));
    QCOMPARE(f.grid(0)->cell(1, 6), QString("2"));
    f.addLine(2, "COLA", 1);
    f.save();
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(f.dm().rows("select SID, theCount from UCZ_O_List"), (QVector<QVariantList>{{f.tea, 2}}));
    QCOMPARE(f.dm().rows("select SID, theCount, theBH from UCZ_I_List order by theBH"),
             (QVector<QVariantList>{{f.tea, 1, 1}, {f.cola, 1, 2}}));
    QCOMPARE(f.stock("一号库", f.tea), QString("4"));
    QCOMPARE(f.stock("一号库", f.cola), QString("6"));
    // Assemblies are printed from their management screen, not at save.
    QCOMPARE(g_printed.size(), 0);
}

void TstStockEntry::escapeAsksOnlyWithTypedLines_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing typed: closes") << false << 0 << true;
    QTest::newRow("lines typed, No: stays") << true << 0 << false;
    QTest::newRow("lines typed, Yes: closes") << true << 1 << true;
}

void TstStockEntry::escapeAsksOnlyWithTypedLines()
{
    QFETCH(bool, typed);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    Fixture f;
    StockEntryScreen *s = f.open(StockKind::Transfer);
    QVERIFY(QTest::qWaitForWindowActive(s));
    if (typed) f.addLine(1, "COLA");
    g_answer = answer;
    Keys::press(Qt::Key_Escape);
    QCOMPARE(shownTexts(), typed ? QStringList{"放弃本单据吗？"} : QStringList());
    if (typed) QVERIFY(g_shown[0].defaultNo);
    QCOMPARE(!s->isVisible(), closed);
}

void TstStockEntry::escapeRealQuestionKeepsTheLines()
{
    // The question is a real box in its own event loop; Enter takes its
    // preselected answer, No. Esc comes from inside an open cell.
    Fixture f;
    f.modalGuard.stop();
    StockEntryScreen *s = f.open(StockKind::Assembly);
    QVERIFY(QTest::qWaitForWindowActive(s));
    f.addLine(1, "COLA", 1);
    f.grid(1)->setCurrentCell(1, 8);
    Keys::type("x");                                  // a cell editor is open now
    RealModal modal;
    Keys::press(Qt::Key_Escape);
    QCOMPARE(modal.texts(), QStringList{"放弃本单据吗？"});
    QVERIFY(s->isVisible());
    QCOMPARE(f.grid(1)->cell(1, 1), QString("COLA"));
    QCOMPARE(f.grid(1)->cell(1, 8), QString("x"));
    QCOMPARE(s->focusWidget(), f.grid(1));
}

QTEST_MAIN(TstStockEntry)
#include "tst_stockentry.moc"
