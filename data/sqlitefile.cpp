#include "sqlitefile.h"
#include "dbfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QUrl>
#include <QVariant>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace SqliteFile {

namespace {
QString native(const QString &path) { return QDir::toNativeSeparators(path); }
} // namespace

sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver()) return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

bool sideFileExists(const QString &file, const char *suffix)
{
    return QFileInfo::exists(file + QLatin1String(suffix));
}

void removeSideFiles(const QString &file)
{
    for (const char *s : {"-wal", "-shm", "-journal"}) QFile::remove(file + QLatin1String(s));
}

QString engineText(sqlite3 *db) { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString(); }

QString firstRow(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *st = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    else
        out = engineText(db);
    sqlite3_finalize(st);
    return out;
}

QString readOnlyUri(const QString &file)
{
    QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    url.setQuery(QStringLiteral("mode=ro&immutable=1"));
    return url.toString(QUrl::FullyEncoded);
}

QString copyDatabase(sqlite3 *source, const QString &target)
{
    const QString temp = target + QStringLiteral(".part");
    QFile::remove(temp);
    removeSideFiles(temp);

    QString failure;
    // Created here, so that the backup of the shop's users is never readable by others.
    if (!DbFile::createPrivateFile(temp)) return QStringLiteral("无法在所选位置建立备份文件：%1").arg(native(target));

    sqlite3 *dest = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(temp).constData(), &dest, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        failure = QStringLiteral("无法在所选位置建立备份文件：%1\n%2").arg(native(target), engineText(dest));
    } else if (sqlite3_backup *b = sqlite3_backup_init(dest, "main", source, "main")) {
        // All pages in one step: one read transaction on the source, so the copy
        // shows every save either whole or not at all.
        int rc = SQLITE_OK;
        for (int tries = 0; tries < 100; ++tries) {
            rc = sqlite3_backup_step(b, -1);
            if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
            sqlite3_sleep(50);
        }
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE)
            failure = QStringLiteral("备份时出错：%1").arg(QString::fromUtf8(sqlite3_errstr(rc)));
        else if (firstRow(dest, "PRAGMA journal_mode=DELETE") != QLatin1String("delete"))
            failure = QStringLiteral("备份时出错：%1").arg(engineText(dest));
        else if (const QString check = firstRow(dest, "PRAGMA integrity_check"); check != QLatin1String("ok"))
            failure = QStringLiteral("备份文件检查未通过：%1").arg(check);
    } else {
        failure = QStringLiteral("备份时出错：%1").arg(engineText(dest));
    }
    if (dest && sqlite3_close(dest) != SQLITE_OK && failure.isEmpty())
        failure = QStringLiteral("无法写入备份文件：%1").arg(native(target));
    if (failure.isEmpty()) {
        const int sync = ::open(QFile::encodeName(temp).constData(), O_RDONLY | O_CLOEXEC);
        if (sync < 0 || ::fsync(sync) != 0) failure = QStringLiteral("无法写入备份文件：%1").arg(native(target));
        if (sync >= 0) ::close(sync);
    }
    if (failure.isEmpty() && !DbFile::renameOver(temp, target))
        failure = QStringLiteral("无法写入备份文件：%1").arg(native(target));
    if (!failure.isEmpty()) {
        QFile::remove(temp);
        removeSideFiles(temp);
    }
    return failure;
}

} // namespace SqliteFile
