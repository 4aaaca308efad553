// Times the trade document management screens and line queries on the
// benchmark database (bench/benchdb.h): ten years of a shop, 50 000 documents
// of each kind, without planner statistics. For each screen: the query as it
// opens (no filter ticked), the last month, and a query filtered by partner
// text (the big partner with half the documents, and a small one), each from
// "查询" to the first screen of rows and the totals under them; the pages that
// follow as the grid scrolls down, one after the other, and a title click
// sorting the whole list by amount; the same for the settlement query; then the
// deletion of a 99-line purchase receipt (on a copy of the file, so that the
// database the other timings share is left as it is).
//
//   bench_trademanage [folder] [rounds]
//
// Prints the medians, clock time and the processor time of this thread.
#include "benchdb.h"

#include "data/connection.h"
#include "data/dm.h"
#include "data/globals.h"
#include "money/settlequery.h"
#include "ui/filterrow.h"
#include "ui/resultmodel.h"
#include "ui/sortheader.h"
#include "trade/frmtrade_m.h"
#include "trade/frmtrade_mx.h"
#include "trade/tradedelete.h"
#include "trade/tradedoc.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

int g_rounds = 15;
int g_slow = 0;

void report(const char *what, std::vector<double> ms, std::vector<double> cpu, double limit, const QString &note)
{
    const double m = BenchDb::median(ms);
    const bool slow = limit > 0 && m > limit;
    if (slow) ++g_slow;
    std::printf("%-58s %8.1f ms %8.1f ms cpu  %s%s\n", what, m, BenchDb::median(cpu), qPrintable(note),
                slow ? "  OVER THE LIMIT" : "");
    std::fflush(stdout);
}

