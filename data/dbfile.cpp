#include "dbfile.h"
#include "connection.h"
#include "dm.h"
#include "engine.h"
#include "bookscopy.h"
#include "dberror.h"
#include "serverbackup.h"
#include "transaction.h"

#include <QDir>
#include <QElapsedTimer>
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

QString backupPath(const QString &folder, const QString &workDate)
{
    // cleanPath folds "//" into one separator: the root "/" gives "/2012-11-16.edb".
    return QDir::cleanPath(QDir::fromNativeSeparators(folder) + QLatin1Char('/') + workDate + QStringLiteral(".edb"));
}

// Copies the database open on `source` into `target` with the engine's online
// backup: written under a temporary name readable by its owner only, in the
// rollback-journal mode (a single self-contained file that any tool can open
// read-only without leaving a log beside it), checked with the integrity
// check, and only then renamed over an older file of that name.
static QString copyDatabase(sqlite3 *source, const QString &target)
{
    const QString temp = target + QStringLiteral(".part");
    QFile::remove(temp);
    removeSideFiles(temp);

    QString failure;
    // Created here, so that the backup of the shop's users is never readable by others.
    const int fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return QStringLiteral("无法在所选位置建立备份文件：%1").arg(native(target));
    ::close(fd);

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
        else if (firstCheckRow(dest, "PRAGMA journal_mode=DELETE") != QLatin1String("delete"))
            failure = QStringLiteral("备份时出错：%1").arg(engineText(dest));
        else if (const QString check = firstCheckRow(dest, "PRAGMA integrity_check"); check != QLatin1String("ok"))
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
    if (failure.isEmpty() && !renameOver(temp, target))
        failure = QStringLiteral("无法写入备份文件：%1").arg(native(target));
    if (!failure.isEmpty()) {
        QFile::remove(temp);
        removeSideFiles(temp);
    }
    return failure;
}

QString backup(const QString &connection, const QString &target)
{
    const QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (EngineInfo::onServer(db)) return db.isOpen() ? serverBackup(db, target) : QStringLiteral("数据库没有打开，不能备份。");
    sqlite3 *source = handleOf(db);
    if (!source) return QStringLiteral("数据库没有打开，不能备份。");
    return copyDatabase(source, target);
}

