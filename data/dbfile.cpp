#include "dbfile.h"
#include "connection.h"
#include "dm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <sqlite3.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace DbFile {

namespace {

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

// The engine's handle behind a Qt connection, or nullptr.
sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver()) return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

// Makes a rename or a new file in a folder last through a power cut.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool renameOver(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) return false;
    syncFolder(QFileInfo(to).absolutePath());
    return true;
}

// Copies a file byte for byte and makes the copy durable. Returns an empty
// text on success; a failed copy leaves nothing behind.
QString copyFile(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) return QStringLiteral("无法读取文件：%1").arg(native(from));
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("无法写入文件：%1").arg(native(to));
    QByteArray buffer;
    bool ok = true;
    while (ok) {
        buffer = in.read(1 << 20);
        if (buffer.isEmpty()) {
            ok = in.error() == QFileDevice::NoError && in.atEnd();
            break;
        }
        ok = out.write(buffer) == buffer.size();
    }
    ok = ok && out.flush() && ::fsync(out.handle()) == 0 && out.size() == in.size();
    out.close();
    if (!ok) {
        QFile::remove(to);
        return QStringLiteral("复制文件失败（磁盘已满或不能写入？）：%1").arg(native(to));
    }
    syncFolder(QFileInfo(to).absolutePath());
    return QString();
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

// The first row of PRAGMA quick_check / integrity_check: "ok" when sound.
QString firstCheckRow(sqlite3 *db, const char *pragma)
{
    sqlite3_stmt *st = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, pragma, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    else
        out = engineText(db);
    sqlite3_finalize(st);
    return out;
}

} // namespace

QString backupPath(const QString &folder, const QString &workDate)
{
    // cleanPath folds "//" into one separator: the root "/" gives "/2012-11-16.edb".
    return QDir::cleanPath(QDir::fromNativeSeparators(folder) + QLatin1Char('/') + workDate + QStringLiteral(".edb"));
}

