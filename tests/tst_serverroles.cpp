// Who may do what on a server: the seats' role works the books but cannot
// change their structure, read password hashes, or grant itself rights; the
// users' changes go through the books' own functions, which ask for the
// program user's password and right. The password proof itself is checked
// on both engines.
#include "shellspy.h"
#include "testdb.h"

#include "data/connection.h"
#include "data/dberror.h"
#include "data/globals.h"
#include "data/passwords.h"
#include "data/serverbackup.h"
#include "data/serverrights.h"
#include "shell/accounts.h"
#include "shell/startup.h"

#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QString Admin = QStringLiteral("系统管理员");
const QString Clerk = QStringLiteral("收银员");
const QString SalesRight = QStringLiteral("200");

// A clerk with a password of their own and the right to sales deliveries only.
int addClerk(TestDb &t, const QString &password)
{
    Accounts::addUser(t.dm(), Clerk, QString());
    Accounts::setPassword(t.dm(), Clerk, QString::fromLatin1(Accounts::InitialPassword), password);
    const int id = t.dm().value(QStringLiteral("select ID from SUser where theName=?"), {Clerk}).toInt();
    Accounts::saveRights(t.dm(), id, {SalesRight});
    return id;
}

// Logs `name` in as the login window does.
void logIn(TestDb &t, const QString &name, const QString &password)
{
    const auto user = Accounts::checkLogin(t.dm(), name, password);
    QVERIFY2(user, qPrintable(name));
    Accounts::startSession(*user, QStringLiteral("2026-12-11"));
}

bool runs(QSqlDatabase db, const QString &sql, QString *error = nullptr)
{
    QSqlQuery q(db);
    const bool ok = q.exec(sql);
    if (!ok && error) *error = q.lastError().text();
    return ok;
}

} // namespace

class tst_serverroles : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        G = AppGlobals();
        G.LoginName = Admin;
    }

    void proofIsTheStoredHash_data();
    void proofIsTheStoredHash();

    void seatCannotChangeStructureOrReadHashes_data();
    void seatCannotChangeStructureOrReadHashes();
    void clerkCannotGrantHimselfRights();
    void usersChangedThroughTheBooksFunctions();
    void loginSaltTellsNoNames();
    void seatNeitherBuildsNorUpgradesBooks();
    void rightsFollowTheOwnersStart();
    void backupIsTheOwners();
    void ownerIsAdvisedOnce();
};

// ---- both engines ----

void tst_serverroles::proofIsTheStoredHash_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("empty") << QString();
    QTest::newRow("initial") << QStringLiteral("705318");
    QTest::newRow("chinese and quotes") << QStringLiteral("密码' \"x;--");
}

void tst_serverroles::proofIsTheStoredHash()
{
    QFETCH(QString, password);
    for (auto cost : {Passwords::Cost::Lowest, Passwords::Cost::Interactive}) {
        Passwords::setCost(cost);
        const QString stored = Passwords::hash(password);
        const QString salt = Passwords::saltOf(stored);
        QVERIFY2(!salt.isEmpty() && stored.startsWith(salt) && salt.endsWith(QLatin1Char('$')), qPrintable(stored));
        // The right password gives the stored hash itself; anything else another.
        QCOMPARE(Passwords::hashWithSalt(password, salt), stored);
        QVERIFY(Passwords::hashWithSalt(password + QLatin1Char('x'), salt) != stored);
        QVERIFY(Passwords::hashWithSalt(password.toUpper() + QStringLiteral("A"), salt) != stored);
    }
    Passwords::setCost(Passwords::Cost::Lowest);
    const QString stored = Passwords::hash(password);
    // What is no salt of a stored hash gives nothing to compare: a whole hash,
    // a damaged one, one naming a cost that would stall the seat.
    const QString salt = Passwords::saltOf(stored);
    for (const QString &bad : {stored, QString(), QStringLiteral("$argon2id$v=19$m=8,t=1,p=1$$"),
                               QString(salt).replace(QStringLiteral("p=1"), QStringLiteral("p=4")),
                               QString(salt).replace(QRegularExpression(QStringLiteral("m=\\d+")), QStringLiteral("m=4194304")),
                               QString(salt).replace(QRegularExpression(QStringLiteral("t=\\d+")), QStringLiteral("t=99999")),
                               QStringLiteral("$argon2i$v=19$m=65536,t=2,p=1$c2FsdHNhbHRzYWx0c2FsdA$")})
        QVERIFY2(Passwords::hashWithSalt(password, bad).isEmpty(), qPrintable(bad));
    QVERIFY(Passwords::saltOf(QStringLiteral("705318")).isEmpty());
}

