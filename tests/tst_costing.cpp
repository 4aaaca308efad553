// A product's cost price after a purchase line, under each cost method.
#include "data/dberror.h"
#include "data/globals.h"
#include "data/words.h"
#include "testdb.h"

#include <QtTest>

class TstCosting : public QObject {
    Q_OBJECT
private slots:
    void init() { setSession(); }
    void withoutPurchaseLines_data();
    void withoutPurchaseLines();
    void withPurchaseLines_data();
    void withPurchaseLines();
    void weightedAverage_data();
    void weightedAverage();
    void unknownMethodChangesNothing();
    void receiptLinesInOrder_data();
    void receiptLinesInOrder();
};

namespace {
Money costOf(frmDM &dm, int sid) { return Money::fromVariant(dm.value("select theCB from SShop where ID=?", {sid})); }
}

void TstCosting::withoutPurchaseLines_data()
{
    QTest::addColumn<QString>("method");
    for (const char *m : {Words::CostFirstIn, Words::CostLastIn, Words::CostHighest, Words::CostLowest, Words::CostPurchasePrice})
        QTest::newRow(m) << QString::fromUtf8(m);
}

void TstCosting::withoutPurchaseLines()
{
    QFETCH(QString, method);
    TestDb t;
    G.ShopCB = method;
    storeShopOptions(t.dm());
    const int sid = t.addProduct("茶叶", Money::fromString("12.5"));
    t.dm().mySQL("update SShop set theCB=0 where ID=?", {sid});
    t.dm().myShopCB(sid, Money::fromString("3"), "一号库", Money::fromString("99"));
    QCOMPARE(costOf(t.dm(), sid).toString(), QString("12.5"));
}

void TstCosting::withPurchaseLines_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("cost");
    // Lines of posted receipts in entry order: 5, 3, 8, 4; a pre-saved receipt's
    // lines (1 and 100, entered between them) do not count: its goods are not in stock.
    QTest::newRow("first in") << "先进先出" << "5";
    QTest::newRow("last in") << "后进先出" << "4";
    QTest::newRow("highest") << "最高单价" << "8";
    QTest::newRow("lowest") << "最低单价" << "3";
    QTest::newRow("purchase price") << "采购单价" << "6.6";
}

void TstCosting::withPurchaseLines()
{
    QFETCH(QString, method);
    QFETCH(QString, cost);
    TestDb t;
    auto &dm = t.dm();
    G.ShopCB = method;
    storeShopOptions(dm);
    const int sid = t.addProduct("茶叶", Money::fromString("6.6"));
    const int otherSid = t.addProduct("别的", Money::fromString("1"));
    dm.mySQL("insert into UJH(theNum,theYC) values('A','否')");
    dm.mySQL("insert into UJH(theNum,theYC) values('B','否')");
    dm.mySQL("insert into UJH(theNum,theYC) values('P','是')");
    dm.mySQL("insert into UJH_List(theNum,SID,thePrice) values('A',?,1)", {otherSid});
    for (const char *p : {"5", "3", "P:1", "8", "P:100", "4"}) {
        const QString price = QString(p);
        const bool preSaved = price.startsWith("P:");
        dm.mySQL("insert into UJH_List(theNum,SID,thePrice) values(?,?,?)",
                 {preSaved ? "P" : "A", sid, preSaved ? price.mid(2) : price});
    }
    dm.myShopCB(sid, Money::fromString("1"), "一号库", Money::fromString("4"));
    QCOMPARE(costOf(dm, sid).toString(), cost);

    // A single line is first, last, highest and lowest alike.
    const int single = t.addProduct("单", Money::fromString("6.6"));
    dm.mySQL("insert into UJH_List(theNum,SID,thePrice) values('B',?,7.25)", {single});
    dm.myShopCB(single, Money::fromString("1"), "一号库", Money::fromString("7.25"));
    QCOMPARE(costOf(dm, single).toString(), method == "采购单价" ? QString("6.6") : QString("7.25"));
}