QString backup(const QString &connection, const QString &target)
{
    sqlite3 *source = handleOf(QSqlDatabase::database(connection, false));
    if (!source) return QStringLiteral("数据库没有打开，不能备份。");

    const QString temp = target + QStringLiteral(".part");
    QFile::remove(temp);
    removeSideFiles(temp);

    sqlite3 *dest = nullptr;
    QString failure;
    if (sqlite3_open_v2(QFile::encodeName(temp).constData(), &dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
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
        else if (const QString check = firstCheckRow(dest, "PRAGMA quick_check"); check != QLatin1String("ok"))
            failure = QStringLiteral("备份文件检查未通过：%1").arg(check);
    } else {
        failure = QStringLiteral("备份时出错：%1").arg(engineText(dest));
    }
    sqlite3_close(dest);

    if (failure.isEmpty() && !renameOver(temp, target))
        failure = QStringLiteral("无法写入备份文件：%1").arg(native(target));
    if (!failure.isEmpty()) {
        QFile::remove(temp);
        removeSideFiles(temp);
    }
    return failure;
}

QString checkProgramDatabase(const QString &file)
{
    const QFileInfo info(file);
    const QString where = native(file);
    if (!info.exists() || !info.isFile()) return QStringLiteral("文件不存在：%1").arg(where);
    if (info.size() == 0) return QStringLiteral("所选文件是空的，不是本程序的数据库：%1").arg(where);
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("无法读取文件：%1").arg(where);
        if (f.read(16) != QByteArray("SQLite format 3", 16))
            return QStringLiteral("所选文件不是本程序的数据库：%1").arg(where);
    }

    // Read-only and immutable: no lock, no -wal or -shm beside the file, nothing written.
    static int serial = 0;
    const QString conn = QStringLiteral("jxc-check-%1").arg(++serial);
    QString reason;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        url.setQuery(QStringLiteral("immutable=1"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        if (!db.open()) {
            reason = QStringLiteral("无法打开所选文件：%1\n%2").arg(where, db.lastError().text());
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next())
                reason = QStringLiteral("所选文件不是本程序的数据库：%1").arg(where);
            else if (q.value(0).toString() != QLatin1String("ok"))
                reason = QStringLiteral("所选文件已损坏，未通过完整性检查：%1\n%2").arg(where, q.value(0).toString());
            q.finish();
            if (reason.isEmpty() && !hasProgramTables(db))
                reason = QStringLiteral("所选文件不是本程序的数据库：%1").arg(where);
            if (reason.isEmpty()) {
                try {
                    const int version = schemaVersion(db);
                    if (version > currentSchemaVersion())
                        reason = QStringLiteral("所选文件由较新版本的程序建立（版本 %1），本程序只认识到版本 %2：%3")
                                     .arg(version)
                                     .arg(currentSchemaVersion())
                                     .arg(where);
                } catch (...) {
                    reason = QStringLiteral("所选文件不是本程序的数据库：%1").arg(where);
                }
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    return reason;
}

QString safetyCopyPath(const QString &databaseFile, const QDateTime &when)
{
    const QString stem = QFileInfo(databaseFile).absolutePath() + QStringLiteral("/db-恢复前-")
                         + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // Two restores within a second keep both copies.
    QString path = stem + QStringLiteral(".edb");
    for (int n = 2; QFileInfo::exists(path); ++n) path = stem + QStringLiteral("-%1.edb").arg(n);
    return path;
}

RestoreResult restore(frmDM &dm, const QString &connection, const QString &backupFile, const QDateTime &when)
{
    RestoreResult r;
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    const QString current = QFileInfo(db.databaseName()).absoluteFilePath();
    const QString chosen = QFileInfo(backupFile).absoluteFilePath();

    if (QFileInfo(chosen).canonicalFilePath() == QFileInfo(current).canonicalFilePath()) {
        r.message = QStringLiteral("所选文件就是正在使用的数据库，不能用它恢复。");
        return r;
    }
    // A log beside the chosen file holds saves that are not in the file itself.
    if (sideFileExists(chosen, "-wal") || sideFileExists(chosen, "-journal")) {
        r.message = QStringLiteral("所选文件旁有未合并的日志文件，它可能正被其它程序使用：%1\n"
                                   "请关闭使用它的程序后再恢复。")
                        .arg(native(chosen));
        return r;
    }

    // 1. The copy that will become the database, checked before anything changes.
    const QString staged = current + QStringLiteral(".restore");
    QFile::remove(staged);
    removeSideFiles(staged);
    if (const QString e = copyFile(chosen, staged); !e.isEmpty()) {
        r.message = e;
        return r;
    }
    if (const QString e = checkProgramDatabase(staged); !e.isEmpty()) {
        QFile::remove(staged);
        r.message = e;
        r.message.replace(native(staged), native(chosen));
        return r;
    }

    // 2. Close, with the log folded back into the file.
    dm.releaseStatements();
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    db.close();
    // A refusal after the close opens the database again; should that fail,
    // the caller learns it through `closed` and ends the program.
    auto reopen = [&] {
        QString ignored;
        r.closed = !openDatabase(current, connection, &ignored);
    };
    if (sideFileExists(current, "-wal") || sideFileExists(current, "-shm")) {
        QFile::remove(staged);
        reopen();
        r.message = QStringLiteral("数据库正被另一个程序使用，不能恢复。请关闭其它电脑或程序上的本软件后再试。");
        return r;
    }

    // 3. The current database stays beside it, dated.
    r.safetyCopy = safetyCopyPath(current, when);
    if (const QString e = copyFile(current, r.safetyCopy); !e.isEmpty()) {
        QFile::remove(staged);
        reopen();
        r.safetyCopy.clear();
        r.message = QStringLiteral("无法保存现有数据库的副本，未恢复。\n") + e;
        return r;
    }

    // 4. The checked copy takes the database's place in one step.
    removeSideFiles(current);
    if (!renameOver(staged, current)) {
        QFile::remove(staged);
        reopen();
        r.message = QStringLiteral("无法替换数据库文件，未恢复：%1").arg(native(current));
        return r;
    }
    r.ok = true;
    r.closed = true;
    return r;
}

} // namespace DbFile
