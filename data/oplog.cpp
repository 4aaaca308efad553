#include "oplog.h"
#include "dberror.h"
#include "dm.h"
#include "engine.h"
#include "globals.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QVariant>
#include <utility>

namespace OpLog {

namespace {
constexpr int RemarkWidth = 255;
constexpr int HostWidth = 64;
constexpr int KindWidth = 20;
constexpr int NumWidth = 15;
constexpr int UserWidth = 20;

QVariantList values(const QString &user, const Entry &e)
{
    return {QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), user.left(UserWidth),
            seat().left(HostWidth), e.kind.left(KindWidth), e.num.left(NumWidth),
            (e.amount.isValid() ? e.amount : Money()).toVariant(), (e.count.isValid() ? e.count : Money()).toVariant(),
            e.remark.left(RemarkWidth)};
}

// Rows that waited for the books (writeSoon), each with its values as made.
QVector<QVariantList> &waiting()
{
    static QVector<QVariantList> rows;
    return rows;
}

const char *const InsertSql = "insert into SOpLog(theTime,UName,theHost,theKind,theNum,theAmount,theCount,Remark) "
                              "values(?,?,?,?,?,?,?,?)";
} // namespace

void write(frmDM &dm, const QString &kind, const QString &num, Money amount, Money count, const QString &remark)
{
    for (const QVariantList &row : std::exchange(waiting(), {})) dm.mySQL(QString::fromLatin1(InsertSql), row);
    dm.mySQL(QString::fromLatin1(InsertSql), values(G.LoginName, Entry{kind, num, amount, count, remark}));
}

void writeTo(QSqlDatabase db, const QString &user, const Entry &e)
{
    QSqlQuery q(db);
    if (!q.prepare(QString::fromLatin1(InsertSql))) throw DbError::fromSql(q.lastError(), db);
    for (const QVariant &v : values(user, e)) q.addBindValue(v);
    if (!q.exec()) throw DbError::fromSql(q.lastError(), db);
}

void writeSoon(QSqlDatabase db, const QString &user, const Entry &e)
{
    const QVariantList row = values(user, e);
    const bool written = EngineInfo::writeWithoutWaiting(db, [&] {
        QSqlQuery q(db);
        if (!q.prepare(QString::fromLatin1(InsertSql))) throw DbError::fromSql(q.lastError(), db);
        for (const QVariant &v : row) q.addBindValue(v);
        if (!q.exec()) throw DbError::fromSql(q.lastError(), db);
    });
    if (!written) waiting() << row;
}

QString seat()
{
    return QSysInfo::machineHostName();
}

QString fileMark(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !hash.addData(&f)) return name + QStringLiteral("  SHA-256:?");
    return name + QStringLiteral("  SHA-256:") + QString::fromLatin1(hash.result().toHex());
}

} // namespace OpLog
