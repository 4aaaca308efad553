// What differs between the file and the server, kept behind the data module:
// the same behaviour on both engines (this program runs once on each), and
// the server's own cases (skipped on the file).
#include "data/connection.h"
#include "data/dberror.h"
#include "data/engine.h"
#include "data/globals.h"
#include "data/transaction.h"
#include "testdb.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

class TstEngine : public QObject {
    Q_OBJECT
private slots:
    void init() { setSession(); }
    void containsIgnoresTheCaseOfAToZOnly_data();
    void containsIgnoresTheCaseOfAToZOnly();
    void newIdsComeFromTheEngine();
    void moneyStaysExact();
    void serverColumnTypes();
    void productSearchHasAnIndexOnTheServer();
    void stockReadForTheSaveIsLocked();
    void numberTakenMeanwhileIsGivenUp();
    void serverErrorsAreToldByState_data();
    void serverErrorsAreToldByState();
    void seatsStartingTogetherOnAnEmptyServer();
    void serverDatabaseOfSomethingElseIsLeftAlone();
    void newerServerBooksAreRefused();
    void unreachableServerIsToldInChinese();
    void lostServerConnectionComesBack();
    void reportScratchIsEachSeatsOwn();
};

void TstEngine::containsIgnoresTheCaseOfAToZOnly_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("found");
    QTest::newRow("lower finds upper") << "KELE可乐" << "%kele%" << true;
    QTest::newRow("upper finds lower") << "cola" << "%COL%" << true;
    QTest::newRow("Chinese as it is") << "可口可乐" << "%口可%" << true;
    QTest::newRow("other letters keep their case") << "CAFÉ" << "%café%" << false;
    QTest::newRow("underscore is one character") << "A1B" << "a_b" << true;
    QTest::newRow("percent is any run") << "A12B" << "a%b" << true;
    QTest::newRow("backslash is no escape") << "A\\B" << "%\\b%" << true;
    QTest::newRow("backslash does not escape the wildcard") << "A\\_B" << "a\\_b" << true;
    QTest::newRow("not contained") << "茶叶" << "%可乐%" << false;
}

void TstEngine::containsIgnoresTheCaseOfAToZOnly()
{
    QFETCH(QString, stored);
    QFETCH(QString, pattern);
    QFETCH(bool, found);
    TestDb t;
    t.addProduct(stored);
    const int n = t.dm().value(QStringLiteral("select count(*) from SShop where ") + t.dm().likeTerm(QStringLiteral("theName")),
                               {pattern}).toInt();
    QCOMPARE(n > 0, found);
}

void TstEngine::newIdsComeFromTheEngine()
{
    TestDb t;
    const int a = t.addPartner(QStringLiteral("甲"));
    const int b = t.addPartner(QStringLiteral("乙"));
    QVERIFY(a > 0);
    QCOMPARE(b, a + 1);
    QCOMPARE(t.dm().value(QStringLiteral("select theName from SUnits where ID=?"), {b}).toString(), QStringLiteral("乙"));
    // An ID the program gave a row itself does not stop the engine's counter.
    t.dm().mySQL(QStringLiteral("insert into SUnits(ID,theName) values(?,?)"), {b + 10, QStringLiteral("丙")});
    t.dm().mySQL(QStringLiteral("delete from SUnits where ID=?"), {b + 10});
    const int c = t.addPartner(QStringLiteral("丁"));
    QVERIFY(c > b);
    QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SUnits where ID=?"), {c}).toInt(), 1);
}

