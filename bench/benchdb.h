#pragma once
// The database the timing programs measure on: a shop file of about ten years,
// made the way the program makes its own (openDatabase and the schema of
// data/connection.h), filled with uneven data and never analysed, so that the
// query planner has no statistics, as on a real shop's file:
//
//   - 100 000 products in 20 categories, 2 000 partners;
//   - 5 warehouses, the first holding most of the stock and of the documents;
//   - 50 000 documents of each trade kind (purchase receipts and sales
//     deliveries of 10 lines, purchase and sales returns of 3 lines), with their
//     settlement rows; about 1 in 100 deleted, 1 in 200 receipts and deliveries
//     pre-saved;
//   - one supplier holding half of the receipts and purchase returns, one
//     customer half of the deliveries and sales returns;
//   - one popular product on 2 000 lines of each of the four line tables, half
//     of them with the big partner, and another one on 2 000 lines of each
//     that the big partners never had;
//   - 1 000 000 stock ledger rows, 200 000 money log rows, payment and receipt
//     vouchers, transfers, losses, overages and assemblies.
//
// The file is kept in Data/db.edb of a folder and reused when it is there, so
// that the benchmarks of entry screens, lists, reports and money all run on the
// same data. A file whose build was interrupted, or that an older builder made,
// is made anew.
#include <QSqlDatabase>
#include <QString>
#include <vector>

namespace BenchDb {

// The facts the benchmarks look things up by.
inline constexpr int Products = 100000;
inline constexpr int Partners = 2000;
inline constexpr int DocumentsPerKind = 50000;
inline constexpr int BigSupplier = 1;      // half of the receipts and purchase returns
inline constexpr int BigCustomer = 2;      // half of the deliveries and sales returns
inline constexpr int SmallSupplier = 3;    // a supplier with a few receipts
inline constexpr int PopularProduct = 77777; // on 2 000 lines of every line table
inline constexpr int OthersProduct = 88888;  // on 2 000 lines of every line table, none of the big partners
inline constexpr const char *WorkDate = "2013-12-02"; // the day after the last document
inline constexpr const char *Warehouses[] = {"一号库", "二号库", "三号库", "四号库", "五号库"};

// The database file in `folder`.
QString file(const QString &folder);

// Opens the benchmark database of `folder` under the connection `name`,
// building it first when it is missing or incomplete (this takes minutes).
// Prints what it builds. Returns false with the reason in *error.
bool open(const QString &folder, const QString &name, QString *error);

// Opens the same books on a PostgreSQL server (`url`: postgresql://…, an
// empty database the first time): the file of `folder` (built first when
// missing) is copied into it row by row in one transaction, the program's
// restore of a file's backup on a server. A database already holding the
// copy is reused. Prints what it copies. Returns false with the reason in *error.
bool openServer(const QString &folder, const QString &url, const QString &name, QString *error);

// Marks the books on a server as the benchmark's copy (after a restore of
// them has replaced every table).
void markServerCopy(QSqlDatabase db);

// The value following "--server" among the arguments, or an empty text.
QString serverArgument(int argc, char **argv);

// open, or openServer when the arguments name a server with "--server".
bool openChosen(const QString &folder, int argc, char **argv, const QString &name, QString *error);

// Whether the file carries planner statistics (sqlite_stat1 with rows): the
// timings are meant for a file without them.
bool hasStatistics(QSqlDatabase db);

// Sorts a list of timings and returns the middle one.
double median(std::vector<double> ms);

// The processor time this thread has used, in milliseconds. Printed beside the
// clock time: on a machine shared with other work the clock time says more
// about the others than about the program.
double threadCpuMs();

} // namespace BenchDb
