// Backup and restore of books on a server, with the server's own tools:
// pg_dump's custom format, checked before it is trusted, restored in one
// transaction; a backup of the file moves a one-seat shop's books onto the
// server; the dialogs say what they say on the file. Runs on the test server only.
#include "eachtest.h"
#include "shellspy.h"
#include "testdb.h"
#include "testreceipt.h"

#include "data/connection.h"
#include "data/dbfile.h"
#include "data/engine.h"
#include "data/globals.h"
#include "data/serverbackup.h"
#include "shell/frmbackup.h"
#include "trade/tradedoc.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <atomic>
#include <thread>

class TstServerBackup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init()
    {
        setSession();
        G.ShopCB = QStringLiteral("移动加权平均");
    }
    void backupIsTheServersOwnFormat();
    void restorePutsTheBackupBack();
    void restoreRefusedWhileAnotherSeatWorks();
    void seatsAreToldByTheirName_data();
    void seatsAreToldByTheirName();
    void saveDuringRestoreIsNeverLost();
    void filesBackupMovesTheBooksToTheServer();
    void whatCannotBeRestoredIsRefused();
    void restoreTakesOnlyRows();
    void rowsThatCannotBeTakenAreRefused();
    void dialogsOnTheServer();
};

namespace {

int serial = 0;

// Opens the books of `t` again on a connection of its own and returns a value read there.
QVariant readAgain(const TestDb &t, const QString &sql)
{
    const QString name = QStringLiteral("again%1").arg(++serial);
    QVariant v;
    QString err;
    if (openServer(t.location(), name, &err)) {
        QSqlQuery q(QSqlDatabase::database(name));
        if (q.exec(sql) && q.next()) v = q.value(0);
    }
    closeDatabase(name);
    QSqlDatabase::removeDatabase(name);
    return v;
}

TradeDoc receipt(int supplier, int sid, const char *count)
{
    return oneLineReceipt(supplier, QStringLiteral("大华商行"), sid, QString::fromLatin1(count), QStringLiteral("1"));
}

QByteArray head(const QString &file, int n)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

// Books holding 可乐, backed up, then 茶叶 added; the backup file.
QString backupThenWork(TestDb &t)
{
    G.AppPath = t.folder();
    t.addProduct(QStringLiteral("可乐"));
    const QString backup = t.folder() + QStringLiteral("2012-11-16.edb");
    if (!DbFile::backup(t.db().connectionName(), backup).isEmpty()) return QString();
    t.addProduct(QStringLiteral("茶叶"));
    return backup;
}

// A connection to the books `where` that gives the server `applicationName`.
QSqlDatabase connectAs(const BooksLocation &where, const QString &conn, const QString &applicationName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), conn);
    db.setHostName(where.host);
    db.setPort(where.port);
    db.setDatabaseName(where.database);
    db.setUserName(where.user);
    if (!applicationName.isEmpty()) db.setConnectOptions(QStringLiteral("application_name=") + applicationName);
    db.open();
    return db;
}

// Whether the rows of SShop in a server backup hold `name`.
bool backupHolds(const QString &backup, const QString &name)
{
    QProcess p;
    p.start(DbFile::serverTool(QStringLiteral("pg_restore")),
            {QStringLiteral("--data-only"), QStringLiteral("--table=sshop"), QStringLiteral("-f"), QStringLiteral("-"), backup});
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput()).contains(name);
}

} // namespace

void TstServerBackup::initTestCase()
{
    if (!testsOnServer()) QSKIP("server books only: the file's backup is in tst_backup");
    QVERIFY2(!DbFile::serverTool(QStringLiteral("pg_dump")).isEmpty(), "pg_dump (postgresql-client) is needed");
}