void TstEngine::moneyStaysExact()
{
    TestDb t;
    frmDM &dm = t.dm();
    // Ten thousand ten-thousandths are exactly one; 0.1 + 0.2 is exactly 0.3.
    const int sid = t.addProduct(QStringLiteral("螺丝"));
    for (int i = 0; i < 200; ++i) dm.KC_Up(QStringLiteral("一号库"), sid, Money::fromString("0.0001"));
    QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), sid).toString(), QStringLiteral("0.02"));
    dm.KC_Up(QStringLiteral("二号库"), sid, Money::fromString("0.1"));
    dm.KC_Up(QStringLiteral("二号库"), sid, Money::fromString("0.2"));
    QCOMPARE(dm.myRetKC(QStringLiteral("二号库"), sid).toString(), QStringLiteral("0.3"));
    QCOMPARE(dm.value(QStringLiteral("select count(*) from UKC where theCount=?"), {Money::fromString("0.3").toVariant()}).toInt(), 1);
    // The largest amount the books hold comes back to the last place.
    const int uid = t.addPartner(QStringLiteral("大客户"));
    dm.YS_Up(uid, Money::storeMax());
    QCOMPARE(Money::fromVariant(dm.value(QStringLiteral("select theYS from SUnits where ID=?"), {uid})), Money::storeMax());
    dm.YS_Do(uid, Money::fromString("0.0001"));
    QCOMPARE(Money::fromVariant(dm.value(QStringLiteral("select theYS from SUnits where ID=?"), {uid})).toString(),
             QStringLiteral("99999999999.9998"));
}

void TstEngine::serverColumnTypes()
{
    TestDb t;
    if (!t.onServer()) QSKIP("the file keeps SQLite's column types");
    auto column = [&](const char *table, const char *col) {
        const auto r = t.dm().rows(QStringLiteral("select data_type, numeric_precision, numeric_scale, is_identity, collation_name "
                                                  "from information_schema.columns where table_schema=current_schema() "
                                                  "and table_name=? and column_name=?"),
                                   {QString::fromLatin1(table), QString::fromLatin1(col)});
        return r.size() == 1 ? r[0] : QVariantList();
    };
    QCOMPARE(column("ukc", "thecount").mid(0, 3), (QVariantList{QStringLiteral("numeric"), 19, 4}));
    QCOMPARE(column("uxs_list", "thejj").mid(0, 3), (QVariantList{QStringLiteral("numeric"), 19, 4}));
    QCOMPARE(column("ujh", "id").value(3).toString(), QStringLiteral("YES"));
    QCOMPARE(column("ujh", "thenum").value(0).toString(), QStringLiteral("text"));
    QCOMPARE(column("ujh", "thenum").value(4).toString(), QStringLiteral("C"));
    QCOMPARE(column("sdept", "thefkc").value(0).toString(), QStringLiteral("smallint"));
    // One number per document table.
    QCOMPARE(t.dm().value(QStringLiteral("select count(*) from pg_indexes where schemaname=current_schema() "
                                         "and indexname='ix_ujh_thenum' and indexdef like 'CREATE UNIQUE%'")).toInt(),
             1);
}

void TstEngine::productSearchHasAnIndexOnTheServer()
{
    TestDb t;
    if (!t.onServer()) QSKIP("the file has no index for contains");
    frmDM &dm = t.dm();
    for (int i = 1; i <= 50; ++i) t.addProduct(QStringLiteral("商品%1").arg(i * 7777));
    // The lookup's own test, as the lookup writes it, can use the index: the
    // planner is kept from reading the table itself to show it.
    QString term = dm.likeTerm(QStringLiteral("theName"));
    term.replace(QLatin1Char('?'), QStringLiteral("'%7777%'"));
    QSqlQuery q(dm.db());
    QVERIFY(q.exec(QStringLiteral("set enable_seqscan = off")));
    QVERIFY2(q.exec(QStringLiteral("explain select ID from SShop where ") + term), qPrintable(q.lastError().text()));
    QString plan;
    while (q.next()) plan += q.value(0).toString() + QLatin1Char('\n');
    QVERIFY(q.exec(QStringLiteral("reset enable_seqscan")));
    QVERIFY2(plan.contains(QLatin1String("ix_sshop_search")), qPrintable(plan));
    // And finds what it should.
    int expected = 0;
    for (int i = 1; i <= 50; ++i) expected += QString::number(i * 7777).contains(QLatin1String("5554")) ? 1 : 0;
    QVERIFY(expected > 1);
    QCOMPARE(dm.value(QStringLiteral("select count(*) from SShop where ") + dm.likeTerm(QStringLiteral("theName")),
                      {QStringLiteral("%5554%")})
                 .toInt(),
             expected);
}

