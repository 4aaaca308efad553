// Times the backup and the restore of the benchmark books (bench/benchdb.h),
// a ten-year shop file without planner statistics, or the same books on a
// server:
//
//   bench_backup folder [rounds] [--server postgresql://…]
//
// On the file the books are a copy of the shared file in folder/backup, made
// anew at each run. Each round backs the books up (online copy and integrity
// check) and restores that backup (fresh books made from its rows, the safety
// copy and the copy into the open books). The time the books are held for
// writing by the restore, which other seats wait through, is timed as well:
// a second connection tries to take the books for writing during the restore.
#include "benchdb.h"

#include "data/connection.h"
#include "data/dbfile.h"
#include "data/dm.h"
#include "data/engine.h"
#include "data/globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <functional>
#include <cstdio>

namespace {

// The longest time a second seat on the file waited for the books for
// writing while `work` ran, in milliseconds.
double longestWait(const QString &file, const std::function<void()> &work)
{
    std::atomic<bool> done{false};
    std::atomic<double> longest{0};
    QThread *seat = QThread::create([&] {
        const QString name = QStringLiteral("bench-seat");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(file);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=60000"));
            db.open();
            while (!done) {
                QElapsedTimer t;
                t.start();
                QSqlQuery q(db);
                if (q.exec(QStringLiteral("BEGIN IMMEDIATE"))) q.exec(QStringLiteral("ROLLBACK"));
                longest = std::max(longest.load(), t.nsecsElapsed() / 1e6);
                QThread::msleep(2);
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    });
    seat->start();
    QThread::msleep(50);
    work();
    done = true;
    seat->wait();
    delete seat;
    return longest;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "bench_backup folder [rounds] [--server postgresql://…]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 && argv[2][0] != '-' ? std::max(1, std::atoi(argv[2])) : 3;
    const QString server = BenchDb::serverArgument(argc, argv);
    QString err;
    const QString conn = QString::fromLatin1(MainConnection);
    const QString work = folder + QStringLiteral("/backup");
    QDir(work).removeRecursively();
    QDir().mkpath(work + QStringLiteral("/Data"));
    if (server.isEmpty()) {
        // The shared file, built when missing, then copied: the restores change only the copy.
        if (!BenchDb::open(folder, QStringLiteral("bench-shared"), &err)) {
            std::fprintf(stderr, "%s\n", qPrintable(err));
            return 1;
        }
        QSqlDatabase::database(QStringLiteral("bench-shared"), false).close();
        QSqlDatabase::removeDatabase(QStringLiteral("bench-shared"));
        if (!QFile::copy(BenchDb::file(folder), databaseFile(work + QLatin1Char('/')))
            || !openDatabase(databaseFile(work + QLatin1Char('/')), conn, &err)) {
            std::fprintf(stderr, "cannot open a copy of the benchmark database: %s\n", qPrintable(err));
            return 1;
        }
    } else if (!BenchDb::openChosen(folder, argc, argv, conn, &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    int rc = 0;
    {
        frmDM dm(QSqlDatabase::database(conn));
        G.AppPath = work + QLatin1Char('/');
        G.WorkDate = QString::fromLatin1(BenchDb::WorkDate);
        G.LoginName = QStringLiteral("系统管理员");
        const bool onServer = EngineInfo::onServer(dm.db());
        const QString file = onServer ? QString() : QFileInfo(dm.db().databaseName()).absoluteFilePath();
        std::printf("%s, %d rounds\n", onServer ? "books on the server" : qPrintable(QStringLiteral("file of %1 MB").arg(QFileInfo(file).size() >> 20)), rounds);
        std::printf("%-6s %12s %12s %16s\n", "round", "backup ms", "restore ms", "books held ms");
        std::vector<double> backups, restores, held;
        for (int r = 1; r <= rounds && rc == 0; ++r) {
            const QString target = work + QStringLiteral("/copies/%1.edb").arg(r);
            QDir().mkpath(QFileInfo(target).absolutePath());
            QElapsedTimer t;
            t.start();
            if (const QString e = DbFile::backup(conn, target); !e.isEmpty()) {
                std::fprintf(stderr, "backup failed: %s\n", qPrintable(e));
                rc = 1;
                break;
            }
            const double backup = t.nsecsElapsed() / 1e6;
            DbFile::RestoreResult result;
            double restore = 0;
            auto run = [&] {
                QElapsedTimer rt;
                rt.start();
                result = DbFile::restore(dm, conn, target);
                restore = rt.nsecsElapsed() / 1e6;
            };
            const double wait = onServer ? 0 : longestWait(file, run);
            if (onServer) run();
            if (!result.ok) {
                std::fprintf(stderr, "restore failed: %s\n", qPrintable(result.message));
                rc = 1;
                break;
            }
            QFile::remove(result.safetyCopy);
            if (onServer) {
                if (!reopenServerConnection(dm.db(), &err)) {
                    std::fprintf(stderr, "%s\n", qPrintable(err));
                    rc = 1;
                    break;
                }
                BenchDb::markServerCopy(dm.db());
            }
            backups.push_back(backup);
            restores.push_back(restore);
            held.push_back(wait);
            std::printf("%-6d %12.0f %12.0f %16.0f\n", r, backup, restore, wait);
        }
        if (rc == 0)
            std::printf("median %12.0f %12.0f %16.0f\n", BenchDb::median(backups), BenchDb::median(restores),
                        BenchDb::median(held));
    }
    closeDatabase(conn);
    return rc;
}
