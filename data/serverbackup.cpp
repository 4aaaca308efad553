#include "serverbackup.h"
#include "serverrights.h"
#include "bookscopy.h"
#include "connection.h"
#include "dberror.h"
#include "dm.h"
#include "engine.h"
#include "oplog.h"
#include "globals.h"
#include "sqlitefile.h"
#include "transaction.h"
#include "words.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <algorithm>
#include <cctype>
#include <memory>
#include <fcntl.h>
#include <unistd.h>

namespace DbFile {

namespace {

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

// The connection arguments and environment of the client programs for the
// books open on `db`; they never ask for a password on a terminal.
QStringList connectionArgs(const QSqlDatabase &db, const char *databaseOption = "-d")
{
    QStringList a{QStringLiteral("-w")};
    if (!db.hostName().isEmpty()) a << QStringLiteral("-h") << db.hostName();
    if (db.port() > 0) a << QStringLiteral("-p") << QString::number(db.port());
    if (!db.userName().isEmpty()) a << QStringLiteral("-U") << db.userName();
    a << QLatin1String(databaseOption) << db.databaseName();
    return a;
}

QProcessEnvironment clientEnvironment(const QSqlDatabase &db)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!db.password().isEmpty()) env.insert(QStringLiteral("PGPASSWORD"), db.password());
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    env.insert(QStringLiteral("PGAPPNAME"), serverApplicationName());
    // A seat in the middle of a save is waited for as long as a seat waits, no longer.
    env.insert(QStringLiteral("PGOPTIONS"), QStringLiteral("-c lock_timeout=%1").arg(EngineInfo::LockWaitMs));
    env.insert(QStringLiteral("LC_MESSAGES"), QStringLiteral("C"));
    return env;
}

struct Run {
    bool ok = false;
    QByteArray out;
    QString err;
};

// Runs a client program to its end. `env` empty: the system's environment.
Run runTool(const QString &tool, const QStringList &args, const QProcessEnvironment &env = {})
{
    Run r;
    const QString program = serverTool(tool);
    if (program.isEmpty()) {
        r.err = QStringLiteral("找不到 %1（请安装 Debian 软件包 postgresql-client）。").arg(tool);
        return r;
    }
    QProcess p;
    if (!env.isEmpty()) p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForStarted(-1)) {
        r.err = QStringLiteral("无法运行 %1：%2").arg(program, p.errorString());
        return r;
    }
    p.closeWriteChannel();
    p.waitForFinished(-1);
    r.out = p.readAllStandardOutput();
    r.err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!r.ok && r.err.isEmpty()) r.err = QStringLiteral("%1 未能完成（退出码 %2）。").arg(tool).arg(p.exitCode());
    return r;
}

// The tables an archive holds (lower case), from pg_restore --list.
QStringList archiveTables(const QByteArray &list)
{
    QStringList out;
    for (const QByteArray &line : list.split('\n')) {
        if (line.startsWith(';')) continue;
        const QList<QByteArray> w = line.simplified().split(' ');
        // "215; 1259 16386 TABLE public sshop jxc"
        const int at = int(w.indexOf("TABLE"));
        if (at > 0 && at + 2 < w.size() && w[at + 1] != "DATA") out << QString::fromUtf8(w[at + 2]).toLower();
    }
    return out;
}

// The schema version written in an archive's SVersion rows, or 0.
int archiveVersion(const QString &file)
{
    const Run r = runTool(QStringLiteral("pg_restore"),
                          {QStringLiteral("--data-only"), QStringLiteral("--table=sversion"), QStringLiteral("-f"),
                           QStringLiteral("-"), file});
    if (!r.ok) return 0;
    int version = 0;
    bool inCopy = false;
    for (const QByteArray &line : r.out.split('\n')) {
        if (line.startsWith("COPY ")) { inCopy = true; continue; }
        if (!inCopy) continue;
        if (line == "\\.") break;
        version = std::max(version, line.trimmed().toInt());
    }
    return version;
}

} // namespace