void TstServerBackup::backupIsTheServersOwnFormat()
{
    TestDb t(TestDb::Owner);
    t.addProduct(QStringLiteral("可乐"));
    const QString target = t.folder() + QStringLiteral("2012-11-16.edb");
    QCOMPARE(DbFile::backup(t.db().connectionName(), target), QString());
    QCOMPARE(head(target, 5), QByteArray("PGDMP"));
    // It holds the shop's users: readable by its owner only.
    QCOMPARE(QFileInfo(target).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
             QFileDevice::Permissions());
    QCOMPARE(DbFile::checkServerBackup(target), QString());
    QVERIFY(!QFile::exists(target + QStringLiteral(".part")));
    // The file's own check tells what the file is.
    QVERIFY(DbFile::checkProgramDatabase(target).contains(QStringLiteral("服务器账套的备份")));
    // A second backup of the day replaces the first.
    t.addProduct(QStringLiteral("茶叶"));
    QCOMPARE(DbFile::backup(t.db().connectionName(), target), QString());
    QCOMPARE(DbFile::checkServerBackup(target), QString());
}

void TstServerBackup::restorePutsTheBackupBack()
{
    TestDb t(TestDb::Owner);
    G.AppPath = t.folder();
    const int supplier = t.addPartner(QStringLiteral("大华商行"), QStringLiteral("供应商"));
    const int cola = t.addProduct(QStringLiteral("可乐"));
    QCOMPARE(saveTradeDoc(t.dm(), receipt(supplier, cola, "4")), QStringLiteral("CG121116-0001"));
    const QString backup = t.folder() + QStringLiteral("2012-11-16.edb");
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
    // Work after the backup: another receipt, another product.
    QCOMPARE(saveTradeDoc(t.dm(), receipt(supplier, cola, "6")), QStringLiteral("CG121116-0002"));
    t.addProduct(QStringLiteral("备份后的商品"));

    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup);
    QVERIFY2(r.ok, qPrintable(r.message));
    QVERIFY(r.closed);
    // The books are the backup's again …
    QCOMPARE(readAgain(t, QStringLiteral("select count(*) from UJH")).toInt(), 1);
    QCOMPARE(readAgain(t, QStringLiteral("select count(*) from SShop")).toInt(), 1);
    QCOMPARE(Money::fromVariant(readAgain(t, QStringLiteral("select theCount from UKC"))).toString(), QStringLiteral("4"));
    QCOMPARE(Money::fromVariant(readAgain(t, QStringLiteral("select theYF from SUnits"))).toString(), QStringLiteral("9"));
    // … numbering and the counters go on from there …
    QCOMPARE(readAgain(t, QStringLiteral("select max(ID) from SShop")).toInt(), cola);
    // … and what they held before was kept beside the program.
    QVERIFY(r.safetyCopy.startsWith(t.folder() + QStringLiteral("Data/db-恢复前-")));
    QCOMPARE(DbFile::checkServerBackup(r.safetyCopy), QString());
    QString err;
    QVERIFY2(openServer(t.location(), QStringLiteral("seat2"), &err), qPrintable(err));
    {
        frmDM other(QSqlDatabase::database(QStringLiteral("seat2")));
        QCOMPARE(saveTradeDoc(other, receipt(supplier, cola, "1")), QStringLiteral("CG121116-0002"));
        QVERIFY(other.insertId(QStringLiteral("insert into SShop(theName) values('恢复后的商品')")) > cola);
    }
    closeDatabase(QStringLiteral("seat2"));
    QSqlDatabase::removeDatabase(QStringLiteral("seat2"));
}

void TstServerBackup::restoreRefusedWhileAnotherSeatWorks()
{
    TestDb t(TestDb::Owner);
    const QString backup = backupThenWork(t);
    QVERIFY(!backup.isEmpty());
    QSqlDatabase seat = t.openSeat(QStringLiteral("counter-2"));
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup);
    QVERIFY(!r.ok);
    QVERIFY(!r.closed);
    QCOMPARE(r.message, QStringLiteral("数据库正被另一个程序使用，不能恢复。请关闭其它电脑或程序上的本软件后再试。"));
    // Nothing changed, and this seat goes on working.
    QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SShop")).toInt(), 2);
    seat = QSqlDatabase();
    TestDb::closeSeat(QStringLiteral("counter-2"));
    // This seat's own list connections are no other seat.
    const DbFile::RestoreResult again = DbFile::restore(t.dm(), t.db().connectionName(), backup);
    QVERIFY2(again.ok, qPrintable(again.message));
    QCOMPARE(readAgain(t, QStringLiteral("select count(*) from SShop")).toInt(), 1);
}

