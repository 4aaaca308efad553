// The plans of what a line runs when a product is taken into it: the suggested
// price and the price history. A plan that walks a partner's documents for every
// line of the product takes seconds on a shop's file where one supplier holds
// half the receipts; the plans must be driven by the product's lines, newest
// first, and look each line's document up by its number, whether the planner
// has statistics or not and whether the document number is indexed as unique.
#include "data/globals.h"
#include "data/maintenance.h"
#include "data/prices.h"
#include "shell/frmoplog.h"
#include "trade/pricehistory.h"
#include "testdb.h"

#include <QComboBox>
#include <QDateEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

void exec(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) QFAIL(qPrintable(q.lastError().text() + QLatin1Char('\n') + sql));
}

// A small shop with the shape that hurts: partner 1 holds half of 2 000
// documents of each kind (one in seven deleted), product 1 is on 300 lines of
// each, 40 products in all; partner 4 has no documents.
void fill(QSqlDatabase db)
{
    exec(db, QStringLiteral("insert into SUnits(ID,theName,theType) values(1,'大','两者皆是'),(2,'小','两者皆是'),(3,'另','两者皆是')"));
    exec(db, QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<40) "
                            "insert into SShop(ID,theNum,theName) select i, 'P'||i, '品'||i from n"));
    for (const char *h : {"UJH", "UXS"}) {
        const QString head = QLatin1String(h);
        exec(db, QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<2000) "
                                "insert into %1(theNum,UID,myDate,theDel) select 'D'||i, case when i%2=0 then 1 else 2+(i/2)%2 end, "
                                "'2012-01-01', case when i%7=0 then '是' else '否' end from n").arg(head));
        exec(db, QStringLiteral("with recursive n(i) as (select 0 union all select i+1 from n where i<5999) "
                                "insert into %1_List(theNum,SID,thePrice,theCount,theSum) "
                                "select 'D'||(1+i/3), case when i%20=0 then 1 else 2+i%39 end, 1, 1, 1 from n").arg(head));
    }
}

QStringList plan(QSqlDatabase db, const QString &sql, const QVariantList &binds)
{
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral("explain query plan ") + sql)) return {q.lastError().text()};
    for (int i = 0; i < binds.size(); ++i) q.bindValue(i, binds[i]);
    if (!q.exec()) return {q.lastError().text()};
    QStringList steps;
    while (q.next()) steps << q.value(3).toString();
    return steps;
}

} // namespace

class TstQueryPlans : public QObject {
    Q_OBJECT
private slots:
    void linesDriveAndDocumentsAreLookedUpByNumber_data();
    void linesDriveAndDocumentsAreLookedUpByNumber();
    void optimizeGathersStatisticsOfWhatWasUsed();
    void oneUsersLogIsSearchedByUserAndTime();
};

void TstQueryPlans::linesDriveAndDocumentsAreLookedUpByNumber_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("setup");
    const QStringList setups{QStringLiteral("none"), QStringLiteral("unique number"), QStringLiteral("statistics"),
                             QStringLiteral("unique number and statistics")};
    for (const QString &setup : setups) {
        for (const char *h : {"UJH", "UXS"}) {
            const QString head = QLatin1String(h);
            QTest::addRow("suggested price %s, %s", h, qPrintable(setup))
                << latestLinePriceSql(head, head + QStringLiteral("_List")) << head << setup;
            QTest::addRow("price history %s, %s", h, qPrintable(setup))
                << priceHistorySql(head == QLatin1String("UXS") ? QStringLiteral("XS") : QStringLiteral("CG")) << head
                << setup;
        }
    }
}

void TstQueryPlans::linesDriveAndDocumentsAreLookedUpByNumber()
{
    QFETCH(QString, sql);
    QFETCH(QString, head);
    QFETCH(QString, setup);

    TestDb t;
    fill(t.db());
    if (setup.contains(QLatin1String("unique"))) {
        exec(t.db(), QStringLiteral("create unique index UX_UJH_theNum on UJH(theNum)"));
        exec(t.db(), QStringLiteral("create unique index UX_UXS_theNum on UXS(theNum)"));
    }
    if (setup.contains(QLatin1String("statistics"))) exec(t.db(), QStringLiteral("analyze"));

    const QStringList steps = plan(t.db(), sql, {1, 1});
    const QString text = steps.join(QLatin1Char('\n'));
    // The product's lines through their product index, in ID order, no sorting afterwards.
    QVERIFY2(text.contains(QStringLiteral("SEARCH L USING INDEX IX_%1_List_SID (SID=?)").arg(head)), qPrintable(text));
    QVERIFY2(!text.contains(QLatin1String("TEMP B-TREE")), qPrintable(text));
    // The partner's documents are never searched by partner, and nothing is read whole.
    QVERIFY2(!text.contains(QStringLiteral("IX_%1_UID").arg(head)), qPrintable(text));
    for (const QString &s : steps) QVERIFY2(!s.startsWith(QLatin1String("SCAN")), qPrintable(text));

    // And the answers are those of the join it replaces.
    setSession();
    G.ShopJH1 = G.ShopXS1 = true;
    const QString lines = head + QStringLiteral("_List");
    const QString join = QStringLiteral("select L.thePrice, L.ID from %1 H inner join %2 L on H.theNum=L.theNum "
                                        "where H.theDel='否' and L.SID=? and H.UID=? order by L.ID desc")
                             .arg(head, lines);
    for (int uid : {1, 2, 3, 4}) {
        const auto expected = t.dm().rows(join, {1, uid});
        if (sql.startsWith(QLatin1String("select L.thePrice"))) {
            const auto got = t.dm().rows(sql, {1, uid});
            QCOMPARE(got.size(), expected.isEmpty() ? 0 : 1);
            if (!got.isEmpty()) QCOMPARE(got[0][0], expected[0][0]);
        } else {
            QCOMPARE(t.dm().rows(sql, {1, uid}).size(), expected.size());
        }
    }
}