int otherSeats(QSqlDatabase db)
{
    // Every connection of this seat (this run of the program, and the client
    // programs it starts) carries the same name up to its last "/".
    const QString name = serverApplicationName();
    const QString ownSeat = name.left(name.lastIndexOf(QLatin1Char('/')) + 1);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select count(*) from pg_stat_activity where datname=current_database() "
                             "and pid<>pg_backend_pid() and backend_type='client backend' "
                             "and left(coalesce(application_name,''),?)<>?"));
    q.addBindValue(ownSeat.size());
    q.addBindValue(ownSeat);
    if (!q.exec() || !q.next()) throw DbError::fromSql(q.lastError(), db);
    return q.value(0).toInt();
}

namespace {

// The statements that clear the books before a backup is put in their place,
// in the transaction of the restore: the books' write lock, then every table.
QString clearingScript(QSqlDatabase db)
{
    QStringList tables;
    for (const QString &t : programTables()) tables << t.toLower();
    tables << QStringLiteral("sversion");
    for (const QString &t : EngineInfo::tableNames(db))
        if (!tables.contains(t.toLower())) tables << t.toLower();
    // Named with their schema: a seat's own scratch tables are not the books'.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select current_schema()")) || !q.next()) throw DbError::fromSql(q.lastError(), db);
    auto quote = [](const QString &name) { return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"'); };
    const QString schema = quote(q.value(0).toString());
    QStringList quoted;
    for (const QString &t : tables) quoted << schema + QLatin1Char('.') + quote(t);
    return EngineInfo::beginWrite(Engine::Server).value(1) + QStringLiteral(";\n")
           + QStringLiteral("drop table if exists %1 cascade;\n").arg(quoted.join(QStringLiteral(", ")));
}

// The statements that clear the books before a backup's rows are put in
// their place, in the transaction of the restore (which holds the books'
// write lock): every table of the books' schema.
void clearBooks(QSqlDatabase db)
{
    QSqlQuery q(db);
    // This seat's report scratch would stand in front of the books' own table.
    if (!q.exec(QStringLiteral("drop table if exists pg_temp.UBB"))) throw DbError::fromSql(q.lastError(), db);
    const QString clear = clearingScript(db);
    for (const QString &statement : clear.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (!statement.startsWith(QLatin1String("select pg_advisory")) && !q.exec(statement))
            throw DbError::fromSql(q.lastError(), db);
}

// One field of pg_dump's text copy format: \N is empty (null), backslash
// escapes as the format defines them.
QVariant copyField(const QByteArray &raw)
{
    if (raw == "\\N") return QVariant();
    if (!raw.contains('\\')) return QString::fromUtf8(raw);
    QByteArray out;
    out.reserve(raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c != '\\' || i + 1 >= raw.size()) {
            out += c;
            continue;
        }
        const char n = raw.at(++i);
        switch (n) {
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case 'x': {
            int v = 0, k = 0;
            while (k < 2 && i + 1 < raw.size() && std::isxdigit(static_cast<unsigned char>(raw.at(i + 1)))) {
                v = v * 16 + QByteArray(1, raw.at(++i)).toInt(nullptr, 16);
                ++k;
            }
            out += char(v);
            break;
        }
        default:
            if (n >= '0' && n <= '7') {
                int v = n - '0';
                for (int k = 0; k < 2 && i + 1 < raw.size() && raw.at(i + 1) >= '0' && raw.at(i + 1) <= '7'; ++k)
                    v = v * 8 + (raw.at(++i) - '0');
                out += char(v);
            } else {
                out += n;
            }
        }
    }
    return QString::fromUtf8(out);
}

// Copies the rows of one of the program's tables from a server backup into
// the books: pg_restore gives the table's data in the text copy format, read
// here line by line as it comes (bounded memory) and written with the
// program's own statements. Nothing of the backup is run as a statement.
void copyArchiveTable(QSqlDatabase to, const QString &archive, const QString &table)
{
    // A row longer than this is not one the program writes.
    constexpr qint64 MaxLine = 4 << 20;
    const QString program = serverTool(QStringLiteral("pg_restore"));
    if (program.isEmpty()) throw DbError(QStringLiteral("找不到 pg_restore（请安装 Debian 软件包 postgresql-client）。"));
    QProcess p;
    p.start(program, {QStringLiteral("--data-only"), QStringLiteral("--table=") + table.toLower(), QStringLiteral("-f"),
                      QStringLiteral("-"), archive});
    if (!p.waitForStarted(-1)) throw DbError(QStringLiteral("无法运行 %1：%2").arg(program, p.errorString()));
    p.closeWriteChannel();

    const QList<SchemaColumn> want = programColumns(table);
    QStringList cols;
    for (const SchemaColumn &c : want) cols << c.name;
    QVector<int> at;  // where each known column stands in the backup's rows
    int width = 0;
    std::unique_ptr<RowWriter> writer;
    bool inCopy = false, seen = false;
    QByteArray pending;
    auto fail = [&](const QString &why) {
        p.kill();
        p.waitForFinished(-1);
        throw DbError(why, DbError::Kind::NotADatabase);
    };
    auto takeLine = [&](QByteArray line) {
        if (!inCopy) {
            if (!line.startsWith("COPY ")) return;
            if (seen) fail(QStringLiteral("备份中表 %1 的数据不止一份").arg(table));
            // COPY schema.table (col, col, …) FROM stdin;
            const int open = int(line.indexOf('(')), close = int(line.lastIndexOf(')'));
            if (open < 0 || close < open || !line.mid(close).trimmed().startsWith(") FROM stdin;"))
                fail(QStringLiteral("备份中表 %1 的数据格式不对").arg(table));
            QStringList have;
            for (const QByteArray &c : line.mid(open + 1, close - open - 1).split(','))
                have << QString::fromUtf8(c.trimmed()).remove(QLatin1Char('"')).toLower();
            width = int(have.size());
            at.clear();
            for (const QString &c : cols) {
                const int i = int(have.indexOf(c.toLower()));
                if (i < 0) fail(QStringLiteral("表 %1 缺少列 %2").arg(table, c));
                at << i;
            }
            writer = std::make_unique<RowWriter>(to, table, cols);
            inCopy = seen = true;
            return;
        }
        if (line == "\\.") {
            inCopy = false;
            return;
        }
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != width) fail(QStringLiteral("备份中表 %1 的一行数据格式不对").arg(table));
        QVariantList row;
        row.reserve(at.size());
        for (int i : at) row << copyField(fields.at(i));
        writer->add(row);
    };
    for (;;) {
        const bool more = p.waitForReadyRead(-1) || p.bytesAvailable() > 0;
        pending += p.readAllStandardOutput();
        int nl;
        while ((nl = int(pending.indexOf('\n'))) >= 0) {
            takeLine(pending.left(nl));
            pending.remove(0, nl + 1);
        }
        if (pending.size() > MaxLine) fail(QStringLiteral("备份中表 %1 有过长的一行").arg(table));
        if (!more && p.state() == QProcess::NotRunning) break;
    }
    p.waitForFinished(-1);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw DbError(QStringLiteral("读取备份文件时出错：%1").arg(QString::fromLocal8Bit(p.readAllStandardError()).trimmed()),
                      DbError::Kind::NotADatabase);
    if (inCopy) throw DbError(QStringLiteral("备份中表 %1 的数据不完整").arg(table), DbError::Kind::NotADatabase);
    if (!seen) throw DbError(QStringLiteral("没有表 %1").arg(table), DbError::Kind::NotADatabase);
    writer->finish();
}

// The rows of a backup into the emptied books.
void copyRows(QSqlDatabase db, const QString &file, bool archive)
{
    if (archive) {
        for (const QString &table : programTables(schemaVersion(db))) copyArchiveTable(db, file, table);
        return;
    }
    // The backup of a file, read where it lies, read-only and without a lock.
    static int serial = 0;
    const QString conn = QStringLiteral("jxc-restore-source-%1").arg(++serial);
    QString failure;
    {
        QSqlDatabase source = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        source.setDatabaseName(SqliteFile::readOnlyUri(file));
        source.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        if (!source.open()) failure = source.lastError().text();
        else {
            try {
                copyBooksRows(source, db);
            } catch (const DbError &e) {
                failure = e.text();
            }
        }
        source.close();
    }
    QSqlDatabase::removeDatabase(conn);
    if (!failure.isEmpty()) throw DbError(failure, DbError::Kind::NotADatabase);
}

// The books of a backup in place of the books on the server, in the
// caller's transaction: the program's own schema of the backup's version,
// the backup's rows, the later upgrade steps. Throws DbError.
void booksFromBackup(QSqlDatabase db, const QString &file, bool archive, int version, QStringList *notes)
{
    clearBooks(db);
    createSchema(db, version);
    emptyBooks(db);
    withIndexesAfter(db, [&] { copyRows(db, file, archive); });
    checkBooksValues(db);
    const QStringList said = upgradeSchema(db);
    if (notes) *notes << said;
    // The tables are new: the seats' role gets its rights to them again.
    ServerRights::grantSeats(db);
}

} // namespace

