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
    // Every row counts, deleted and pre-saved ones included, so a number is never given twice.
    const int count = value(QStringLiteral("select count(*) from %1 where theDate=?").arg(table), {G.WorkDate}).toInt();
    return prefix + yymmdd(G.WorkDate) + separator + sequence(count + 1);
}

QString frmDM::NewSPNum()
{
    const int count = value(QStringLiteral("select count(*) from SShop where theDate=?"), {G.WorkDate}).toInt();
    return yymmdd(G.WorkDate) + sequence(count + 1);
}