QString checkProgramDatabase(const QString &file, int *versionOut)
{
    const QFileInfo info(file);
    const QString where = native(file);
    if (!info.exists() || !info.isFile()) return QStringLiteral("文件不存在：%1").arg(where);
    if (info.size() == 0) return QStringLiteral("所选文件是空的，不是本程序的数据库：%1").arg(where);
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("无法读取文件：%1").arg(where);
        const QByteArray head = f.read(16);
        if (head.startsWith("PGDMP"))
            return QStringLiteral("所选文件是服务器账套的备份，只能在连接该服务器时恢复：%1").arg(where);
        if (head != QByteArray("SQLite format 3", 16))
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
                    if (versionOut) *versionOut = version;
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

namespace {

// The address SQLite opens a file by read-only, without a lock and without
// anything written beside it (the file is not changed while it is read).
QString readOnlyUri(const QString &file)
{
    QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    url.setQuery(QStringLiteral("mode=ro&immutable=1"));
    return url.toString(QUrl::FullyEncoded);
}

int pageSizeOf(sqlite3 *db)
{
    const int size = firstCheckRow(db, "PRAGMA page_size").toInt();
    return size > 0 ? size : 4096;
}

} // namespace

// Makes fresh books at `target` with the program's own schema of the backup's
// version, copies into them the rows of the tables and columns the program
// knows from the backup, checks every number, brings them to this program's
// version by the later upgrade steps and runs the integrity check. Nothing else
// of the backup reaches them. Returns an empty text, or what is wrong.
static QString booksFromBackup(const QString &backupFile, int version, const QString &target, int pageSize,
                               QStringList *notes)
{
    QFile::remove(target);
    removeSideFiles(target);
    {
        const int fd = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) return QStringLiteral("无法建立临时文件：%1").arg(native(target));
        ::close(fd);
    }
    static int serial = 0;
    const QString conn = QStringLiteral("jxc-restore-build-%1").arg(++serial);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(target);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!db.open()) {
            failure = QStringLiteral("无法建立临时文件：%1\n%2").arg(native(target), db.lastError().text());
        } else {
            try {
                QSqlQuery q(db);
                // A scratch file until it is checked: no journal needed, the page size of the books.
                for (const QString &pragma : {QStringLiteral("PRAGMA page_size=%1").arg(pageSize),
                                              QStringLiteral("PRAGMA journal_mode=OFF"), QStringLiteral("PRAGMA synchronous=OFF"),
                                              QStringLiteral("PRAGMA cache_size=-65536"), QStringLiteral("PRAGMA temp_store=FILE")})
                    if (!q.exec(pragma)) throw DbError::fromSql(q.lastError(), db);
                q.prepare(QStringLiteral("ATTACH DATABASE ? AS backup"));
                q.addBindValue(readOnlyUri(backupFile));
                if (!q.exec()) throw DbError::fromSql(q.lastError(), db);
                            {
                    Transaction tx(db);
                    createSchema(db, version);
                    emptyBooks(db);
                    // The indexes are made after the rows are in: sorting once is
                    // much quicker than keeping them in order row by row.
                    QList<QPair<QString, QString>> indexes;
                    if (!q.exec(QStringLiteral("select name, sql from sqlite_master where type='index' and sql is not null")))
                        throw DbError::fromSql(q.lastError(), db);
                    while (q.next()) indexes << qMakePair(q.value(0).toString(), q.value(1).toString());
                    for (const auto &index : indexes)
                        if (!q.exec(QStringLiteral("DROP INDEX \"%1\"").arg(index.first))) throw DbError::fromSql(q.lastError(), db);
                    copyAttachedRows(db, QStringLiteral("backup"));
                    for (const auto &index : indexes)
                        if (!q.exec(index.second)) throw DbError::fromSql(q.lastError(), db);
                    checkBooksValues(db);
                    tx.commit();
                }
                if (!q.exec(QStringLiteral("DETACH DATABASE backup"))) throw DbError::fromSql(q.lastError(), db);
                const QStringList said = upgradeSchema(db);
                if (notes) *notes << said;
                if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next())
                    throw DbError::fromSql(q.lastError(), db);
                if (q.value(0).toString() != QLatin1String("ok"))
                    throw DbError(QStringLiteral("完整性检查未通过：%1").arg(q.value(0).toString()), DbError::Kind::Corrupt);
                q.finish();
            } catch (const DbError &e) {
                failure = e.text();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    if (!failure.isEmpty()) {
        QFile::remove(target);
        removeSideFiles(target);
    }
    return failure;
}

