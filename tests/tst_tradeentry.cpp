// The trade entry screens driven through the keyboard: the line grid, totals
// and payment, saving, reopening a pre-saved document, what happens after a save.
#include "data/globals.h"
#include "screenkeys.h"
#include "ui/msg.h"
#include "testdb.h"
#include "trade/frmcg_o_in.h"
#include "trade/frmfindshop.h"
#include "trade/frmjh_in.h"
#include "trade/frmlsdj.h"
#include "trade/frmxs_in.h"
#include "trade/frmxs_o_in.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

struct PrintCall {
    TradeKind kind;
    QString num;
};
QVector<PrintCall> g_printed;
QVector<Msg::Shown> g_shown;
int g_answer = 0; // the answer to questions

QStringList shownTexts()
{
    QStringList out;
    for (const Msg::Shown &s : g_shown) out << s.text;
    return out;
}

QTableWidget *gridOf(QWidget *s) { return s->findChild<QTableWidget *>("StringGrid1"); }
template <class T = QLineEdit> T *field(QWidget *s, const char *name) { return s->findChild<T *>(name); }

// Keys go where the user's keys go: into the open cell editor, else to the grid.
QWidget *keyTarget(QTableWidget *g)
{
    for (QLineEdit *e : g->findChildren<QLineEdit *>())
        if (e->isVisible()) return e;
    return g;
}

void press(QTableWidget *g, Qt::Key key)
{
    QTest::keyPress(keyTarget(g), key);
    QTest::keyRelease(keyTarget(g), key);
}

void type(QTableWidget *g, const QString &text)
{
    for (QChar c : text) {
        QTest::keyPress(keyTarget(g), c.toLatin1());
        QTest::keyRelease(keyTarget(g), c.toLatin1());
    }
}

// Types into a cell: the first key replaces what the cell holds.
void typeAt(QTableWidget *g, int row, int column, const QString &text)
{
    g->setCurrentCell(row, column);
    type(g, text);
}

QString cellText(QTableWidget *g, int row, int column) { return g->item(row, column)->text(); }

TradeEntryScreen *makeScreen(TradeKind kind)
{
    switch (kind) {
    case TradeKind::Purchase: return new frmJH_In;
    case TradeKind::Sales: return new frmXS_In;
    case TradeKind::PurchaseReturn: return new frmCG_O_In;
    case TradeKind::SalesReturn: break;
    }
    return new frmXS_O_In;
}

} // namespace

class TstTradeEntry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void enterMovesThroughTheLine_data();
    void enterMovesThroughTheLine();
    void pickerWritesTheStartingRow();
    void keysFilteredByColumn_data();
    void keysFilteredByColumn();
    void erasedLineLeavesNoGap();
    void deleteLineAndAll();
    void totalsResetThePayment();
    void overpaymentRefused();
    void salesDiscount();
    void badCellRefusedBeforeWriting_data();
    void badCellRefusedBeforeWriting();
    void stockRefusalSelectsTheRow();
    void preSavedReopenedAndPosted();
    void afterSave_data();
    void afterSave();
    void failurePartWayKeepsTheScreen();
    void customerNameClearsContact_data();
    void customerNameClearsContact();
    void partnerFoundFromEveryBox_data();
    void partnerFoundFromEveryBox();
    void priceHistory();
    void halfTypedNumberThenRealRefusal_data();
    void halfTypedNumberThenRealRefusal();
    void pastedNumbersRefusedAtSave_data();
    void pastedNumbersRefusedAtSave();
    void shortcutsPassTheKeyFilters();
    void opensWithTheFocusOnThePartner_data();
    void opensWithTheFocusOnThePartner();
    void tabOrderFollowsTheLayout_data();
    void tabOrderFollowsTheLayout();
    void tabLeavesTheGrid();
    void escapeAsksBeforeDiscarding_data();
    void escapeAsksBeforeDiscarding();
    void escapeRealQuestionKeepsTheLines();
    void keyboardOnlyPurchase();

private:
    struct Fixture;
};

struct TstTradeEntry::Fixture {
    TestDb t;
    int supplier = t.addPartner("大华商行", "供应商");
    int customer = t.addPartner("顺发超市", "客户");
    int cola = t.addProduct("COLA", Money::fromString("2.5"), Money::fromString("3.5"));
    int tea = t.addProduct("TEA", Money::fromString("10"), Money::fromString("15"));
    int milk = t.addProduct("MILK", Money::fromString("4"), Money::fromString("5"));
    int rice = t.addProduct("RICE", Money::fromString("6"), Money::fromString("8"));
    std::unique_ptr<TradeEntryScreen> screen;
    QTimer modalGuard;

    Fixture()
    {
        // A lookup that unexpectedly opens a picker or a quick entry would wait
        // for the user: close it, so that the test fails instead of hanging.
        modalGuard.setInterval(500);
        QObject::connect(&modalGuard, &QTimer::timeout, [] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                qWarning("unexpected window %s closed", w->metaObject()->className());
                w->close();
            }
        });
        modalGuard.start();
        t.addWarehouse("一号库");
        for (const char *n : {"张三", "李四"})
            t.dm().mySQL("insert into SStaff(theName,Remark,theState) values(?,'','启用')", {QString::fromUtf8(n)});
        for (int sid : {cola, tea, milk, rice}) t.dm().KC_Up("一号库", sid, Money::fromString("10"));
    }
    frmDM &dm() { return t.dm(); }
    int n(const QString &sql) { return dm().value(sql).toInt(); }

    TradeEntryScreen *open(TradeKind kind)
    {
        screen.reset(makeScreen(kind));
        screen->show();
        return screen.get();
    }
    QTableWidget *grid() { return gridOf(screen.get()); }

    // Partner by its name and Enter, as the user chooses one.
    void choosePartner(const QString &search)
    {
        QLineEdit *e = field(screen.get(), "Edit1");
        e->setText(search);
        QTest::keyClick(e, Qt::Key_Return);
    }
    // A product into a row by its code and Enter; the cursor then stands on the price.
    void addLine(int row, const QString &search)
    {
        typeAt(grid(), row, 1, search);
        press(grid(), Qt::Key_Return);
    }
    void save() { QTest::mouseClick(field<QPushButton>(screen.get(), "BitBtn1"), Qt::LeftButton); }
};

void TstTradeEntry::init()
{
    setSession("2012-11-16");
    G.ShopJH = G.ShopXS = G.ShopJH1 = G.ShopXS1 = G.ShopFKC = false;
    G.ShopCB = "采购单价";
    G.UserCK = "一号库";
    G.UserZH = "现金";
    G.UserJSR = "张三";
    G.UserSFKR = "李四";
    g_printed.clear();
    g_shown.clear();
    g_answer = 0;
    Msg::setHandler([](const Msg::Shown &s) {
        g_shown << s;
        return g_answer;
    });
    TradeEntryScreen::setPrintHook([](TradeKind kind, const QString &num, QWidget *) { g_printed << PrintCall{kind, num}; });
}

