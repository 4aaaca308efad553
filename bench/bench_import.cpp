// Times the product import of a workbook with 10 000 rows and opening stock
// (reading the .xlsx sheet, then the import in its one transaction) into a copy
// of the benchmark database (bench/benchdb.h), a ten-year shop file with
// 100 000 products and no planner statistics. The import has to stay under 3 s.
//
//   bench_import [folder] [rounds]
//
// The folder keeps the benchmark database between runs (a temporary one when
// not given); the imports go into a copy of it in folder/import, made anew at
// each run, so the shared file stays as it was built. Each round imports a
// workbook of its own (new codes), written beforehand with libxlsxwriter.
#include "benchdb.h"

#include "data/connection.h"
#include "data/dm.h"
#include "data/globals.h"
#include "master/sheet.h"
#include "master/sheetimport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <cstdio>

#include <xlsxwriter.h>

namespace {

const int Rows = 10000;
const double LimitMs = 3000;

// A workbook as a shop would fill it: the rule's columns, every row a new code,
// categories partly known and partly new, prices with decimals, a stock quantity.
bool writeWorkbook(const QString &file, int round)
{
    lxw_workbook *wb = workbook_new(QFile::encodeName(file).constData());
    if (!wb) return false;
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Sheet1");
    const QStringList header = SheetImport::productColumns();
    for (int c = 0; c < header.size(); ++c) worksheet_write_string(ws, 0, lxw_col_t(c), header[c].toUtf8().constData(), nullptr);
    for (int i = 1; i <= Rows; ++i) {
        const lxw_row_t r = lxw_row_t(i);
        const QByteArray code = QStringLiteral("I%1-%2").arg(round).arg(i, 5, 10, QLatin1Char('0')).toUtf8();
        const QByteArray type = QStringLiteral("分类%1").arg(i % 25).toUtf8();
        const QByteArray name = QStringLiteral("导入商品%1号%2").arg(round).arg(i).toUtf8();
        worksheet_write_string(ws, r, 0, code.constData(), nullptr);
        worksheet_write_string(ws, r, 1, type.constData(), nullptr);
        worksheet_write_string(ws, r, 2, name.constData(), nullptr);
        worksheet_write_string(ws, r, 3, "500ml", nullptr);
        worksheet_write_string(ws, r, 4, "瓶", nullptr);
        worksheet_write_number(ws, r, 5, (i % 97) + 0.25, nullptr);
        worksheet_write_number(ws, r, 6, (i % 97) + 1.5, nullptr);
        worksheet_write_number(ws, r, 7, (i % 50) + 1, nullptr);
        worksheet_write_string(ws, r, 8, "", nullptr);
    }
    return workbook_close(wb) == LXW_NO_ERROR;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    // The shared file, built when missing, then copied: the imports change only the copy.
    QString err;
    const QString shared = QStringLiteral("bench-shared");
    if (!BenchDb::open(folder, shared, &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    // Closed plainly: the engine folds its log back into the file on the last
    // close, and the shared file gets no planner statistics from this program.
    {
        QSqlDatabase db = QSqlDatabase::database(shared, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(shared);
    const QString work = folder + QStringLiteral("/import");
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
    int rc = 0;
    {
        frmDM dm(QSqlDatabase::database(QString::fromLatin1(MainConnection)));
        dm.FindDept();
        G.WorkDate = QString::fromLatin1(BenchDb::WorkDate);
        G.LoginName = QStringLiteral("系统管理员");
        if (BenchDb::hasStatistics(dm.db()))
            std::printf("note: this file carries planner statistics; the timings are meant for a file without them\n");

        QStringList books;
        for (int r = 1; r <= rounds; ++r) {
            books << work + QStringLiteral("/products-%1.xlsx").arg(r);
            if (!writeWorkbook(books.last(), r)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(books.last()));
                return 1;
            }
        }
        const int before = dm.value(QStringLiteral("select count(*) from SShop")).toInt();
        std::printf("importing %d product rows with opening stock into a file of %d products, %d rounds\n", Rows, before,
                    rounds);
        std::printf("%-6s %10s %10s %10s %12s\n", "round", "read ms", "import ms", "total ms", "import cpu");

        std::vector<double> reads, imports, totals, cpus;
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer t;
            t.start();
            Sheet sheet;
            if (!SheetFile::read(books[r], QStringLiteral("Sheet1"), &sheet, &err)) {
                std::fprintf(stderr, "%s\n", qPrintable(err));
                return 1;
            }
            const double read = t.nsecsElapsed() / 1e6;
            const double cpu0 = BenchDb::threadCpuMs();
            const SheetImport::Outcome o =
                SheetImport::importProducts(dm, sheet, true, QString::fromUtf8(BenchDb::Warehouses[0]));
            const double cpu = BenchDb::threadCpuMs() - cpu0;
            const double total = t.nsecsElapsed() / 1e6;
            if (!o.ok || o.imported != Rows || o.stockRows != Rows) {
                std::fprintf(stderr, "import failed: %s (%d new, %d stock rows)\n", qPrintable(o.message), o.imported,
                             o.stockRows);
                return 1;
            }
            reads.push_back(read);
            imports.push_back(total - read);
            totals.push_back(total);
            cpus.push_back(cpu);
            std::printf("%-6d %10.1f %10.1f %10.1f %12.1f\n", r + 1, read, total - read, total, cpu);
            std::fflush(stdout);
        }
        const double median = BenchDb::median(totals);
        std::printf("median: read %.1f ms, import %.1f ms, total %.1f ms (import cpu %.1f ms)\n", BenchDb::median(reads),
                    BenchDb::median(imports), median, BenchDb::median(cpus));
        std::printf("%s\n", median < LimitMs ? "under 3 s" : "ABOVE 3 s");
        rc = median < LimitMs ? 0 : 2;
    }
    {
        QSqlDatabase db = QSqlDatabase::database(QString::fromLatin1(MainConnection), false);
        db.close();
    }
    QSqlDatabase::removeDatabase(QString::fromLatin1(MainConnection));
    QDir(work).removeRecursively();
    return rc;
}