QString serverTool(const QString &name)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty()) return onPath;
    QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(), [&](const QString &a, const QString &b) { return numeric.compare(a, b) > 0; });
    for (const QString &v : versions) {
        const QString p = lib.filePath(v + QStringLiteral("/bin/") + name);
        if (QFileInfo(p).isExecutable()) return p;
    }
    return QString();
}

bool isServerBackup(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) && f.read(5) == "PGDMP";
}

QString checkServerBackup(const QString &file)
{
    const QString where = native(file);
    const Run list = runTool(QStringLiteral("pg_restore"), {QStringLiteral("--list"), file});
    if (!list.ok) return QStringLiteral("所选文件不是本程序的数据库：%1\n%2").arg(where, list.err);
    const QStringList have = archiveTables(list.out);
    const int version = archiveVersion(file);
    if (version <= 0) return QStringLiteral("所选文件不是本程序的数据库：%1").arg(where);
    QStringList need;
    for (const QString &t : programTables(std::min(version, currentSchemaVersion()))) need << t.toLower();
    need << QStringLiteral("sversion");
    for (const QString &t : need)
        if (!have.contains(t)) return QStringLiteral("所选文件不是本程序的数据库：%1").arg(where);
    if (version > currentSchemaVersion())
        return QStringLiteral("所选文件由较新版本的程序建立（版本 %1），本程序只认识到版本 %2：%3")
            .arg(version)
            .arg(currentSchemaVersion())
            .arg(where);
    return QString();
}