// ---- the server ----

void tst_serverroles::seatCannotChangeStructureOrReadHashes_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("drop table") << "drop table SShop";
    QTest::newRow("truncate") << "truncate UXS";
    QTest::newRow("alter") << "alter table SShop add column theCost2 integer";
    QTest::newRow("create table") << "create table SSpare(a integer)";
    QTest::newRow("create index") << "create index IX_Spare on SShop(theName)";
    QTest::newRow("read hashes") << "select thePass from SUser";
    QTest::newRow("read every column") << "select * from SUser";
    QTest::newRow("change a hash") << "update SUser set thePass='x'";
    QTest::newRow("add a user") << "insert into SUser(theName,thePass,theState) values('张三','','启用')";
    QTest::newRow("remove users") << "delete from SUser where ID>1";
    QTest::newRow("grant a right") << "insert into SLevel(UID,MNum) values(1,'100')";
    QTest::newRow("drop rights") << "delete from SLevel";
    QTest::newRow("change the log") << "update SOpLog set UName='x'";
    QTest::newRow("empty the log") << "delete from SOpLog";
    QTest::newRow("truncate the log") << "truncate SOpLog";
    QTest::newRow("change the version") << "update SVersion set theVersion=1";
    QTest::newRow("grant itself") << "select jxc_grant_seats()";
    QTest::newRow("inner function") << "select jxc_user_of('系统管理员','')";
    QTest::newRow("replace a function")
        << "create or replace function jxc_login_salt(p_name text) returns text language sql as 'select p_name'";
    QTest::newRow("drop a function") << "drop function jxc_login(text, text)";
    QTest::newRow("drop a trigger") << "drop trigger TR_SOpLog_Append on SOpLog";
}

void tst_serverroles::seatCannotChangeStructureOrReadHashes()
{
    if (!testsOnServer()) QSKIP("the server's roles");
    QFETCH(QString, sql);
    TestDb t;
    // Something in the log to change.
    QVERIFY(runs(t.db(), QStringLiteral("insert into SOpLog(theTime,UName,theHost,theKind,theNum,theAmount,theCount,Remark) "
                                        "values('2026-12-11 08:00:00','系统管理员','','登录','',0,0,'')")));
    QString error;
    QVERIFY2(!runs(t.db(), sql, &error), qPrintable(sql));
    QVERIFY2(error.contains(QStringLiteral("permission denied")) || error.contains(QStringLiteral("must be owner")),
             qPrintable(error));
    // Nothing changed.
    QCOMPARE(t.asOwner(QStringLiteral("select count(*) from SOpLog")).toInt(), 1);
    QCOMPARE(t.asOwner(QStringLiteral("select count(*) from SUser")).toInt(), 1);
    QVERIFY(Passwords::verify(QString(), t.asOwner(QStringLiteral("select thePass from SUser where ID=1")).toString()));
    QCOMPARE(t.asOwner(QStringLiteral("select count(*) from SLevel where UID=1")).toInt(),
             t.asOwner(QStringLiteral("select count(*) from SMenu")).toInt());
    QVERIFY(runs(t.db(), QStringLiteral("select count(*) from SShop")));
    // What the screens need still works: the names of the users, the log, a write.
    QVERIFY(runs(t.db(), QStringLiteral("select ID,theName,Remark,theState from SUser")));
    QVERIFY(runs(t.db(), QStringLiteral("select count(*) from SOpLog")));
    t.addProduct(QStringLiteral("螺丝"));
}

