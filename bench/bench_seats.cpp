// Several seats at once on the benchmark books (bench/benchdb.h): each seat is
// a process of its own with its own connection, as the counters of a shop are.
//
//   bench_seats folder [--seats 8] [--seconds 30] [--server postgresql://…]
//
// Two rounds:
//   - a busy shop: every seat saves a 99-line document every two seconds
//     (a purchase receipt, then a sales delivery of the same goods);
//     reports the save times (p50, p99, max);
//   - back to back: every seat saves without pause, one action in ten a day
//     report over a month instead of a save; reports the actions a second and
//     the save and report times.
// Busy refusals (the books held too long by others) are counted, not hidden.
#include "benchdb.h"

#include "data/connection.h"
#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "money/periodreport.h"
#include "trade/tradedoc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QStringList>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

int intArgument(int argc, char **argv, const char *name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

QString textArgument(int argc, char **argv, const char *name)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], name) == 0) return QString::fromLocal8Bit(argv[i + 1]);
    return QString();
}

// A seat's document: 99 lines of products of its own range, so the seats'
// deliveries never take each other's goods.
TradeDoc makeDoc(TradeKind kind, int seat, int round)
{
    TradeDoc d;
    d.kind = kind;
    d.uid = kind == TradeKind::Purchase ? (round % 2 == 0 ? BenchDb::BigSupplier : 3 + seat)
                                        : (round % 2 == 0 ? BenchDb::BigCustomer : 1000 + seat);
    d.partnerName = QStringLiteral("单位");
    d.myDate = G.WorkDate;
    d.warehouse = QString::fromUtf8(BenchDb::Warehouses[seat % 5]);
    d.handler = QStringLiteral("张三");
    d.account = QStringLiteral("现金");
    d.person = QStringLiteral("张三");
    for (int i = 0; i < 99; ++i) {
        TradeLine l;
        l.sid = 20001 + seat * 1000 + (round * 7 + i) % 1000;
        l.code = QStringLiteral("P");
        l.name = QStringLiteral("商品");
        l.price = Money::fromString(QStringLiteral("12.5"));
        l.count = Money::fromString(QStringLiteral("2"));
        d.lines << l;
    }
    d.paidText = d.total().toString();
    return d;
}

