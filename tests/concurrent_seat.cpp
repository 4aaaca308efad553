// One seat of the concurrency test: a copy of the program's logic in its own
// process, saving purchase receipts and sales deliveries on the shared books
// as fast as it can, with now and then a settlement and a deletion of some
// seat's document. A seat told the books are busy tries the same work again,
// as a clerk would.
//
//   concurrent_seat BOOKS SEAT ROUNDS
//
// BOOKS is a file path or a server address (postgresql://…). Prints one line
// "saved=… refused=… settled=… deleted=… busy=…" and ends with 0, or prints
// the engine's error and ends with 1.
#include "data/bookslocation.h"
#include "data/connection.h"
#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "money/settle.h"
#include "trade/tradedelete.h"
#include "trade/tradedoc.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <functional>
#include <random>

namespace {

struct Counts {
    int saved = 0, refused = 0, settled = 0, settleRefused = 0, deleted = 0, deleteRefused = 0, busy = 0;
};

// Runs one piece of work; a busy answer is tried again a few times.
bool attempt(Counts &c, const std::function<void()> &work)
{
    for (int tries = 0;; ++tries) {
        try {
            work();
            return true;
        } catch (const DbError &e) {
            if (e.kind() != DbError::Kind::Busy || tries >= 20) throw;
            ++c.busy;
            QThread::msleep(20);
        }
    }
}

QVector<int> ids(frmDM &dm, const QString &sql)
{
    QVector<int> out;
    for (const QVariantList &r : dm.rows(sql)) out << r[0].toInt();
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4) return 2;
    const QString books = QString::fromLocal8Bit(argv[1]);
    const int seat = std::atoi(argv[2]);
    const int rounds = std::atoi(argv[3]);

    BooksLocation where;
    QString err;
    if (books.startsWith(QLatin1String("postgres"))) {
        if (!BooksLocation::fromUrl(books, &where, &err)) {
            std::fprintf(stderr, "%s\n", qPrintable(err));
            return 1;
        }
    } else {
        where = BooksLocation::ofFile(books);
    }
    const QString conn = QStringLiteral("seat");
    if (!openBooks(where, conn, &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    Counts c;
    int rc = 0;
    {
        frmDM dm(QSqlDatabase::database(conn));
        G.WorkDate = QStringLiteral("2012-11-16");
        G.LoginName = QStringLiteral("座位%1").arg(seat);
        dm.FindDept(); // the shop's options, as a seat reads them at start

        const QVector<int> products = ids(dm, QStringLiteral("select ID from SShop order by ID"));
        const QVector<int> suppliers = ids(dm, QStringLiteral("select ID from SUnits where theType='供应商' order by ID"));
        const QVector<int> customers = ids(dm, QStringLiteral("select ID from SUnits where theType='客户' order by ID"));
        std::mt19937 rnd(unsigned(seat) * 7919u + 17u);
        auto pick = [&](int n) { return int(rnd() % unsigned(n)); };

        auto makeDoc = [&](TradeKind kind) {
            TradeDoc d;
            d.kind = kind;
            const bool purchase = kind == TradeKind::Purchase;
            d.uid = purchase ? suppliers[pick(int(suppliers.size()))] : customers[pick(int(customers.size()))];
            d.partnerName = QStringLiteral("伙伴");
            d.myDate = G.WorkDate;
            d.warehouse = pick(3) == 0 ? QStringLiteral("二号库") : QStringLiteral("一号库");
            d.handler = QStringLiteral("张三");
            d.account = QStringLiteral("现金");
            d.person = QStringLiteral("李四");
            const int n = 1 + pick(3);
            QVector<int> used;
            for (int i = 0; i < n; ++i) {
                int sid = products[pick(int(products.size()))];
                while (used.contains(sid)) sid = products[pick(int(products.size()))];
                used << sid;
                TradeLine l;
                l.sid = sid;
                l.code = QString::number(sid);
                l.name = QStringLiteral("商品");
                l.price = Money::fromUnits(Money::Scale * (1 + pick(20)) + 2500 * pick(4));
                // Deliveries take more than receipts bring: the last units are fought over.
                l.count = Money::fromUnits(Money::Scale * (purchase ? 1 + pick(4) : 1 + pick(6)));
                d.lines << l;
            }
            const int paid = pick(3);
            d.paidText = paid == 0 ? QStringLiteral("0") : paid == 1 ? d.total().toString() : (d.total() / 2).toString();
            return d;
        };

        try {
            for (int r = 0; r < rounds; ++r) {
                for (TradeKind kind : {TradeKind::Purchase, TradeKind::Sales}) {
                    const TradeDoc d = makeDoc(kind);
                    attempt(c, [&] {
                        TradeCheck refused;
                        if (saveTradeDoc(dm, d, &refused).isEmpty()) ++c.refused;
                        else ++c.saved;
                    });
                }
                if (r % 10 == 5) {
                    // A later payment or receipt on an open document of any seat.
                    const bool purchase = pick(2) == 0;
                    const TradeKind kind = purchase ? TradeKind::Purchase : TradeKind::Sales;
                    const QVector<int> open = ids(dm, purchase ? QStringLiteral("select ID from UJH where theDel='否' and theYF>0")
                                                               : QStringLiteral("select ID from UXS where theDel='否' and theYS>0"));
                    if (!open.isEmpty()) {
                        const int id = open[pick(int(open.size()))];
                        Settlement s{G.WorkDate, QStringLiteral("1"), QStringLiteral("现金"), QStringLiteral("李四")};
                        attempt(c, [&] {
                            if (settleTradeDoc(dm, kind, id, s).ok()) ++c.settled;
                            else ++c.settleRefused;
                        });
                    }
                }
                if (r % 15 == 7) {
                    // A deletion of a document of any seat, perhaps one another seat deletes as well.
                    const bool purchase = pick(2) == 0;
                    const TradeKind kind = purchase ? TradeKind::Purchase : TradeKind::Sales;
                    const QVector<int> live = ids(dm, purchase ? QStringLiteral("select ID from UJH where theDel='否'")
                                                               : QStringLiteral("select ID from UXS where theDel='否'"));
                    if (!live.isEmpty()) {
                        const int id = live[pick(int(live.size()))];
                        attempt(c, [&] {
                            if (deleteTradeDoc(dm, kind, id).outcome == DeleteOutcome::Deleted) ++c.deleted;
                            else ++c.deleteRefused;
                        });
                    }
                }
            }
        } catch (const DbError &e) {
            std::fprintf(stderr, "seat %d: %s\n", seat, qPrintable(e.text()));
            rc = 1;
        }
    }
    closeDatabase(conn);
    std::printf("saved=%d refused=%d settled=%d settleRefused=%d deleted=%d deleteRefused=%d busy=%d\n", c.saved,
                c.refused, c.settled, c.settleRefused, c.deleted, c.deleteRefused, c.busy);
    return rc;
}