// Backups and restores are the owner's: a seat's role reads no password
// hashes (a backup would lack them) and may not replace the tables.
static QString ownersOnly(const QSqlDatabase &db, const QString &what)
{
    try {
        if (ServerRights::ownsBooks(db)) return QString();
        return QStringLiteral("服务器上的账套只能由账套所有者%1：本机以座席角色 %2 连接。\n"
                              "请以账套所有者 %3 的用户名连接后再%1。")
            .arg(what, db.userName(), ServerRights::booksOwner(db));
    } catch (const DbError &e) {
        return e.text();
    }
}

QString serverBackup(const QSqlDatabase &db, const QString &target)
{
    if (const QString refusal = ownersOnly(db, QStringLiteral("备份")); !refusal.isEmpty()) return refusal;
    const QString temp = target + QStringLiteral(".part");
    QFile::remove(temp);
    // Made here, readable by its owner only: the backup holds the shop's users.
    if (!createPrivateFile(temp)) return QStringLiteral("无法在所选位置建立备份文件：%1").arg(native(target));
    // One consistent picture of the committed books, whatever other seats do meanwhile.
    QStringList args{QStringLiteral("--format=custom"), QStringLiteral("-f"), temp};
    args += connectionArgs(db);
    Run r = runTool(QStringLiteral("pg_dump"), args, clientEnvironment(db));
    QString failure;
    if (!r.ok) {
        failure = QStringLiteral("备份时出错：%1").arg(r.err);
    } else if (const QString check = checkServerBackup(temp); !check.isEmpty()) {
        failure = QStringLiteral("备份文件检查未通过：%1").arg(check);
    } else {
        // Made durable before it takes the place of an older backup of that name.
        QFile f(temp);
        if (!f.open(QIODevice::ReadWrite) || ::fsync(f.handle()) != 0)
            failure = QStringLiteral("无法写入备份文件：%1").arg(native(target));
        f.close();
        if (failure.isEmpty() && !renameOver(temp, target))
            failure = QStringLiteral("无法写入备份文件：%1").arg(native(target));
    }
    if (!failure.isEmpty()) QFile::remove(temp);
    return failure;
}