void TstServerBackup::seatsAreToldByTheirName_data()
{
    const QString own = serverApplicationName();
    QTest::addColumn<QString>("name");
    // The name a seat on another machine gave when seats were told by the
    // process id: the same number as this process is no reason to take it for this seat.
    QTest::newRow("another machine, the same process id")
        << QStringLiteral("jxc-%1").arg(QCoreApplication::applicationPid());
    QTest::newRow("another machine") << QStringLiteral("jxc/counter-2/00000000ab/1");
    QTest::newRow("another run on this machine") << own.section(QLatin1Char('/'), 0, 1) + QStringLiteral("/zzzzzzzzzz/1");
    QTest::newRow("another program") << QStringLiteral("psql");
    QTest::newRow("no name") << QString();
}

// Each connection has a name of its own; the restore counts every
// connection to the books but this seat's own as another seat.
void TstServerBackup::seatsAreToldByTheirName()
{
    QFETCH(QString, name);
    TestDb t(TestDb::Owner);
    QCOMPARE(DbFile::otherSeats(t.db()), 0);
    // This seat's own second connection is no other seat.
    QString err;
    QVERIFY2(openServer(t.location(), QStringLiteral("own-2"), &err), qPrintable(err));
    QCOMPARE(DbFile::otherSeats(t.db()), 0);
    {
        QSqlDatabase other = connectAs(t.location(), QStringLiteral("other"), name);
        QVERIFY2(other.isOpen(), qPrintable(other.lastError().text()));
        QCOMPARE(DbFile::otherSeats(t.db()), 1);
        QCOMPARE(DbFile::otherSeats(QSqlDatabase::database(QStringLiteral("own-2"))), 1);
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    closeDatabase(QStringLiteral("own-2"));

    // Every connection's name is its own; the part before the last "/" is the seat's.
    const QString a = serverApplicationName(), b = serverApplicationName();
    QVERIFY(a.startsWith(QStringLiteral("jxc/")));
    QVERIFY(a != b);
    QCOMPARE(a.section(QLatin1Char('/'), 0, 2), b.section(QLatin1Char('/'), 0, 2));
    QVERIFY(a.toUtf8().size() < 64);
}

// Another seat that connects while a restore is under way (after its check
// of the other seats) and saves: its save is never lost. The restore holds
// the books from before its copy of them to its end, so the save waits and
// lands in the restored books (or is refused as busy); it never falls between
// the copy and the restore.
void TstServerBackup::saveDuringRestoreIsNeverLost()
{
    TestDb t(TestDb::Owner);
    const QString backup = backupThenWork(t);
    QVERIFY(!backup.isEmpty());

    const BooksLocation where = t.location();
    const QString own = serverApplicationName();
    const QString ownSeat = own.left(own.lastIndexOf(QLatin1Char('/')) + 1);
    const QString watcherName = serverApplicationName();
    std::atomic<bool> restoring{true};
    std::atomic<int> outcome{0};   // 0 not tried, 1 saved, 2 refused as busy, 3 failed
    QString failure;
    std::thread seat([&] {
        {
            // Watches, as a connection of this seat, for the restore's pg_dump.
            QSqlDatabase watch = connectAs(where, QStringLiteral("watch"), watcherName);
            bool dumping = false;
            if (watch.isOpen()) {
                QSqlQuery q(watch);
                q.prepare(QStringLiteral("select count(*) from pg_stat_activity where datname=current_database() "
                                         "and pid<>pg_backend_pid() and left(application_name,?)=? "
                                         "and query ilike 'COPY %'"));
                q.addBindValue(ownSeat.size());
                q.addBindValue(ownSeat);
                while (restoring && !dumping) {
                    dumping = q.exec() && q.next() && q.value(0).toInt() > 0;
                    if (!dumping) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
                q.finish();
            }
            watch.close();
            if (dumping) {
                // Another seat starts now and saves a product.
                QSqlDatabase other = connectAs(where, QStringLiteral("late-seat"), QString());
                if (!other.isOpen()) {
                    failure = other.lastError().text();
                    outcome = 3;
                } else {
                    QSqlQuery s(other);
                    bool ok = s.exec(QStringLiteral("SET lock_timeout = %1").arg(EngineInfo::LockWaitMs));
                    for (const QString &b : EngineInfo::beginWrite(Engine::Server)) ok = ok && s.exec(b);
                    ok = ok && s.exec(QStringLiteral("insert into SShop(theName) values('恢复时保存的商品')"));
                    ok = ok && s.exec(QStringLiteral("COMMIT"));
                    if (ok) {
                        outcome = 1;
                    } else {
                        failure = s.lastError().text();
                        outcome = s.lastError().nativeErrorCode() == QLatin1String("55P03") ? 2 : 3;
                    }
                    s.finish();
                    other.close();
                }
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("watch"));
        QSqlDatabase::removeDatabase(QStringLiteral("late-seat"));
    });
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup);
    restoring = false;
    seat.join();
    QVERIFY2(r.ok, qPrintable(r.message));
    QVERIFY2(outcome == 1 || outcome == 2, qPrintable(QStringLiteral("%1 %2").arg(int(outcome)).arg(failure)));
    const bool inSafetyCopy = backupHolds(r.safetyCopy, QStringLiteral("恢复时保存的商品"));
    const int inBooks = readAgain(t, QStringLiteral("select count(*) from SShop where theName='恢复时保存的商品'")).toInt();
    if (outcome == 1) {
        QVERIFY2(inBooks == 1 || inSafetyCopy, "a save told done is in neither the restored books nor the copy before them");
        // It could only wait for the end of the restore: it is in the restored books.
        QCOMPARE(inBooks, 1);
    } else {
        QCOMPARE(inBooks, 0);
    }
    // The books are the backup's, with that save alone added.
    QCOMPARE(readAgain(t, QStringLiteral("select count(*) from SShop where theName='茶叶'")).toInt(), 0);
    QVERIFY(backupHolds(r.safetyCopy, QStringLiteral("茶叶")));
}

void TstServerBackup::filesBackupMovesTheBooksToTheServer()
{
    // A shop's books on the file, one seat, a few weeks of work …
    QTemporaryDir shop;
    const QString file = shop.path() + QStringLiteral("/Data/db.edb");
    QString err;
    QVERIFY2(openDatabase(file, QStringLiteral("one-seat"), &err), qPrintable(err));
    int cola = 0, supplier = 0;
    {
        frmDM dm(QSqlDatabase::database(QStringLiteral("one-seat")));
        supplier = int(dm.insertId(QStringLiteral("insert into SUnits(theName,theType,theYS,theYF,theState,theDel) "
                                                  "values('大华商行','供应商',0,0,'启用','否')")));
        for (int i = 0; i < 3; ++i)
            cola = int(dm.insertId(QStringLiteral("insert into SShop(theNum,theName,theJH,theXS,theCB,theZK,theState,theDel) "
                                                  "values(?,?,2.5,3.5,2.5,100,'启用','否')"),
                                   {QStringLiteral("P%1").arg(i), QStringLiteral("商品%1").arg(i)}));
        dm.mySQL(QStringLiteral("delete from SShop where ID=?"), {cola - 1});   // a gap in the IDs
        QCOMPARE(saveTradeDoc(dm, receipt(supplier, cola, "0.4")), QStringLiteral("CG121116-0001"));
    }
    const QString backup = shop.path() + QStringLiteral("/2012-11-16.edb");
    QCOMPARE(DbFile::backup(QStringLiteral("one-seat"), backup), QString());
    closeDatabase(QStringLiteral("one-seat"));
    QSqlDatabase::removeDatabase(QStringLiteral("one-seat"));

    // … restored on the new server's books.
    TestDb t(TestDb::Owner);
    G.AppPath = t.folder();
    t.addProduct(QStringLiteral("服务器上原有的商品"));
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(readAgain(t, QStringLiteral("select string_agg(theName, ',' order by ID) from SShop")).toString(),
             QStringLiteral("商品0,商品2"));
    QCOMPARE(readAgain(t, QStringLiteral("select ID from SShop where theName='商品2'")).toInt(), cola);
    QCOMPARE(Money::fromVariant(readAgain(t, QStringLiteral("select theCount from UKC"))).toString(), QStringLiteral("0.4"));
    QCOMPARE(readAgain(t, QStringLiteral("select theNum from UJH")).toString(), QStringLiteral("CG121116-0001"));
    QCOMPARE(readAgain(t, QStringLiteral("select count(*) from SMenu")).toInt(),
             readAgain(t, QStringLiteral("select count(*) from SLevel")).toInt());
    QCOMPARE(readAgain(t, QStringLiteral("select max(theVersion) from SVersion")).toInt(), currentSchemaVersion());
    // New rows on the server follow the file's IDs.
    QVERIFY2(openServer(t.location(), QStringLiteral("seat2"), &err), qPrintable(err));
    {
        frmDM other(QSqlDatabase::database(QStringLiteral("seat2")));
        QCOMPARE(int(other.insertId(QStringLiteral("insert into SShop(theName) values('新商品')"))), cola + 1);
        QCOMPARE(saveTradeDoc(other, receipt(supplier, cola, "1")), QStringLiteral("CG121116-0002"));
    }
    closeDatabase(QStringLiteral("seat2"));
    QSqlDatabase::removeDatabase(QStringLiteral("seat2"));
}

void TstServerBackup::whatCannotBeRestoredIsRefused()
{
    TestDb t(TestDb::Owner);
    G.AppPath = t.folder();
    t.addProduct(QStringLiteral("可乐"));
    auto refused = [&](const QString &file, const QString &told) {
        const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), file);
        QVERIFY(!r.ok);
        QVERIFY(!r.closed);
        QVERIFY2(r.message.contains(told), qPrintable(r.message));
        QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SShop")).toInt(), 1);
    };
    // Not a backup at all.
    const QString note = t.folder() + QStringLiteral("note.edb");
    {
        QFile f(note);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("hello");
    }
    refused(note, QStringLiteral("不是本程序的数据库"));
    refused(t.folder() + QStringLiteral("missing.edb"), QStringLiteral("文件不存在"));
    // A backup cut short.
    const QString backup = t.folder() + QStringLiteral("2012-11-16.edb");
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
    const QString cut = t.folder() + QStringLiteral("cut.edb");
    {
        QFile in(backup), out(cut);
        QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        out.write(in.read(in.size() / 2));
    }
    refused(cut, QStringLiteral("不是本程序的数据库"));
    // A backup of another server database.
    const QString other = createEmptyTestServerDatabase();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("raw"));
        const BooksLocation w = testServer(other);
        db.setHostName(w.host);
        db.setPort(w.port);
        db.setDatabaseName(w.database);
        db.setUserName(w.user);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("create table Customers(ID integer primary key, Name text)")));
        const QString foreign = t.folder() + QStringLiteral("foreign.edb");
        const QString e = DbFile::serverBackup(db, foreign);
        QVERIFY2(e.startsWith(QStringLiteral("备份文件检查未通过：所选文件不是本程序的数据库")), qPrintable(e));
        QVERIFY(!QFile::exists(foreign));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    dropTestServerDatabase(other);
    // Books of a newer program.
    t.dm().mySQL(QStringLiteral("update SVersion set theVersion=?"), {currentSchemaVersion() + 1});
    const QString newer = t.folder() + QStringLiteral("newer.edb");
    QVERIFY(DbFile::serverBackup(t.db(), newer).contains(QStringLiteral("较新版本")));
}

