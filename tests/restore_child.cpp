// Another copy of the program on the same books file, for the restore tests.
//
//   restore_child save BOOKS TAG SECONDS
//       saves purchase receipts for SECONDS seconds, each with the remark
//       TAG-n, and prints "ok TAG-n" as soon as a save is told OK (and
//       "busy" for each save told the books are busy);
//   restore_child restore BOOKS BACKUP
//       restores BACKUP into BOOKS and prints "ok" or the reason.
//
// Ends with 0, or prints the engine's error and ends with 1.
#include "data/connection.h"
#include "data/dberror.h"
#include "data/dbfile.h"
#include "data/dm.h"
#include "data/globals.h"
#include "trade/tradedoc.h"
#include "testreceipt.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>

namespace {

int save(frmDM &dm, const QString &tag, int seconds)
{
    const QVariant uid = dm.value(QStringLiteral("select min(ID) from SUnits"));
    const QVariant sid = dm.value(QStringLiteral("select min(ID) from SShop"));
    QElapsedTimer clock;
    clock.start();
    for (int n = 1; clock.elapsed() < seconds * 1000; ++n) {
        TradeDoc d = oneLineReceipt(uid.toInt(), QStringLiteral("供货商"), sid.toInt(), QStringLiteral("2"),
                                    QStringLiteral("0"), QStringLiteral("3"));
        d.remark = QStringLiteral("%1-%2").arg(tag).arg(n);
        try {
            TradeCheck refused;
            if (saveTradeDoc(dm, d, &refused).isEmpty()) {
                std::printf("refused %s\n", qPrintable(refused.message));
                return 1;
            }
            std::printf("ok %s\n", qPrintable(d.remark));
        } catch (const DbError &e) {
            if (e.kind() != DbError::Kind::Busy) {
                std::printf("error %s\n", qPrintable(e.text()));
                return 1;
            }
            std::printf("busy\n");
        }
        std::fflush(stdout);
        // A busy counter: a save now and then, not one after the other.
        QThread::msleep(10);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4 || (QByteArray(argv[1]) == "save" && argc < 5)) return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString books = QString::fromLocal8Bit(argv[2]);
    const QString conn = QStringLiteral("child");
    QString err;
    if (!openDatabase(books, conn, &err)) {
        std::printf("error %s\n", qPrintable(err));
        return 1;
    }
    int rc = 0;
    {
        frmDM dm(QSqlDatabase::database(conn));
        G.WorkDate = QStringLiteral("2012-11-16");
        G.LoginName = QStringLiteral("系统管理员");
        dm.FindDept(); // the shop's options, as a seat reads them at start
        if (mode == QLatin1String("save")) {
            rc = save(dm, QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
        } else {
            const DbFile::RestoreResult r = DbFile::restore(dm, conn, QString::fromLocal8Bit(argv[3]));
            std::printf("%s\n", r.ok ? "ok" : qPrintable(r.message));
            rc = r.ok ? 0 : 1;
        }
    }
    closeDatabase(conn);
    return rc;
}
