// Times what a purchase or sales line runs when a product is taken into it, the
// price history ("历史单价") of a line, and the other lookups of the entry
// screens, on the benchmark database (bench/benchdb.h): a ten-year file without
// planner statistics, with one supplier holding half the receipts and a product
// on 2 000 lines of every line table.
//
//   bench_lookup [folder] [rounds]
//
// The folder keeps the database between runs (a temporary one when not given).
#include "benchdb.h"

#include "data/connection.h"
#include "data/dm.h"
#include "data/globals.h"
#include "trade/lookup.h"
#include "trade/pricehistory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QPair>
#include <QSet>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

// The line grid of an entry screen as the lookup sees it.
class Caller : public PickerCaller {
public:
    Caller(const QString &code, int partner) : m_code(code), m_partner(partner) {}
    QString callerCode() const override { return m_code; }
    int currentRow() const override { return m_row; }
    void setCurrentRow(int row) override { m_row = row; }
    QString cell(int r, int c) const override { return m_cells.value({r, c}); }
    void setCell(int r, int c, const QString &text) override { m_cells[{r, c}] = text; }
    int partnerId() const override { return m_partner; }

    // A grid with `lines` products already on it and the search text in the next row.
    void prepare(int lines, const QString &text)
    {
        m_cells.clear();
        const int idColumn = callerRule(m_code)->idColumn();
        for (int r = 1; r <= lines; ++r) m_cells[{r, idColumn}] = QString::number(1 + r * 37);
        m_row = lines + 1;
        m_cells[{m_row, 1}] = text;
    }

private:
    QString m_code;
    int m_partner;
    int m_row = 1;
    QHash<QPair<int, int>, QString> m_cells;
};

int g_rounds = 15;
int g_slow = 0;           // how many of the timings that must stay under the limit did not
const double LimitMs = 30;