// What the books hold besides the program's schema (its own are the
// operation log's triggers and their function), as the server records it.
QStringList foreignObjects(const TestDb &t)
{
    QStringList out;
    const QString sql = QStringLiteral(
        "select 'trigger '||tgname from pg_trigger where not tgisinternal and tgname not like 'tr_soplog_%' "
        "union all select 'function '||proname from pg_proc p join pg_namespace n on n.oid=p.pronamespace "
        "  where n.nspname=current_schema() and proname not in ('jxc_append_only','jxc_user_of','jxc_login_salt','jxc_login',"
        "  'jxc_admin','jxc_set_password','jxc_add_user','jxc_delete_user','jxc_set_user_state','jxc_save_rights',"
        "  'jxc_save_user_defaults','jxc_grant_seats') and not exists "
        "  (select 1 from pg_depend d where d.objid=p.oid and d.deptype='e') "
        "union all select 'table '||table_name from information_schema.tables where table_schema=current_schema() "
        "  and lower(table_name) not in (%1) "
        "union all select 'column '||table_name||'.'||column_name from information_schema.columns "
        "  where table_schema=current_schema() and lower(column_name)='evil' "
        "union all select 'index '||indexname from pg_indexes where schemaname=current_schema() and indexname='ix_evil' "
        "union all select 'not unique '||indexname from pg_indexes where schemaname=current_schema() "
        "  and indexname='ix_ujh_thenum' and indexdef not like 'CREATE UNIQUE%'");
    QStringList known;
    for (const QString &table : programTables()) known << QStringLiteral("'%1'").arg(table.toLower());
    known << QStringLiteral("'sversion'");
    const QString name = QStringLiteral("objects%1").arg(++serial);
    QString err;
    if (openServer(t.location(), name, &err)) {
        QSqlQuery q(QSqlDatabase::database(name));
        if (!q.exec(sql.arg(known.join(','))))
            out << q.lastError().text();
        while (q.next()) out << q.value(0).toString();
    } else {
        out << err;
    }
    closeDatabase(name);
    QSqlDatabase::removeDatabase(name);
    return out;
}

