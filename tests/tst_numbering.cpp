// Document and product numbers, and the suggested purchase and sales prices.
#include "data/dberror.h"
#include "data/globals.h"
#include "testdb.h"

#include <QtTest>

class TstNumbering : public QObject {
    Q_OBJECT
private slots:
    void init() { setSession("2012-11-16"); G.ShopJH1 = G.ShopXS1 = true; }
    void firstOfTheDay_data();
    void firstOfTheDay();
    void countsEveryRowOfTheDay();
    void tenThousandthHasFiveDigits();
    void takenNumbersAreSkipped();
    void businessDateOutsideTheCentury_data();
    void businessDateOutsideTheCentury();
    void productNumber();
    void unknownTableIsRefused();
    void suggestedPrices();
};

void TstNumbering::firstOfTheDay_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("prefix");
    for (auto p : {std::pair{"UJH", "CG"}, {"UCG_O", "CT"}, {"UXS", "XS"}, {"UXS_O", "XT"}, {"UFK", "FK"},
                   {"USK", "SK"}, {"UDB", "DB"}, {"UBS", "BS"}, {"UBY", "BY"}, {"UCZ", "CZ"}})
        QTest::newRow(p.first) << p.first << p.second;
}

void TstNumbering::firstOfTheDay()
{
    QFETCH(QString, table);
    QFETCH(QString, prefix);
    TestDb t;
    QCOMPARE(t.dm().NewDJNum(table, prefix, "-"), prefix + "121116-0001");
}

void TstNumbering::countsEveryRowOfTheDay()
{
    TestDb t;
    auto &dm = t.dm();
    // Deleted and pre-saved receipts count; other business dates do not.
    dm.mySQL("insert into UJH(theNum,theDate,theDel,theYC) values('CG121116-0001','2012-11-16','是','否')");
    dm.mySQL("insert into UJH(theNum,theDate,theDel,theYC) values('CG121116-0002','2012-11-16','否','是')");
    dm.mySQL("insert into UJH(theNum,theDate,theDel,theYC) values('CG121115-0001','2012-11-15','否','否')");
    QCOMPARE(dm.NewDJNum("UJH", "CG"), QString("CG121116-0003"));
    setSession("2012-11-15");
    QCOMPARE(dm.NewDJNum("UJH", "CG"), QString("CG121115-0002"));
}

void TstNumbering::tenThousandthHasFiveDigits()
{
    TestDb t;
    auto &dm = t.dm();
    dm.mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<9998) "
             "insert into UXS(theNum,theDate) select 'x'||i, '2012-11-16' from n");
    QCOMPARE(dm.NewDJNum("UXS", "XS"), QString("XS121116-9999"));
    dm.mySQL("insert into UXS(theNum,theDate) values('x','2012-11-16')");
    QCOMPARE(dm.NewDJNum("UXS", "XS"), QString("XS121116-10000"));
}

void TstNumbering::takenNumbersAreSkipped()
{
    TestDb t;
    auto &dm = t.dm();
    // A receipt of a business date a century later carries the same yymmdd.
    dm.mySQL("insert into UJH(theNum,theDate) values('CG121116-0001','2112-11-16')");
    dm.mySQL("insert into UJH(theNum,theDate) values('CG121116-0002','2112-11-16')");
    QCOMPARE(dm.NewDJNum("UJH", "CG"), QString("CG121116-0003"));
    // The number is unique in the table itself.
    QVERIFY_THROWS_EXCEPTION(DbError, dm.mySQL("insert into UJH(theNum,theDate) values('CG121116-0001','2012-11-16')"));
}

void TstNumbering::businessDateOutsideTheCentury_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("numbered");
    QTest::newRow("1999") << "1999-12-31" << false;
    QTest::newRow("2000") << "2000-01-01" << true;
    QTest::newRow("2099") << "2099-12-31" << true;
    QTest::newRow("2100") << "2100-01-01" << false;
}

