// A product's cost price after a purchase line, by the shop's cost method.
#include "dberror.h"
#include "dm.h"
#include "shopoptions.h"
#include "words.h"

#include <QHash>
#include <algorithm>

namespace {
// The cost price after `n` arrive at price `p` on a stock of `q` costing `c`:
// (q × c + n × p) / (q + n), exactly in ten-thousandths, rounded once; the old
// cost where that cannot be worked out or stored.
Money movingAverage(Money q, Money c, Money n, Money p)
{
    const __int128 e = __int128(q.units()) + n.units();
    const __int128 f = __int128(q.units()) * c.units() + __int128(n.units()) * p.units();
    if (e <= 0) return c;
    __int128 r = f / e;
    const __int128 rest = f % e;
    if (2 * (rest < 0 ? -rest : rest) >= e) r += f < 0 ? -1 : 1;
    const Money average = Money::fromWide(r);
    return average.isStorable() ? average : c;
}

// myShopCB by the cost method given.
void costLine(frmDM &dm, const QString &method, int sid, Money quantity, const QString &wname, Money price)
{
    auto purchasePrice = [&] {
        return Money::fromVariant(dm.value(QStringLiteral("select theJH from SShop where ID=?"), {sid}));
    };

    Money cost;
    if (method == QString::fromUtf8(Words::CostPurchasePrice)) {
        cost = purchasePrice();
    } else if (method == QString::fromUtf8(Words::CostMovingAverage)) {
        // The stock held and the cost price, in one reading.
        const auto r = dm.rows(QStringLiteral("select (select theCount from UKC where WName=? and SID=?), "
                                           "(select theCB from SShop where ID=?)"),
                            {wname, sid, sid});
        cost = movingAverage(Money::fromVariant(r.value(0).value(0)), Money::fromVariant(r.value(0).value(1)), quantity, price);
    } else if (method == QString::fromUtf8(Words::CostFirstIn) || method == QString::fromUtf8(Words::CostLastIn)
               || method == QString::fromUtf8(Words::CostHighest) || method == QString::fromUtf8(Words::CostLowest)) {
        // The lines of posted receipts count; a pre-saved receipt's goods are not in stock yet.
        const auto prices = dm.rows(QStringLiteral("select L.thePrice from UJH_List L where L.SID=? and exists "
                                                "(select 1 from UJH H where H.theNum=L.theNum and H.theYC='否') "
                                                "order by L.ID"),
                                 {sid});
        Money first, last, highest, lowest;
        if (prices.isEmpty()) {
            first = last = highest = lowest = purchasePrice();
        } else {
            first = Money::fromVariant(prices.first()[0]);
            last = Money::fromVariant(prices.last()[0]);
            highest = lowest = first;
            for (const auto &r : prices) {
                const Money p = Money::fromVariant(r[0]);
                highest = std::max(highest, p);
                lowest = std::min(lowest, p);
            }
        }
        if (method == QString::fromUtf8(Words::CostFirstIn)) cost = first;
        else if (method == QString::fromUtf8(Words::CostLastIn)) cost = last;
        else if (method == QString::fromUtf8(Words::CostHighest)) cost = highest;
        else cost = lowest;
    } else {
        throw DbError(QStringLiteral("未知的成本计算方法：") + method);
    }
    dm.mySQL(QStringLiteral("update SShop set theCB=? where ID=?"), {cost.toVariant(), sid});
}
} // namespace

// Called for each line of a purchase receipt as its goods are posted (never at
// a pre-save), after the line is stored and before its quantity is added to
// stock: the stock read here is what the warehouse held before the receipt, so
// the weighted average counts the received quantity once. The cost method is
// the one the books hold now (another seat may have changed it).
void frmDM::myShopCB(int sid, Money quantity, const QString &wname, Money price)
{
    costLine(*this, currentShopOptions(*this).costMethod, sid, quantity, wname, price);
}

void frmDM::myShopCBs(const QString &wname, const QVector<CostLine> &lines)
{
    const QString method = currentShopOptions(*this).costMethod;
    if (method != QString::fromUtf8(Words::CostMovingAverage)) {
        // The other methods do not depend on the stock: line by line.
        for (const CostLine &l : lines) costLine(*this, method, l.sid, l.quantity, wname, l.price);
        return;
    }
    // The moving average line by line as myShopCB works it out, with the stock
    // and cost prices read once: a product on two lines arrives on the stock
    // and cost its first line left.
    struct State { Money stock, cost; };
    QHash<int, State> state;
    QList<int> ids;
    for (const CostLine &l : lines)
        if (!state.contains(l.sid)) {
            state.insert(l.sid, State{});
            ids << l.sid;
        }
    const QString sql = QStringLiteral("select S.ID, (select K.theCount from UKC K where K.WName=? and K.SID=S.ID), S.theCB "
                                       "from SShop S where S.ID in (%1)");
    for (const QVariantList &row : rowsOfIds(sql, {wname}, ids))
        state[row[0].toInt()] = State{Money::fromVariant(row[1]), Money::fromVariant(row[2])};
    for (const CostLine &l : lines) {
        State &st = state[l.sid];
        st.cost = movingAverage(st.stock, st.cost, l.quantity, l.price);
        st.stock += l.quantity;
    }
    for (int id : ids) mySQL(QStringLiteral("update SShop set theCB=? where ID=?"), {state.value(id).cost.toVariant(), id});
}
