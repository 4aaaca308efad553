// Document and product numbers: prefix + business date as yymmdd + separator +
// a sequence that counts the rows already entered on that business date.
#include "dberror.h"
#include "dm.h"
#include "globals.h"

namespace {
QString yymmdd(const QString &date)
{
    // date is "yyyy-MM-dd"
    return date.mid(2, 2) + date.mid(5, 2) + date.mid(8, 2);
}

// Numbers carry two digits of the year: business dates stay within one century.
void checkCentury(const QString &date)
{
    const int year = date.left(4).toInt();
    if (year < 2000 || year > 2099)
        throw DbError(QStringLiteral("营业日期 %1 不在 2000 年至 2099 年之间，不能编号。请重新登录并选择正确的营业日期。").arg(date));
}

QString sequence(int n)
{
    // Four digits, zero-padded; from 10 000 on the number is written as it is.
    return QString::number(n).rightJustified(4, QLatin1Char('0'));
}
}

QString frmDM::NewDJNum(const QString &table, const QString &prefix, const QString &separator)
{
    static const QStringList tables{QStringLiteral("UJH"), QStringLiteral("UCG_O"), QStringLiteral("UXS"),
                                    QStringLiteral("UXS_O"), QStringLiteral("UFK"), QStringLiteral("USK"),
                                    QStringLiteral("UDB"), QStringLiteral("UBS"), QStringLiteral("UBY"),
                                    QStringLiteral("UCZ")};
    if (!tables.contains(table)) throw DbError(QStringLiteral("未知的单据表：") + table);
    checkCentury(G.WorkDate);
    // Every row counts, deleted and pre-saved ones included, so a number is never given twice.
    int n = value(QStringLiteral("select count(*) from %1 where theDate=?").arg(table), {G.WorkDate}).toInt() + 1;
    // A number already taken (a document of a date a century apart, a number
    // shared in an old file) is skipped; the caller holds the write lock, so
    // the number found free stays free until its document is stored.
    QString num = prefix + yymmdd(G.WorkDate) + separator + sequence(n);
    while (value(QStringLiteral("select count(*) from %1 where theNum=?").arg(table), {num}).toInt() > 0)
        num = prefix + yymmdd(G.WorkDate) + separator + sequence(++n);
    return num;
}

QString frmDM::NewSPNum(int *next)
{
    int n = next && *next > 0 ? *next
                              : value(QStringLiteral("select count(*) from SShop where theDate=?"), {G.WorkDate}).toInt() + 1;
    // A number some product already carries (typed by hand, or given on a date
    // a century apart) is skipped, so a new number never names two products.
    QString num = yymmdd(G.WorkDate) + sequence(n);
    while (value(QStringLiteral("select count(*) from SShop where theNum=?"), {num}).toInt() > 0)
        num = yymmdd(G.WorkDate) + sequence(++n);
    if (next) *next = n + 1;
    return num;
}
