// The checks a trade document passes before anything of it is written.
#include "data/dm.h"
#include "data/globals.h"
#include "tradedoc.h"

#include <QHash>

Money TradeLine::amount(TradeKind kind) const
{
    if (tradeKind(kind).salesLines) return price * Money::fromUnits(qint64(zk) * Money::Scale) * count / 100;
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

    if (k.stockTest && !G.ShopFKC) {
        // Lines of the same product draw on the same stock.
        QHash<int, Money> taken;
        for (int i = 0; i < doc.lines.size(); ++i) {
            const TradeLine &l = doc.lines[i];
            taken[l.sid] += l.count;
            if (dm.myRetKC(doc.warehouse, l.sid) - taken[l.sid] < Money())
                return refuse(TradeField::Grid,
                              QStringLiteral("商品 ") + l.code + QLatin1Char(' ') + l.name + QStringLiteral(" 库存不足，不能出库！"), i);
        }
    }

    if (doc.paidText.trimmed().isEmpty()) return refuse(TradeField::Paid, k.msgPaidEmpty);
    bool ok = false;
    Money::fromString(doc.paidText, &ok);
    if (!ok) {
        const QString label = k.msgPaidEmpty.section(QLatin1Char(' '), 0, 0);
        return refuse(TradeField::Paid, label + QStringLiteral(" 不是有效的数字，请重新录入！"));
    }
    if (doc.owed() < Money()) return refuse(TradeField::Paid, k.msgOverpaid);
    if (doc.account.isEmpty()) return refuse(TradeField::Account, k.msgNoAccount);
    if (doc.person.isEmpty()) return refuse(TradeField::Person, k.msgNoPerson);
    return {};
}
