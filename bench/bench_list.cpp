// Times the product list on the benchmark database (bench/benchdb.h): the
// query of 99 000 products, sorting by a click on a title, a refresh while
// sorted, and the spreadsheet export, with the memory the export takes. With
// "--million" it also exports the million rows of the stock ledger.
//
//   bench_list [folder] [rounds] [--million]
//
// Run it under /usr/bin/time -v to see the peak memory of the whole run.
#include "benchdb.h"

#include "data/connection.h"
#include "data/dm.h"
#include "data/globals.h"
#include "ui/exportopen.h"
#include "export/xlsxexport.h"
#include "master/frmshop_m.h"
#include "ui/resultmodel.h"
#include "ui/sortheader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

int g_rounds = 5;

// The resident and the peak resident memory of this process, in MB.
double memoryMB(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

double time(const char *what, const std::function<void()> &before, const std::function<void()> &work)
{
    std::vector<double> ms, cpu;
    for (int r = 0; r < g_rounds; ++r) {
        if (before) before();
        QElapsedTimer t;
        t.start();
        const double c = BenchDb::threadCpuMs();
        work();
        cpu.push_back(BenchDb::threadCpuMs() - c);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    const double m = BenchDb::median(ms);
    std::printf("%-52s %9.1f ms %9.1f ms cpu\n", what, m, BenchDb::median(cpu));
    std::fflush(stdout);
    return m;
}

void exportOnce(const char *what, const std::function<QString()> &work)
{
    const double rss = memoryMB("VmRSS:");
    QElapsedTimer t;
    t.start();
    const double c = BenchDb::threadCpuMs();
    const QString file = work();
    const double cpu = BenchDb::threadCpuMs() - c;
    std::printf("%-52s %9.1f ms %9.1f ms cpu, memory before %.0f MB, peak so far %.0f MB, file %.1f MB\n", what,
                t.nsecsElapsed() / 1e6, cpu, rss, memoryMB("VmHWM:"), QFileInfo(file).size() / 1048576.0);
    std::fflush(stdout);
    QFile::remove(file);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir tmp, exportDir;
    QStringList args = app.arguments().mid(1);
    const bool million = args.removeAll(QStringLiteral("--million")) > 0;
    const QString folder = !args.isEmpty() ? args[0] : tmp.path();
    if (args.size() > 1) g_rounds = std::max(1, args[1].toInt());
    QString err;
    if (!BenchDb::openChosen(folder, argc, argv, QString::fromLatin1(MainConnection), &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    frmDM dm(QSqlDatabase::database(QString::fromLatin1(MainConnection)));
    dm.FindDept();
    G.WorkDate = QString::fromLatin1(BenchDb::WorkDate);
    G.LoginName = QStringLiteral("系统管理员");
    G.AppPath = exportDir.path() + QLatin1Char('/');
    ExportOpen::setOpener([](const QString &) { return true; });
    std::printf("medians over %d rounds: clock time, processor time\n", g_rounds);

    frmShop_M list;
    list.resize(1200, 800);
    time("product list query", nullptr, [&] { list.BitBtn1Click(); });
    std::printf("  %d products listed\n", list.rowCount());
    SortProxy *proxy = list.sortProxy();
    const int name = list.resultModel()->columnOf(QStringLiteral("theName"));
    const int price = list.resultModel()->columnOf(QStringLiteral("theJH"));
    time("first title click after a refresh: name", [&] { proxy->clearSort(); list.Ref(); }, [&] { proxy->clickTitle(name); });
    time("first title click after a refresh: purchase price", [&] { proxy->clearSort(); list.Ref(); }, [&] { proxy->clickTitle(price); });
    time("title click: name, ascending", [&] { proxy->clearSort(); }, [&] { proxy->clickTitle(name); });
    time("title click: name, descending", [&] { proxy->clearSort(); proxy->clickTitle(name); }, [&] { proxy->clickTitle(name); });
    time("title click: purchase price, ascending", [&] { proxy->clearSort(); }, [&] { proxy->clickTitle(price); });
    proxy->clearSort();
    proxy->clickTitle(name);
    time("refresh (Ref) while sorted by name", nullptr, [&] { list.Ref(); });
    proxy->clearSort();
    time("refresh (Ref) unsorted", nullptr, [&] { list.Ref(); });

    proxy->clickTitle(name);
    exportOnce("spreadsheet export of the product list", [&] {
        list.BitBtn3Click();
        return list.lastExportFile();
    });

    if (million) {
        ResultModel ledger;
        ledger.setColumns({ListColumn("theDate", "营业日期"), ListColumn("UName", "录入人"), ListColumn("WName", "仓库名称"),
                           ListColumn("theType", "操作事件"), ListColumn("theNum", "单号"),
                           ListColumn("ICount", "入库数量").num(), ListColumn("OCount", "出库数量").num(),
                           ListColumn("SPrice", "单价").num(), ListColumn("WCount", "库存数量").num()});
        QElapsedTimer t;
        t.start();
        ledger.load(dm.db(), QStringLiteral("select theDate,UName,WName,theType,theNum,ICount,OCount,SPrice,WCount from SList order by ID"), {});
        std::printf("stock ledger query: %d rows in %.0f ms\n", ledger.rowCount(), t.nsecsElapsed() / 1e6);
        ExportLayout l;
        l.shopName = G.ShopName;
        l.titleWord = QStringLiteral("商品流动表");
        for (int c = 0; c < ledger.columnCount(); ++c) {
            ExportColumn e;
            e.header = ledger.columns()[c].caption;
            e.column = c;
            e.number = ledger.columns()[c].isNumber();
            l.columns << e;
        }
        l.widths = {4, 8};
        l.restWidth = 12;
        exportOnce("spreadsheet export of 1 000 000 ledger rows", [&] {
            const QString file = exportDir.path() + QStringLiteral("/ledger.xlsx");
            XlsxExport::write(file, l, &ledger);
            return file;
        });
    }
    return 0;
}