void TstNumbering::businessDateOutsideTheCentury()
{
    QFETCH(QString, date);
    QFETCH(bool, numbered);
    TestDb t;
    setSession(date);
    bool threw = false;
    try {
        t.dm().NewDJNum("UJH", "CG");
    } catch (const DbError &) {
        threw = true;
    }
    QCOMPARE(!threw, numbered);
}

void TstNumbering::productNumber()
{
    TestDb t;
    QCOMPARE(t.dm().NewSPNum(), QString("1211160001"));
    t.addProduct("a", Money(), Money(), "2012-11-16");
    t.addProduct("b", Money(), Money(), "2012-11-15");
    QCOMPARE(t.dm().NewSPNum(), QString("1211160002"));
    // A number a product already carries (typed by hand on another day) is skipped.
    const int typed = t.addProduct("c", Money(), Money(), "2012-11-10");
    t.dm().mySQL("update SShop set theNum='1211160002' where ID=?", {typed});
    QCOMPARE(t.dm().NewSPNum(), QString("1211160003"));
    // Numbering many at once: the count is read once, the sequence carried on.
    int next = 0;
    QCOMPARE(t.dm().NewSPNum(&next), QString("1211160003"));
    QCOMPARE(next, 4);
    t.dm().mySQL("update SShop set theNum='1211160004' where ID=?", {typed});
    QCOMPARE(t.dm().NewSPNum(&next), QString("1211160005"));
    QCOMPARE(next, 6);
}

void TstNumbering::unknownTableIsRefused()
{
    TestDb t;
    QVERIFY_THROWS_EXCEPTION(DbError, t.dm().NewDJNum("SUser", "CG"));
}

void TstNumbering::suggestedPrices()
{
    TestDb t;
    auto &dm = t.dm();
    const int sid = t.addProduct("可乐", Money::fromString("2.5"), Money::fromString("3.5"));
    const int supplier = t.addPartner("甲");
    const int other = t.addPartner("乙");
    QCOMPARE(dm.myRetJHPrice(sid, supplier).toString(), QString("2.5"));
    QCOMPARE(dm.myRetXSPrice(sid, supplier).toString(), QString("3.5"));
    QCOMPARE(dm.myRetJHPrice(999, supplier).toString(), QString("0")); // unknown product

    // Purchase lines: a live one, a later pre-saved one (counts), a deleted one (does not).
    dm.mySQL("insert into UJH(theNum,UID,theDel,theYC) values('A',?,'否','否')", {supplier});
    dm.mySQL("insert into UJH_List(theNum,SID,thePrice) values('A',?,2.2)", {sid});
    dm.mySQL("insert into UJH(theNum,UID,theDel,theYC) values('B',?,'否','是')", {supplier});
    dm.mySQL("insert into UJH_List(theNum,SID,thePrice) values('B',?,2.4)", {sid});
    dm.mySQL("insert into UJH(theNum,UID,theDel,theYC) values('C',?,'是','否')", {supplier});
    dm.mySQL("insert into UJH_List(theNum,SID,thePrice) values('C',?,9)", {sid});
    QCOMPARE(dm.myRetJHPrice(sid, supplier).toString(), QString("2.4"));
    QCOMPARE(dm.myRetJHPrice(sid, other).toString(), QString("2.5"));
    G.ShopJH1 = false;
    QCOMPARE(dm.myRetJHPrice(sid, supplier).toString(), QString("2.5"));

    // Sales: the stored price before the line's discount.
    dm.mySQL("insert into UXS(theNum,UID,theDel,theYC) values('S',?,'否','否')", {other});
    dm.mySQL("insert into UXS_List(theNum,SID,thePrice,theZK) values('S',?,4,90)", {sid});
    QCOMPARE(dm.myRetXSPrice(sid, other).toString(), QString("4"));
    QCOMPARE(dm.myRetXSPrice(sid, supplier).toString(), QString("3.5"));
    G.ShopXS1 = false;
    QCOMPARE(dm.myRetXSPrice(sid, other).toString(), QString("3.5"));
}

QTEST_GUILESS_MAIN(TstNumbering)
#include "tst_numbering.moc"