void TstTradeEntry::cleanup()
{
    Msg::setHandler(nullptr);
    TradeEntryScreen::setPrintHook(nullptr);
}

void TstTradeEntry::enterMovesThroughTheLine_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("columns"); // the column after each Enter; 0 is column 1 of the next row
    QTest::newRow("purchase") << int(TradeKind::Purchase) << QList<int>{5, 6, 0};
    QTest::newRow("sales") << int(TradeKind::Sales) << QList<int>{5, 6, 7, 0};
    QTest::newRow("purchase return") << int(TradeKind::PurchaseReturn) << QList<int>{5, 6, 0};
}

void TstTradeEntry::enterMovesThroughTheLine()
{
    QFETCH(int, kind);
    QFETCH(QList<int>, columns);
    Fixture f;
    f.open(TradeKind(kind));
    f.choosePartner(kind == int(TradeKind::Sales) ? "顺发" : "大华");
    QTableWidget *g = f.grid();
    QCOMPARE(g->currentRow(), 1);
    QCOMPARE(g->currentColumn(), 1);
    type(g, "TE");
    QCOMPARE(cellText(g, 1, 1), QString("TE"));
    QCOMPARE(cellText(g, 1, 2), QString());
    for (int i = 0; i < columns.size(); ++i) {
        press(g, Qt::Key_Return);
        if (i == 0) {
            // The one product matching "TE" went into the row.
            QCOMPARE(cellText(g, 1, 1), QString("TEA"));
            QCOMPARE(cellText(g, 1, 2), QString("TEA"));
            QCOMPARE(cellText(g, 1, f.screen->idColumn()), QString::number(f.tea));
            QCOMPARE(cellText(g, 1, f.screen->quantityColumn()), QString("1"));
        }
        const int row = columns[i] == 0 ? 2 : 1;
        const int column = columns[i] == 0 ? 1 : columns[i];
        QCOMPARE(g->currentRow(), row);
        QCOMPARE(g->currentColumn(), column);
    }
    // On the next, empty row Enter searches again; "MI" finds the milk only.
    type(g, "MI");
    press(g, Qt::Key_Return);
    QCOMPARE(cellText(g, 2, f.screen->idColumn()), QString::number(f.milk));
    QCOMPARE(g->currentColumn(), 5);
    QCOMPARE(field(f.screen.get(), "Edit6")->text(), QString("2"));
}

void TstTradeEntry::pickerWritesTheStartingRow()
{
    Fixture f;
    TradeEntryScreen *s = f.open(TradeKind::Purchase);
    QTableWidget *g = f.grid();
    // In the picker: one product by its row, or all of them.
    auto pickSoon = [s](int row) {
        QTimer::singleShot(0, s, [row] {
            auto *dlg = qobject_cast<frmFindShop *>(QApplication::activeModalWidget());
            if (!dlg) return;
            if (row < 0) {
                dlg->A1Click();
                return;
            }
            dlg->list()->setCurrentIndex(dlg->list()->model()->index(row, 0));
            dlg->myLoad();
        });
    };
    // An empty code lists every product, by name: COLA, MILK, RICE, TEA.
    g->setCurrentCell(2, 1);
    pickSoon(2);
    press(g, Qt::Key_Return);
    QCOMPARE(cellText(g, 2, 1), QString("RICE"));
    QCOMPARE(cellText(g, 2, 9), QString::number(f.rice));
    QCOMPARE(g->currentRow(), 2);
    QCOMPARE(g->currentColumn(), 5);

    // Taking all the others fills consecutive rows and leaves the cursor below them.
    g->setCurrentCell(4, 1);
    pickSoon(-1);
    press(g, Qt::Key_Return);
    QStringList codes;
    for (int row = 4; row <= 6; ++row) codes << cellText(g, row, 1);
    QCOMPARE(codes, (QStringList{"COLA", "MILK", "TEA"}));
    QCOMPARE(cellText(g, 6, 6), QString("1"));
    QCOMPARE(g->currentRow(), 7);
    QCOMPARE(g->currentColumn(), 1);
    QCOMPARE(field(s, "Edit6")->text(), QString("4"));
    QCOMPARE(field(s, "Edit2")->text(), QString("22.5"));
}

void TstTradeEntry::keysFilteredByColumn_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cell");
    const int P = int(TradeKind::Purchase), S = int(TradeKind::Sales), PR = int(TradeKind::PurchaseReturn);
    QTest::newRow("price takes a number only") << P << 5 << "1a.5" << "1.5";
    QTest::newRow("quantity takes a number only") << P << 6 << "2x-" << "2";
    QTest::newRow("discount takes digits only") << S << 6 << "9.0" << "90";
    QTest::newRow("sales quantity") << S << 7 << "3b" << "3";
    QTest::newRow("name is not typed over") << P << 2 << "abc" << "COLA";
    QTest::newRow("code is fixed once the row has a product") << P << 1 << "X" << "COLA";
    QTest::newRow("remark takes anything") << P << 8 << "ok-1" << "ok-1";
    QTest::newRow("return: code stays free") << PR << 1 << "XY" << "XY";
}

void TstTradeEntry::keysFilteredByColumn()
{
    QFETCH(int, kind);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, cell);
    Fixture f;
    f.open(TradeKind(kind));
    f.addLine(1, "COLA");
    typeAt(f.grid(), 1, column, typed);
    QCOMPARE(cellText(f.grid(), 1, column), cell);
    // Typing over the code of a return never changes the row's product.
    QCOMPARE(cellText(f.grid(), 1, f.screen->idColumn()), QString::number(f.cola));
    QCOMPARE(g_shown.size(), 0);
}