// "查询" on a screen: the first batch of rows and the totals (the list as it
// opens has no filter ticked: all ten years).
void timeQuery(const char *what, ListScreen *s, const std::function<void()> &setFilter)
{
    std::vector<double> ms, cpu;
    for (FilterRow *f : s->filters()) f->box()->setChecked(false);
    if (setFilter) setFilter();
    for (int r = 0; r < g_rounds; ++r) {
        QElapsedTimer t;
        t.start();
        const double c = BenchDb::threadCpuMs();
        s->BitBtn1Click();
        cpu.push_back(BenchDb::threadCpuMs() - c);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    QString note = QStringLiteral("%1 rows shown, %2").arg(s->resultModel()->rowCount()).arg(s->countLabel()->text());
    report(what, ms, cpu, 200, note);
}

void partnerText(ListScreen *s, const QString &text)
{
    for (FilterRow *f : s->filters()) {
        const QString caption = f->box()->text();
        if (caption != QStringLiteral("供  应  商") && caption != QStringLiteral("客户名称")) continue;
        f->lineEdit()->setText(text);
        f->box()->setChecked(true);
    }
}

QDate g_lastDay;   // the date of the file's newest document

// The last month of the file's documents in the screen's date filter.
void lastMonth(ListScreen *s)
{
    FilterRow *f = s->filters().first();
    f->dateFrom()->setDate(g_lastDay.addMonths(-1));
    f->dateTo()->setDate(g_lastDay);
    f->box()->setChecked(true);
}

// The pages after the first of the list as it opens, each read when the grid
// scrolls to the end of those before it.
void timePages(const char *what, ListScreen *s)
{
    for (FilterRow *f : s->filters()) f->box()->setChecked(false);
    s->BitBtn1Click();
    std::vector<double> ms, cpu;
    for (int r = 0; r < g_rounds; ++r) {
        QElapsedTimer t;
        t.start();
        const double c = BenchDb::threadCpuMs();
        s->resultModel()->fetchMore(QModelIndex());
        cpu.push_back(BenchDb::threadCpuMs() - c);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    report(what, ms, cpu, 200, QStringLiteral("%1 rows read").arg(s->rowCount()));
}

// A title click on the list as it opens: every row sorted by the column, the
// first page shown (each click turns the order round).
void timeTitle(const char *what, ListScreen *s, const QString &field)
{
    for (FilterRow *f : s->filters()) f->box()->setChecked(false);
    s->BitBtn1Click();
    const int col = s->resultModel()->columnOf(field);
    std::vector<double> ms, cpu;
    for (int r = 0; r < g_rounds; ++r) {
        QElapsedTimer t;
        t.start();
        const double c = BenchDb::threadCpuMs();
        s->sortProxy()->clickTitle(col);
        cpu.push_back(BenchDb::threadCpuMs() - c);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    // And a page further down in that order.
    std::vector<double> pms, pcpu;
    for (int r = 0; r < 3; ++r) {
        QElapsedTimer t;
        t.start();
        const double c = BenchDb::threadCpuMs();
        s->resultModel()->fetchMore(QModelIndex());
        pcpu.push_back(BenchDb::threadCpuMs() - c);
        pms.push_back(t.nsecsElapsed() / 1e6);
    }
    report(what, ms, cpu, 0, QStringLiteral("first page"));
    report((QByteArray(what) + ", next page").constData(), pms, pcpu, 0, QStringLiteral("%1 rows read").arg(s->rowCount()));
}

void timeScreen(const char *name, ListScreen *s, const QString &bigPartner, const QString &smallPartner,
                const QString &amountField)
{
    const QByteArray n(name);
    timeQuery((n + " as it opens").constData(), s, nullptr);
    timePages((n + " next pages").constData(), s);
    timeQuery((n + " last month").constData(), s, [&] { lastMonth(s); });
    timeQuery((n + " partner " + bigPartner.toUtf8()).constData(), s, [&] { partnerText(s, bigPartner); });
    timeQuery((n + " partner " + smallPartner.toUtf8()).constData(), s, [&] { partnerText(s, smallPartner); });
    // Last: the list stays sorted by that title.
    timeTitle((n + " sorted by amount").constData(), s, amountField);
}

TradeDoc receipt(int round)
{
    TradeDoc d;
    d.kind = TradeKind::Purchase;
    d.uid = round % 2 == 0 ? BenchDb::BigSupplier : 3 + round;
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
    d.paidText = Money::fromString("1000").toString();
    return d;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    g_rounds = argc > 2 ? std::atoi(argv[2]) : 15;
    QString err;
    if (!BenchDb::openChosen(folder, argc, argv, QString::fromLatin1(MainConnection), &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    G.WorkDate = QString::fromLatin1(BenchDb::WorkDate);
    G.LoginName = QStringLiteral("系统管理员");
    G.ShopName = QStringLiteral("测试商店");
    if (BenchDb::hasStatistics(QSqlDatabase::database(QString::fromLatin1(MainConnection))))
        std::printf("note: the file carries planner statistics\n");
    {
        frmDM dm(QSqlDatabase::database(QString::fromLatin1(MainConnection)));
        dm.FindDept();
        g_lastDay = QDate::fromString(dm.value(QStringLiteral("select max(myDate) from UXS")).toString(), Qt::ISODate);
        std::printf("%d rounds; limit 200 ms for a query or a page, 50 ms for a deletion; a title's sort has none\n",
                    g_rounds);
        for (int k = 0; k < 2; ++k) {
            const bool sales = k == 1;
            const QString big = sales ? QStringLiteral("LSSK") : QStringLiteral("宏达");
            const QString small = sales ? QStringLiteral("客户1500") : QStringLiteral("供货商500");
            std::unique_ptr<ListScreen> m(sales ? static_cast<ListScreen *>(new frmXS_M) : new frmJH_M);
            timeScreen(sales ? "销售出库管理" : "采购入库管理", m.get(), big, small, QStringLiteral("theHJ"));
            std::unique_ptr<ListScreen> mx(sales ? static_cast<ListScreen *>(new frmXS_MX) : new frmJH_MX);
            timeScreen(sales ? "销售出库明细" : "采购入库明细", mx.get(), big, small, QStringLiteral("theSum"));
            std::unique_ptr<ListScreen> q(sales ? static_cast<ListScreen *>(new frmXS_SKQ) : new frmJH_FKQ);
            timeScreen(sales ? "销售出库收款查询" : "采购入库付款查询", q.get(), big, small, QStringLiteral("theMoney"));
        }
    }
    {
        // Closed without refreshing the planner's statistics: the file stays as the other timings expect it.
        QSqlDatabase db = QSqlDatabase::database(QString::fromLatin1(MainConnection));
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QString::fromLatin1(MainConnection));

    // Deletion on a copy of the file.
    QTemporaryDir copyDir;
    QDir().mkpath(copyDir.path() + QStringLiteral("/Data"));
    const QString copy = BenchDb::file(copyDir.path());
    if (!QFile::copy(BenchDb::file(folder), copy)) {
        std::fprintf(stderr, "cannot copy the database\n");
        return 1;
    }
    if (!openDatabase(copy, QStringLiteral("copy"), &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    {
        frmDM dm(QSqlDatabase::database(QStringLiteral("copy")));
        dm.FindDept();
        std::vector<double> ms, cpu;
        for (int r = 0; r < g_rounds; ++r) {
            const QString num = saveTradeDoc(dm, receipt(r));
            const int id = dm.value(QStringLiteral("select ID from UJH where theNum=?"), {num}).toInt();
            QElapsedTimer t;
            t.start();
            const double c = BenchDb::threadCpuMs();
            const DeleteResult d = deleteTradeDoc(dm, TradeKind::Purchase, id);
            cpu.push_back(BenchDb::threadCpuMs() - c);
            ms.push_back(t.nsecsElapsed() / 1e6);
            if (d.outcome != DeleteOutcome::Deleted) std::printf("not deleted: %s\n", qPrintable(d.message));
        }
        report("delete a 99-line purchase receipt", ms, cpu, 50, QString());
    }
    closeDatabase(QStringLiteral("copy"));
    return g_slow == 0 ? 0 : 2;
}
