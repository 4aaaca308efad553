// The plans of the long lists and of the sums over years of trade lines, on a
// file without planner statistics, as a shop's file is:
//   - the count and totals of the line queries and every kind of statistics
//     grouping read the lines from their number index alone;
//   - a page further down a long list starts at its key in the list's own
//     order, instead of sorting every row before it again; sorted by a title,
//     a page sorts the keys only and reads its rows by key.
// The planner without statistics plans alike whatever the number of rows, so
// a small file shows what a shop's ten years get.
#include "data/globals.h"
#include "money/statisticsscreen.h"
#include "ui/filterrow.h"
#include "ui/listscreen.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "shell/screens.h"
#include "ui/sortheader.h"
#include "testdb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

void exec(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) QFAIL(qPrintable(q.lastError().text() + QLatin1Char('\n') + sql));
}

// 300 documents of each trade kind with 3 lines and a settlement row each,
// 300 rows of the money log; two partners, 10 products.
void fill(QSqlDatabase db)
{
    exec(db, QStringLiteral("insert into SUnits(ID,theName,thePY,theType,theState,theDel) values"
                            "(1,'大华商行','DHSH','两者皆是','启用','否'),(2,'远方贸易','YFMY','两者皆是','启用','否')"));
    exec(db, QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<10) "
                            "insert into SShop(ID,theNum,theName,theDel) select i, 'P'||i, '品'||i, '否' from n"));
    const char *kinds[][4] = {{"UJH", "UJH_List", "UJH_FK", "FKDate"},
                              {"UXS", "UXS_List", "UXS_SK", "SKDate"},
                              {"UCG_O", "UCG_O_List", "UCG_O_SK", "SKDate"},
                              {"UXS_O", "UXS_O_List", "UXS_O_FK", "FKDate"}};
    for (const auto &k : kinds) {
        const QString head = QLatin1String(k[0]), lines = QLatin1String(k[1]), settle = QLatin1String(k[2]);
        const bool preSave = head == QLatin1String("UJH") || head == QLatin1String("UXS");
        exec(db, QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<300) "
                                "insert into %1(theNum,theDate,myDate,UID,WName,UName,IName,theDel%2) "
                                "select 'D'||substr('000'||i, -4), '2012-11-16', '2012-11-16', 1 + i % 2, '一号库', '张三', "
                                "'系统管理员', '否'%3 from n")
                     .arg(head, preSave ? QStringLiteral(",theYC") : QString(), preSave ? QStringLiteral(",'否'") : QString()));
        exec(db, QStringLiteral("with recursive n(i) as (select 0 union all select i+1 from n where i<899) "
                                "insert into %1(theNum,SID,thePrice,theCount,theSum) "
                                "select 'D'||substr('000'||(1+i/3), -4), 1 + i % 10, 2, 3, 6 from n")
                     .arg(lines));
        exec(db, QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<300) "
                                "insert into %1(theNum,%2,theMoney,AName) select 'D'||substr('000'||i, -4), '2012-11-16', 1, '现金' from n")
                     .arg(settle, QLatin1String(k[3])));
    }
    // Stock documents of one line kind each, and stock rows of 30 warehouses × 10 products.
    const char *stock[][2] = {{"UDB", "UDB_List"}, {"UBS", "UBS_List"}, {"UBY", "UBY_List"}, {"UCZ", "UCZ_O_List"}};
    for (const auto &k : stock) {
        exec(db, QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<300) "
                                "insert into %1(theNum,theDate,myDate,WName,UName,IName,theDel) "
                                "select 'S'||substr('000'||i, -4), '2012-11-16', '2012-11-16', '一号库', '张三', '系统管理员', '否' from n")
                     .arg(QLatin1String(k[0])));
        exec(db, QStringLiteral("with recursive n(i) as (select 0 union all select i+1 from n where i<899) "
                                "insert into %1(theNum,SID,thePrice,theCount,theSum) "
                                "select 'S'||substr('000'||(1+i/3), -4), 1 + i % 10, 2, 3, 6 from n")
                     .arg(QLatin1String(k[1])));
    }
    exec(db, QStringLiteral("update UDB set DName='二号库'"));
    exec(db, QStringLiteral("update SShop set theState='启用'"));
    exec(db, QStringLiteral("with recursive n(i) as (select 0 union all select i+1 from n where i<299) "
                            "insert into UKC(WName,SID,theCount) select '库'||(i/10), 1 + i % 10, 5 from n"));
    exec(db, QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<300) "
                            "insert into UList(theDate,theType,theNum,theIn,theOut,MName,UName,IName) "
                            "select '2012-11-16', '销售出库收款', 'D'||i, 1, 0, '现金', '张三', '系统管理员' from n"));
}