void TstEngine::stockReadForTheSaveIsLocked()
{
    TestDb t;
    frmDM &dm = t.dm();
    const int sid = t.addProduct(QStringLiteral("可乐"));
    dm.KC_Up(QStringLiteral("一号库"), sid, Money::fromString("1"));
    QSqlDatabase seat = t.openSeat(QStringLiteral("seat"), 300);
    {
        Transaction tx(dm.db());
        QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), sid).toString(), QStringLiteral("1"));
        // Another seat cannot take the last unit while this save holds it …
        QSqlQuery q(seat);
        QVERIFY(!q.exec(QStringLiteral("update UKC set theCount=0 where SID=%1").arg(sid)));
        QCOMPARE(DbError::fromSql(q.lastError(), seat).kind(), DbError::Kind::Busy);
        dm.KC_Do(QStringLiteral("一号库"), sid, Money::fromString("1"));
        tx.commit();
    }
    // … and can once it is saved.
    QSqlQuery q(seat);
    QVERIFY2(q.exec(QStringLiteral("update UKC set theCount=theCount+5 where SID=%1").arg(sid)), qPrintable(q.lastError().text()));
    q.finish();
    seat = QSqlDatabase();
    TestDb::closeSeat(QStringLiteral("seat"));
    QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), sid).toString(), QStringLiteral("5"));
}

void TstEngine::numberTakenMeanwhileIsGivenUp()
{
    TestDb t;
    if (!t.onServer()) QSKIP("on the file no other program can write while a save holds it");
    frmDM &dm = t.dm();
    QSqlDatabase seat = t.openSeat(QStringLiteral("old-program"));
    int calls = 0;
    QString num;
    {
        Transaction tx(dm.db());
        num = dm.insertNumbered(QStringLiteral("UJH"), QStringLiteral("CG"), [&](const QString &n) {
            if (++calls == 1) {
                // A program that takes no lock stores a receipt under the same number just now.
                QSqlQuery q(seat);
                QVERIFY(q.exec(QStringLiteral("insert into UJH(theNum,theDate,theDel) values('%1','2012-11-15','否')").arg(n)));
            }
            dm.mySQL(QStringLiteral("insert into UJH(theNum,theDate,theDel,Remark) values(?,?,?,?)"),
                     {n, G.WorkDate, QStringLiteral("否"), QStringLiteral("本单")});
        });
        // The rest of the save goes on in the same transaction.
        dm.SaveList(QStringLiteral("采购入库录入"), num, Money(), Money::fromString("1"), QStringLiteral("现金"),
                    QStringLiteral("张三"), G.LoginName);
        tx.commit();
    }
    seat = QSqlDatabase();
    TestDb::closeSeat(QStringLiteral("old-program"));
    QCOMPARE(calls, 2);
    QCOMPARE(num, QStringLiteral("CG121116-0002"));
    QCOMPARE(dm.rows(QStringLiteral("select theNum, coalesce(Remark,'') from UJH order by theNum")),
             (QVector<QVariantList>{{QStringLiteral("CG121116-0001"), QString()}, {QStringLiteral("CG121116-0002"), QStringLiteral("本单")}}));
    QCOMPARE(dm.value(QStringLiteral("select theNum from UList")).toString(), num);
}

void TstEngine::serverErrorsAreToldByState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("told");
    QTest::newRow("lock wait over") << "55P03" << int(DbError::Kind::Busy) << "账套正忙";
    QTest::newRow("deadlock") << "40P01" << int(DbError::Kind::Busy) << "账套正忙";
    QTest::newRow("serialization") << "40001" << int(DbError::Kind::Busy) << "账套正忙";
    QTest::newRow("number taken") << "23505" << int(DbError::Kind::Duplicate) << "数据库出错";
    QTest::newRow("disk full") << "53100" << int(DbError::Kind::DiskFull) << "磁盘空间已满";
    QTest::newRow("no right to write") << "42501" << int(DbError::Kind::ReadOnly) << "不能写入";
    QTest::newRow("read-only server") << "25006" << int(DbError::Kind::ReadOnly) << "不能写入";
    QTest::newRow("connection lost") << "08006" << int(DbError::Kind::CannotOpen) << "无法连接数据库服务器";
    QTest::newRow("server shutting down") << "57P01" << int(DbError::Kind::CannotOpen) << "无法连接数据库服务器";
    QTest::newRow("corrupt") << "XX001" << int(DbError::Kind::Corrupt) << "已损坏";
    QTest::newRow("a statement's own error") << "42601" << int(DbError::Kind::Other) << "数据库出错";
}

