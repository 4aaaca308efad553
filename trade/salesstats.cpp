#include "salesstats.h"

#include "data/dm.h"
#include "data/sqlmoney.h"
#include "data/words.h"
#include "tradelinequery.h"

#include <QHash>

namespace {

struct RowKey {
    int uid;
    QString warehouse, handler;
    bool operator==(const RowKey &o) const { return uid == o.uid && warehouse == o.warehouse && handler == o.handler; }
};
size_t qHash(const RowKey &k, size_t seed = 0) { return qHashMulti(seed, k.uid, k.warehouse, k.handler); }

} // namespace

SalesStats salesStatistics(frmDM &dm, const QString &where, const QVariantList &binds, const QString &dateFrom,
                           const QString &dateTo)
{
    using SqlMoney::sumUnits;
    const QString from = tradeLinesFrom(TradeKind::Sales);
    const QString cond = where.isEmpty() ? QString() : QStringLiteral(" where ") + where;
    SalesStats out;

    // Product columns: product and price, by code.
    const auto products = dm.rows(QStringLiteral("select L.SID, L.thePrice, S.theNum, S.theName from %1%2 "
                                                 "group by L.SID, L.thePrice, S.theNum, S.theName "
                                                 "order by S.theNum, L.SID, L.thePrice").arg(from, cond),
                                  binds);
    QHash<int, int> columnsOfProduct;
    QHash<QPair<int, qint64>, int> column;   // (SID, price units) -> product column
    for (const auto &p : products) {
        SalesStats::Product c;
        c.sid = p[0].toInt();
        c.price = Money::fromVariant(p[1]);
        c.code = p[2].toString();
        c.name = p[3].toString();
        column.insert({c.sid, c.price.units()}, int(out.products.size()));
        ++columnsOfProduct[c.sid];
        out.products << c;
    }
    for (SalesStats::Product &c : out.products)
        c.header = columnsOfProduct.value(c.sid) > 1 ? c.name + QLatin1Char(' ') + c.price.toString() : c.name;

    // Customer rows with their quantity and amount.
    const auto customers = dm.rows(QStringLiteral("select H.UID, U.theName, U.thePro, U.thePho, U.theAdd, H.WName, H.UName, "
                                                  "%1, %2 from %3%4 "
                                                  "group by H.UID, U.theName, U.thePro, U.thePho, U.theAdd, H.WName, H.UName "
                                                  "order by U.theName, H.UID, H.WName, H.UName")
                                       .arg(sumUnits(QStringLiteral("L.theCount")), sumUnits(QStringLiteral("L.theSum")), from, cond),
                                   binds);
    QHash<RowKey, int> row;
    for (const auto &r : customers) {
        SalesStats::Customer c;
        c.uid = r[0].toInt();
        c.name = r[1].toString();
        c.contact = r[2].toString();
        c.phone = r[3].toString();
        c.address = r[4].toString();
        c.warehouse = r[5].toString();
        c.handler = r[6].toString();
        c.count = SqlMoney::fromSum(r[7]);
        c.amount = SqlMoney::fromSum(r[8]);
        c.counts.fill(Money(), out.products.size());
        row.insert({c.uid, c.warehouse, c.handler}, int(out.customers.size()));
        out.customers << c;
    }

    // The cells: quantities per customer row and product column.
    const auto cells = dm.rows(QStringLiteral("select H.UID, H.WName, H.UName, L.SID, L.thePrice, %1 from %2%3 "
                                              "group by H.UID, H.WName, H.UName, L.SID, L.thePrice")
                                   .arg(sumUnits(QStringLiteral("L.theCount")), from, cond),
                               binds);
    for (const auto &c : cells) {
        const int r = row.value({c[0].toInt(), c[1].toString(), c[2].toString()}, -1);
        const int col = column.value({c[3].toInt(), Money::fromVariant(c[4]).units()}, -1);
        if (r >= 0 && col >= 0) out.customers[r].counts[col] += SqlMoney::fromSum(c[5]);
    }

    // Received and owed over the live deliveries of each customer, warehouse
    // and handler; of the filters only the date range applies to them.
    QString docCond = QStringLiteral("theDel=?");
    QVariantList docBinds{QString::fromUtf8(Words::No)};
    if (!dateFrom.isEmpty()) {
        docCond += QStringLiteral(" and myDate between ? and ?");
        docBinds << dateFrom << dateTo;
    }
    const auto money = dm.rows(QStringLiteral("select UID, WName, UName, %1, %2 from UXS where %3 group by UID, WName, UName")
                                   .arg(sumUnits(QStringLiteral("theSJ")), sumUnits(QStringLiteral("theYS")), docCond),
                               docBinds);
    for (const auto &m : money) {
        const int r = row.value({m[0].toInt(), m[1].toString(), m[2].toString()}, -1);
        if (r < 0) continue;
        out.customers[r].received = SqlMoney::fromSum(m[3]);
        out.customers[r].owed = SqlMoney::fromSum(m[4]);
    }
    return out;
}