// Runs `work` g_rounds times and prints the median; `limited` timings are held to LimitMs.
void time(const char *what, bool limited, const std::function<int()> &work)
{
    std::vector<double> ms, cpu;
    int result = 0;
    for (int r = 0; r < g_rounds; ++r) {
        QElapsedTimer t;
        t.start();
        const double c = BenchDb::threadCpuMs();
        result = work();
        cpu.push_back(BenchDb::threadCpuMs() - c);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    const double m = BenchDb::median(ms);
    const bool slow = limited && m > LimitMs;
    if (slow) ++g_slow;
    std::printf("%-62s %9.2f ms %9.2f ms cpu  %6d rows%s\n", what, m, BenchDb::median(cpu), result,
                slow ? "  TOO SLOW" : "");
    std::fflush(stdout);
}

// What the screen runs on Enter in the code column: the search, and on one
// match the row filled with the suggested price.
int takeProduct(frmDM &dm, Caller &caller, const QString &text)
{
    caller.prepare(10, text);
    const QVector<ProductHit> hits = findProducts(dm, caller.callerCode(), text, productsOnGrid(caller));
    if (hits.size() == 1) putProduct(dm, caller, hits.first());
    return int(hits.size());
}

// The first partner from `first` on with documents in `head` but none with the popular product.
int partnerWithout(frmDM &dm, const char *head, int first)
{
    const QString h = QLatin1String(head);
    QSet<int> had;
    for (const QVariantList &r : dm.rows(QStringLiteral("select H.UID from %1_List L inner join %1 H on H.theNum=L.theNum "
                                                        "where L.SID=?").arg(h), {BenchDb::PopularProduct}))
        had.insert(r[0].toInt());
    for (const QVariantList &r : dm.rows(QStringLiteral("select distinct UID from %1 where UID>=? order by UID").arg(h), {first}))
        if (!had.contains(r[0].toInt())) return r[0].toInt();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    if (argc > 2) g_rounds = std::max(1, std::atoi(argv[2]));
    QString err;
    if (!BenchDb::openChosen(folder, argc, argv, QString::fromLatin1(MainConnection), &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    frmDM dm(QSqlDatabase::database(QString::fromLatin1(MainConnection)));
    dm.FindDept();
    G.WorkDate = QString::fromLatin1(BenchDb::WorkDate);
    G.LoginName = QStringLiteral("系统管理员");
    if (BenchDb::hasStatistics(dm.db()))
        std::printf("note: this file carries planner statistics; the timings are meant for a file without them\n");
    std::printf("suggested prices per partner: purchase %s, sales %s\n", G.ShopJH1 ? "on" : "off", G.ShopXS1 ? "on" : "off");
    std::printf("medians over %d rounds: clock time, processor time, rows found\n", g_rounds);

    const QString popular = QStringLiteral("%1").arg(BenchDb::PopularProduct, 6, 10, QLatin1Char('0'));
    const QString others = QStringLiteral("%1").arg(BenchDb::OthersProduct, 6, 10, QLatin1Char('0'));
    // A supplier and a customer with documents but never a line of the popular
    // product: every one of its lines is looked at.
    const int noSupplier = partnerWithout(dm, "UJH", 3), noCustomer = partnerWithout(dm, "UXS", 1000);

    std::printf("\nTaking a product into a line (search, suggested price):\n");
    Caller big(QStringLiteral("jh"), BenchDb::BigSupplier), small(QStringLiteral("jh"), BenchDb::SmallSupplier),
        none(QStringLiteral("jh"), noSupplier);
    Caller bigCustomer(QStringLiteral("xs"), BenchDb::BigCustomer), noneCustomer(QStringLiteral("xs"), noCustomer);
    time("purchase line, big supplier, popular product", true, [&] { return takeProduct(dm, big, popular); });
    time("purchase line, small supplier, popular product", true, [&] { return takeProduct(dm, small, popular); });
    time("purchase line, supplier who never bought it, popular product", true, [&] { return takeProduct(dm, none, popular); });
    time("purchase line, big supplier, a product only others supplied", true, [&] { return takeProduct(dm, big, others); });
    time("purchase line, big supplier, an ordinary product", true, [&] { return takeProduct(dm, big, QStringLiteral("012345")); });
    time("sales line, big customer, popular product", true, [&] { return takeProduct(dm, bigCustomer, popular); });
    time("sales line, customer who never bought it, popular product", true, [&] { return takeProduct(dm, noneCustomer, popular); });
    time("sales line, big customer, a product only others bought", true, [&] { return takeProduct(dm, bigCustomer, others); });

    std::printf("\nSuggested price alone:\n");
    time("myRetJHPrice, big supplier, popular product", true, [&] { return int(dm.myRetJHPrice(BenchDb::PopularProduct, BenchDb::BigSupplier).units() != 0); });
    time("myRetJHPrice, supplier who never bought it, popular product", true, [&] { return int(dm.myRetJHPrice(BenchDb::PopularProduct, noSupplier).units() != 0); });
    time("myRetXSPrice, big customer, popular product", true, [&] { return int(dm.myRetXSPrice(BenchDb::PopularProduct, BenchDb::BigCustomer).units() != 0); });

    std::printf("\nPrice history (历史单价):\n");
    time("purchase, big supplier, popular product", true, [&] { return int(priceHistory(dm, QStringLiteral("CG"), BenchDb::BigSupplier, BenchDb::PopularProduct).size()); });
    time("purchase, small supplier, popular product", true, [&] { return int(priceHistory(dm, QStringLiteral("CG"), BenchDb::SmallSupplier, BenchDb::PopularProduct).size()); });
    time("purchase, big supplier, a product only others supplied", true, [&] { return int(priceHistory(dm, QStringLiteral("CG"), BenchDb::BigSupplier, BenchDb::OthersProduct).size()); });
    time("purchase, supplier who never bought it, popular product", true, [&] { return int(priceHistory(dm, QStringLiteral("CG"), noSupplier, BenchDb::PopularProduct).size()); });
    time("sales, big customer, popular product", true, [&] { return int(priceHistory(dm, QStringLiteral("XS"), BenchDb::BigCustomer, BenchDb::PopularProduct).size()); });

    std::printf("\nSearches that open the picker (the query only):\n");
    const QList<int> onGrid{11, 22, 33, 44, 55, 66, 77, 88, 99, 110};
    time("products containing \"7777\"", false, [&] { return int(findProducts(dm, QStringLiteral("jh"), QStringLiteral("7777"), onGrid).size()); });
    time("products of a category name \"饮料\"", false, [&] { return int(findProducts(dm, QStringLiteral("jh"), QStringLiteral("饮料"), onGrid).size()); });
    time("every product (empty search text)", false, [&] { return int(findProducts(dm, QStringLiteral("jh"), QString(), onGrid).size()); });
    const QVector<ProductHit> hits7777 = findProducts(dm, QStringLiteral("jh"), QStringLiteral("7777"), {});
    time("全选: those 19 into a purchase for the big supplier", false, [&] {
        big.prepare(0, QString());
        return putAllProducts(dm, big, hits7777);
    });
    time("suppliers by input code \"HD\"", false, [&] { return int(findPartners(dm, QStringLiteral("jh"), {QStringLiteral("HD"), {}, {}, {}}).size()); });
    time("every supplier (empty search text)", false, [&] { return int(findPartners(dm, QStringLiteral("jh"), {}).size()); });

    std::printf("\n%s\n", g_slow ? "SOME TIMINGS ARE ABOVE 30 ms" : "every limited timing is under 30 ms");
    return g_slow ? 2 : 0;
}
