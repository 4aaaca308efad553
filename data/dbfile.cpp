#include "dbfile.h"
#include "dberror.h"
#include "transaction.h"
#include "globals.h"
#include "oplog.h"
#include "connection.h"
#include "engine.h"
#include "serverbackup.h"
#include "sqlitefile.h"
#include "words.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace DbFile {

namespace {
QString native(const QString &path) { return QDir::toNativeSeparators(path); }
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

bool createPrivateFile(const QString &file)
{
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

QString backupPath(const QString &folder, const QString &workDate)
{
    // cleanPath folds "//" into one separator: the root "/" gives "/2012-11-16.edb".
    return QDir::cleanPath(QDir::fromNativeSeparators(folder) + QLatin1Char('/') + workDate + QStringLiteral(".edb"));
}

namespace {
QString copyBooks(const QSqlDatabase &db, const QString &target)
{
    if (EngineInfo::onServer(db)) return db.isOpen() ? serverBackup(db, target) : QStringLiteral("数据库没有打开，不能备份。");
    sqlite3 *source = SqliteFile::handleOf(db);
    if (!source) return QStringLiteral("数据库没有打开，不能备份。");
    return SqliteFile::copyDatabase(source, target);
}
} // namespace

QString backup(const QString &connection, const QString &target)
{
    const QSqlDatabase db = QSqlDatabase::database(connection, false);
    const QString failure = copyBooks(db, target);
    if (!failure.isEmpty()) return failure;
    // The backup holds the books as they were; the log tells of it after. The
    // backup itself is made and good even when the books cannot take the row
    // (another seat holding them for writing past the wait).
    try {
        Transaction tx(db);
        OpLog::writeTo(db, G.LoginName, OpLog::Entry{QString::fromUtf8(OpLogWord::Backup), QString(), Money(), Money(),
                                                     OpLog::fileMark(target)});
        tx.commit();
    } catch (const DbError &) {
    }
    return QString();
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
        db.setDatabaseName(SqliteFile::readOnlyUri(info.absoluteFilePath()));
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

} // namespace DbFile