void TstCosting::weightedAverage_data()
{
    QTest::addColumn<QString>("stockBefore");
    QTest::addColumn<QString>("costBefore");
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("cost");
    // Stock 10 at 5, receive 10 at 7: (10 × 5 + 10 × 7) / 20.
    QTest::newRow("even mix") << "10" << "5" << "10" << "7" << "6";
    QTest::newRow("no stock yet") << "" << "5" << "4" << "7" << "7";
    QTest::newRow("rounds to four decimals") << "2" << "1" << "1" << "2" << "1.3333";
    QTest::newRow("nothing on hand keeps the cost") << "-3" << "5" << "3" << "7" << "5";
    QTest::newRow("zero received, no stock") << "0" << "5" << "0" << "7" << "5";
}

void TstCosting::weightedAverage()
{
    QFETCH(QString, stockBefore);
    QFETCH(QString, costBefore);
    QFETCH(QString, received);
    QFETCH(QString, price);
    QFETCH(QString, cost);
    TestDb t;
    auto &dm = t.dm();
    G.ShopCB = Words::CostMovingAverage;
    storeShopOptions(dm);
    const int sid = t.addProduct("茶叶", Money::fromString("1"));
    dm.mySQL("update SShop set theCB=? where ID=?", {costBefore, sid});
    if (!stockBefore.isEmpty()) dm.KC_Up("一号库", sid, Money::fromString(stockBefore));
    // The receipt asks for the new cost before it adds its quantity to stock.
    dm.myShopCB(sid, Money::fromString(received), "一号库", Money::fromString(price));
    QCOMPARE(costOf(dm, sid).toString(), cost);
}

void TstCosting::unknownMethodChangesNothing()
{
    TestDb t;
    G.ShopCB = "随便";
    storeShopOptions(t.dm());
    const int sid = t.addProduct("茶叶", Money::fromString("3"));
    QVERIFY_THROWS_EXCEPTION(DbError, t.dm().myShopCB(sid, Money::fromString("1"), "一号库", Money::fromString("9")));
    QCOMPARE(costOf(t.dm(), sid).toString(), QString("3"));
}

void TstCosting::receiptLinesInOrder_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("costA");
    QTest::addColumn<QString>("costB");
    // 茶 has 10 in stock at cost 4 and comes on two lines: 10 at 5 makes 4.5,
    // then 10 more at 7 on 20 at 4.5 makes 5.3333. 糖 has no stock: 3 at 2 cost 2.
    QTest::newRow("moving average") << QString(Words::CostMovingAverage) << "5.3333" << "2";
    // Without posted receipt lines the other methods take the purchase price.
    QTest::newRow("first in") << QString(Words::CostFirstIn) << "6" << "1.5";
    QTest::newRow("purchase price") << QString(Words::CostPurchasePrice) << "6" << "1.5";
}

void TstCosting::receiptLinesInOrder()
{
    QFETCH(QString, method);
    QFETCH(QString, costA);
    QFETCH(QString, costB);
    G.ShopCB = method;
    // Worked out for a whole receipt at once, and line by line with each
    // line's goods added to stock before the next line's cost: the same.
    QStringList seen;
    for (bool whole : {true, false}) {
        TestDb t;
        auto &dm = t.dm();
        storeShopOptions(dm);
        const int a = t.addProduct("茶", Money::fromString("6"));
        const int b = t.addProduct("糖", Money::fromString("1.5"));
        dm.mySQL("update SShop set theCB=4 where ID=?", {a});
        dm.KC_Up("一号库", a, Money::fromString("10"));
        const QVector<frmDM::CostLine> lines{{a, Money::fromString("10"), Money::fromString("5")},
                                             {b, Money::fromString("3"), Money::fromString("2")},
                                             {a, Money::fromString("10"), Money::fromString("7")}};
        if (whole) {
            dm.myShopCBs("一号库", lines);
        } else {
            for (const auto &l : lines) {
                dm.myShopCB(l.sid, l.quantity, "一号库", l.price);
                dm.KC_Up("一号库", l.sid, l.quantity);
            }
        }
        seen << costOf(dm, a).toString() + "/" + costOf(dm, b).toString();
    }
    QCOMPARE(seen, QStringList({costA + "/" + costB, costA + "/" + costB}));
}

QTEST_GUILESS_MAIN(TstCosting)
#include "tst_costing.moc"