void TstQueryPlans::optimizeGathersStatisticsOfWhatWasUsed()
{
    TestDb t;
    fill(t.db());
    auto statistics = [&t](const char *table) {
        if (t.dm().rows(QStringLiteral("select name from sqlite_master where name='sqlite_stat1'")).isEmpty()) return 0;
        return t.dm().value(QStringLiteral("select count(*) from sqlite_stat1 where tbl=?"), {QLatin1String(table)}).toInt();
    };
    QCOMPARE(statistics("UJH_List"), 0);

    // A run that took products into purchase lines, then ended.
    setSession();
    G.ShopJH1 = true;
    t.dm().myRetJHPrice(1, 1);
    optimizeDatabase(t.db());
    // The lines were searched by product; the documents only by their unique
    // number, which needs no statistics.
    QVERIFY(statistics("UJH_List") > 0);

    // A connection already closed is left alone.
    QSqlDatabase closed = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("closed"));
    optimizeDatabase(closed);
    QVERIFY(!closed.isOpen());
    closed = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("closed"));
}

void TstQueryPlans::oneUsersLogIsSearchedByUserAndTime()
{
    // Years of log rows of four users: the log screen's page and totals for
    // one user over a time range go straight to that user's rows of the
    // range, not through every row of the range or of the log; the page reads
    // them newest first and stops at its last row, and the totals read the
    // index alone.
    TestDb t;
    setSession();
    exec(t.db(), QStringLiteral("insert into SUser(theName,thePass,Remark,theState) values('小王','','','启用')"));
    exec(t.db(), QStringLiteral("with recursive n(i) as (select 0 union all select i+1 from n where i<19999) "
                                "insert into SOpLog(theTime,UName,theHost,theKind,theNum,theAmount,theCount,Remark) "
                                "select datetime('2003-01-01', (i*4)||' hours'), case i%4 when 0 then '小王' when 1 then "
                                "'系统管理员' when 2 then '小李' else '小张' end, '柜台', '登录', '', 0, 0, '' from n"));
    frmOpLog s;
    FilterRow *date = s.filters()[0];
    date->dateFrom()->setDate(QDate(2004, 1, 1));
    date->dateTo()->setDate(QDate(2010, 12, 31));
    date->tick();
    FilterRow *user = s.filters()[1];
    user->comboBox()->setCurrentIndex(user->comboBox()->findText(QStringLiteral("小王")));
    user->tick();
    s.BitBtn1Click();
    QVERIFY(s.foundCount() > 0);
    const QVariantList binds{QStringLiteral("2004-01-01 00:00:00"), QStringLiteral("2010-12-31 23:59:59"),
                             QStringLiteral("小王"), 100};
    for (const QString &sql : {s.lastStatement(), s.lastTotalsStatement()}) {
        const QString text = plan(t.db(), sql, binds.mid(0, sql.count(QLatin1Char('?')))).join(QLatin1Char('\n'));
        QVERIFY2(text.contains(QLatin1String("INDEX IX_SOpLog_UName_theTime (UName=? AND theTime>? AND theTime<?)")),
                 qPrintable(sql + QLatin1Char('\n') + text));
        // Rows of the same second may be put in order among themselves, never all of them.
        QVERIFY2(!text.contains(QLatin1String("TEMP B-TREE FOR ORDER BY")), qPrintable(sql + QLatin1Char('\n') + text));
    }
    const QString totals = plan(t.db(), s.lastTotalsStatement(), binds.mid(0, 3)).join(QLatin1Char('\n'));
    QVERIFY2(totals.contains(QLatin1String("COVERING INDEX IX_SOpLog_UName_theTime")), qPrintable(totals));
}

QTEST_MAIN(TstQueryPlans)
#include "tst_queryplans.moc"
