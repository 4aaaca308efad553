#include "testdb.h"
#include "data/connection.h"
#include "data/engine.h"
#include "data/globals.h"
#include "data/passwords.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <chrono>
#include <stdexcept>

namespace {

int g_serial = 0;

// Every test program makes books (one password hash each) and logs in many
// times: new hashes at libsodium's lowest cost keep that quick. The cost the
// program uses is tested on its own (tst_login).
const bool g_quickHashes = [] {
    Passwords::setCost(Passwords::Cost::Lowest);
    return true;
}();

[[noreturn]] void fail(const QString &what) { throw std::runtime_error(what.toStdString()); }

QString socketFolder()
{
    const QString state = qEnvironmentVariable("JXC_TEST_SERVER_STATE");
    QFile f(state);
    if (state.isEmpty() || !f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("JXC_TEST_ENGINE=server needs JXC_TEST_SERVER_STATE naming the file tests/pgcluster.sh wrote (%1)")
                 .arg(state));
    return QString::fromLocal8Bit(f.readAll()).trimmed();
}

// The connection to the server's maintenance database, for creating and dropping test databases.
QSqlDatabase admin()
{
    const QString name = QStringLiteral("jxc-test-admin");
    if (QSqlDatabase::contains(name)) return QSqlDatabase::database(name);
    const BooksLocation w = testServer(QStringLiteral("postgres"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(w.host);
    db.setPort(w.port);
    db.setDatabaseName(w.database);
    db.setUserName(w.user);
    if (!db.open()) fail(QStringLiteral("test server: ") + db.lastError().text());
    QSqlQuery(db).exec(QStringLiteral("SET client_min_messages = warning"));
    return db;
}

void adminExec(const QString &sql)
{
    QSqlQuery q(admin());
    if (!q.exec(sql)) fail(QStringLiteral("test server: %1\n%2").arg(q.lastError().text(), sql));
}

bool databaseExists(const QString &name)
{
    QSqlQuery q(admin());
    q.prepare(QStringLiteral("select count(*) from pg_database where datname=?"));
    q.addBindValue(name);
    if (!q.exec() || !q.next()) fail(q.lastError().text());
    return q.value(0).toInt() > 0;
}

// The books of the current schema, made once per server and copied for every test.
QString templateDatabase()
{
    const QString name = QStringLiteral("jxc_template_v%1").arg(currentSchemaVersion());
    static bool known = false;
    if (known) return name;
    // Test programs running side by side build it once: the first builds, the others wait.
    adminExec(QStringLiteral("select pg_advisory_lock(1)"));
    if (!databaseExists(name)) {
        const QString building = name + QStringLiteral("_building");
        adminExec(QStringLiteral("drop database if exists %1").arg(building));
        adminExec(QStringLiteral("create database %1").arg(building));
        QString err;
        const QString conn = QStringLiteral("jxc-test-template");
        if (!openServer(testServer(building), conn, &err)) fail(err);
        closeDatabase(conn);
        QSqlDatabase::removeDatabase(conn);
        adminExec(QStringLiteral("alter database %1 rename to %2").arg(building, name));
    }
    adminExec(QStringLiteral("select pg_advisory_unlock(1)"));
    known = true;
    return name;
}

QString newDatabaseName()
{
    return QStringLiteral("jxct_%1_%2").arg(QCoreApplication::applicationPid()).arg(++g_serial);
}

} // namespace

bool testsOnServer()
{
    return qEnvironmentVariable("JXC_TEST_ENGINE") == QLatin1String("server");
}

BooksLocation testServer(const QString &database)
{
    BooksLocation w;
    w.server = true;
    w.host = socketFolder();
    w.port = 5432;
    w.database = database;
    w.user = QStringLiteral("postgres");
    return w;
}

QString booksArgument(const BooksLocation &w)
{
    if (!w.server) return w.file;
    // Built piece by piece: the encoded folder holds "%2F", which arg() would take for a marker.
    return QStringLiteral("postgresql:///") + w.database + QStringLiteral("?host=")
           + QString::fromLatin1(QUrl::toPercentEncoding(w.host)) + QStringLiteral("&port=") + QString::number(w.port)
           + QStringLiteral("&user=") + w.user;
}

QSqlDatabase addTestConnection(const BooksLocation &where, const QString &name)
{
    if (!where.server) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(where.file);
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(where.host);
    db.setPort(where.port);
    db.setDatabaseName(where.database);
    db.setUserName(where.user);
    return db;
}

QString createEmptyTestServerDatabase()
{
    const QString name = newDatabaseName();
    adminExec(QStringLiteral("create database %1").arg(name));
    return name;
}

void dropTestServerDatabase(const QString &database)
{
    adminExec(QStringLiteral("drop database if exists %1 with (force)").arg(database));
}

TestDb::TestDb(Role role)
{
    m_conn = QStringLiteral("test%1").arg(++g_serial);
    QString err;
    if (testsOnServer()) {
        const QString name = newDatabaseName();
        adminExec(QStringLiteral("create database %1 template %2").arg(name, templateDatabase()));
        m_where = testServer(name);
        if (role == Seat) {
            // The seats' role of these books; the owner's start gives it its rights.
            m_seatRole = name + QStringLiteral("_seat");
            // With a password, for clusters that ask for one.
            adminExec(QStringLiteral("create role %1 login password '%1'").arg(m_seatRole));
            m_ownerConn = m_conn + QStringLiteral("-owner");
            if (!openBooks(m_where, m_ownerConn, &err)) throw std::runtime_error(err.toStdString());
            m_where.user = m_seatRole;
            m_where.password = m_seatRole;
        }
    } else {
        m_where = BooksLocation::ofFile(m_dir.path() + QStringLiteral("/Data/db.edb"));
    }
    if (!openBooks(m_where, m_conn, &err)) throw std::runtime_error(err.toStdString());
    m_dm = std::make_unique<frmDM>(QSqlDatabase::database(m_conn));
    // On a server, the proof the changes of users and rights are made with:
    // the first user's, as after his login with the empty password.
    if (m_where.server) {
        const QString salt = m_dm->value(QStringLiteral("select jxc_login_salt(?)"), {QStringLiteral("系统管理员")}).toString();
        G.LoginProof = Passwords::hashWithSalt(QString(), salt);
    }
}

TestDb::~TestDb()
{
    m_dm.reset();
    for (const QString &conn : {m_conn, m_ownerConn}) {
        if (conn.isEmpty()) continue;
        {
            QSqlDatabase db = QSqlDatabase::database(conn, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(conn);
    }
    if (m_where.server) {
        try {
            dropTestServerDatabase(m_where.database);
            if (!m_seatRole.isEmpty()) adminExec(QStringLiteral("drop role if exists %1").arg(m_seatRole));
        } catch (const std::exception &e) {
            qWarning("%s", e.what());
        }
    }
}

QSqlDatabase TestDb::ownerDb()
{
    return m_ownerConn.isEmpty() ? db() : QSqlDatabase::database(m_ownerConn);
}

QVariant TestDb::asOwner(const QString &sql, const QVariantList &binds)
{
    QSqlQuery q(ownerDb());
    // Statements without values are sent as they are (a server prepares no CREATE).
    bool ok = binds.isEmpty() ? q.exec(sql) : q.prepare(sql);
    if (ok && !binds.isEmpty()) {
        for (const QVariant &v : binds) q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok) fail(q.lastError().text() + QLatin1Char('\n') + sql);
    return q.next() ? q.value(0) : QVariant();
}

QSqlDatabase TestDb::openSeat(const QString &name, int lockWaitMs)
{
    QSqlDatabase db = addTestConnection(m_where, name);
    if (!m_where.server) db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(lockWaitMs));
    if (!db.open()) fail(db.lastError().text());
    if (m_where.server) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SET lock_timeout = %1").arg(lockWaitMs))) fail(q.lastError().text());
    }
    return db;
}

void TestDb::closeSeat(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

namespace {
// A trigger refusing the writes `event` ("insert", "update") of `table` when
// `when` holds: on the server its function, then the trigger.
QStringList failWrites(bool server, const QString &event, const QString &table, const QString &when, const QString &message)
{
    if (server)
        return {QStringLiteral("create or replace function jxc_fail_%1() returns trigger language plpgsql as $$ "
                               "begin if %2 then raise exception '%3'; end if; return new; end $$")
                    .arg(table, when, message),
                QStringLiteral("create trigger fail before %1 on %2 for each row execute function jxc_fail_%2()").arg(event, table)};
    return {QStringLiteral("create trigger fail before %1 on %2 when %3 begin select raise(abort, '%4'); end")
                .arg(event, table, when, message)};
}
} // namespace

bool TestDb::seatsOwnTable(const QString &table)
{
    if (!m_where.server || m_ownerConn.isEmpty()) return false;
    return m_dm->value(QStringLiteral("select to_regclass(?) is not null"), {QStringLiteral("pg_temp.") + table.toLower()}).toBool();
}

void TestDb::trigger(const QStringList &statements, const QString &table)
{
    // The table a seat's session has of its own (the reports' scratch table)
    // takes its trigger there; the function and every other table's trigger
    // are the owner's.
    const bool own = seatsOwnTable(table);
    for (int i = 0; i < statements.size(); ++i) {
        if (own && i == statements.size() - 1)
            m_dm->mySQL(statements[i]);
        else
            asOwner(statements[i]);
    }
}

void TestDb::failInserts(const QString &table, const QString &message, int fromRows, const QString &newRowCondition)
{
    QString when = QStringLiteral("(select count(*) from %1) >= %2").arg(table).arg(fromRows);
    if (!newRowCondition.isEmpty()) when += QStringLiteral(" and (%1)").arg(newRowCondition);
    trigger(failWrites(m_where.server, QStringLiteral("insert"), table, when, message), table);
}

void TestDb::failUpdates(const QString &table, const QString &message)
{
    trigger(failWrites(m_where.server, QStringLiteral("update"), table, QStringLiteral("true"), message), table);
}

void TestDb::stopFailing(const QString &table)
{
    trigger({m_where.server ? QStringLiteral("drop trigger fail on %1").arg(table) : QStringLiteral("drop trigger fail")}, table);
}

int TestDb::addProduct(const QString &name, Money purchase, Money sales, const QString &date)
{
    return int(m_dm->insertId(QStringLiteral("insert into SShop(theNum,theName,thePY,theType,theStand,theUnit,theJH,theXS,theCB,theZK,"
                                             "theKCMin,theKCMax,theCD,thePH,Remark,theDate,theState,theDel) "
                                             "values(?,?,'','','','个',?,?,?,100,0,1000,'','','',?,'启用','否')"),
                              {name, name, purchase.toVariant(), sales.toVariant(), purchase.toVariant(), date}));
}

int TestDb::addPartner(const QString &name, const QString &type)
{
    return int(m_dm->insertId(QStringLiteral("insert into SUnits(theName,thePY,thePro,thePho,theAdd,Remark,theType,theYS,theYF,"
                                             "theState,theDel) values(?,'','','','','',?,0,0,'启用','否')"),
                              {name, type}));
}

void TestDb::addWarehouse(const QString &name)
{
    m_dm->mySQL(QStringLiteral("insert into SWare(theName,Remark,theState) values(?,'','启用')"), {name});
}

void setSession(const QString &workDate, const QString &login)
{
    G.WorkDate = workDate;
    G.LoginName = login;
}

OtherSeat::OtherSeat(TestDb &t, int holdMs, const QString &sqlWhileHolding)
{
    const BooksLocation where = t.location();
    m_thread = std::thread([=] {
        static std::atomic<int> serial{0};
        const QString name = QStringLiteral("other-seat-%1").arg(++serial);
        {
            QSqlDatabase db;
            if (where.server) {
                db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
                db.setHostName(where.host);
                db.setPort(where.port);
                db.setDatabaseName(where.database);
                db.setUserName(where.user);
            } else {
                db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(where.file);
            }
            db.open();
            QSqlQuery q(db);
            // Takes the books for writing the way every seat of the program does.
            for (const QString &s : EngineInfo::beginWrite(EngineInfo::of(db))) q.exec(s);
            if (!sqlWhileHolding.isEmpty()) q.exec(sqlWhileHolding);
            m_holding = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
            q.exec(QStringLiteral("COMMIT"));
            q.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    });
    while (!m_holding) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

OtherSeat::~OtherSeat() { m_thread.join(); }

void storeShopOptions(frmDM &dm)
{
    dm.mySQL(QStringLiteral("update SDept set theFKC=?, theJH=?, theXS=?, theCB=?"),
             {G.ShopFKC ? 1 : 0, G.ShopJH ? 1 : 0, G.ShopXS ? 1 : 0, G.ShopCB});
}
