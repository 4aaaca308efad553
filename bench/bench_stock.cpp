// Times the stock screens on a copy of the benchmark database (bench/benchdb.h),
// ten years of a shop without planner statistics, whose stock is filled up to
// every one of the 100 000 products in each of the 5 warehouses (500 000 stock
// rows) and one product given 10 000 movements spread over the ledger's years:
//
//   - the stock query "商品库存": "查询" to the first screen of rows with the
//     count and the sums of quantity and value, for all rows and for a product
//     name (limit 200 ms);
//   - the movement ledger of the product with 10 000 movements (limit 100 ms);
//   - saving a 99-line transfer, stock tested line by line (limit 50 ms).
//
//   bench_stock [folder] [rounds]
//
// The folder keeps the shared benchmark database between runs (a temporary one
// when not given); the copy in folder/stock is made anew at each run.
#include "benchdb.h"

#include "data/connection.h"
#include "data/dm.h"
#include "data/globals.h"
#include "ui/filterrow.h"
#include "ui/resultmodel.h"
#include "stock/frmkc.h"
#include "stock/frmslist.h"
#include "stock/stockdoc.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

int g_rounds = 15;
int g_slow = 0;

void report(const QString &what, std::vector<double> ms, std::vector<double> cpu, double limit, const QString &note)
{
    const double m = BenchDb::median(ms);
    const bool slow = m > limit;
    if (slow) ++g_slow;
    std::printf("%-52s %8.1f ms %8.1f ms cpu  %s%s\n", qPrintable(what), m, BenchDb::median(cpu), qPrintable(note),
                slow ? "  OVER THE LIMIT" : "");
    std::fflush(stdout);
}

void time(const QString &what, double limit, const std::function<QString()> &run)
{
    std::vector<double> ms, cpu;
    QString note;
    for (int r = 0; r < g_rounds; ++r) {
        QElapsedTimer t;
        t.start();
        const double c = BenchDb::threadCpuMs();
        note = run();
        cpu.push_back(BenchDb::threadCpuMs() - c);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    report(what, ms, cpu, limit, note);
}

QString shown(frmKC &s)
{
    return QStringLiteral("%1 rows fetched; %2 %3 %4")
        .arg(s.resultModel()->rowCount())
        .arg(s.countLabel()->text(), s.totalLabel(QStringLiteral("theCount"))->text(),
             s.totalLabel(QStringLiteral("theJE"))->text());
}

void nameFilter(frmKC &s, const QString &text)
{
    for (FilterRow *f : s.filters()) {
        f->box()->setChecked(false);
        if (f->box()->text() != QStringLiteral("商品名称")) continue;
        f->lineEdit()->setText(text);
        f->box()->setChecked(!text.isEmpty());
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    g_rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;

    // The shared file, built when missing, then copied: only the copy is filled up.
    QString err;
    const QString shared = QStringLiteral("bench-shared");
    if (!BenchDb::open(folder, shared, &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    {
        QSqlDatabase db = QSqlDatabase::database(shared, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(shared);
    const QString work = folder + QStringLiteral("/stock");
    const QString copy = databaseFile(work + QLatin1Char('/'));
    QDir(work).removeRecursively();
    QDir().mkpath(work + QStringLiteral("/Data"));
    if (!QFile::copy(BenchDb::file(folder), copy)) {
        std::fprintf(stderr, "cannot copy the benchmark database to %s\n", qPrintable(copy));
        return 1;
    }
    if (!openDatabase(copy, QString::fromLatin1(MainConnection), &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    {
        frmDM dm(QSqlDatabase::database(QString::fromLatin1(MainConnection)));
        dm.FindDept();
        G.WorkDate = QString::fromLatin1(BenchDb::WorkDate);
        G.LoginName = QStringLiteral("系统管理员");
        G.ShopName = QStringLiteral("测试商店");
        G.ShopFKC = false;
        if (BenchDb::hasStatistics(dm.db()))
            std::printf("note: this file carries planner statistics; the timings are meant for a file without them\n");

        // Every product in every warehouse; one product's movements on one
        // ledger row in a hundred, over all ten years.
        QElapsedTimer fill;
        fill.start();
        dm.mySQL(QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<?) "
                                "insert into UKC(WName,SID,theCount) select W.theName, n.i, (n.i*7)%300 from SWare W, n "
                                "where not exists (select 1 from UKC K where K.WName=W.theName and K.SID=n.i)"),
                 {BenchDb::Products});
        const int ledgerProduct = BenchDb::OthersProduct;
        dm.mySQL(QStringLiteral("update SList set SID=? where ID % 100 = 37"), {ledgerProduct});
        std::printf("%d stock rows, %d movements of product %d (filled in %.1f s); %d rounds\n",
                    dm.value(QStringLiteral("select count(*) from UKC")).toInt(),
                    dm.value(QStringLiteral("select count(*) from SList where SID=?"), {ledgerProduct}).toInt(),
                    ledgerProduct, fill.elapsed() / 1000.0, g_rounds);

        frmKC kc;
        time(QStringLiteral("商品库存: all rows"), 200, [&] {
            nameFilter(kc, QString());
            kc.BitBtn1Click();
            return shown(kc);
        });
        time(QStringLiteral("商品库存: product name \"饮料12\""), 200, [&] {
            nameFilter(kc, QStringLiteral("饮料12"));
            kc.BitBtn1Click();
            return shown(kc);
        });
        time(QStringLiteral("商品库存: product name matching none"), 200, [&] {
            nameFilter(kc, QStringLiteral("无此商品"));
            kc.BitBtn1Click();
            return shown(kc);
        });

        time(QStringLiteral("商品流动记录: product with 10 000 movements"), 100, [&] {
            frmSList s;
            s.setProduct(ledgerProduct);
            s.FormShow();
            return QStringLiteral("%1 rows").arg(s.model()->rowCount());
        });

        // Products with enough stock in the first warehouse, 99 for each round.
        const auto stocked = dm.rows(QStringLiteral("select SID from UKC where WName=? and theCount>=5 order by ID limit ?"),
                                     {QString::fromUtf8(BenchDb::Warehouses[0]), 99 * g_rounds});
        int next = 0;
        time(QStringLiteral("transfer of 99 lines saved"), 50, [&] {
            StockDoc d;
            d.kind = StockKind::Transfer;
            d.myDate = G.WorkDate;
            d.issuing = QString::fromUtf8(BenchDb::Warehouses[0]);
            d.warehouse = QString::fromUtf8(BenchDb::Warehouses[1 + next % 4]);
            d.handler = QStringLiteral("张三");
            for (int i = 0; i < 99; ++i) {
                StockLine l;
                l.sid = stocked[next++ % stocked.size()][0].toInt();
                l.code = QStringLiteral("P");
                l.name = QStringLiteral("商品");
                l.price = Money::fromString(QStringLiteral("12.5"));
                l.count = Money::fromString(QStringLiteral("2"));
                d.sides[0] << l;
            }
            StockCheck refused;
            const QString num = saveStockDoc(dm, d, &refused);
            return num.isEmpty() ? QStringLiteral("refused: ") + refused.message : num;
        });
    }
    closeDatabase(QString::fromLatin1(MainConnection));
    return g_slow == 0 ? 0 : 2;
}