void TstServerBackup::restoreTakesOnlyRows()
{
    TestDb t(TestDb::Owner);
    G.AppPath = t.folder();
    const int supplier = t.addPartner(QStringLiteral("大华商行"), QStringLiteral("供应商"));
    const int cola = t.addProduct(QStringLiteral("可乐"));
    QCOMPARE(foreignObjects(t), QStringList());
    // A backup whose books carry a trigger of their own (moving every later
    // save's balance), an extra table, column and index, and no unique number index.
    const QStringList crafted{
        QStringLiteral("create function skim() returns trigger language plpgsql as "
                       "$$ begin update SUnits set theYF=theYF+14000000; return new; end $$"),
        QStringLiteral("create trigger skim after insert on UJH for each row execute function skim()"),
        QStringLiteral("create table Evil(x text)"),
        QStringLiteral("insert into Evil values('x')"),
        QStringLiteral("alter table SShop add column Evil text default 'x'"),
        QStringLiteral("create index IX_Evil on SShop(Remark)"),
        QStringLiteral("drop index IX_UJH_theNum"),
    };
    for (const QString &sql : crafted) t.dm().mySQL(sql);
    const QString backup = t.folder() + QStringLiteral("2012-11-16.edb");
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
    // The books themselves are the program's again before the restore.
    for (const QString &sql : {QStringLiteral("drop trigger skim on UJH"), QStringLiteral("drop function skim()"),
                               QStringLiteral("drop table Evil"), QStringLiteral("alter table SShop drop column Evil"),
                               QStringLiteral("drop index IX_Evil"),
                               QStringLiteral("create unique index IX_UJH_theNum on UJH(theNum)")})
        t.dm().mySQL(sql);
    QCOMPARE(foreignObjects(t), QStringList());

    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(foreignObjects(t), QStringList());
    QCOMPARE(readAgain(t, QStringLiteral("select theName from SShop")).toString(), QStringLiteral("可乐"));
    // A receipt saved afterwards moves the balance by its own amount only.
    QString err;
    QVERIFY2(openServer(t.location(), QStringLiteral("seat2"), &err), qPrintable(err));
    {
        frmDM other(QSqlDatabase::database(QStringLiteral("seat2")));
        QCOMPARE(saveTradeDoc(other, receipt(supplier, cola, "4")), QStringLiteral("CG121116-0001"));
    }
    closeDatabase(QStringLiteral("seat2"));
    QSqlDatabase::removeDatabase(QStringLiteral("seat2"));
    QCOMPARE(Money::fromVariant(readAgain(t, QStringLiteral("select theYF from SUnits"))).toString(), QStringLiteral("9"));
}