void TstEngine::serverErrorsAreToldByState()
{
    QFETCH(QString, state);
    QFETCH(int, kind);
    QFETCH(QString, told);
    const QSqlError e(QStringLiteral("QPSQL: Unable to create query"), QStringLiteral("ERROR: engine words"),
                      QSqlError::StatementError, state);
    QCOMPARE(int(DbError::serverKindOf(e)), kind);
    const QString text = DbError::describeServer(DbError::Kind(kind), QStringLiteral("服务器 店:5432 上的账套 jxc"));
    QVERIFY2(text.contains(told), qPrintable(text));
    if (DbError::Kind(kind) != DbError::Kind::Busy) QVERIFY2(text.contains(QStringLiteral("账套 jxc")), qPrintable(text));
}

void TstEngine::seatsStartingTogetherOnAnEmptyServer()
{
    if (!testsOnServer()) QSKIP("the file is built aside and moved into place (tst_database)");
    const QString name = createEmptyTestServerDatabase();
    const BooksLocation where = testServer(name);
    // Three seats open the new, empty books at the same moment.
    QList<QProcess *> seats;
    for (int i = 0; i < 3; ++i) {
        auto *p = new QProcess(this);
        p->start(QStringLiteral(OPENDB_CHILD), {booksArgument(where)});
        seats << p;
    }
    for (QProcess *p : seats) {
        QVERIFY(p->waitForFinished(60000));
        QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
    }
    qDeleteAll(seats);
    // The schema and its first rows once.
    QString err;
    QVERIFY2(openServer(where, QStringLiteral("check"), &err), qPrintable(err));
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("check")));
        QVERIFY(q.exec(QStringLiteral("select (select count(*) from SDJ), (select count(*) from SUser), (select count(*) from SDept)")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 10);
        QCOMPARE(q.value(1).toInt(), 1);
        QCOMPARE(q.value(2).toInt(), 1);
    }
    closeDatabase(QStringLiteral("check"));
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    dropTestServerDatabase(name);
}

void TstEngine::serverDatabaseOfSomethingElseIsLeftAlone()
{
    if (!testsOnServer()) QSKIP("server books only (the file's case is in tst_database)");
    const QString name = createEmptyTestServerDatabase();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("raw"));
        const BooksLocation w = testServer(name);
        db.setHostName(w.host);
        db.setPort(w.port);
        db.setDatabaseName(w.database);
        db.setUserName(w.user);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("create table Customers(ID integer primary key, Name text)")));
        QString err;
        QVERIFY(!openServer(w, QStringLiteral("main"), &err));
        QVERIFY2(err.contains(QStringLiteral("不是本程序的账套")), qPrintable(err));
        QCOMPARE(EngineInfo::tableNames(db), QStringList{QStringLiteral("customers")});
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    QSqlDatabase::removeDatabase(QStringLiteral("main"));
    dropTestServerDatabase(name);
}

void TstEngine::newerServerBooksAreRefused()
{
    TestDb t;
    if (!t.onServer()) QSKIP("the file's case is in tst_schema");
    t.asOwner(QStringLiteral("update SVersion set theVersion=?"), {currentSchemaVersion() + 1});
    QString err;
    QVERIFY(!openServer(t.location(), QStringLiteral("again"), &err));
    QVERIFY2(err.contains(QStringLiteral("较新版本")), qPrintable(err));
    QSqlDatabase::removeDatabase(QStringLiteral("again"));
}