void TstTradeEntry::erasedLineLeavesNoGap()
{
    Fixture f;
    f.open(TradeKind::Purchase);
    f.choosePartner("大华");
    QTableWidget *g = f.grid();
    const char *codes[] = {"COLA", "TEA", "MILK", "RICE"};
    for (int row = 1; row <= 4; ++row) {
        f.addLine(row, codes[row - 1]);
        typeAt(g, row, 6, QString::number(row));
    }
    QCOMPARE(field(f.screen.get(), "Edit2")->text(), QString("58.5")); // 2.5 + 20 + 12 + 24
    // Erasing the code of row 2 empties the whole row at the key release.
    g->setCurrentCell(2, 1);
    press(g, Qt::Key_Backspace);
    for (int c = 1; c <= f.screen->idColumn(); ++c) QCOMPARE(cellText(g, 2, c), QString());
    QCOMPARE(field(f.screen.get(), "Edit2")->text(), QString("38.5"));
    QCOMPARE(field(f.screen.get(), "Edit6")->text(), QString("8"));
    QCOMPARE(field<QLabel>(f.screen.get(), "Lab_Count")->text(), QString("8"));

    f.save();
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(f.dm().rows("select theBH, SID, theCount from UJH_List order by theBH"),
             (QVector<QVariantList>{{1, f.cola, 1}, {2, f.milk, 3}, {3, f.rice, 4}}));
    QCOMPARE(f.dm().value("select theHJ from UJH").toDouble(), 38.5);
}

void TstTradeEntry::deleteLineAndAll()
{
    Fixture f;
    TradeEntryScreen *s = f.open(TradeKind::Sales);
    QTableWidget *g = f.grid();
    f.addLine(1, "COLA");
    f.addLine(2, "TEA");
    f.addLine(3, "MILK");
    field(s, "Edit3")->setText("1");
    g->setCurrentCell(2, 3);
    s->findChild<QAction *>("D1")->trigger();
    for (int c = 1; c <= s->idColumn(); ++c) QCOMPARE(cellText(g, 2, c), QString());
    QCOMPARE(cellText(g, 2, 0), QString("@ 2"));
    QCOMPARE(field(s, "Edit2")->text(), QString("8.5"));
    QCOMPARE(field(s, "Edit3")->text(), QString("8.5"));
    QCOMPARE(field(s, "Edit6")->text(), QString("2"));

    s->findChild<QAction *>("A1")->trigger();
    for (int row : {1, 3})
        for (int c = 1; c <= s->idColumn(); ++c) QCOMPARE(cellText(g, row, c), QString());
    QCOMPARE(cellText(g, 99, 0), QString("@ 99"));
    QCOMPARE(field(s, "Edit2")->text(), QString("0"));
    QCOMPARE(field(s, "Edit6")->text(), QString("0"));
}

void TstTradeEntry::totalsResetThePayment()
{
    Fixture f;
    f.open(TradeKind::Purchase);
    QTableWidget *g = f.grid();
    f.addLine(1, "TEA");
    typeAt(g, 1, 6, "3");
    QLineEdit *paid = field(f.screen.get(), "Edit3");
    QLineEdit *owed = field(f.screen.get(), "Edit4");
    QCOMPARE(cellText(g, 1, 7), QString("30"));
    QCOMPARE(paid->text(), QString("30"));
    QCOMPARE(owed->text(), QString("0"));

    // Lowering the payment leaves the rest owed; letters never reach the box.
    paid->selectAll();
    QTest::keyClicks(paid, "1x2.5");
    QCOMPARE(paid->text(), QString("12.5"));
    QCOMPARE(owed->text(), QString("17.5"));

    // Any change of the lines counts the whole amount as paid again.
    typeAt(g, 1, 5, "9");
    QCOMPARE(cellText(g, 1, 7), QString("27"));
    QCOMPARE(field(f.screen.get(), "Edit2")->text(), QString("27"));
    QCOMPARE(paid->text(), QString("27"));
    QCOMPARE(owed->text(), QString("0"));

    // A total longer than what may be typed in the payment box still reaches it whole.
    typeAt(g, 1, 6, "1");
    typeAt(g, 1, 5, "12345678.25");
    QCOMPARE(paid->text(), QString("12345678.25"));
    QCOMPARE(owed->text(), QString("0"));
    paid->clear();
    QTest::keyClicks(paid, "12345678901");
    QCOMPARE(paid->text(), QString("1234567890"));
    typeAt(g, 1, 6, "3");
    typeAt(g, 1, 5, "9");

    // A lone "." is a number being typed, not an error: no box while typing;
    // the line has no amount until it can be worked out.
    typeAt(g, 1, 6, ".");
    QVERIFY(shownTexts().isEmpty());
    QCOMPARE(cellText(g, 1, 7), QString());
    QCOMPARE(field(f.screen.get(), "Edit2")->text(), QString("0"));
    type(g, "5");
    QCOMPARE(cellText(g, 1, 6), QString(".5"));
    QCOMPARE(cellText(g, 1, 7), QString("4.5"));
    QVERIFY(shownTexts().isEmpty());
}

void TstTradeEntry::overpaymentRefused()
{
    Fixture f;
    f.open(TradeKind::Purchase);
    f.choosePartner("大华");
    f.addLine(1, "TEA");
    QLineEdit *paid = field(f.screen.get(), "Edit3");
    paid->setText("10.01");
    f.save();
    QCOMPARE(shownTexts(), QStringList{"付款金额 不能大于合计金额，请重新录入 付款金额！"});
    QCOMPARE(f.screen->focusWidget(), paid);
    QCOMPARE(f.n("select count(*) from UJH"), 0);
    QVERIFY(f.screen->isVisible());
}

void TstTradeEntry::salesDiscount()
{
    Fixture f;
    f.open(TradeKind::Sales);
    f.choosePartner("顺发");
    QTableWidget *g = f.grid();
    f.addLine(1, "COLA");
    QCOMPARE(cellText(g, 1, 6), QString("100"));
    type(g, "10");
    press(g, Qt::Key_Return);
    type(g, "90");
    press(g, Qt::Key_Return);
    type(g, "3");
    QCOMPARE(cellText(g, 1, 8), QString("27"));
    QCOMPARE(field(f.screen.get(), "Edit2")->text(), QString("27"));
    // Erasing the discount leaves the amount as it was.
    typeAt(g, 1, 6, "\b");
    QCOMPARE(cellText(g, 1, 6), QString());
    QCOMPARE(cellText(g, 1, 8), QString("27"));
    typeAt(g, 1, 6, "90");
    f.save();
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(f.dm().rows("select thePrice, theZK, theCount, theSum, theJJ from UXS_List"),
             (QVector<QVariantList>{{10, 90, 3, 27, 2.5}}));
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("7"));
}

void TstTradeEntry::badCellRefusedBeforeWriting_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("price erased") << 5 << "\b" << "第 2 行的 单价 不能为空，请重新录入！";
    QTest::newRow("quantity erased") << 6 << "\b" << "第 2 行的 数量 不能为空，请重新录入！";
    QTest::newRow("lone dot") << 5 << "." << "第 2 行的 单价 “.”不是有效的数值，请重新录入！";
}

