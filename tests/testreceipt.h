#pragma once
// The documents of one line the tests save: dated the work date, in 一号库,
// handled by 张三; a trade document's payment in cash by 李四.
#include "data/globals.h"
#include "data/money.h"
#include "stock/stockdoc.h"
#include "trade/tradedoc.h"

#include <QString>

// The line of product `sid` (code P1, 可乐), of either kind of document.
template <class Line> Line oneLine(int sid, const QString &count, const QString &price)
{
    Line l;
    l.sid = sid;
    l.code = QStringLiteral("P1");
    l.name = QStringLiteral("可乐");
    l.price = Money::fromString(price);
    l.count = Money::fromString(count);
    return l;
}

inline TradeDoc oneLineReceipt(int supplier, const QString &supplierName, int sid, const QString &count,
                               const QString &paid = QStringLiteral("0"), const QString &price = QStringLiteral("2.5"))
{
    TradeDoc d;
    d.kind = TradeKind::Purchase;
    d.uid = supplier;
    d.partnerName = supplierName;
    d.myDate = G.WorkDate;
    d.warehouse = QStringLiteral("一号库");
    d.handler = QStringLiteral("张三");
    d.account = QStringLiteral("现金");
    d.person = QStringLiteral("李四");
    d.paidText = paid;
    d.lines << oneLine<TradeLine>(sid, count, price);
    return d;
}

// The same for another trade kind, with the partner it goes to.
inline TradeDoc oneLineTradeDoc(TradeKind kind, int partner, const QString &partnerName, int sid, const QString &count,
                                const QString &paid = QStringLiteral("0"), const QString &price = QStringLiteral("2.5"))
{
    TradeDoc d = oneLineReceipt(partner, partnerName, sid, count, paid, price);
    d.kind = kind;
    return d;
}

// A loss, overage or other one-warehouse stock document of one line.
inline StockDoc oneLineStockDoc(StockKind kind, int sid, const QString &count, const QString &price = QStringLiteral("2.5"))
{
    StockDoc d;
    d.kind = kind;
    d.myDate = G.WorkDate;
    d.warehouse = QStringLiteral("一号库");
    d.handler = QStringLiteral("张三");
    d.sides[0] << oneLine<StockLine>(sid, count, price);
    return d;
}