void TstEngine::unreachableServerIsToldInChinese()
{
    if (!testsOnServer()) QSKIP("server books only");
    BooksLocation w = testServer(QStringLiteral("postgres"));
    w.host = QDir::tempPath() + QStringLiteral("/no-such-server");
    QString err;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!openServer(w, QStringLiteral("nowhere"), &err));
    QVERIFY(clock.elapsed() < 15000);
    QVERIFY2(err.startsWith(QStringLiteral("无法连接数据库服务器：本机服务器（套接字文件夹 ")), qPrintable(err));
    QSqlDatabase::removeDatabase(QStringLiteral("nowhere"));
    // A database that is not there is told the same way.
    w = testServer(QStringLiteral("no_such_books"));
    QVERIFY(!openServer(w, QStringLiteral("nowhere"), &err));
    QVERIFY2(err.contains(QStringLiteral("账套 no_such_books")), qPrintable(err));
    QSqlDatabase::removeDatabase(QStringLiteral("nowhere"));
}

void TstEngine::lostServerConnectionComesBack()
{
    TestDb t;
    if (!t.onServer()) QSKIP("server books only");
    frmDM &dm = t.dm();
    const int cola = t.addProduct(QStringLiteral("可乐"));
    const int pid = dm.value(QStringLiteral("select pg_backend_pid()")).toInt();
    // The server ends this seat's session (a restart, a dropped network).
    QSqlDatabase seat = t.openSeat(QStringLiteral("admin"));
    QVERIFY(QSqlQuery(seat).exec(QStringLiteral("select pg_terminate_backend(%1)").arg(pid)));
    seat = QSqlDatabase();
    TestDb::closeSeat(QStringLiteral("admin"));
    // The next statement finds the session gone and runs on a new one,
    // prepared statements and all.
    QCOMPARE(dm.value(QStringLiteral("select count(*) from SShop")).toInt(), 1);
    QVERIFY(dm.value(QStringLiteral("select pg_backend_pid()")).toInt() != pid);
    {
        Transaction tx(dm.db());
        dm.KC_Up(QStringLiteral("一号库"), cola, Money::fromString("2"));
        tx.commit();
    }
    QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), cola).toString(), QStringLiteral("2"));
    // A save begun after a loss opens the session itself.
    const int pid2 = dm.value(QStringLiteral("select pg_backend_pid()")).toInt();
    seat = t.openSeat(QStringLiteral("admin"));
    QVERIFY(QSqlQuery(seat).exec(QStringLiteral("select pg_terminate_backend(%1)").arg(pid2)));
    seat = QSqlDatabase();
    TestDb::closeSeat(QStringLiteral("admin"));
    {
        Transaction tx(dm.db());
        dm.KC_Up(QStringLiteral("一号库"), cola, Money::fromString("1"));
        tx.commit();
    }
    QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), cola).toString(), QStringLiteral("3"));
}

void TstEngine::reportScratchIsEachSeatsOwn()
{
    TestDb t;
    if (!t.onServer()) QSKIP("one seat on the file");
    const QStringList zeros(30, QStringLiteral("0"));
    t.dm().SaveBB(QStringLiteral("2012-11-16"), zeros);
    QString err;
    QVERIFY2(openServer(t.location(), QStringLiteral("counter-2"), &err), qPrintable(err));
    {
        // Another seat works out its own report meanwhile …
        frmDM other(QSqlDatabase::database(QStringLiteral("counter-2")));
        QCOMPARE(other.value(QStringLiteral("select count(*) from UBB")).toInt(), 0);
        other.mySQL(QStringLiteral("delete from UBB"));
        other.SaveBB(QStringLiteral("2012-11"), zeros);
        other.SaveBB(QStringLiteral("2012-12"), zeros);
        QCOMPARE(other.value(QStringLiteral("select count(*) from UBB")).toInt(), 2);
    }
    closeDatabase(QStringLiteral("counter-2"));
    QSqlDatabase::removeDatabase(QStringLiteral("counter-2"));
    // … and this seat's rows are as it left them.
    QCOMPARE(t.dm().rows(QStringLiteral("select theDate from UBB")), (QVector<QVariantList>{{QStringLiteral("2012-11-16")}}));
}

QTEST_GUILESS_MAIN(TstEngine)
#include "tst_engine.moc"
