#include "docposting.h"
#include "dm.h"

#include <QHash>
#include <QPair>

QString stockShortfall(frmDM &dm, const QVector<StockMove> &moves, const QString &action)
{
    // The net change per warehouse and product, in the order first met.
    QVector<QPair<QString, int>> order;
    QHash<QPair<QString, int>, Money> change;
    for (const StockMove &m : moves) {
        const QPair<QString, int> key(m.warehouse, m.sid);
        if (!change.contains(key)) order << key;
        change[key] += m.in ? m.count : -m.count;
    }
    // The stock of every product that goes down, read in one statement per
    // warehouse (and locked until the transaction ends, on a server).
    QHash<QString, QList<int>> falling;   // warehouse -> products that go down there
    for (const auto &key : order)
        if (change.value(key).isNegative()) falling[key.first] << key.second;
    QHash<QString, QHash<int, Money>> stockNow;
    for (auto it = falling.cbegin(); it != falling.cend(); ++it) stockNow.insert(it.key(), dm.myRetKCs(it.key(), it.value()));
    for (const auto &key : order) {
        const Money delta = change.value(key);
        if (!delta.isNegative()) continue;
        const Money stock = stockNow.value(key.first).value(key.second);
        if (!(stock + delta).isNegative()) continue;
        const auto p = dm.rows(QStringLiteral("select theNum, theName from SShop where ID=?"), {key.second});
        const QString product = p.isEmpty() ? QString::number(key.second)
                                            : p[0][0].toString() + QLatin1Char(' ') + p[0][1].toString();
        return QStringLiteral("商品 %1 在仓库 %2 的库存为 %3，减少 %4 后将小于零，%5")
            .arg(product, key.first, stock.toString(), (-delta).toString(), action);
    }
    return QString();
}

void postStockMoves(frmDM &dm, const QString &num, const QVector<StockMove> &moves)
{
    QVector<frmDM::LedgerRow> ledger;
    ledger.reserve(moves.size());
    for (const StockMove &m : moves) {
        if (m.in)
            ledger << frmDM::LedgerRow{m.word, num, m.warehouse, m.sid, m.count, Money(), m.price,
                                       dm.KC_Up(m.warehouse, m.sid, m.count)};
        else
            ledger << frmDM::LedgerRow{m.word, num, m.warehouse, m.sid, Money(), m.count, m.price,
                                       dm.KC_Do(m.warehouse, m.sid, m.count)};
    }
    dm.SaveSListRows(ledger);
}
