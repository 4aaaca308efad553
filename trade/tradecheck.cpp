// The checks a trade document passes before anything of it is written.
#include "data/dm.h"
#include "data/numinput.h"
#include "data/shopoptions.h"
#include "tradedoc.h"

#include <QHash>

Money TradeLine::amount(TradeKind kind) const
{
    if (tradeKind(kind).salesLines) return Money::product(price, count, zk, 100);
    return price * count;
}

Money TradeDoc::total() const
{
    Money s;
    for (const TradeLine &l : lines) s += l.amount(kind);
    return s;
}

Money TradeDoc::totalCount() const
{
    Money s;
    for (const TradeLine &l : lines) s += l.count;
    return s;
}

TradeCheck checkTradeDoc(frmDM &dm, const TradeDoc &doc)
{
    const TradeKindInfo &k = tradeKind(doc.kind);
    auto refuse = [](TradeField f, const QString &m, int line = -1) { return TradeCheck{f, m, line}; };

    if (doc.uid <= 0) return refuse(TradeField::Partner, k.msgNoPartner);
    if (doc.warehouse.isEmpty()) return refuse(TradeField::Warehouse, QStringLiteral("请选择 仓库名称！"));
    if (doc.handler.isEmpty()) return refuse(TradeField::Handler, QStringLiteral("请选择 经手人！"));
    if (doc.lines.isEmpty()) return refuse(TradeField::Grid, QStringLiteral("商品信息 不能为空！ 请重新选择！"));

    // Each line: what the screen could not read, then the values themselves
    // (a document built elsewhere gets the same limits as one typed in).
    for (int i = 0; i < doc.lines.size(); ++i) {
        const TradeLine &l = doc.lines[i];
        const int row = l.row > 0 ? l.row : i + 1;
        auto refuseLine = [&](const QString &message, int column) {
            TradeCheck c{TradeField::Grid, message, i};
            c.column = column;
            return c;
        };
        if (!l.unread.isEmpty()) return refuseLine(l.unread, l.unreadColumn);
        if (!NumInput::inRange(l.price, NumInput::Price))
            return refuseLine(NumInput::cellLabel(row, QStringLiteral("单价")) + QStringLiteral(" 超出允许的范围（0 到 %1），请重新录入！")
                                  .arg(NumInput::largest(NumInput::Price).toString()), -1);
        if (!NumInput::inRange(l.count, NumInput::Quantity))
            return refuseLine(NumInput::cellLabel(row, QStringLiteral("数量")) + QStringLiteral(" 超出允许的范围（0 到 %1），请重新录入！")
                                  .arg(NumInput::largest(NumInput::Quantity).toString()), -1);
        if (k.salesLines && (l.zk < 0 || l.zk > 999))
            return refuseLine(NumInput::cellLabel(row, QStringLiteral("折扣")) + QStringLiteral(" 超出允许的范围（0 到 999），请重新录入！"), -1);
        if (!NumInput::inRange(l.amount(doc.kind), NumInput::Amount))
            return refuseLine(NumInput::tooLargeText(NumInput::cellLabel(row, QStringLiteral("金额"))), -1);
    }
    if (!NumInput::inRange(doc.total(), NumInput::Amount))
        return refuse(TradeField::Grid, NumInput::tooLargeText(QStringLiteral("合计金额")));
    if (!NumInput::inRange(doc.totalCount(), NumInput::Amount))
        return refuse(TradeField::Grid, NumInput::tooLargeText(QStringLiteral("合计数量")));

    // The option as the books hold it now: inside the save, under its lock.
    if (k.stockTest && !currentShopOptions(dm).negativeStock) {
        // Lines of the same product draw on the same stock.
        QList<int> sids;
        for (const TradeLine &l : doc.lines) sids << l.sid;
        const QHash<int, Money> stock = dm.myRetKCs(doc.warehouse, sids);
        QHash<int, Money> taken;
        for (int i = 0; i < doc.lines.size(); ++i) {
            const TradeLine &l = doc.lines[i];
            taken[l.sid] += l.count;
            if (stock.value(l.sid) - taken[l.sid] < Money())
                return refuse(TradeField::Grid,
                              QStringLiteral("商品 ") + l.code + QLatin1Char(' ') + l.name + QStringLiteral(" 库存不足，不能出库！"), i);
        }
    }

    if (doc.paidText.trimmed().isEmpty()) return refuse(TradeField::Paid, k.msgPaidEmpty);
    // What the key filter of the payment box stops is refused again here: a
    // pasted "-6" or "1.2.3" never becomes a payment.
    const NumInput::Reading paid = NumInput::read(doc.paidText, NumInput::Amount);
    if (!paid.ok()) return refuse(TradeField::Paid, paid.message(k.msgPaidEmpty.section(QLatin1Char(' '), 0, 0)));
    if (doc.owed() < Money()) return refuse(TradeField::Paid, k.msgOverpaid);
    if (doc.account.isEmpty()) return refuse(TradeField::Account, k.msgNoAccount);
    if (doc.person.isEmpty()) return refuse(TradeField::Person, k.msgNoPerson);
    return {};
}
