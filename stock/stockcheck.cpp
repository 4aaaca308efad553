// The checks a stock document passes before anything of it is written.
#include "data/dm.h"
#include "data/numinput.h"
#include "data/shopoptions.h"
#include "stockdoc.h"

#include <QHash>
#include <QPair>

Money StockDoc::total() const
{
    Money s;
    for (const auto &side : sides)
        for (const StockLine &l : side) s += l.amount();
    return s;
}

Money StockDoc::totalCount() const
{
    Money s;
    for (const auto &side : sides)
        for (const StockLine &l : side) s += l.count;
    return s;
}

namespace {

QString warehouseOf(const StockDoc &doc, StockWarehouse w)
{
    return w == StockWarehouse::Issuing ? doc.issuing : doc.warehouse;
}

// A line whose cells could not be read or whose values leave their ranges.
StockCheck checkLine(const StockLine &l, int side, int index)
{
    const int row = l.row > 0 ? l.row : index + 1;
    auto refuse = [&](const QString &message, int column) {
        StockCheck c{StockField::Grid, message, side, index};
        c.column = column;
        return c;
    };
    if (!l.unread.isEmpty()) return refuse(l.unread, l.unreadColumn);
    if (!NumInput::inRange(l.price, NumInput::Price))
        return refuse(NumInput::cellLabel(row, QStringLiteral("单价")) + QStringLiteral(" 超出允许的范围（0 到 %1），请重新录入！")
                          .arg(NumInput::largest(NumInput::Price).toString()), -1);
    if (!NumInput::inRange(l.count, NumInput::Quantity))
        return refuse(NumInput::cellLabel(row, QStringLiteral("数量")) + QStringLiteral(" 超出允许的范围（0 到 %1），请重新录入！")
                          .arg(NumInput::largest(NumInput::Quantity).toString()), -1);
    if (!NumInput::inRange(l.amount(), NumInput::Amount))
        return refuse(NumInput::tooLargeText(NumInput::cellLabel(row, QStringLiteral("金额"))), -1);
    return {};
}

} // namespace

StockCheck checkStockDoc(frmDM &dm, const StockDoc &doc)
{
    const StockKindInfo &k = stockKind(doc.kind);
    // What every side takes out of each warehouse so far: lines of one product
    // draw on the same stock, on one side or across both.
    QHash<QPair<QString, int>, Money> taken;
    // The stock the lines draw on, read once for each warehouse goods leave.
    QHash<QString, QHash<int, Money>> stock;
    // The option as the books hold it now: inside the save, under its lock.
    const bool negativeStock = currentShopOptions(dm).negativeStock;
    if (!negativeStock) {
        QHash<QString, QList<int>> drawn;
        for (int s = 0; s < k.sides.size() && s < doc.sides.size(); ++s)
            for (const StockMoveRule &m : k.sides[s].moves)
                if (!m.in)
                    for (const StockLine &l : doc.sides[s]) drawn[warehouseOf(doc, m.warehouse)] << l.sid;
        for (auto it = drawn.cbegin(); it != drawn.cend(); ++it) stock.insert(it.key(), dm.myRetKCs(it.key(), it.value()));
    }
    for (int s = 0; s < k.sides.size(); ++s) {
        const StockSide &side = k.sides[s];
        const QVector<StockLine> &lines = doc.sides[s];
        if (lines.isEmpty()) return StockCheck{StockField::Grid, side.msgEmpty, s};
        for (int i = 0; i < lines.size(); ++i) {
            const StockCheck c = checkLine(lines[i], s, i);
            if (!c.ok()) return c;
        }
        if (negativeStock) continue;
        for (int i = 0; i < lines.size(); ++i) {
            const StockLine &l = lines[i];
            for (const StockMoveRule &m : side.moves) {
                if (m.in) continue;
                const QString wh = warehouseOf(doc, m.warehouse);
                Money &out = taken[qMakePair(wh, l.sid)];
                out += l.count;
                if (stock.value(wh).value(l.sid) - out < Money())
                    return StockCheck{StockField::Grid,
                                      QStringLiteral("商品 ") + l.code + QLatin1Char(' ') + l.name
                                          + QStringLiteral(" 库存不足，不能出库！"),
                                      s, i};
            }
        }
    }
    if (k.totals) {
        if (!NumInput::inRange(doc.total(), NumInput::Amount))
            return StockCheck{StockField::Grid, NumInput::tooLargeText(QStringLiteral("合计金额"))};
        if (!NumInput::inRange(doc.totalCount(), NumInput::Amount))
            return StockCheck{StockField::Grid, NumInput::tooLargeText(QStringLiteral("合计数量"))};
    }
    if (k.twoWarehouses && doc.issuing.isEmpty()) return StockCheck{StockField::Issuing, k.msgNoIssuing};
    if (doc.warehouse.isEmpty()) return StockCheck{StockField::Receiving, k.msgNoReceiving};
    if (k.mustDiffer && doc.issuing == doc.warehouse) return StockCheck{StockField::Receiving, k.msgSame};
    if (doc.handler.isEmpty()) return StockCheck{StockField::Handler, QStringLiteral("请选择 经手人！")};
    return {};
}
