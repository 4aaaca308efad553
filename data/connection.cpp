#include "connection.h"
#include "dberror.h"
#include "maintenance.h"
#include "transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

namespace {

const QString BusyOption = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");

QSqlDatabase connectTo(const QString &file, const QString &name, const QString &options)
{
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(file);
    // Other copies of the program may use the same file: wait for their locks a while.
    db.setConnectOptions(options.isEmpty() ? BusyOption : BusyOption + QLatin1Char(';') + options);
    return db;
}

void exec(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) throw DbError::fromSql(q.lastError(), db.databaseName());
}

// The number of tables and views, read without changing anything.
int objectCount(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select count(*) from sqlite_master")) || !q.next())
        throw DbError::fromSql(q.lastError(), db.databaseName());
    return q.value(0).toInt();
}

void removeSideFiles(const QString &file)
{
    QFile::remove(file + QStringLiteral("-wal"));
    QFile::remove(file + QStringLiteral("-shm"));
    QFile::remove(file + QStringLiteral("-journal"));
}

// Builds a complete new database in a temporary file beside `file` and moves
// it into place. Throws DbError.
void buildNewDatabase(const QString &file)
{
    const QString temp = file + QStringLiteral(".new");
    QFile::remove(temp);
    removeSideFiles(temp);
    const QString conn = QStringLiteral("jxc-new-database");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(temp);
        try {
            if (!db.open()) throw DbError::fromSql(db.lastError(), temp);
            createSchema(db);
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(conn);
            QFile::remove(temp);
            removeSideFiles(temp);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    // Nothing of an earlier, empty file may be applied to the new one.
    removeSideFiles(file);
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::remove(temp);
        throw DbError(QStringLiteral("无法建立数据库文件：%1").arg(QDir::toNativeSeparators(file)), DbError::Kind::CannotOpen);
    }
}

} // namespace

QString databaseFile(const QString &appPath)
{
    return appPath + QStringLiteral("Data/db.edb");
}

bool openDatabase(const QString &file, const QString &name, QString *error, QStringList *notes, const QString &options)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error) *error = QStringLiteral("无法创建文件夹：%1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QSqlDatabase db = connectTo(file, name, options);
    try {
        // A file is new when it is missing, empty, or an SQLite file without any
        // table. Reading sqlite_master changes nothing in a file.
        bool fresh = !QFileInfo::exists(file) || QFileInfo(file).size() == 0;
        if (!fresh) {
            if (!db.open()) throw DbError::fromSql(db.lastError(), file);
            fresh = objectCount(db) == 0;
            if (!fresh && !hasProgramTables(db))
                throw DbError(DbError::describe(DbError::Kind::NotADatabase, file), DbError::Kind::NotADatabase);
            if (!fresh) {
                const int version = schemaVersion(db);
                if (version > currentSchemaVersion())
                    throw DbError(QStringLiteral("数据库文件 %1 由较新版本的程序建立（版本 %2），本程序只认识到版本 %3。\n"
                                                 "请使用新版本的程序打开它。")
                                      .arg(QDir::toNativeSeparators(file))
                                      .arg(version)
                                      .arg(currentSchemaVersion()));
            }
            if (fresh) db.close();
        }
        if (fresh) {
            buildNewDatabase(file);
            if (!db.open()) throw DbError::fromSql(db.lastError(), file);
        }
        // A write-ahead log makes a save one synchronised write instead of several,
        // and readers never block the writer; every commit is still on disk when it returns.
        exec(db, QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(db, QStringLiteral("PRAGMA synchronous=FULL"));
        const QStringList said = upgradeSchema(db);
        if (notes) *notes += said;
        // Try a write now: a read-only file or folder is told at start.
        try {
            Transaction probe(db);
            exec(db, QStringLiteral("create table jxc_write_probe(x int)"));
        } catch (const DbError &e) {
            // Another seat writing just now is no fault of this file.
            if (e.kind() != DbError::Kind::Busy) throw;
        }
    } catch (const DbError &e) {
        if (error) *error = e.text();
        db.close();
        return false;
    }
    return true;
}

void closeDatabase(const QString &name)
{
    if (!QSqlDatabase::contains(name)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen()) {
            optimizeDatabase(db);
            QSqlQuery q(db);
            // Everything into the database file itself.
            q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
}
