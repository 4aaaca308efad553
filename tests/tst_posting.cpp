// The shared posting operations: stock, ledgers, balances, states, pick lists.
#include "data/dberror.h"
#include "data/globals.h"
#include "data/transaction.h"
#include "data/words.h"
#include "testdb.h"

#include <QSqlQueryModel>
#include <QtTest>

class TstPosting : public QObject {
    Q_OBJECT
private slots:
    void init() { setSession(); }
    void firstMovementCreatesTheStockRow();
    void ledgerLineReadsStockAfterTheMovement();
    void ledgerRowsWrittenTogether_data();
    void ledgerRowsWrittenTogether();
    void moneyLogLine();
    void balancesAreExact();
    void stateAndDiscount();
    void reportFiguresDefaultToZero();
    void textWithQuotesIsStoredExactly();
    void transactionRollsBackEverything();
    void pickListsAreSharedAndReread();
    void vocabularies();
};

void TstPosting::firstMovementCreatesTheStockRow()
{
    TestDb t;
    auto &dm = t.dm();
    const int sid = t.addProduct("螺丝");
    QCOMPARE(dm.myRetKC("一号库", sid), Money()); // no row yet: stock 0
    dm.KC_Up("一号库", sid, Money::fromString("5"));
    QCOMPARE(dm.rows("select WName, SID, theCount from UKC"), (QVector<QVariantList>{{"一号库", sid, 5}}));
    dm.KC_Do("二号库", sid, Money::fromString("2.5"));
    QCOMPARE(dm.myRetKC("二号库", sid).toString(), QString("-2.5"));
    dm.KC_Do("一号库", sid, Money::fromString("7.25"));
    QCOMPARE(dm.myRetKC("一号库", sid).toString(), QString("-2.25"));
    dm.KC_Up("一号库", sid, Money::fromString("2.25"));
    QCOMPARE(dm.myRetKC("一号库", sid).toString(), QString("0"));
    QCOMPARE(dm.value("select count(*) from UKC").toInt(), 2);
}

void TstPosting::ledgerLineReadsStockAfterTheMovement()
{
    TestDb t;
    auto &dm = t.dm();
    const int sid = t.addProduct("螺母");
    dm.KC_Up("一号库", sid, Money::fromString("10"));
    dm.KC_Up("一号库", sid, Money::fromString("5"));
    dm.SaveSList(StockWord::PurchaseIn, "CG121116-0001", "一号库", sid, Money::fromString("5"), Money(), Money::fromString("2.5"));
    // A stock edit without a document number, in a warehouse without a row: stock 0.
    dm.SaveSList(StockWord::StockEdit, "", "三号库", sid, Money(), Money::fromString("1"), Money());
    const auto r = dm.rows("select theDate, theType, theNum, WName, SID, ICount, OCount, SPrice, WCount, UName from SList order by ID");
    QCOMPARE(r.size(), 2);
    QCOMPARE(r[0], (QVariantList{"2012-11-16", "采购入库", "CG121116-0001", "一号库", sid, 5, 0, 2.5, 15, "系统管理员"}));
    QCOMPARE(r[1][2].toString(), QString());
    QCOMPARE(Money::fromVariant(r[1][8]), Money());
}

void TstPosting::ledgerRowsWrittenTogether_data()
{
    QTest::addColumn<int>("rows");
    // Around the rows one statement takes, and past two of them.
    for (int n : {1, 99, 100, 101, 200, 201, 250}) QTest::newRow(qPrintable(QString::number(n))) << n;
}

