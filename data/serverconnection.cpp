// The books on a PostgreSQL server: opening, the schema on an empty database,
// the session settings of every connection.
#include "connection.h"
#include "dberror.h"
#include "dm.h"
#include "engine.h"
#include "pgconn.h"
#include "serverrights.h"
#include "transaction.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <atomic>

#include <libpq-fe.h>
#include <poll.h>

namespace {

void exec(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) throw DbError::fromSql(q.lastError(), db);
}

QSqlDatabase connectTo(const BooksLocation &where, const QString &name)
{
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(EngineInfo::driverName(Engine::Server), name);
    db.setHostName(where.host);
    db.setPort(where.port);
    db.setDatabaseName(where.database);
    db.setUserName(where.user);
    db.setPassword(where.password);
    db.setConnectOptions(serverConnectOptions(where, serverApplicationName()));
    return db;
}

// Whether the session of an open connection has ended while it was idle.
// Nothing comes to an idle session but the news that the server ends it
// (and the end of the stream), so a socket with something to read is looked
// at; one with nothing is taken as alive (no round trip is spent on it).
bool sessionGone(const QSqlDatabase &db)
{
    PGconn *conn = serverConnectionHandle(db);
    if (!conn) return true;
    for (int i = 0; i < 4 && PQstatus(conn) == CONNECTION_OK; ++i) {
        pollfd p{PQsocket(conn), POLLIN, 0};
        if (p.fd < 0) return true;
        if (poll(&p, 1, 0) <= 0) return false;
        // Reads what came; the end of the stream marks the connection bad.
        if (!PQconsumeInput(conn)) return true;
        PQisBusy(conn);
    }
    return PQstatus(conn) != CONNECTION_OK;
}

// The period reports' scratch table UBB: each seat works out its reports in a
// table of its own session (data/engine.h ownScratchTable), so that two seats
// reporting at the same time never list each other's rows and a report never
// waits for another seat's save. On a server it is made as the session opens.
void prepareScratch(QSqlDatabase db)
{
    EngineInfo::ownScratchTable(db, QStringLiteral("UBB"));
}

// Whether the connection's role may make the books' tables (an empty database).
bool canCreateTables(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select has_schema_privilege(current_schema(), 'CREATE')")) || !q.next())
        throw DbError::fromSql(q.lastError(), db);
    return q.value(0).toBool();
}

// Whether the connection's role may read the books (a seat's role before the
// owner has given it its rights may not).
bool mayReadBooks(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select has_table_privilege('sversion', 'SELECT')")) || !q.next())
        throw DbError::fromSql(q.lastError(), db);
    return q.value(0).toBool();
}

// The owner gives the seats' role its rights at every start (serverrights.h),
// one owner at a time. Another seat's long save is not waited for: the
// rights given at an earlier start stand meanwhile.
void grantSeatRights(QSqlDatabase db)
{
    try {
        Transaction tx(db);
        ServerRights::grantSeats(db);
        tx.commit();
    } catch (const DbError &e) {
        if (e.kind() != DbError::Kind::Busy) throw;
    }
}

} // namespace

QString serverApplicationName()
{
    // "jxc/<host>/<seat>/<n>": the machine, a random id drawn once per run of
    // the program (the seat) and the number of the connection within it, so
    // that every connection is told from every other, and a seat's own
    // connections (and the client programs it starts) by the part before the
    // last "/". Process ids are no help: two machines may well share one.
    // Kept to letters, digits, "." and "-" (a connection option of no quotes)
    // and short of the server's 63 bytes.
    static const QString seat = [] {
        QString host = QSysInfo::machineHostName().left(24);
        for (QChar &c : host)
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('.') && c != QLatin1Char('-'))
                c = QLatin1Char('_');
        if (host.isEmpty()) host = QStringLiteral("_");
        return QStringLiteral("jxc/%1/%2/").arg(host).arg(QRandomGenerator::system()->generate64() & 0xffffffffffULL, 10, 16,
                                                         QLatin1Char('0'));
    }();
    static std::atomic<int> serial{0};
    return seat + QString::number(++serial);
}

bool prepareSession(QSqlDatabase db, QString *error)
{
    if (!EngineInfo::onServer(db)) return true;
    try {
        // A seat that waits for another seat's lock gives up after this and is
        // told the books are busy, as the file's busy timeout does.
        exec(db, QStringLiteral("SET lock_timeout = %1").arg(EngineInfo::LockWaitMs));
        // Notices ("relation already exists, skipping") are of no use to a seat.
        exec(db, QStringLiteral("SET client_min_messages = warning"));
    } catch (const DbError &e) {
        if (error) *error = e.text();
        return false;
    }
    return true;
}

bool reopenServerConnection(QSqlDatabase db, QString *error)
{
    db.close();
    if (!db.open()) {
        if (error) *error = DbError::fromSql(db.lastError(), db).text();
        return false;
    }
    if (!prepareSession(db, error)) return false;
    try {
        prepareScratch(db);
    } catch (const DbError &e) {
        if (error) *error = e.text();
        return false;
    }
    return true;
}

