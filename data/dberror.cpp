#include "dberror.h"

#include "engine.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>

DbError::Kind DbError::kindOf(const QSqlError &e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    if (!ok) return Kind::Other;
    // SQLite's result codes; extended codes carry the primary one in the low byte.
    // A unique index refused a value (SQLITE_CONSTRAINT_UNIQUE, _PRIMARYKEY,
    // or the plain code when extended codes are off).
    if (code == 19 || code == 2067 || code == 1555) return Kind::Duplicate;
    switch (code & 0xff) {
    case 5:  // SQLITE_BUSY
    case 6:  // SQLITE_LOCKED
        return Kind::Busy;
    case 8:  return Kind::ReadOnly;     // SQLITE_READONLY
    case 10: return Kind::Io;           // SQLITE_IOERR
    case 11: return Kind::Corrupt;      // SQLITE_CORRUPT
    case 13: return Kind::DiskFull;     // SQLITE_FULL
    case 14: return Kind::CannotOpen;   // SQLITE_CANTOPEN
    case 26: return Kind::NotADatabase; // SQLITE_NOTADB
    default: return Kind::Other;
    }
}

QString DbError::describe(Kind kind, const QString &file)
{
    const QString where = QDir::toNativeSeparators(file);
    switch (kind) {
    case Kind::Busy:
        return QStringLiteral("账套正忙：另一台电脑或另一个程序正在写入数据库，请稍后再试。");
    case Kind::ReadOnly:
        return QStringLiteral("数据库文件不能写入：%1\n请检查该文件及其所在文件夹是否只读、当前用户是否有写入权限。").arg(where);
    case Kind::DiskFull:
        return QStringLiteral("磁盘空间已满，无法写入数据库文件：%1\n请清理磁盘后再试。").arg(where);
    case Kind::NotADatabase:
        return QStringLiteral("文件不是本程序的数据库：%1").arg(where);
    case Kind::Corrupt:
        return QStringLiteral("数据库文件已损坏：%1\n请用备份恢复数据。").arg(where);
    case Kind::CannotOpen:
        return QStringLiteral("无法打开数据库文件：%1\n请检查文件和文件夹是否存在、是否有访问权限。").arg(where);
    case Kind::Io:
        return QStringLiteral("读写数据库文件时出错：%1\n请检查磁盘。").arg(where);
    case Kind::Other:
    case Kind::Duplicate:
        break;
    }
    return QStringLiteral("数据库出错：%1").arg(where);
}

DbError::Kind DbError::serverKindOf(const QSqlError &e)
{
    const QString state = e.nativeErrorCode();
    // Waited for another seat's lock too long, or chosen to give way in a deadlock.
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001"))
        return Kind::Busy;
    if (state == QLatin1String("23505")) return Kind::Duplicate;
    if (state == QLatin1String("53100")) return Kind::DiskFull;
    if (state == QLatin1String("42501") || state == QLatin1String("25006")) return Kind::ReadOnly;
    if (state == QLatin1String("58030")) return Kind::Io;
    if (state == QLatin1String("XX001") || state == QLatin1String("XX002")) return Kind::Corrupt;
    // Connection failures, the server shutting down, a refused login, a missing database.
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")) || state.startsWith(QLatin1String("28"))
        || state == QLatin1String("3D000"))
        return Kind::CannotOpen;
    return Kind::Other;
}

QString DbError::serverPlace(const QSqlDatabase &db)
{
    return serverPlace(db.hostName(), db.port() > 0 ? db.port() : 5432, db.databaseName());
}

QString DbError::serverPlace(const QString &host, int port, const QString &database)
{
    // Without a host the client library goes to the server of this machine
    // through its socket folder, not over the network.
    if (host.isEmpty())
        return QStringLiteral("本机服务器（默认套接字文件夹，端口 %1）上的账套 %2").arg(port).arg(database);
    if (host.startsWith(QLatin1Char('/')))
        return QStringLiteral("本机服务器（套接字文件夹 %1，端口 %2）上的账套 %3").arg(host).arg(port).arg(database);
    return QStringLiteral("服务器 %1:%2 上的账套 %3").arg(host).arg(port).arg(database);
}

QString DbError::describeServer(Kind kind, const QString &where)
{
    switch (kind) {
    case Kind::Busy:
        return describe(kind, where);
    case Kind::ReadOnly:
        return QStringLiteral("账套不能写入：%1\n请检查数据库用户的写入权限，以及服务器是否只读。").arg(where);
    case Kind::DiskFull:
        return QStringLiteral("数据库服务器的磁盘空间已满，无法写入：%1\n请清理服务器的磁盘后再试。").arg(where);
    case Kind::NotADatabase:
        return QStringLiteral("数据库不是本程序的账套：%1").arg(where);
    case Kind::Corrupt:
        return QStringLiteral("数据库服务器报告账套数据已损坏：%1\n请用备份恢复数据。").arg(where);
    case Kind::CannotOpen:
        return QStringLiteral("无法连接数据库服务器：%1\n服务器可能没有运行，或网络不通。请检查服务器是否已启动，"
                              "以及 Data/server.ini 中的地址、端口、账套名、用户名和密码。")
            .arg(where);
    case Kind::Io:
        return QStringLiteral("数据库服务器读写磁盘时出错：%1").arg(where);
    case Kind::Other:
    case Kind::Duplicate:
        break;
    }
    return QStringLiteral("数据库出错：%1").arg(where);
}

DbError DbError::fromSql(const QSqlError &e, const QString &file)
{
    const Kind kind = kindOf(e);
    const QString detail = e.text().trimmed();
    // An engine error without a kind of its own (a constraint, a statement
    // error) is shown as the engine says it, with the file.
    QString text = describe(kind, file);
    if (!detail.isEmpty()) text += QStringLiteral("\n\n详细信息：") + detail;
    return DbError(text, kind);
}

DbError DbError::fromSql(const QSqlError &e, const QSqlDatabase &db)
{
    if (!EngineInfo::onServer(db)) return fromSql(e, db.databaseName());
    Kind kind = serverKindOf(e);
    // A connection that broke off reports no SQLSTATE of its own.
    if (kind == Kind::Other && !db.isOpen()) kind = Kind::CannotOpen;
    QString text = describeServer(kind, serverPlace(db));
    const QString detail = e.text().trimmed();
    if (!detail.isEmpty()) text += QStringLiteral("\n\n详细信息：") + detail;
    return DbError(text, kind);
}