// The steps of the plan; every parameter is left empty, which does not change
// the plan of a file without statistics.
QStringList plan(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral("explain query plan ") + sql)) return {q.lastError().text()};
    for (int i = 0; i < sql.count(QLatin1Char('?')); ++i) q.bindValue(i, QVariant());
    if (!q.exec()) return {q.lastError().text()};
    QStringList steps;
    while (q.next()) steps << q.value(3).toString();
    return steps;
}

ListScreen *open(const QString &name)
{
    auto *s = qobject_cast<ListScreen *>(Screens::create(name, nullptr));
    if (s) s->show();
    return s;
}

void tickText(ListScreen *s, const QString &caption, const QString &text)
{
    for (FilterRow *f : s->filters()) {
        if (f->box()->text() != caption) continue;
        f->lineEdit()->setText(text);
        f->box()->setChecked(true);
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no filter ") + caption));
}

} // namespace

class TstListPlans : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void lineSumsReadTheNumberIndexAlone_data();
    void lineSumsReadTheNumberIndexAlone();
    void nextPageStartsAtItsKey_data();
    void nextPageStartsAtItsKey();
    void sortedPageReadsItsRowsByKey_data();
    void sortedPageReadsItsRowsByKey();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestDb> m_db;
};

void TstListPlans::initTestCase()
{
    G.AppPath = m_dir.path() + QLatin1Char('/');
    Screens::registerAll();
}

void TstListPlans::init()
{
    setSession("2012-11-16");
    m_db = std::make_unique<TestDb>();
    fill(m_db->db());
    Msg::setHandler([](const Msg::Shown &s) {
        qWarning("message: %s", qPrintable(s.text));
        return 0;
    });
}

void TstListPlans::cleanup()
{
    Msg::setHandler(nullptr);
    m_db.reset();
}

void TstListPlans::lineSumsReadTheNumberIndexAlone_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("partner");   // the partner filter's text, or empty
    QTest::addColumn<QString>("group");     // statistics: the item grouped by
    const char *queries[][3] = {{"frmJH_MX", "UJH_List", "供  应  商"},
                                {"frmXS_MX", "UXS_List", "客户名称"},
                                {"frmCG_O_MX", "UCG_O_List", "供  应  商"},
                                {"frmXS_O_MX", "UXS_O_List", "客户名称"}};
    for (const auto &q : queries) {
        QTest::addRow("%s totals", q[0]) << q[0] << q[1] << QString() << QString();
        QTest::addRow("%s totals by partner", q[0]) << q[0] << q[1] << QString::fromUtf8(q[2]) << QString();
    }
    const char *stats[][2] = {{"frmBB_CG", "UJH_List"}, {"frmBB_XS", "UXS_List"},
                              {"frmBB_CT", "UCG_O_List"}, {"frmBB_XT", "UXS_O_List"}};
    for (const auto &st : stats)
        for (const char *g : {"单号", "商品编码", "单价", "经手人"})
            QTest::addRow("%s by %s", st[0], g) << st[0] << st[1] << QString() << QString::fromUtf8(g);
}