void TstServerBackup::rowsThatCannotBeTakenAreRefused()
{
    TestDb t(TestDb::Owner);
    G.AppPath = t.folder();
    t.addPartner(QStringLiteral("大华商行"), QStringLiteral("供应商"));
    t.addProduct(QStringLiteral("可乐"));
    const QString good = t.folder() + QStringLiteral("good.edb");
    QCOMPARE(DbFile::backup(t.db().connectionName(), good), QString());
    struct Case { QString change, undo, told; };
    const QList<Case> cases{
        {QStringLiteral("alter table SUnits drop column theYF"), QStringLiteral("alter table SUnits add column theYF numeric(19,4) default 0"),
         QStringLiteral("表 SUnits 缺少列 theYF")},
        {QStringLiteral("update SShop set theXS=123456789012345"), QStringLiteral("update SShop set theXS=0"),
         QStringLiteral("表 SShop 的列 theXS")},
    };
    for (const Case &c : cases) {
        t.dm().mySQL(c.change);
        const QString file = t.folder() + QStringLiteral("crafted.edb");
        QCOMPARE(DbFile::backup(t.db().connectionName(), file), QString());
        t.dm().mySQL(c.undo);
        const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), file);
        QVERIFY(!r.ok);
        QVERIFY(!r.closed);
        QVERIFY2(r.message.contains(c.told) && r.message.contains(QDir::toNativeSeparators(file)), qPrintable(r.message));
        // Nothing changed, and no safety copy of unchanged books is left.
        QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SShop")).toInt(), 1);
        QCOMPARE(QDir(t.folder() + QStringLiteral("Data")).entryList({QStringLiteral("db-恢复前-*")}).size(), 0);
    }
    // The good backup still goes in.
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), good);
    QVERIFY2(r.ok, qPrintable(r.message));
}