RestoreResult serverRestore(frmDM &dm, QSqlDatabase db, const QString &backupFile, const QDateTime &when)
{
    RestoreResult r;
    if (const QString refusal = ownersOnly(db, QStringLiteral("恢复")); !refusal.isEmpty()) {
        r.message = refusal;
        return r;
    }
    const QString chosen = QFileInfo(backupFile).absoluteFilePath();
    const QString where = native(chosen);
    const QFileInfo info(chosen);
    if (!info.exists() || !info.isFile()) {
        r.message = QStringLiteral("文件不存在：%1").arg(where);
        return r;
    }
    // A server backup, or a backup of the file: the books of a shop that had one seat.
    const bool archive = isServerBackup(chosen);
    if (!archive) {
        if (QFileInfo::exists(chosen + QStringLiteral("-wal")) || QFileInfo::exists(chosen + QStringLiteral("-journal"))) {
            r.message = QStringLiteral("所选文件旁有未合并的日志文件，它可能正被其它程序使用：%1\n"
                                       "请关闭使用它的程序后再恢复。")
                            .arg(where);
            return r;
        }
    }
    int version = 0;
    const QString check = archive ? checkServerBackup(chosen) : checkProgramDatabase(chosen, &version);
    if (!check.isEmpty()) {
        r.message = check;
        return r;
    }
    if (archive) version = archiveVersion(chosen);
    const QString mark = OpLog::fileMark(chosen);

    // Statements prepared on the tables about to be replaced are let go first.
    dm.releaseStatements();
    try {
        // The books are held for writing from the check of the other seats to
        // the end: nothing is saved between the safety copy and the restore.
        Transaction tx(db);
        if (otherSeats(db) > 0) {
            r.message = QStringLiteral("数据库正被另一个程序使用，不能恢复。请关闭其它电脑或程序上的本软件后再试。");
            return r;
        }
        // The books as they are now, kept as a backup in this seat's Data folder
        // (pg_dump sees every save committed before the hold).
        const QString safety = safetyCopyPath(databaseFile(G.AppPath), when);
        QDir().mkpath(QFileInfo(safety).absolutePath());
        if (const QString e = serverBackup(db, safety); !e.isEmpty()) {
            r.message = QStringLiteral("无法保存现有数据库的副本，未恢复。\n") + e;
            return r;
        }
        r.safetyCopy = safety;
        try {
            booksFromBackup(db, chosen, archive, version, &r.notes);
            // Told in the restored books, so that the log they keep says so.
            OpLog::writeTo(db, G.LoginName, OpLog::Entry{QString::fromUtf8(OpLogWord::Restore), QString(), Money(), Money(), mark});
            tx.commit();
        } catch (const DbError &e) {
            // The books are as they were: the copy of them is not needed.
            QFile::remove(safety);
            r.safetyCopy.clear();
            if (e.kind() != DbError::Kind::NotADatabase) throw;
            r.message = QStringLiteral("所选文件中的数据不能读取，账套未改变：%1\n%2").arg(where, e.text());
            return r;
        }
    } catch (const DbError &e) {
        r.message = QStringLiteral("恢复时出错，账套未改变：%1").arg(e.text());
        return r;
    }
    // The program ends and the next start opens the restored books.
    db.close();
    r.ok = true;
    r.closed = true;
    return r;
}

} // namespace DbFile