void TstTradeEntry::badCellRefusedBeforeWriting()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Fixture f;
    f.open(TradeKind::Purchase);
    f.choosePartner("大华");
    f.addLine(1, "COLA");
    f.addLine(2, "TEA");
    typeAt(f.grid(), 2, column, typed);
    f.grid()->setCurrentCell(1, 1);
    g_shown.clear();
    f.save();
    QCOMPARE(shownTexts(), QStringList{message});
    QCOMPARE(f.grid()->currentRow(), 2);
    QCOMPARE(f.grid()->currentColumn(), column);
    QCOMPARE(f.screen->focusWidget(), f.grid());
    QCOMPARE(f.n("select count(*) from UJH") + f.n("select count(*) from UJH_List"), 0);
}

void TstTradeEntry::stockRefusalSelectsTheRow()
{
    Fixture f;
    f.open(TradeKind::Sales);
    f.choosePartner("顺发");
    f.addLine(1, "COLA");
    f.addLine(3, "TEA");
    typeAt(f.grid(), 3, 7, "11");
    f.grid()->setCurrentCell(1, 1);
    f.save();
    QCOMPARE(shownTexts(), QStringList{"商品 TEA TEA 库存不足，不能出库！"});
    QCOMPARE(f.grid()->currentRow(), 3);
    QCOMPARE(f.n("select count(*) from UXS"), 0);
}

void TstTradeEntry::preSavedReopenedAndPosted()
{
    Fixture f;
    f.open(TradeKind::Purchase);
    f.choosePartner("大华");
    f.addLine(1, "TEA");
    typeAt(f.grid(), 1, 6, "4");
    field<QLineEdit>(f.screen.get(), "Edit5")->setText("先存着");
    field<QCheckBox>(f.screen.get(), "CheckBox2")->setChecked(true);
    f.save();
    const QString num = f.screen->savedNum();
    QCOMPARE(num, QString("CG121116-0001"));
    QCOMPARE(f.dm().value("select theYC from UJH").toString(), QString("是"));
    QCOMPARE(f.n("select count(*) from SList"), 0);
    QVERIFY(g_printed.isEmpty());

    frmJH_In again;
    again.myDJNum = num;
    QSignalSpy saved(&again, &TradeEntryScreen::saved);
    again.show();
    QTableWidget *g = gridOf(&again);
    QCOMPARE(cellText(g, 1, 1), QString("TEA"));
    QCOMPARE(cellText(g, 1, 4), QString("个"));
    QCOMPARE(cellText(g, 1, 6), QString("4"));
    QCOMPARE(cellText(g, 1, 7), QString("40"));
    QCOMPARE(cellText(g, 1, 9), QString::number(f.tea));
    QCOMPARE(field(&again, "Edit1")->text(), QString("大华商行"));
    QCOMPARE(field<QLabel>(&again, "Lab_Units")->text(), QString::number(f.supplier));
    QCOMPARE(field(&again, "Edit3")->text(), QString("40"));
    QCOMPARE(field(&again, "Edit5")->text(), QString("先存着"));
    QCOMPARE(field<QComboBox>(&again, "DBLookupComboBox2")->currentText(), QString("一号库"));
    QVERIFY(!field<QCheckBox>(&again, "CheckBox1")->isChecked());
    QVERIFY(!field<QCheckBox>(&again, "CheckBox2")->isChecked());

    typeAt(g, 1, 6, "5");
    QTest::mouseClick(field<QPushButton>(&again, "BitBtn1"), Qt::LeftButton);
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(f.dm().rows("select theNum, theYC, theHJ from UJH"), (QVector<QVariantList>{{num, "否", 50}}));
    QCOMPARE(f.dm().myRetKC("一号库", f.tea).toString(), QString("15"));
    QCOMPARE(g_printed.size(), 1);
    QCOMPARE(g_printed[0].kind, TradeKind::Purchase);
    QCOMPARE(g_printed[0].num, num);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved[0][0].toString(), num);
    QVERIFY(!again.isVisible());
    QCOMPARE(again.result(), int(QDialog::Accepted));
}

void TstTradeEntry::afterSave_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("keepEntering");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("num");
    const int P = int(TradeKind::Purchase), S = int(TradeKind::Sales), PR = int(TradeKind::PurchaseReturn),
              SR = int(TradeKind::SalesReturn);
    QTest::newRow("purchase, keep entering") << P << true << "new" << "CG121116-0001";
    QTest::newRow("purchase") << P << false << "closed" << "CG121116-0001";
    QTest::newRow("sales, keep entering") << S << true << "new" << "XS121116-0001";
    QTest::newRow("sales") << S << false << "closed" << "XS121116-0001";
    QTest::newRow("purchase return, keep entering") << PR << true << "new" << "CT121116-0001";
    QTest::newRow("purchase return") << PR << false << "stays" << "CT121116-0001";
    QTest::newRow("sales return, keep entering") << SR << true << "new" << "XT121116-0001";
    QTest::newRow("sales return") << SR << false << "stays" << "XT121116-0001";
}

void TstTradeEntry::afterSave()
{
    QFETCH(int, kind);
    QFETCH(bool, keepEntering);
    QFETCH(QString, outcome);
    QFETCH(QString, num);
    Fixture f;
    TradeEntryScreen *s = f.open(TradeKind(kind));
    const bool customer = kind == int(TradeKind::Sales) || kind == int(TradeKind::SalesReturn);
    const bool isReturn = kind == int(TradeKind::PurchaseReturn) || kind == int(TradeKind::SalesReturn);
    QCOMPARE(s->findChild<QCheckBox *>("CheckBox2") == nullptr, isReturn);
    QCOMPARE(s->findChild<QAction *>("L1") == nullptr, isReturn);
    f.choosePartner(customer ? "顺发" : "大华");
    QCOMPARE(field<QLabel>(s, "Lab_Units")->text(), QString::number(customer ? f.customer : f.supplier));
    field(s, "Edit7")->setText("王经理");
    f.addLine(1, "MILK");
    QCheckBox *keep = field<QCheckBox>(s, "CheckBox1");
    QVERIFY(keep->isChecked());
    keep->setChecked(keepEntering);
    f.save();
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(s->savedNum(), num);
    QCOMPARE(g_printed.size(), 1);
    QCOMPARE(int(g_printed[0].kind), kind);
    QCOMPARE(g_printed[0].num, num);

    if (outcome == "closed") {
        QVERIFY(!s->isVisible());
        QCOMPARE(s->result(), int(QDialog::Accepted));
        return;
    }
    QVERIFY(s->isVisible());
    if (outcome == "stays") {
        QCOMPARE(cellText(f.grid(), 1, 1), QString("MILK"));
        QCOMPARE(field(s, "Edit1")->text(), QString(customer ? "顺发超市" : "大华商行"));
        QVERIFY(!keep->isChecked());
        // The saved return cannot be posted a second time from the same screen.
        QVERIFY(!field<QPushButton>(s, "BitBtn1")->isEnabled());
        f.save();
        QCOMPARE(g_printed.size(), 1);
        const TradeKindInfo &k = tradeKind(TradeKind(kind));
        QCOMPARE(f.t.dm().value(QString("select count(*) from %1").arg(k.head)).toInt(), 1);
        return;
    }
    // A fresh document with the user's defaults; the returns keep the search filters.
    QCOMPARE(cellText(f.grid(), 1, 1), QString());
    QCOMPARE(cellText(f.grid(), 1, f.screen->idColumn()), QString());
    QCOMPARE(cellText(f.grid(), 5, 0), QString("@ 5"));
    QCOMPARE(field(s, "Edit1")->text(), QString());
    QCOMPARE(field<QLabel>(s, "Lab_Units")->text(), QString());
    QCOMPARE(field(s, "Edit7")->text(), QString(isReturn ? "王经理" : ""));
    QCOMPARE(field(s, "Edit2")->text(), QString("0"));
    QCOMPARE(field<QComboBox>(s, "DBLookupComboBox4")->currentText(), QString("李四"));
    QVERIFY(keep->isChecked());
}

