#include "dberror.h"

#include <QDir>
#include <QSqlError>

DbError::Kind DbError::kindOf(const QSqlError &e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    if (!ok) return Kind::Other;
    // SQLite's result codes; extended codes carry the primary one in the low byte.
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
