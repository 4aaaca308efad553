#include "connection.h"
#include "dberror.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

QString databaseFile(const QString &appPath)
{
    return appPath + QStringLiteral("Data/db.edb");
}

bool openDatabase(const QString &file, const QString &name, QString *error)
{
    const bool fresh = !QFileInfo::exists(file);
    if (fresh && !QDir().mkpath(QFileInfo(file).absolutePath())) {
        if (error) *error = QStringLiteral("无法创建文件夹：") + QFileInfo(file).absolutePath();
        return false;
    }
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(file);
    // Other copies of the program may use the same file: wait for their locks a while.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        if (error) *error = db.lastError().text();
        return false;
    }
    try {
        // A write-ahead log makes a save one synchronised write instead of several,
        // and readers never block the writer; every commit is still on disk when it returns.
        QSqlQuery pragma(db);
        if (!pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !pragma.exec(QStringLiteral("PRAGMA synchronous=FULL")))
            throw DbError(pragma.lastError().text());
        pragma.finish();
        if (fresh) {
            createSchema(db);
        } else {
            // An existing file is taken as it is; reading from it proves it is a database.
            QSqlQuery probe(db);
            if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")))
                throw DbError(probe.lastError().text());
        }
    } catch (const DbError &e) {
        if (error) *error = e.text();
        db.close();
        if (fresh) QFile::remove(file);
        return false;
    }
    return true;
}
