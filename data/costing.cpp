// A product's cost price after a purchase line, by the shop's cost method.
#include "dberror.h"
#include "dm.h"
#include "globals.h"
#include "words.h"

#include <algorithm>

// Called for each line of a purchase receipt as its goods are posted (never at
// a pre-save), after the line is stored and before its quantity is added to
// stock: the stock read here is what the warehouse held before the receipt, so
// the weighted average counts the received quantity once.
void frmDM::myShopCB(int sid, Money quantity, const QString &wname, Money price)
{
    const QString method = G.ShopCB;
    auto purchasePrice = [&] {
        return Money::fromVariant(value(QStringLiteral("select theJH from SShop where ID=?"), {sid}));
    };

    Money cost;
    if (method == QString::fromUtf8(Words::CostPurchasePrice)) {
        cost = purchasePrice();
    } else if (method == QString::fromUtf8(Words::CostMovingAverage)) {
        const Money q = Money::fromVariant(value(QStringLiteral("select theCount from UKC where WName=? and SID=?"), {wname, sid}));
        const Money c = Money::fromVariant(value(QStringLiteral("select theCB from SShop where ID=?"), {sid}));
        // (q × c + n × p) / (q + n), exactly in ten-thousandths, rounded once.
        const __int128 e = __int128(q.units()) + quantity.units();
        const __int128 f = __int128(q.units()) * c.units() + __int128(quantity.units()) * price.units();
        if (e > 0) {
            __int128 r = f / e;
            const __int128 rest = f % e;
            if (2 * (rest < 0 ? -rest : rest) >= e) r += f < 0 ? -1 : 1;
            const Money average = Money::fromWide(r);
            cost = average.isStorable() ? average : c;
        } else {
            cost = c;
        }
    } else if (method == QString::fromUtf8(Words::CostFirstIn) || method == QString::fromUtf8(Words::CostLastIn)
               || method == QString::fromUtf8(Words::CostHighest) || method == QString::fromUtf8(Words::CostLowest)) {
        // The lines of posted receipts count; a pre-saved receipt's goods are not in stock yet.
        const auto prices = rows(QStringLiteral("select L.thePrice from UJH_List L where L.SID=? and exists "
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
    mySQL(QStringLiteral("update SShop set theCB=? where ID=?"), {cost.toVariant(), sid});
}