void TstListPlans::lineSumsReadTheNumberIndexAlone()
{
    QFETCH(QString, screen);
    QFETCH(QString, lines);
    QFETCH(QString, partner);
    QFETCH(QString, group);
    std::unique_ptr<ListScreen> s(open(screen));
    QVERIFY(s);
    QString sql;
    if (auto *stats = qobject_cast<StatisticsScreen *>(s.get())) {
        stats->groupChoice()->setCurrentIndex(stats->groupChoice()->findText(group));
        QVERIFY(stats->groupChoice()->currentIndex() >= 0);
        stats->BitBtn1Click();
        QVERIFY(s->rowCount() > 0);
        sql = s->lastStatement();
    } else {
        if (!partner.isEmpty()) tickText(s.get(), partner, QStringLiteral("大华"));
        s->BitBtn1Click();
        QVERIFY(s->foundCount() > 0);
        sql = s->lastTotalsStatement();
    }
    const QString text = plan(m_db->db(), sql).join(QLatin1Char('\n'));
    QVERIFY2(text.contains(QStringLiteral("USING COVERING INDEX IX_%1_theNum (theNum=?)").arg(lines)),
             qPrintable(text + QLatin1Char('\n') + sql));
}

void TstListPlans::nextPageStartsAtItsKey_data()
{
    QTest::addColumn<QString>("screen");
    for (const char *name : {"frmJH_M", "frmXS_M", "frmCG_O_M", "frmXS_O_M", "frmJH_MX", "frmXS_MX", "frmCG_O_MX",
                             "frmXS_O_MX", "frmJH_FKQ", "frmXS_SKQ", "frmCG_O_SKQ", "frmXS_O_FKQ", "frmList",
                             "frmDB_M", "frmBS_M", "frmBY_M", "frmCZ_M", "frmDB_MX", "frmBS_MX", "frmBY_MX", "frmKC"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TstListPlans::nextPageStartsAtItsKey()
{
    QFETCH(QString, screen);
    std::unique_ptr<ListScreen> s(open(screen));
    QVERIFY(s);
    s->BitBtn1Click();
    const int first = s->rowCount();
    QVERIFY(first > 0 && first < s->foundCount());
    s->resultModel()->fetchMore(QModelIndex());
    QVERIFY(s->rowCount() > first);
    // Every row once: read to the end, the list holds as many rows as were found.
    while (s->resultModel()->canFetchMore(QModelIndex())) s->resultModel()->fetchMore(QModelIndex());
    QCOMPARE(s->rowCount(), s->foundCount());
    const QString text = plan(m_db->db(), s->lastStatement()).join(QLatin1Char('\n'));
    // Read in the list's order from the key on: no sorting of all that comes
    // before (a document's own rows may be put in order).
    QVERIFY2(!text.contains(QLatin1String("TEMP B-TREE FOR ORDER BY")), qPrintable(text + QLatin1Char('\n') + s->lastStatement()));
}

void TstListPlans::sortedPageReadsItsRowsByKey_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("field");
    const char *lists[][2] = {{"frmJH_M", "theHJ"},       {"frmXS_O_M", "theHJ"},     {"frmJH_MX", "theSum"},
                              {"frmXS_MX", "theSum"},     {"frmJH_FKQ", "theMoney"},  {"frmXS_SKQ", "theMoney"},
                              {"frmList", "theIn"}};
    for (const auto &l : lists) QTest::addRow("%s by %s", l[0], l[1]) << l[0] << l[1];
}

// Sorted by a title, every row found is sorted for each page: only the sorted
// field and the keys are, and the page's rows are then read by their unique
// key, not every column of every row sorted.
void TstListPlans::sortedPageReadsItsRowsByKey()
{
    QFETCH(QString, screen);
    QFETCH(QString, field);
    std::unique_ptr<ListScreen> s(open(screen));
    QVERIFY(s);
    s->BitBtn1Click();
    s->sortProxy()->clickTitle(s->resultModel()->columnOf(field));
    s->resultModel()->fetchMore(QModelIndex());
    QVERIFY(s->rowCount() > 200);
    const QStringList steps = plan(m_db->db(), s->lastStatement());
    QVERIFY2(steps.value(0).contains(QLatin1String("USING INTEGER PRIMARY KEY (rowid=?)")),
             qPrintable(steps.join(QLatin1Char('\n')) + QLatin1Char('\n') + s->lastStatement()));
}

QTEST_MAIN(TstListPlans)
#include "tst_listplans.moc"
