// The books on a PostgreSQL server: opening, the schema on an empty database,
// the session settings of every connection.
#include "connection.h"
#include "dberror.h"
#include "engine.h"
#include "transaction.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <atomic>

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
    // An unreachable server is told within seconds, not after the system's TCP timeout.
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=") + serverApplicationName());
    return db;
}

// The period reports' scratch table UBB: each seat works out its reports in a
// table of its own session (data/engine.h ownScratchTable), so that two seats
// reporting at the same time never list each other's rows and a report never
// waits for another seat's save. On a server it is made as the session opens.
void prepareScratch(QSqlDatabase db)
{
    EngineInfo::ownScratchTable(db, QStringLiteral("UBB"));
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
            Transaction tx(db);
            if (EngineInfo::tableNames(db).isEmpty()) createSchema(db);
            tx.commit();
        }
        if (!hasProgramTables(db))
            throw DbError(DbError::describeServer(DbError::Kind::NotADatabase, where.place()), DbError::Kind::NotADatabase);
        const int version = schemaVersion(db);
        if (version > currentSchemaVersion())
            throw DbError(QStringLiteral("%1 由较新版本的程序建立（版本 %2），本程序只认识到版本 %3。\n"
                                         "请使用新版本的程序。")
                              .arg(where.place())
                              .arg(version)
                              .arg(currentSchemaVersion()));
        const QStringList said = upgradeSchema(db);
        if (notes) *notes += said;
        prepareScratch(db);
        // Try a write now: a user without the right to write is told at start.
        // The try changes nothing and is taken back; it waits for no other
        // seat's save (nor for the books' write lock).
        try {
            exec(db, QStringLiteral("BEGIN"));
            exec(db, QStringLiteral("SET LOCAL lock_timeout = 200"));
            exec(db, QStringLiteral("update SVersion set theVersion=theVersion"));
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