RestoreResult restore(frmDM &dm, const QString &connection, const QString &backupFile, const QDateTime &when)
{
    RestoreResult r;
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (EngineInfo::onServer(db)) return serverRestore(dm, db, backupFile, when);
    sqlite3 *live = handleOf(db);
    if (!live) {
        r.message = QStringLiteral("数据库没有打开，不能恢复。");
        return r;
    }
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
    int version = 0;
    if (const QString e = checkProgramDatabase(chosen, &version); !e.isEmpty()) {
        r.message = e;
        return r;
    }
    // What an earlier restore that was stopped left behind.
    const QString staged = current + QStringLiteral(".restore");
    const QDir folder = QFileInfo(current).absoluteDir();
    for (const QString &left : folder.entryList({QStringLiteral("db-恢复前-*.edb.part")}, QDir::Files))
        QFile::remove(folder.filePath(left));

    // 1. Fresh books of the program's own making, holding the backup's rows.
    if (const QString e = booksFromBackup(chosen, version, staged, pageSizeOf(live), &r.notes); !e.isEmpty()) {
        r.message = QStringLiteral("所选文件中的数据不能读取，未恢复：%1\n%2").arg(native(chosen), e);
        return r;
    }
    sqlite3 *fresh = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(staged).constData(), &fresh, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        r.message = QStringLiteral("无法读取临时文件，未恢复：%1\n%2").arg(native(staged), engineText(fresh));
        sqlite3_close(fresh);
        QFile::remove(staged);
        return r;
    }
    auto cleanUp = [&] {
        sqlite3_close(fresh);
        QFile::remove(staged);
        removeSideFiles(staged);
    };

    // 2. The books are held for writing from the safety copy to the end: no
    //    other program saves in between. The restore is one write transaction
    //    of the engine into the open books, so every other program sees either
    //    the books before or the restored ones.
    dm.releaseStatements();
    QString why;
    // Takes the books for writing, as the first step of the copy into them.
    // Waits as long as a save waits, trying often: other programs saving one
    // after the other must not starve the restore.
    auto hold = [&]() -> sqlite3_backup * {
        sqlite3_backup *b = sqlite3_backup_init(live, "main", fresh, "main");
        if (!b) {
            why = QStringLiteral("数据库正在使用中，未恢复：%1").arg(engineText(live));
            return nullptr;
        }
        QElapsedTimer waited;
        waited.start();
        sqlite3_busy_handler(
            live, [](void *clock, int) -> int {
                if (static_cast<QElapsedTimer *>(clock)->elapsed() >= EngineInfo::LockWaitMs) return 0;
                sqlite3_sleep(1);
                return 1;
            },
            &waited);
        const int rc = sqlite3_backup_step(b, 0);
        sqlite3_busy_timeout(live, EngineInfo::LockWaitMs);
        if (rc == SQLITE_OK || rc == SQLITE_DONE) return b;
        sqlite3_backup_finish(b);
        why = (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                  ? DbError::describe(DbError::Kind::Busy, current) + QStringLiteral("\n未恢复。")
                  : QStringLiteral("恢复时出错，账套未改变：%1").arg(QString::fromUtf8(sqlite3_errstr(rc)));
        return nullptr;
    };

    // 3. The books as they are now, every save told OK included, kept beside
    //    them. Copying and checking a big file takes a while, so the copy is
    //    first taken while others may still save, and kept when nothing was
    //    saved between its picture of the books and the hold; else it is taken
    //    again while holding the books.
    r.safetyCopy = safetyCopyPath(current, when);
    sqlite3 *reader = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(current).constData(), &reader, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        r.message = QStringLiteral("无法保存现有数据库的副本，未恢复。\n无法读取数据库：%1").arg(engineText(reader));
        r.safetyCopy.clear();
        sqlite3_close(reader);
        cleanUp();
        return r;
    }
    sqlite3_backup *into = nullptr;
    QString kept;
    constexpr int Tries = 1;
    for (int attempt = 0; attempt <= Tries && !into && kept.isEmpty() && why.isEmpty(); ++attempt) {
        const bool holding = attempt == Tries;
        if (holding && !(into = hold())) break;
        // The picture of the books the copy shows, and the count of changes it was taken at.
        sqlite3_exec(reader, "BEGIN", nullptr, nullptr, nullptr);
        const QString seen = firstCheckRow(reader, "PRAGMA data_version");
        kept = copyDatabase(reader, r.safetyCopy);
        sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
        if (!kept.isEmpty() || holding) break;
        if (!(into = hold())) break;
        if (firstCheckRow(reader, "PRAGMA data_version") != seen) {
            // Another program saved meanwhile: that copy is not the books as they are.
            sqlite3_backup_finish(into);
            into = nullptr;
            QFile::remove(r.safetyCopy);
        }
    }
    sqlite3_close(reader);
    if (!kept.isEmpty() || !into) {
        if (into) sqlite3_backup_finish(into);
        if (kept.isEmpty()) QFile::remove(r.safetyCopy);
        r.safetyCopy.clear();
        r.message = kept.isEmpty() ? why : QStringLiteral("无法保存现有数据库的副本，未恢复。\n") + kept;
        cleanUp();
        return r;
    }

    // 4. The fresh books into the open database, in the one transaction.
    const int rc = sqlite3_backup_step(into, -1);
    const int finished = sqlite3_backup_finish(into);
    cleanUp();
    if (rc != SQLITE_DONE || finished != SQLITE_OK) {
        r.message = QStringLiteral("恢复时出错，账套未改变：%1")
                        .arg(QString::fromUtf8(sqlite3_errstr(rc != SQLITE_DONE ? rc : finished)));
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace DbFile
