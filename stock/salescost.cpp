#include "salescost.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/oplog.h"
#include "data/transaction.h"
#include "data/words.h"

void setSalesLineCost(frmDM &dm, int lineId, Money unitCost)
{
    Transaction tx(dm.db());
    const auto line = dm.rowsToChange(QStringLiteral("select theNum, theCount from UXS_List where ID=?"), {lineId});
    if (line.size() != 1) throw DbError(QStringLiteral("该销售明细已不存在！"));
    dm.mySQL(QStringLiteral("update UXS_List set theJJ=? where ID=?"), {unitCost.toVariant(), lineId});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::SalesCostEdit), line[0][0].toString(), unitCost, Money::fromVariant(line[0][1]));
    tx.commit();
}