void TstTradeEntry::failurePartWayKeepsTheScreen()
{
    Fixture f;
    f.t.failInserts("SList", "磁盘已满");
    f.open(TradeKind::Purchase);
    f.choosePartner("大华");
    f.addLine(1, "COLA");
    f.addLine(2, "TEA");
    QLineEdit *paid = field(f.screen.get(), "Edit3");
    paid->setText("5");
    f.save();
    QCOMPARE(g_shown.size(), 1);
    QCOMPARE(g_shown[0].kind, Msg::Kind::Error);
    QVERIFY2(g_shown[0].text.contains("磁盘已满"), qPrintable(g_shown[0].text));
    for (const char *table : {"UJH", "UJH_List", "UJH_FK", "UList"})
        QCOMPARE(f.n(QString("select count(*) from %1").arg(table)), 0);
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("10"));
    QVERIFY(g_printed.isEmpty());
    QVERIFY(f.screen->isVisible());
    QCOMPARE(cellText(f.grid(), 2, 1), QString("TEA"));
    QCOMPARE(paid->text(), QString("5"));
    QCOMPARE(field(f.screen.get(), "Edit1")->text(), QString("大华商行"));
}

void TstTradeEntry::customerNameClearsContact_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("sales") << int(TradeKind::Sales) << true;
    QTest::newRow("purchase") << int(TradeKind::Purchase) << false;
}

void TstTradeEntry::customerNameClearsContact()
{
    QFETCH(int, kind);
    QFETCH(bool, cleared);
    Fixture f;
    f.dm().mySQL("update SUnits set thePro='刘', thePho='123', theAdd='北街'");
    TradeEntryScreen *s = f.open(TradeKind(kind));
    f.choosePartner(kind == int(TradeKind::Sales) ? "顺发" : "大华");
    QCOMPARE(field(s, "Edit8")->text(), QString("123"));
    field(s, "Edit1")->clear();
    for (const char *e : {"Edit7", "Edit8", "Edit9"}) QCOMPARE(field(s, e)->text().isEmpty(), cleared);
    QVERIFY(!field<QLabel>(s, "Lab_Units")->text().isEmpty());
}

void TstTradeEntry::partnerFoundFromEveryBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("name, Enter") << "Edit1" << false;
    QTest::newRow("contact, Enter") << "Edit7" << false;
    QTest::newRow("phone, double-click") << "Edit8" << true;
    QTest::newRow("address, Enter") << "Edit9" << false;
}

void TstTradeEntry::partnerFoundFromEveryBox()
{
    QFETCH(QString, box);
    QFETCH(bool, doubleClick);
    Fixture f;
    f.dm().mySQL("update SUnits set thePro='刘', thePho='555', theAdd='北街' where ID=?", {f.supplier});
    f.t.addPartner("大华二厂", "供应商");
    TradeEntryScreen *s = f.open(TradeKind::PurchaseReturn);
    // Each box narrows the search among the two suppliers to the one it fits.
    const QHash<QString, QString> text{{"Edit1", "商行"}, {"Edit7", "刘"}, {"Edit8", "555"}, {"Edit9", "北"}};
    QLineEdit *e = field(s, qPrintable(box));
    e->setText(text[box]);
    if (doubleClick) QTest::mouseDClick(e, Qt::LeftButton);
    else QTest::keyClick(e, Qt::Key_Return);
    QCOMPARE(field<QLabel>(s, "Lab_Units")->text(), QString::number(f.supplier));
    QCOMPARE(field(s, "Edit1")->text(), QString("大华商行"));
    QCOMPARE(s->focusWidget(), f.grid());
}

void TstTradeEntry::priceHistory()
{
    Fixture f;
    TradeEntryScreen *s = f.open(TradeKind::Purchase);
    QAction *history = s->findChild<QAction *>("L1");
    history->trigger();
    QCOMPARE(shownTexts(), QStringList{"供应商 不能为空！ 请在 供应商 处 按回车 选择 供应商！"});
    QCOMPARE(s->focusWidget(), field(s, "Edit1"));
    f.choosePartner("大华");
    g_shown.clear();
    history->trigger();
    QCOMPARE(shownTexts(), QStringList{"商品 不能为空！ 请在 商品信息 处 按回车 选择 商品！"});

    f.addLine(1, "TEA");
    QString seen;
    QTimer::singleShot(0, s, [&] {
        auto *dlg = qobject_cast<frmLSDJ *>(QApplication::activeModalWidget());
        if (!dlg) return;
        seen = QStringList{dlg->myType, dlg->myUID, dlg->mySID, dlg->windowTitle()}.join('|');
        dlg->reject();
    });
    history->trigger();
    QCOMPARE(seen, QString("CG|%1|%2|TEA TEA 历史单价").arg(f.supplier).arg(f.tea));
}

// ---- numbers half typed, pasted, and shortcuts ----

void TstTradeEntry::halfTypedNumberThenRealRefusal_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("enters"); // Enter presses from the price to the cell
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const int P = int(TradeKind::Purchase), S = int(TradeKind::Sales);
    QTest::newRow("purchase quantity 1.2.") << P << 1 << "1.2." << "第 1 行的 数量 “1.2.”不是有效的数值，请重新录入！";
    QTest::newRow("purchase price .") << P << 0 << "." << "第 1 行的 单价 “.”不是有效的数值，请重新录入！";
    QTest::newRow("sales quantity 1.2.") << S << 2 << "1.2." << "第 1 行的 数量 “1.2.”不是有效的数值，请重新录入！";
}

