#pragma once
// A purchase receipt of one line as the tests that save while something else
// happens to the books need it: bought into 一号库 by 张三, paid in cash by 李四.
#include "data/globals.h"
#include "data/money.h"
#include "trade/tradedoc.h"

#include <QString>

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
    TradeLine l;
    l.sid = sid;
    l.code = QStringLiteral("P1");
    l.name = QStringLiteral("可乐");
    l.price = Money::fromString(price);
    l.count = Money::fromString(count);
    d.lines << l;
    return d;
}
