#include "pricehistory.h"

#include "data/dm.h"

QStringList priceHistoryCaptions(const QString &type)
{
    return {type == QLatin1String("XS") ? QStringLiteral("销售日期") : QStringLiteral("采购日期"),
            QStringLiteral("单号"), QStringLiteral("商品编码"), QStringLiteral("商品名称"), QStringLiteral("规格"),
            QStringLiteral("单位"), QStringLiteral("单价"), QStringLiteral("数量"), QStringLiteral("金额")};
}

QVector<QVariantList> priceHistory(frmDM &dm, const QString &type, int uid, int sid)
{
    const bool sales = type == QLatin1String("XS");
    const QString head = sales ? QStringLiteral("UXS") : QStringLiteral("UJH");
    const QString lines = head + QStringLiteral("_List");
    const QString sql =
        QStringLiteral("select H.myDate,H.theNum,S.theNum,S.theName,S.theStand,S.theUnit,L.thePrice,L.theCount,L.theSum "
                       "from %1 L inner join %2 H on L.theNum=H.theNum "
                       "inner join SUnits U on H.UID=U.ID "
                       "inner join SShop S on L.SID=S.ID "
                       "where H.theDel='否' and H.UID=? and L.SID=? order by L.ID desc")
            .arg(lines, head);
    return dm.rows(sql, {uid, sid});
}