void TstTradeEntry::halfTypedNumberThenRealRefusal()
{
    // No message hook: every box that opens is a real one with its own event
    // loop, closed by Enter from a timer. Typing opens none; the save refuses
    // the cell, and the screen, its lines and its open cell survive the box.
    QFETCH(int, kind);
    QFETCH(int, enters);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Fixture f;
    f.modalGuard.stop();
    TradeEntryScreen *s = f.open(TradeKind(kind));
    QVERIFY(QTest::qWaitForWindowActive(s));
    f.choosePartner(kind == int(TradeKind::Sales) ? "顺发" : "大华");
    f.addLine(1, "TEA");
    for (int i = 0; i < enters; ++i) Keys::press(Qt::Key_Return);
    const int column = f.grid()->currentColumn();
    RealModal modal;
    Keys::type(typed);
    QCOMPARE(cellText(f.grid(), 1, column), typed);
    QVERIFY2(modal.boxes.isEmpty(), qPrintable(modal.texts().join('|')));
    QCOMPARE(cellText(f.grid(), 1, f.screen->amountColumn()), QString());

    QTest::mouseClick(field<QPushButton>(s, "BitBtn1"), Qt::LeftButton);
    QCOMPARE(modal.texts(), QStringList{message});
    QVERIFY(s->isVisible());
    QCOMPARE(cellText(f.grid(), 1, 1), QString("TEA"));
    QCOMPARE(cellText(f.grid(), 1, f.screen->idColumn()), QString::number(f.tea));
    QCOMPARE(cellText(f.grid(), 1, column), typed);
    QCOMPARE(f.grid()->currentRow(), 1);
    QCOMPARE(f.grid()->currentColumn(), column);
    QCOMPARE(s->focusWidget(), f.grid());
    // What a window manager does when a box closes: its window is active again.
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s));
    const TradeKindInfo &k = tradeKind(TradeKind(kind));
    QCOMPARE(f.n(QString("select count(*) from %1").arg(k.head)), 0);

    // Corrected in place, the same document saves.
    Keys::type("2");
    QTest::mouseClick(field<QPushButton>(s, "BitBtn1"), Qt::LeftButton);
    QCOMPARE(modal.boxes.size(), 1);
    QCOMPARE(f.n(QString("select count(*) from %1").arg(k.head)), 1);
}

void TstTradeEntry::pastedNumbersRefusedAtSave_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("where"); // a column caption of row 1, or "paid"
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("message");
    const int P = int(TradeKind::Purchase), S = int(TradeKind::Sales), PR = int(TradeKind::PurchaseReturn),
              SR = int(TradeKind::SalesReturn);
    QTest::newRow("negative quantity") << P << "数量" << "-5" << "第 1 行的 数量 不能小于零，请重新录入！";
    QTest::newRow("letters in the price") << P << "单价" << "1e3" << "第 1 行的 单价 “1e3”不是有效的数值，请重新录入！";
    QTest::newRow("quantity beyond its range") << SR << "数量" << "1000000000"
                                               << "第 1 行的 数量 “1000000000”超出允许的范围（最大 999999999.9999），请重新录入！";
    QTest::newRow("negative discount") << S << "折扣" << "-5" << "第 1 行的 折扣 不能小于零，请重新录入！";
    QTest::newRow("discount with decimals") << S << "折扣" << "9.5" << "第 1 行的 折扣 只能是整数，请重新录入！";
    QTest::newRow("negative payment") << P << "paid" << "-6" << "付款金额 不能小于零，请重新录入！";
    QTest::newRow("negative receipt") << S << "paid" << "-6" << "收款金额 不能小于零，请重新录入！";
    QTest::newRow("payment beyond the range") << PR << "paid" << "100000000000"
                                              << "收款金额 “100000000000”超出允许的范围（最大 99999999999.9999），请重新录入！";
    QTest::newRow("grouped payment") << P << "paid" << "1,000" << "付款金额 “1,000”不是有效的数值，请重新录入！";
}

void TstTradeEntry::pastedNumbersRefusedAtSave()
{
    // What a paste puts in a cell or in the payment box passes no key filter;
    // the save refuses it with the field named and the cursor on it.
    QFETCH(int, kind);
    QFETCH(QString, where);
    QFETCH(QString, pasted);
    QFETCH(QString, message);
    Fixture f;
    TradeEntryScreen *s = f.open(TradeKind(kind));
    const bool customer = kind == int(TradeKind::Sales) || kind == int(TradeKind::SalesReturn);
    f.choosePartner(customer ? "顺发" : "大华");
    f.addLine(1, "TEA");
    f.addLine(2, "MILK");
    int column = -1;
    if (where == "paid") {
        field(s, "Edit3")->setText(pasted);
    } else {
        for (int c = 1; c < f.grid()->columnCount(); ++c)
            if (f.grid()->horizontalHeaderItem(c)->text() == where) column = c;
        QVERIFY(column > 0);
        f.grid()->item(1, column)->setText(pasted);
    }
    f.grid()->setCurrentCell(2, 1);
    g_shown.clear();
    f.save();
    QCOMPARE(shownTexts(), QStringList{message});
    if (column > 0) {
        QCOMPARE(s->focusWidget(), f.grid());
        QCOMPARE(f.grid()->currentRow(), 1);
        QCOMPARE(f.grid()->currentColumn(), column);
    } else {
        QCOMPARE(s->focusWidget(), field(s, "Edit3"));
    }
    const TradeKindInfo &k = tradeKind(TradeKind(kind));
    QCOMPARE(f.n(QString("select count(*) from %1").arg(k.head)) + f.n(QString("select count(*) from %1").arg(k.lines)), 0);
    QCOMPARE(f.n("select count(*) from SList") + f.n("select count(*) from UList"), 0);
}