// The ledger rows of a deletion go in together, several statements' worth:
// every row arrives once, in order, with its own values.
void TstPosting::ledgerRowsWrittenTogether()
{
    QFETCH(int, rows);
    TestDb t;
    auto &dm = t.dm();
    QVector<frmDM::LedgerRow> written;
    QStringList expected;
    for (int i = 1; i <= rows; ++i) {
        const Money in = Money::fromUnits(i * 12345), out = Money::fromUnits(i), price = Money::fromUnits(i * 100),
                    after = Money::fromUnits(-i * 7);
        const QString wname = i % 2 ? "一号库" : "二号库";
        written << frmDM::LedgerRow{StockWord::TransferOut, QString("DB-%1").arg(i), wname, 1000 + i, in, out, price, after};
        expected << QStringList{"调拨出库", QString("DB-%1").arg(i), wname, QString::number(1000 + i), in.toString(),
                                out.toString(), price.toString(), after.toString()}.join('|');
    }
    dm.SaveSListRows(written);
    QStringList stored;
    for (const QVariantList &r : dm.rows("select theType, theNum, WName, SID, ICount, OCount, SPrice, WCount, theDate, UName "
                                         "from SList order by ID")) {
        QCOMPARE(r[8].toString(), QString("2012-11-16"));
        QCOMPARE(r[9].toString(), QString("系统管理员"));
        stored << QStringList{r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString(),
                              Money::fromVariant(r[4]).toString(), Money::fromVariant(r[5]).toString(),
                              Money::fromVariant(r[6]).toString(), Money::fromVariant(r[7]).toString()}.join('|');
    }
    QCOMPARE(stored.size(), rows);
    QCOMPARE(stored, expected);
}

void TstPosting::moneyLogLine()
{
    TestDb t;
    t.dm().SaveList(MoneyWord::PurchaseEntered, "CG121116-0001", Money(), Money::fromString("10"), "现金", "张三", G.LoginName);
    QCOMPARE(t.dm().rows("select theDate, theType, theNum, theIn, theOut, MName, UName, IName from UList"),
             (QVector<QVariantList>{{"2012-11-16", "采购入库录入", "CG121116-0001", 0, 10, "现金", "张三", "系统管理员"}}));
}

void TstPosting::balancesAreExact()
{
    TestDb t;
    auto &dm = t.dm();
    const int uid = t.addPartner("大华商行");
    dm.YS_Up(uid, Money::fromString("0.3"));
    dm.YS_Do(uid, Money::fromString("0.1"));
    dm.YS_Do(uid, Money::fromString("0.2"));
    dm.YF_Up(uid, Money::fromString("100.05"));
    dm.YF_Do(uid, Money::fromString("0.05"));
    const auto r = dm.rows("select theYS, theYF from SUnits where ID=?", {uid});
    QCOMPARE(Money::fromVariant(r[0][0]).toString(), QString("0"));
    QCOMPARE(Money::fromVariant(r[0][1]).toString(), QString("100"));
    // Many small steps stay exact.
    {
        Transaction tx(dm.db());
        for (int i = 0; i < 1000; ++i) dm.YS_Up(uid, Money::fromString("0.1"));
        tx.commit();
    }
    QCOMPARE(Money::fromVariant(dm.value("select theYS from SUnits where ID=?", {uid})).toString(), QString("100"));
}

void TstPosting::stateAndDiscount()
{
    TestDb t;
    auto &dm = t.dm();
    dm.mySQL("insert into SType(theName,Remark,theState,theZK) values('饮料','','启用',90)");
    dm.mySQL("insert into SType(theName,Remark,theState,theZK) values('重名','','启用',80)");
    dm.mySQL("insert into SType(theName,Remark,theState,theZK) values('重名','','启用',70)");
    QCOMPARE(dm.myRetZK("饮料"), QString("90"));
    QCOMPARE(dm.myRetZK(""), QString("100"));
    QCOMPARE(dm.myRetZK("没有"), QString("100"));
    QCOMPARE(dm.myRetZK("重名"), QString("100")); // not exactly one row
    dm.myState("SType", Words::StateOff, 1);
    QCOMPARE(dm.value("select theState from SType where ID=1").toString(), QString("停用"));
    QVERIFY_THROWS_EXCEPTION(DbError, dm.myState("SType; drop table SType", Words::StateOn, 1));
}