void TstServerBackup::dialogsOnTheServer()
{
    TestDb t(TestDb::Owner);
    G.AppPath = t.folder();
    MsgSpy msgs;
    EndSpy ends;
    const QString folder = t.folder() + QStringLiteral("usb");
    QDir().mkpath(folder);
    {
        frmBackup dlg;
        dlg.show();
        msgs.answer = true;
        Msg::setAnswerText(folder + QStringLiteral("/"));
        dlg.Button1Click();
        QCOMPARE(dlg.pathEdit()->text(), folder + QStringLiteral("/2012-11-16.edb"));
        dlg.BitBtn1Click();
        QCOMPARE(msgs.lastText(), QStringLiteral("数据备份成功！"));
    }
    t.addProduct(QStringLiteral("备份后的商品"));
    {
        frmRecover dlg;
        dlg.show();
        Msg::setAnswerText(folder + QStringLiteral("/2012-11-16.edb"));
        dlg.Button1Click();
        msgs.answer = false;
        dlg.BitBtn1Click();
        QCOMPARE(msgs.lastText(), QStringLiteral("确认要恢复数据吗?"));
        QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SShop")).toInt(), 1);
        msgs.answer = true;
        dlg.BitBtn1Click();
        QVERIFY2(msgs.lastText().startsWith(QStringLiteral("数据恢复成功！")), qPrintable(msgs.lastText()));
        QCOMPARE(ends.ended, 1);
    }
    QCOMPARE(readAgain(t, QStringLiteral("select count(*) from SShop")).toInt(), 0);
}

JXC_TEST_MAIN_EACH(TstServerBackup)
#include "tst_serverbackup.moc"