// One seat: prints "save <ms>", "report <ms>" or "busy" per action, then "done".
int runSeat(const QString &folder, int argc, char **argv, int seat, int seconds, bool paced)
{
    QString err;
    const QString server = BenchDb::serverArgument(argc, argv);
    const bool opened = server.isEmpty() ? openDatabase(BenchDb::file(folder), MainConnection, &err)
                                         : BenchDb::openServer(folder, server, MainConnection, &err);
    if (!opened) {
        std::printf("error %s\n", qPrintable(err));
        return 1;
    }
    frmDM dm(QSqlDatabase::database(MainConnection));
    dm.FindDept();
    G.WorkDate = BenchDb::WorkDate;
    G.LoginName = QStringLiteral("系统管理员");
    G.ShopFKC = false;
    const QDate day = QDate::fromString(QString::fromLatin1(BenchDb::WorkDate), Qt::ISODate);

    QElapsedTimer clock;
    clock.start();
    for (int n = 0; clock.elapsed() < qint64(seconds) * 1000; ++n) {
        const qint64 due = qint64(n) * 2000 + seat * 250; // the seats' saves spread over the two seconds
        if (paced && clock.elapsed() < due) QThread::msleep(quint64(due - clock.elapsed()));
        QElapsedTimer t;
        t.start();
        try {
            if (!paced && n % 10 == 9) {
                const QVector<ReportRow> rows = computeReport(dm, PeriodUnit::Day, day.addDays(-30), day, ReportFilters());
                storeReport(dm, rows);
                std::printf("report %.1f\n", t.nsecsElapsed() / 1e6);
            } else {
                const TradeDoc d = makeDoc(n % 2 == 0 ? TradeKind::Purchase : TradeKind::Sales, seat, n / 2);
                TradeCheck refused;
                if (saveTradeDoc(dm, d, &refused).isEmpty()) {
                    std::printf("error refused %s\n", qPrintable(refused.message));
                    return 1;
                }
                std::printf("save %.1f\n", t.nsecsElapsed() / 1e6);
            }
        } catch (const DbError &e) {
            if (e.kind() != DbError::Kind::Busy) {
                std::printf("error %s\n", qPrintable(e.text()));
                return 1;
            }
            std::printf("busy\n");
        }
        std::fflush(stdout);
    }
    std::printf("done\n");
    return 0;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

// Starts the seats, waits for them and prints the round's figures.
bool round(const QString &self, const QStringList &common, int seats, int seconds, bool paced, const char *what)
{
    std::vector<QProcess *> procs;
    for (int s = 0; s < seats; ++s) {
        auto *p = new QProcess;
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(self, common + QStringList{QStringLiteral("--seat"), QString::number(s), QStringLiteral("--mode"),
                                            paced ? QStringLiteral("paced") : QStringLiteral("busy")});
        procs.push_back(p);
    }
    std::vector<double> saves, reports;
    int busy = 0;
    bool ok = true;
    QElapsedTimer wall;
    wall.start();
    for (QProcess *p : procs) {
        p->waitForFinished(qint64(seconds + 600) * 1000);
        const QStringList lines = QString::fromUtf8(p->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        bool done = false;
        for (const QString &l : lines) {
            if (l.startsWith(QLatin1String("save "))) saves.push_back(l.mid(5).toDouble());
            else if (l.startsWith(QLatin1String("report "))) reports.push_back(l.mid(7).toDouble());
            else if (l == QLatin1String("busy")) ++busy;
            else if (l == QLatin1String("done")) done = true;
            else if (l.startsWith(QLatin1String("error"))) std::printf("  seat: %s\n", qPrintable(l));
        }
        ok = ok && done;
        delete p;
    }
    const double secs = wall.elapsed() / 1000.0;
    std::printf("%s, %d seats, %d s: %zu saves, %zu reports, %d busy; %.1f actions/s\n", what, seats, seconds, saves.size(),
                reports.size(), busy, double(saves.size() + reports.size() + size_t(busy)) / secs);
    std::printf("  save   p50 %.0f ms, p99 %.0f ms, max %.0f ms\n", percentile(saves, 0.5), percentile(saves, 0.99),
                percentile(saves, 1.0));
    if (!reports.empty())
        std::printf("  report p50 %.0f ms, p99 %.0f ms, max %.0f ms\n", percentile(reports, 0.5), percentile(reports, 0.99),
                    percentile(reports, 1.0));
    std::fflush(stdout);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "bench_seats folder [--seats 8] [--seconds 30] [--server postgresql://…]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int seconds = intArgument(argc, argv, "--seconds", 30);
    const QString seat = textArgument(argc, argv, "--seat");
    if (!seat.isEmpty())
        return runSeat(folder, argc, argv, seat.toInt(), seconds, textArgument(argc, argv, "--mode") == QLatin1String("paced"));

    // Build or copy the books once before the seats start.
    QString err;
    if (!BenchDb::openChosen(folder, argc, argv, MainConnection, &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    closeDatabase(MainConnection);
    const int seats = intArgument(argc, argv, "--seats", 8);
    QStringList common{folder, QStringLiteral("--seconds"), QString::number(seconds)};
    const QString server = BenchDb::serverArgument(argc, argv);
    if (!server.isEmpty()) common << QStringLiteral("--server") << server;
    const QString self = QCoreApplication::applicationFilePath();
    const char *engine = server.isEmpty() ? "file" : "server";
    std::printf("%s\n", engine);
    bool ok = round(self, common, seats, seconds, true, "a busy shop (a 99-line save every 2 s a seat)");
    ok = round(self, common, seats, seconds, false, "back to back (one action in ten a day report)") && ok;
    return ok ? 0 : 1;
}