void TstPosting::reportFiguresDefaultToZero()
{
    TestDb t;
    auto &dm = t.dm();
    dm.SaveBB("2012-11-16", QStringList(30));
    QStringList figures(30, "");
    figures[0] = "12.5";
    figures[4] = "3";
    figures[29] = "7";
    dm.SaveBB("2012-11", figures);
    const auto r = dm.rows("select * from UBB order by ID");
    QCOMPARE(r.size(), 2);
    QCOMPARE(r[0].size(), 32);
    QCOMPARE(r[0][1].toString(), QString("2012-11-16"));
    for (int i = 2; i < 32; ++i) QCOMPARE(Money::fromVariant(r[0][i]), Money());
    QCOMPARE(Money::fromVariant(r[1][2]).toString(), QString("12.5")); // CG1
    QCOMPARE(r[1][6].toInt(), 3);                                      // CG5
    QCOMPARE(r[1][31].toInt(), 7);                                     // BY3
    figures[1] = "abc";
    QVERIFY_THROWS_EXCEPTION(DbError, dm.SaveBB("2012-12", figures));
}

void TstPosting::textWithQuotesIsStoredExactly()
{
    TestDb t;
    auto &dm = t.dm();
    const QString wname = "O'Brien's \"库\"";
    const int sid = t.addProduct("x");
    dm.KC_Up(wname, sid, Money::fromString("1"));
    dm.KC_Up(wname, sid, Money::fromString("1"));
    QCOMPARE(dm.myRetKC(wname, sid).toString(), QString("2"));
    QCOMPARE(dm.value("select WName from UKC").toString(), wname);
}

void TstPosting::transactionRollsBackEverything()
{
    TestDb t;
    auto &dm = t.dm();
    const int sid = t.addProduct("x");
    const int uid = t.addPartner("y");
    try {
        Transaction tx(dm.db());
        dm.KC_Up("一号库", sid, Money::fromString("3"));
        dm.SaveSList(StockWord::PurchaseIn, "n", "一号库", sid, Money::fromString("3"), Money(), Money());
        dm.YF_Up(uid, Money::fromString("9"));
        {
            Transaction inner(dm.db());
            dm.SaveList(MoneyWord::PurchaseEntered, "n", Money(), Money::fromString("1"), "现金", "", "");
            inner.commit();
        }
        dm.mySQL("insert into NoSuchTable values(1)");
        tx.commit();
        QFAIL("the statement should have failed");
    } catch (const DbError &) {
    }
    QCOMPARE(dm.value("select count(*) from UKC").toInt(), 0);
    QCOMPARE(dm.value("select count(*) from SList").toInt(), 0);
    QCOMPARE(dm.value("select count(*) from UList").toInt(), 0);
    QCOMPARE(Money::fromVariant(dm.value("select theYF from SUnits where ID=?", {uid})), Money());

    // A committed transaction keeps its work.
    {
        Transaction tx(dm.db());
        dm.KC_Up("一号库", sid, Money::fromString("3"));
        tx.commit();
    }
    QCOMPARE(dm.myRetKC("一号库", sid).toString(), QString("3"));
}

void TstPosting::pickListsAreSharedAndReread()
{
    TestDb t;
    auto &dm = t.dm();
    t.addWarehouse("一号库");
    QSqlQueryModel *first = dm.DBComWare();
    QCOMPARE(first->rowCount(), 1);
    t.addWarehouse("二号库");
    dm.mySQL("insert into SWare(theName,Remark,theState) values('停用库','','停用')");
    QSqlQueryModel *second = dm.DBComWare();
    QCOMPARE(second, first); // one shared source: every list of warehouses sees the new row
    QCOMPARE(first->rowCount(), 2);
    QCOMPARE(first->data(first->index(1, 0)).toString(), QString("二号库"));
    QCOMPARE(dm.DBComSUType()->rowCount(), 3);
    QCOMPARE(dm.DBComUser()->rowCount(), 1);
    QCOMPARE(dm.DBComAccount()->data(dm.DBComAccount()->index(0, 0)).toString(), QString("现金"));
}

void TstPosting::vocabularies()
{
    QCOMPARE(int(std::size(StockWord::All)), 22);
    QCOMPARE(int(std::size(MoneyWord::All)), 16);
    QSet<QString> stock, money;
    for (const char *w : StockWord::All) stock.insert(QString::fromUtf8(w));
    for (const char *w : MoneyWord::All) money.insert(QString::fromUtf8(w));
    QCOMPARE(stock.size(), 22);
    QCOMPARE(money.size(), 16);
}

QTEST_GUILESS_MAIN(TstPosting)
#include "tst_posting.moc"