// A clerk allowed only sales deliveries, who knows the seats' role, may not
// give himself the other menu items, neither by the program's functions nor
// by writing the rights himself.
void tst_serverroles::clerkCannotGrantHimselfRights()
{
    if (!testsOnServer()) QSKIP("the server's roles");
    TestDb t;
    const int clerk = addClerk(t, QStringLiteral("cl-pw"));
    logIn(t, Clerk, QStringLiteral("cl-pw"));
    QVERIFY(!G.LoginProof.isEmpty());
    QStringList all;
    for (const auto &r : t.dm().rows(QStringLiteral("select MNum from SMenu"))) all << r[0].toString();
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::saveRights(t.dm(), clerk, all));
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::addUser(t.dm(), QStringLiteral("张三"), QString()));
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::setUserState(t.dm(), 1, false));
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::deleteUser(t.dm(), 1));
    QVERIFY(!runs(t.db(), QStringLiteral("insert into SLevel(UID,MNum) select %1, MNum from SMenu").arg(clerk)));
    // Calling the books' function as the administrator needs his password's proof.
    for (const QString &proof : {QString(), G.LoginProof, QStringLiteral("$argon2id$x")})
        QVERIFY_THROWS_EXCEPTION(DbError, ServerRights::saveRights(t.dm(), Admin, proof, clerk, all));
    QCOMPARE(Accounts::rightCodes(t.dm(), clerk), QStringList{SalesRight});
    QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SUser")).toInt(), 2);

    // The administrator can; and a right taken from him, or his user switched
    // off, ends it.
    logIn(t, Admin, QString());
    Accounts::saveRights(t.dm(), clerk, {SalesRight, QStringLiteral("201")});
    QCOMPARE(Accounts::rightCodes(t.dm(), clerk), (QStringList{SalesRight, QStringLiteral("201")}));
    t.asOwner(QStringLiteral("delete from SLevel where UID=1 and MNum=?"), {QString::fromLatin1(ServerRights::UsersRight)});
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::saveRights(t.dm(), clerk, all));
    t.asOwner(QStringLiteral("insert into SLevel(UID,MNum) values(1,?)"), {QString::fromLatin1(ServerRights::UsersRight)});
    t.asOwner(QStringLiteral("update SUser set theState='停用' where ID=1"));
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::saveRights(t.dm(), clerk, all));
    QCOMPARE(Accounts::rightCodes(t.dm(), clerk), (QStringList{SalesRight, QStringLiteral("201")}));
}

// Every change of the users screen, the defaults and the password, through
// the seats' role, as the books' functions make them.
void tst_serverroles::usersChangedThroughTheBooksFunctions()
{
    if (!testsOnServer()) QSKIP("the server's roles");
    TestDb t;
    logIn(t, Admin, QString());
    const int clerk = addClerk(t, QStringLiteral("one"));
    QVERIFY(!Accounts::addUser(t.dm(), QStringLiteral("收银员"), QString()));
    QVERIFY(!Accounts::addUser(t.dm(), QStringLiteral("系统管理员"), QString()));
    Accounts::saveUserDefaults(t.dm(), clerk, {QStringLiteral("总仓"), QStringLiteral("现金"), QString(), QString()});
    QCOMPARE(Accounts::userDefaults(t.dm(), clerk).ck, QStringLiteral("总仓"));
    Accounts::setUserState(t.dm(), clerk, false);
    QCOMPARE(t.dm().value(QStringLiteral("select theState from SUser where ID=?"), {clerk}).toString(), QStringLiteral("停用"));
    Accounts::setUserState(t.dm(), clerk, true);
    // The administrator cannot switch off or delete himself, whatever calls it.
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::setUserState(t.dm(), 1, false));
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::deleteUser(t.dm(), 1));

    // The clerk changes his own password: the old one must hold.
    logIn(t, Clerk, QStringLiteral("one"));
    QCOMPARE(Accounts::checkPasswordChange(t.dm(), Clerk, QStringLiteral("ONE"), QStringLiteral("two"), QStringLiteral("two")),
             Accounts::PasswordCheck::WrongOld);
    QCOMPARE(Accounts::checkPasswordChange(t.dm(), Clerk, QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("two")),
             Accounts::PasswordCheck::Ok);
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::setPassword(t.dm(), Clerk, QStringLiteral("wrong"), QStringLiteral("two")));
    Accounts::setPassword(t.dm(), Clerk, QStringLiteral("one"), QStringLiteral("two"));
    QVERIFY(!Accounts::checkLogin(t.dm(), Clerk, QStringLiteral("one")));
    QVERIFY(Accounts::checkLogin(t.dm(), Clerk, QStringLiteral("two")));
    // Nor can he set the administrator's password without the administrator's.
    QVERIFY_THROWS_EXCEPTION(DbError, Accounts::setPassword(t.dm(), Admin, QStringLiteral("two"), QStringLiteral("mine")));
    QVERIFY(Accounts::checkLogin(t.dm(), Admin, QString()));

    logIn(t, Admin, QString());
    Accounts::deleteUser(t.dm(), clerk);
    QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SUser")).toInt(), 1);
}