void TstTradeEntry::shortcutsPassTheKeyFilters()
{
    Fixture f;
    TradeEntryScreen *s = f.open(TradeKind::Purchase);
    QVERIFY(QTest::qWaitForWindowActive(s));
    f.choosePartner("大华");
    QClipboard *clip = QApplication::clipboard();
    f.addLine(1, "TEA");
    QTableWidget *g = f.grid();

    // In the price cell: select all and copy, cut, paste back.
    Keys::type("12");
    Keys::press(Qt::Key_A, Qt::ControlModifier);
    Keys::press(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clip->text(), QString("12"));
    Keys::press(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(cellText(g, 1, 5), QString());
    Keys::press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(cellText(g, 1, 5), QString("12"));
    QCOMPARE(cellText(g, 1, 7), QString("12"));

    // Ctrl+V on the quantity cell replaces it, like a typed key; a pasted
    // minus sign gets in, and the save refuses it there.
    Keys::press(Qt::Key_Return);
    QCOMPARE(g->currentColumn(), 6);
    clip->setText("-5");
    Keys::press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(cellText(g, 1, 6), QString("-5"));
    QCOMPARE(shownTexts(), QStringList());

    // The name is not typed over, nor pasted over.
    g->setCurrentCell(1, 2);
    Keys::press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(cellText(g, 1, 2), QString("TEA"));

    f.save();
    QCOMPARE(shownTexts(), QStringList{"第 1 行的 数量 不能小于零，请重新录入！"});
    QCOMPARE(g->currentColumn(), 6);
    QCOMPARE(f.n("select count(*) from UJH"), 0);

    // The payment box: Ctrl+A and Ctrl+V pass its filter, letters still do not.
    typeAt(g, 1, 6, "2");
    QLineEdit *paid = field(s, "Edit3");
    paid->setFocus();
    clip->setText("7.5");
    Keys::press(Qt::Key_A, Qt::ControlModifier);
    Keys::press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(paid->text(), QString("7.5"));
    Keys::type("x");
    QCOMPARE(paid->text(), QString("7.5"));
    g_shown.clear();
    f.save();
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(f.dm().rows("select theHJ, theSJ, theYF from UJH"), (QVector<QVariantList>{{24, 7.5, 16.5}}));
}

// ---- keyboard: focus, Tab, Esc ----

void TstTradeEntry::opensWithTheFocusOnThePartner_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("purchase") << int(TradeKind::Purchase);
    QTest::newRow("sales") << int(TradeKind::Sales);
    QTest::newRow("purchase return") << int(TradeKind::PurchaseReturn);
    QTest::newRow("sales return") << int(TradeKind::SalesReturn);
}

void TstTradeEntry::opensWithTheFocusOnThePartner()
{
    QFETCH(int, kind);
    Fixture f;
    TradeEntryScreen *s = f.open(TradeKind(kind));
    QVERIFY(QTest::qWaitForWindowActive(s));
    QCOMPARE(Keys::nameOf(Keys::focus()), QString("Edit1"));
    // The first keys are the partner's initials, not a tick of "连续新增".
    Keys::type(" 大");
    QCOMPARE(field(s, "Edit1")->text(), QString(" 大"));
    QVERIFY(field<QCheckBox>(s, "CheckBox1")->isChecked());
}

void TstTradeEntry::tabOrderFollowsTheLayout_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("walk");
    const QStringList head{"Edit1", "Edit7", "Edit8", "Edit9", "DateTimePicker1", "DBLookupComboBox2",
                           "DBLookupComboBox3", "StringGrid1", "Edit3", "DBLookupComboBox1", "DBLookupComboBox4",
                           "Edit5", "CheckBox1"};
    QTest::newRow("purchase") << int(TradeKind::Purchase) << head + QStringList{"CheckBox2", "BitBtn1", "BitBtn2", "Edit1"};
    QTest::newRow("sales") << int(TradeKind::Sales) << head + QStringList{"CheckBox2", "BitBtn1", "BitBtn2", "Edit1"};
    QTest::newRow("sales return") << int(TradeKind::SalesReturn) << head + QStringList{"BitBtn1", "BitBtn2", "Edit1"};
}

void TstTradeEntry::tabOrderFollowsTheLayout()
{
    QFETCH(int, kind);
    QFETCH(QStringList, walk);
    Fixture f;
    TradeEntryScreen *s = f.open(TradeKind(kind));
    QVERIFY(QTest::qWaitForWindowActive(s));
    f.addLine(1, "TEA");  // a grid with lines still lets Tab through
    field(s, "Edit1")->setFocus();
    QCOMPARE(Keys::tabWalk(), walk);
}

void TstTradeEntry::tabLeavesTheGrid()
{
    Fixture f;
    TradeEntryScreen *s = f.open(TradeKind::Sales);
    QVERIFY(QTest::qWaitForWindowActive(s));
    f.addLine(1, "TEA");
    f.addLine(2, "COLA");
    QTableWidget *g = f.grid();
    // From an open cell: what was typed stays, the focus goes to the payment.
    g->setCurrentCell(2, 7);
    Keys::type("4");
    QVERIFY(g->findChildren<QLineEdit *>().size() > 0);
    Keys::press(Qt::Key_Tab);
    QCOMPARE(Keys::focus(), field(s, "Edit3"));
    QCOMPARE(cellText(g, 2, 7), QString("4"));
    QCOMPARE(field(s, "Edit2")->text(), QString("29"));  // 15 + 3.5 × 4
    // Shift+Tab goes back into the grid, where it was; once more leaves it upwards.
    Keys::backTab();
    QCOMPARE(Keys::focus(), g);
    QCOMPARE(g->currentRow(), 2);
    QCOMPARE(g->currentColumn(), 7);
    Keys::backTab();
    QCOMPARE(Keys::nameOf(Keys::focus()), QString("DBLookupComboBox3"));
    // Enter still moves inside the grid.
    g->setFocus();
    g->setCurrentCell(1, 5);
    Keys::press(Qt::Key_Return);
    QCOMPARE(Keys::focus(), g);
    QCOMPARE(g->currentColumn(), 6);
}

void TstTradeEntry::escapeAsksBeforeDiscarding_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("state");   // "empty", "lines", "saved", "partner only", "reopened"
    QTest::addColumn<QString>("how");     // "esc", "close", "quit"
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    const int P = int(TradeKind::Purchase), PR = int(TradeKind::PurchaseReturn);
    QTest::newRow("empty") << P << "empty" << "esc" << 0 << false << true;
    QTest::newRow("partner typed, no lines") << P << "partner only" << "esc" << 0 << false << true;
    QTest::newRow("lines, No") << P << "lines" << "esc" << 0 << true << false;
    QTest::newRow("lines, Yes") << P << "lines" << "esc" << 1 << true << true;
    QTest::newRow("lines, close button, No") << P << "lines" << "close" << 0 << true << false;
    QTest::newRow("lines, 退出, Yes") << PR << "lines" << "quit" << 1 << true << true;
    QTest::newRow("after a save, keep entering") << P << "saved" << "esc" << 0 << false << true;
    QTest::newRow("return saved and kept on screen") << PR << "saved" << "esc" << 0 << false << true;
    QTest::newRow("pre-saved reopened, unchanged") << P << "reopened" << "esc" << 0 << false << true;
}

