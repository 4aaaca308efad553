// Times the save of a 99-line purchase receipt and a 99-line sales delivery on
// the benchmark database (bench/benchdb.h): ten years of a shop without planner
// statistics. The folder keeps the database between runs (a temporary one when
// not given); every run adds its documents to it.
//
//   bench_tradesave [folder] [rounds]
#include "benchdb.h"

#include "data/connection.h"
#include "data/dm.h"
#include "data/globals.h"
#include "trade/tradedoc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

TradeDoc makeDoc(TradeKind kind, int round)
{
    TradeDoc d;
    d.kind = kind;
    // The big partner and a few others, as a day at the counter goes.
    d.uid = round % 2 == 0 ? (kind == TradeKind::Purchase ? BenchDb::BigSupplier : BenchDb::BigCustomer)
                           : (kind == TradeKind::Purchase ? 3 + round : 1000 + round);
    d.partnerName = "单位";
    d.myDate = G.WorkDate;
    d.warehouse = QString::fromUtf8(BenchDb::Warehouses[round % 5]);
    d.handler = "张三";
    d.account = "现金";
    d.person = "张三";
    for (int i = 0; i < 99; ++i) {
        TradeLine l;
        l.sid = i == 0 ? BenchDb::PopularProduct : 1 + ((round * 997 + i * 1013) % 100000);
        l.code = "P";
        l.name = "商品";
        l.price = Money::fromString("12.5");
        l.count = Money::fromString("2");
        d.lines << l;
    }
    d.paidText = d.total().toString();
    return d;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
    QString err;
    if (!BenchDb::open(folder, MainConnection, &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    frmDM dm(QSqlDatabase::database(MainConnection));
    dm.FindDept();
    G.WorkDate = BenchDb::WorkDate;
    G.LoginName = "系统管理员";
    // No negative stock: every sales line is checked against the stock, which the
    // receipts saved before it raised by the same quantities in the same warehouse.
    G.ShopFKC = false;

    for (TradeKind kind : {TradeKind::Purchase, TradeKind::Sales}) {
        std::vector<double> ms;
        for (int r = 0; r < rounds; ++r) {
            const TradeDoc d = makeDoc(kind, r);
            QElapsedTimer t;
            t.start();
            if (!checkTradeDoc(dm, d).ok()) { std::fprintf(stderr, "check refused\n"); return 1; }
            saveTradeDoc(dm, d);
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("%s, 99 lines: median %.1f ms over %d saves (min %.1f, max %.1f)\n",
                    kind == TradeKind::Purchase ? "purchase receipt" : "sales delivery", BenchDb::median(ms), rounds,
                    *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
    }
    return 0;
}