// The salt of a name that is no user looks like any other and stays the
// same, so that a seat cannot tell which names are users.
void tst_serverroles::loginSaltTellsNoNames()
{
    if (!testsOnServer()) QSKIP("the server's roles");
    TestDb t;
    const QString none = ServerRights::loginSalt(t.dm(), QStringLiteral("无此人"));
    QCOMPARE(ServerRights::loginSalt(t.dm(), QStringLiteral("无此人")), none);
    QVERIFY(ServerRights::loginSalt(t.dm(), QStringLiteral("另一人")) != none);
    QVERIFY(!Passwords::hashWithSalt(QStringLiteral("x"), none).isEmpty());
    const QString admin = ServerRights::loginSalt(t.dm(), Admin);
    QVERIFY(!Passwords::hashWithSalt(QString(), admin).isEmpty());
    QVERIFY(!Accounts::checkLogin(t.dm(), QStringLiteral("无此人"), QString()));
    // The same name in other letter case is the same user.
    QCOMPARE(ServerRights::loginSalt(t.dm(), QStringLiteral("ADMIN")), ServerRights::loginSalt(t.dm(), QStringLiteral("admin")));
}

// A seat's role finds empty books, older books or books whose owner has not
// yet given it its rights: it is told to start the owner first, and nothing
// is changed.
void tst_serverroles::seatNeitherBuildsNorUpgradesBooks()
{
    if (!testsOnServer()) QSKIP("the server's roles");
    const QString database = createEmptyTestServerDatabase();
    const QString seat = database + QStringLiteral("_seat");
    QSqlDatabase admin = addTestConnection(testServer(QStringLiteral("postgres")), QStringLiteral("roles-admin-1"));
    QVERIFY(admin.open());
    QVERIFY(runs(admin, QStringLiteral("create role %1 login").arg(seat)));
    BooksLocation asSeat = testServer(database);
    asSeat.user = seat;
    QString err;
    // Empty books.
    QVERIFY(!openServer(asSeat, QStringLiteral("roles-seat"), &err));
    QVERIFY2(err.contains(QStringLiteral("账套所有者")), qPrintable(err));
    {
        // Books of an older version, made by their owner, read by the seat
        // once an earlier start gave it rights to read.
        QSqlDatabase owner = addTestConnection(testServer(database), QStringLiteral("roles-owner"));
        QVERIFY(owner.open());
        createSchema(owner, 7);
        QVERIFY(!openServer(asSeat, QStringLiteral("roles-seat"), &err));
        QVERIFY2(err.contains(QStringLiteral("还没有使用")) && err.contains(QStringLiteral("postgres")), qPrintable(err));
        QVERIFY(runs(owner, QStringLiteral("grant select on all tables in schema public to %1").arg(seat)));
        QVERIFY(!openServer(asSeat, QStringLiteral("roles-seat"), &err));
        QVERIFY2(err.contains(QStringLiteral("需要升级")) && err.contains(QStringLiteral("postgres")), qPrintable(err));
        QCOMPARE(schemaVersion(owner), 7);
        owner.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("roles-owner"));
    // The owner's start upgrades and gives the rights; then the seat works.
    QVERIFY2(openServer(testServer(database), QStringLiteral("roles-owner"), &err), qPrintable(err));
    closeDatabase(QStringLiteral("roles-owner"));
    QSqlDatabase::removeDatabase(QStringLiteral("roles-owner"));
    QVERIFY2(openServer(asSeat, QStringLiteral("roles-seat"), &err), qPrintable(err));
    closeDatabase(QStringLiteral("roles-seat"));
    QSqlDatabase::removeDatabase(QStringLiteral("roles-seat"));
    dropTestServerDatabase(database);
    QVERIFY(runs(admin, QStringLiteral("drop role %1").arg(seat)));
    admin.close();
}