void TstTradeEntry::escapeAsksBeforeDiscarding()
{
    QFETCH(int, kind);
    QFETCH(QString, state);
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    Fixture f;
    if (state == "reopened") {
        f.open(TradeKind::Purchase);
        f.choosePartner("大华");
        f.addLine(1, "TEA");
        field<QCheckBox>(f.screen.get(), "CheckBox2")->setChecked(true);
        field<QCheckBox>(f.screen.get(), "CheckBox1")->setChecked(false);
        f.save();
        QCOMPARE(f.screen->savedNum(), QString("CG121116-0001"));
        f.screen.reset(makeScreen(TradeKind::Purchase));
        f.screen->myDJNum = "CG121116-0001";
        f.screen->show();
        QCOMPARE(cellText(f.grid(), 1, 1), QString("TEA"));
    } else {
        f.open(TradeKind(kind));
    }
    TradeEntryScreen *s = f.screen.get();
    QVERIFY(QTest::qWaitForWindowActive(s));
    if (state == "partner only") Keys::type("大华");
    if (state == "lines" || state == "saved") {
        f.choosePartner("大华");
        f.addLine(1, "TEA");
        Keys::type("8");
    }
    if (state == "saved") {
        field<QCheckBox>(s, "CheckBox1")->setChecked(kind == int(TradeKind::Purchase));
        f.save();
        QCOMPARE(f.n("select count(*) from UJH") + f.n("select count(*) from UCG_O"), 1);
    }
    g_shown.clear();
    g_answer = answer;
    if (how == "esc") Keys::press(Qt::Key_Escape);
    else if (how == "close") s->close();
    else QTest::mouseClick(field<QPushButton>(s, "BitBtn2"), Qt::LeftButton);

    if (asked) {
        QCOMPARE(g_shown.size(), 1);
        QCOMPARE(g_shown[0].kind, Msg::Kind::Question);
        QCOMPARE(g_shown[0].text, QString("放弃本单据吗？"));
        QCOMPARE(g_shown[0].caption, Msg::appTitle());
        QVERIFY(g_shown[0].defaultNo);
    } else {
        QCOMPARE(shownTexts(), QStringList());
    }
    QCOMPARE(!s->isVisible(), closed);
    if (closed) QCOMPARE(s->result(), int(QDialog::Rejected));
    else QCOMPARE(cellText(f.grid(), 1, 5), QString("8"));
}

void TstTradeEntry::escapeRealQuestionKeepsTheLines()
{
    // The question is a real box; Enter takes its preselected answer, No.
    Fixture f;
    f.modalGuard.stop();
    TradeEntryScreen *s = f.open(TradeKind::Sales);
    QVERIFY(QTest::qWaitForWindowActive(s));
    f.addLine(1, "COLA");
    RealModal modal;
    Keys::press(Qt::Key_Escape);
    QCOMPARE(modal.boxes.size(), 1);
    QCOMPARE(modal.boxes[0].text, QString("放弃本单据吗？"));
    QVERIFY(s->isVisible());
    QCOMPARE(cellText(f.grid(), 1, 1), QString("COLA"));
    QCOMPARE(s->focusWidget(), f.grid());
}

void TstTradeEntry::keyboardOnlyPurchase()
{
    // A purchase receipt from the first key to the stored document: no mouse,
    // no focus set by the test; every key goes where the focus is.
    Fixture f;
    f.dm().mySQL("update SUnits set thePY='DHSH' where ID=?", {f.supplier});
    TradeEntryScreen *s = f.open(TradeKind::Purchase);
    QVERIFY(QTest::qWaitForWindowActive(s));
    auto at = [] { return Keys::nameOf(Keys::focus()); };
    QCOMPARE(at(), QString("Edit1"));
    Keys::type("dh");
    Keys::press(Qt::Key_Return);                   // one supplier matches
    QCOMPARE(field<QLabel>(s, "Lab_Units")->text(), QString::number(f.supplier));
    QCOMPARE(Keys::focus(), f.grid());
    Keys::type("TEA");
    Keys::press(Qt::Key_Return);                   // the product, then the price
    Keys::type("9");
    Keys::press(Qt::Key_Return);                   // the quantity
    Keys::type("3");
    Keys::press(Qt::Key_Return);                   // the next row
    QCOMPARE(f.grid()->currentRow(), 2);
    QCOMPARE(f.grid()->currentColumn(), 1);
    Keys::press(Qt::Key_Tab);                      // out of the grid, to the payment
    QCOMPARE(at(), QString("Edit3"));
    QCOMPARE(field(s, "Edit3")->text(), QString("27"));
    Keys::type("20");
    Keys::press(Qt::Key_Tab);
    QCOMPARE(at(), QString("DBLookupComboBox1"));
    Keys::press(Qt::Key_Tab);
    QCOMPARE(at(), QString("DBLookupComboBox4"));
    Keys::press(Qt::Key_Tab);
    QCOMPARE(at(), QString("Edit5"));
    Keys::type("键盘");
    for (const char *next : {"CheckBox1", "CheckBox2", "BitBtn1"}) {
        Keys::press(Qt::Key_Tab);
        QCOMPARE(at(), QString(next));
    }
    Keys::press(Qt::Key_Space);                    // 保存
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(f.dm().rows("select theNum, UID, theHJ, theSJ, theYF, theCount, Remark, WName, AName, theYC from UJH"),
             (QVector<QVariantList>{{"CG121116-0001", f.supplier, 27, 20, 7, 3, "键盘", "一号库", "现金", "否"}}));
    QCOMPARE(f.dm().rows("select SID, thePrice, theCount, theSum, theBH from UJH_List"),
             (QVector<QVariantList>{{f.tea, 9, 3, 27, 1}}));
    QCOMPARE(f.dm().value("select theYF from SUnits where ID=?", {f.supplier}).toDouble(), 7.0);
    QCOMPARE(g_printed.size(), 1);

    // "连续新增": the next document starts at the supplier again; this one is
    // saved with Enter on 保存.
    QCOMPARE(at(), QString("Edit1"));
    QCOMPARE(cellText(f.grid(), 1, 1), QString());
    Keys::type("dh");
    Keys::press(Qt::Key_Return);
    Keys::type("MILK");
    Keys::press(Qt::Key_Return);
    for (int i = 0; i < 7; ++i) Keys::press(Qt::Key_Tab);
    QCOMPARE(at(), QString("BitBtn1"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(f.dm().rows("select theNum, theHJ, theSJ from UJH where theNum='CG121116-0002'"),
             (QVector<QVariantList>{{"CG121116-0002", 4, 4}}));
    QCOMPARE(at(), QString("Edit1"));
}

QTEST_MAIN(TstTradeEntry)
#include "tst_tradeentry.moc"
