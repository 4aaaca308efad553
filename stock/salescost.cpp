#include "salescost.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/transaction.h"

void setSalesLineCost(frmDM &dm, int lineId, Money unitCost)
{
    Transaction tx(dm.db());
    if (dm.rowCount(QStringLiteral("select ID from UXS_List where ID=?"), {lineId}) != 1)
        throw DbError(QStringLiteral("该销售明细已不存在！"));
    dm.mySQL(QStringLiteral("update UXS_List set theJJ=? where ID=?"), {unitCost.toVariant(), lineId});
    tx.commit();
}