// A role made after the books (or a table a later version adds) gets its
// rights at the owner's next start.
void tst_serverroles::rightsFollowTheOwnersStart()
{
    if (!testsOnServer()) QSKIP("the server's roles");
    TestDb t(TestDb::Owner);
    const QString seat = t.location().database + QStringLiteral("_seat");
    QSqlDatabase admin = addTestConnection(testServer(QStringLiteral("postgres")), QStringLiteral("roles-admin"));
    QVERIFY(admin.open());
    QVERIFY(runs(admin, QStringLiteral("create role %1 login").arg(seat)));
    BooksLocation asSeat = t.location();
    asSeat.user = seat;
    QString err;
    QVERIFY(!openServer(asSeat, QStringLiteral("roles-seat"), &err));
    QVERIFY2(openServer(t.location(), QStringLiteral("roles-owner"), &err), qPrintable(err));
    closeDatabase(QStringLiteral("roles-owner"));
    QSqlDatabase::removeDatabase(QStringLiteral("roles-owner"));
    QVERIFY2(openServer(asSeat, QStringLiteral("roles-seat"), &err), qPrintable(err));
    closeDatabase(QStringLiteral("roles-seat"));
    QSqlDatabase::removeDatabase(QStringLiteral("roles-seat"));
    QVERIFY(runs(t.ownerDb(), QStringLiteral("drop owned by %1").arg(seat)));
    QVERIFY(runs(admin, QStringLiteral("drop role %1").arg(seat)));
    admin.close();
}

void tst_serverroles::backupIsTheOwners()
{
    if (!testsOnServer()) QSKIP("the server's roles");
    TestDb t;
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("seat.backup"));
    const QString refusal = DbFile::serverBackup(t.db(), target);
    QVERIFY2(refusal.contains(QStringLiteral("账套所有者")), qPrintable(refusal));
    QVERIFY(!QFileInfo::exists(target));
    frmDM &dm = t.dm();
    const DbFile::RestoreResult r = DbFile::serverRestore(dm, t.db(), target, QDateTime::currentDateTime());
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(QStringLiteral("账套所有者")), qPrintable(r.message));

    // The owner's backup and restore; the restored tables are the seats' to use at once.
    t.addProduct(QStringLiteral("螺丝"));
    QCOMPARE(DbFile::serverBackup(t.ownerDb(), target), QString());
    t.addProduct(QStringLiteral("螺母"));
    {
        frmDM owner(t.ownerDb());
        const DbFile::RestoreResult back = DbFile::serverRestore(owner, t.ownerDb(), target, QDateTime::currentDateTime());
        QVERIFY2(back.ok, qPrintable(back.message));
    }
    QSqlDatabase seat = t.openSeat(QStringLiteral("after-restore"));
    QSqlQuery q(seat);
    QVERIFY2(q.exec(QStringLiteral("select count(*) from SShop")) && q.next(), qPrintable(q.lastError().text()));
    QCOMPARE(q.value(0).toInt(), 1);
    QVERIFY(q.exec(QStringLiteral("insert into SWare(theName,Remark,theState) values('分仓','','启用')")));
    QVERIFY(!q.exec(QStringLiteral("select thePass from SUser")));
    q.finish();
    TestDb::closeSeat(QStringLiteral("after-restore"));
}

// Books opened under the owner's role: the seats are told once to use their
// own role; a seat's role is told nothing.
void tst_serverroles::ownerIsAdvisedOnce()
{
    if (!testsOnServer()) QSKIP("the server's roles");
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("jxc"), QStringLiteral("jxc")).clear();
    TestDb t;
    MsgSpy msgs;
    Shell::adviseSeatRole(t.db());
    QVERIFY(msgs.shown.isEmpty());
    Shell::adviseSeatRole(t.ownerDb());
    QCOMPARE(msgs.shown.size(), 1);
    QVERIFY2(msgs.lastText().contains(t.location().database + QStringLiteral("_seat")), qPrintable(msgs.lastText()));
    Shell::adviseSeatRole(t.ownerDb());
    QCOMPARE(msgs.shown.size(), 1);
    QSettings(QStringLiteral("jxc"), QStringLiteral("jxc")).clear();
}

QTEST_MAIN(tst_serverroles)
#include "tst_serverroles.moc"