void reconnectIfLost(QSqlDatabase db)
{
    if (!EngineInfo::onServer(db) || Transaction::active(db)) return;
    if (db.isOpen() && !sessionGone(db)) return;
    // The statements prepared on the lost session go before the new session
    // opens: letting go of them there would be refused by the new one. The
    // pick lists keep the rows they read (screens may show them).
    frmDM *dm = frmDM::instance();
    if (dm && dm->db().connectionName() == db.connectionName()) dm->forgetStatements();
    QString error;
    if (!reopenServerConnection(db, &error)) throw DbError(error, DbError::Kind::CannotOpen);
}

bool lostOutsideTransaction(const QSqlDatabase &db)
{
    return EngineInfo::onServer(db) && !Transaction::active(db) && !db.isOpen();
}

pg_conn *serverConnectionHandle(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver()) return nullptr;
    const QVariant v = db.driver()->handle();
    // Qt names the type by its struct: "pg_conn*".
    if (!v.isValid() || (qstrcmp(v.typeName(), "PGconn*") != 0 && qstrcmp(v.typeName(), "pg_conn*") != 0)) return nullptr;
    return *static_cast<PGconn *const *>(v.constData());
}

bool openServer(const BooksLocation &where, const QString &name, QString *error, QStringList *notes)
{
    QSqlDatabase db = connectTo(where, name);
    if (!db.open()) {
        if (error) {
            *error = DbError::describeServer(DbError::Kind::CannotOpen, where.place());
            const QString detail = db.lastError().text().trimmed();
            if (!detail.isEmpty()) *error += QStringLiteral("\n\n详细信息：") + detail;
        }
        return false;
    }
    try {
        QString sessionError;
        if (!prepareSession(db, &sessionError)) throw DbError(sessionError);
        // A seat starts while another seat holds the books for writing, even
        // for long (an import): only an empty database is given its schema
        // under the books' write lock, where of two seats starting on it the
        // second finds the schema the first has built. An upgrade takes the
        // lock only when there is something to upgrade.
        if (EngineInfo::tableNames(db).isEmpty()) {
            if (!canCreateTables(db))
                throw DbError(QStringLiteral("%1 是空的数据库，还没有账套。\n座席角色不能建立账套：请先以账套所有者的用户名连接一次，"
                                             "由它建立账套。")
                                  .arg(where.place()),
                              DbError::Kind::ReadOnly);
            Transaction tx(db);
            if (EngineInfo::tableNames(db).isEmpty()) createSchema(db);
            tx.commit();
        }
        if (!hasProgramTables(db))
            throw DbError(DbError::describeServer(DbError::Kind::NotADatabase, where.place()), DbError::Kind::NotADatabase);
        if (!mayReadBooks(db))
            throw DbError(QStringLiteral("数据库用户 %1 还没有使用 %2 的权限。\n座席角色的权限由账套所有者给出：请先以账套所有者 %3 "
                                         "的用户名连接一次（座席角色须名为 %4，或是它的成员）。")
                              .arg(db.userName(), where.place(), ServerRights::booksOwner(db), ServerRights::seatRole(db)),
                          DbError::Kind::ReadOnly);
        const int version = schemaVersion(db);
        if (version > currentSchemaVersion())
            throw DbError(QStringLiteral("%1 由较新版本的程序建立（版本 %2），本程序只认识到版本 %3。\n"
                                         "请使用新版本的程序。")
                              .arg(where.place())
                              .arg(version)
                              .arg(currentSchemaVersion()));
        const bool owner = ServerRights::ownsBooks(db);
        if (version < currentSchemaVersion() && !owner)
            throw DbError(QStringLiteral("%1 的版本（%2）比本程序（%3）旧，需要升级。\n座席角色不能升级账套：请先以账套所有者 %4 "
                                         "的用户名连接一次，由它升级账套。")
                              .arg(where.place())
                              .arg(version)
                              .arg(currentSchemaVersion())
                              .arg(ServerRights::booksOwner(db)),
                          DbError::Kind::ReadOnly);
        const QStringList said = upgradeSchema(db);
        if (notes) *notes += said;
        if (owner) grantSeatRights(db);
        prepareScratch(db);
        // Try a write now: a user without the right to write is told at start.
        // The try changes nothing and is taken back; it waits for no other
        // seat's save (nor for the books' write lock).
        try {
            exec(db, QStringLiteral("BEGIN"));
            exec(db, QStringLiteral("SET LOCAL lock_timeout = 200"));
            exec(db, QStringLiteral("update SDept set ID=ID where 1=0"));
            exec(db, QStringLiteral("ROLLBACK"));
        } catch (const DbError &e) {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            // Another seat upgrading just now is no fault of these books.
            if (e.kind() != DbError::Kind::Busy) throw;
        }
    } catch (const DbError &e) {
        if (error) *error = e.text();
        db.close();
        return false;
    }
    return true;
}
