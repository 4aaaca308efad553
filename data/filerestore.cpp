// The restore of a backup into the books on the file (dbfile.h).
#include "dbfile.h"
#include "bookscopy.h"
#include "connection.h"
#include "dberror.h"
#include "dm.h"
#include "engine.h"
#include "globals.h"
#include "oplog.h"
#include "serverbackup.h"
#include "sqlitefile.h"
#include "transaction.h"
#include "words.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace DbFile {

using namespace SqliteFile;

namespace {

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

int pageSizeOf(sqlite3 *db)
{
    const int size = firstRow(db, "PRAGMA page_size").toInt();
    return size > 0 ? size : 4096;
}

// Makes fresh books at `target` with the program's own schema of the backup's
// version, copies into them the rows of the tables and columns the program
// knows from the backup, checks every number, brings them to this program's
// version by the later upgrade steps and runs the integrity check. Nothing else
// of the backup reaches them. Returns an empty text, or what is wrong.
QString booksFromBackup(const QString &backupFile, int version, const QString &target, int pageSize,
                               QStringList *notes, const OpLog::Entry &told)
{
    QFile::remove(target);
    removeSideFiles(target);
    if (!createPrivateFile(target)) return QStringLiteral("无法建立临时文件：%1").arg(native(target));
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
                    withIndexesAfter(db, [&] { copyAttachedRows(db, QStringLiteral("backup")); });
                    checkBooksValues(db);
                    tx.commit();
                }
                if (!q.exec(QStringLiteral("DETACH DATABASE backup"))) throw DbError::fromSql(q.lastError(), db);
                const QStringList said = upgradeSchema(db);
                if (notes) *notes << said;
                // The restore told in the books it builds: their log keeps it.
                OpLog::writeTo(db, G.LoginName, told);
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

} // namespace

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
    const OpLog::Entry told{QString::fromUtf8(OpLogWord::Restore), QString(), Money(), Money(), OpLog::fileMark(chosen)};
    if (const QString e = booksFromBackup(chosen, version, staged, pageSizeOf(live), &r.notes, told); !e.isEmpty()) {
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
        const QString seen = firstRow(reader, "PRAGMA data_version");
        kept = copyDatabase(reader, r.safetyCopy);
        sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
        if (!kept.isEmpty() || holding) break;
        if (!(into = hold())) break;
        if (firstRow(reader, "PRAGMA data_version") != seen) {
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
