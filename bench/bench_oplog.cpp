// Times the operation log's list on ten years of log rows: the first screen
// and totals of the last month, of one user over the whole log, of one kind
// and of one document number. Builds its own books (a file in a temporary
// folder, or with a postgresql:// address an empty database on a server).
//
//   bench_oplog [rows] [rounds] [postgresql://…]
#include "benchdb.h"

#include "data/bookslocation.h"
#include "data/connection.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/transaction.h"
#include "shell/frmoplog.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

const char *const Users[] = {"系统管理员", "小王", "小李", "小张"};
const char *const Kinds[] = {"销售出库保存", "采购入库保存", "结算", "登录", "退出", "删除", "收款单保存"};

void fill(frmDM &dm, int rows)
{
    // Ten years up to yesterday, rows spread evenly over them.
    const QDateTime last(QDate::currentDate().addDays(-1), QTime(20, 0));
    const qint64 span = qint64(3652) * 86400;
    const QStringList cols = QStringLiteral("theTime,UName,theHost,theKind,theNum,theAmount,theCount,Remark").split(QLatin1Char(','));
    Transaction tx(dm.db());
    QVector<QVariantList> batch;
    for (int i = 0; i < rows; ++i) {
        const QDateTime at = last.addSecs(-span + span * i / rows);
        const QString num = i % 3 == 0 ? QString() : QStringLiteral("XS%1-%2").arg(at.toString("yyMMdd")).arg(i % 10000, 4, 10, QLatin1Char('0'));
        batch << QVariantList{at.toString("yyyy-MM-dd hh:mm:ss"), QString::fromUtf8(Users[i % 4]), QStringLiteral("柜台%1").arg(i % 3),
                              QString::fromUtf8(Kinds[i % 7]), num, Money::fromUnits((i % 1000) * 10000).toVariant(),
                              Money::fromUnits((i % 10) * 10000).toVariant(), QString()};
        if (batch.size() == 5000) {
            dm.insertRows(QStringLiteral("SOpLog"), cols, batch);
            batch.clear();
        }
    }
    dm.insertRows(QStringLiteral("SOpLog"), cols, batch);
    tx.commit();
}

void time(const char *what, int rounds, const std::function<int()> &work)
{
    std::vector<double> ms;
    int found = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        found = work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("%-48s %9.1f ms  (%d rows)\n", what, BenchDb::median(ms), found);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rows = args.value(1, QStringLiteral("2000000")).toInt();
    const int rounds = args.value(2, QStringLiteral("5")).toInt();
    const QString url = args.value(3);
    QTemporaryDir dir;
    QString error;
    BooksLocation where;
    if (url.isEmpty()) {
        where.file = dir.filePath(QStringLiteral("db.edb"));
    } else if (!BooksLocation::fromUrl(url, &where, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (!openBooks(where, QStringLiteral("bench"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    frmDM dm(QSqlDatabase::database(QStringLiteral("bench")));
    G.LoginName = QStringLiteral("系统管理员");
    for (const char *u : Users)
        if (QString::fromUtf8(u) != G.LoginName)
            dm.mySQL(QStringLiteral("insert into SUser(theName,thePass,Remark,theState) values(?,'','',?)"),
                     {QString::fromUtf8(u), QStringLiteral("启用")});
    QElapsedTimer built;
    built.start();
    fill(dm, rows);
    std::printf("%s: %d log rows written in %.1f s\n", url.isEmpty() ? "file" : "server", rows, built.elapsed() / 1000.0);

    time("last month, first screen and totals", rounds, [] {
        frmOpLog s;
        s.filters()[0]->tick();
        s.BitBtn1Click();
        return s.foundCount();
    });
    time("one user, ten years, first screen and totals", rounds, [] {
        frmOpLog s;
        s.filters()[0]->dateFrom()->setDate(QDate::currentDate().addYears(-11));
        s.filters()[0]->tick();
        FilterRow *user = s.filters()[1];
        user->comboBox()->setCurrentIndex(user->comboBox()->findText(QStringLiteral("小王")));
        user->tick();
        s.BitBtn1Click();
        return s.foundCount();
    });
    time("one kind, last month", rounds, [] {
        frmOpLog s;
        s.filters()[0]->tick();
        s.filters()[2]->comboBox()->setCurrentText(QStringLiteral("删除"));
        s.filters()[2]->tick();
        s.BitBtn1Click();
        return s.foundCount();
    });
    time("one document number's rows, last month", rounds, [] {
        frmOpLog s;
        s.filters()[0]->tick();
        s.filters()[3]->lineEdit()->setText(QStringLiteral("-0042"));
        s.filters()[3]->tick();
        s.BitBtn1Click();
        return s.foundCount();
    });
    return 0;
}
