#include "stockedits.h"

#include "data/dm.h"
#include "data/oplog.h"
#include "data/transaction.h"
#include "data/words.h"

bool setStockCount(frmDM &dm, int ukcId, Money count)
{
    Transaction tx(dm.db());
    // The quantity stored now, not the one the screen showed: another seat may
    // have moved goods since, and the ledger row tells the real difference.
    const auto r = dm.rowsToChange(QStringLiteral("select K.WName, K.SID, K.theCount, S.theCB from UKC K "
                                                  "left join SShop S on S.ID=K.SID where K.ID=?"),
                                   {ukcId}, QStringLiteral("K"));
    if (r.size() != 1) return false;
    const QString warehouse = r[0][0].toString();
    const int sid = r[0][1].toInt();
    const Money difference = count - Money::fromVariant(r[0][2]);
    const Money price = Money::fromVariant(r[0][3]);
    dm.mySQL(QStringLiteral("update UKC set theCount=? where ID=?"), {count.toVariant(), ukcId});
    const bool in = difference > Money();
    dm.SaveSList(QString::fromUtf8(StockWord::StockEdit), QString(), warehouse, sid, in ? difference : Money(),
                 in ? Money() : difference.abs(), price);
    OpLog::write(dm, QString::fromUtf8(OpLogWord::StockEdit), QString(), difference * price, difference,
                 QStringLiteral("%1 商品ID %2").arg(warehouse).arg(sid));
    tx.commit();
    return true;
}

void setCostPrice(frmDM &dm, int sid, Money price)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("update SShop set theCB=? where ID=?"), {price.toVariant(), sid});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::CostPriceEdit), QString(), price, Money(), QStringLiteral("商品ID %1").arg(sid));
    tx.commit();
}

int setCategoryLimits(frmDM &dm, const QString &category, Money lowest, Money highest)
{
    Transaction tx(dm.db());
    const int n = dm.value(QStringLiteral("select count(*) from SShop where theType=?"), {category}).toInt();
    dm.mySQL(QStringLiteral("update SShop set theKCMin=?, theKCMax=? where theType=?"),
             {lowest.toVariant(), highest.toVariant(), category});
    tx.commit();
    return n;
}

StockRowRemoval removeStockRow(frmDM &dm, int ukcId)
{
    Transaction tx(dm.db());
    const auto r = dm.rowsToChange(QStringLiteral("select theCount from UKC where ID=?"), {ukcId});
    if (r.isEmpty()) return StockRowRemoval::Gone;
    // Goods may have come in since the list was read.
    if (!Money::fromVariant(r[0][0]).isZero()) return StockRowRemoval::NotZero;
    dm.mySQL(QStringLiteral("delete from UKC where ID=?"), {ukcId});
    tx.commit();
    return StockRowRemoval::Removed;
}
