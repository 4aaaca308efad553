#include "pricehistory.h"

#include "data/dm.h"

QStringList priceHistoryCaptions(const QString &type)
{
    return {type == QLatin1String("XS") ? QStringLiteral("销售日期") : QStringLiteral("采购日期"),
            QStringLiteral("单号"), QStringLiteral("商品编码"), QStringLiteral("商品名称"), QStringLiteral("规格"),
            QStringLiteral("单位"), QStringLiteral("单价"), QStringLiteral("数量"), QStringLiteral("金额")};
}

QString priceHistorySql(const QString &type)
{
    const QString head = type == QLatin1String("XS") ? QStringLiteral("UXS") : QStringLiteral("UJH");
    const QString lines = head + QStringLiteral("_List");
    // Driven by the product's lines, newest first, each joined to its own
    // document. The partner is compared on that document's row and never
    // searched by, so that no plan walks all of a big partner's documents for
    // every line of the product (seconds on a file without statistics).
    return QStringLiteral("select H.myDate,H.theNum,S.theNum,S.theName,S.theStand,S.theUnit,L.thePrice,L.theCount,L.theSum "
                          "from %1 L inner join %2 H on H.theNum=L.theNum "
                          "inner join SUnits U on U.ID=H.UID "
                          "inner join SShop S on S.ID=L.SID "
                          "where L.SID=? and H.theDel='否' and ? in (select P.UID from %2 P where P.ID=H.ID) "
                          "order by L.ID desc")
        .arg(lines, head);
}

QVector<QVariantList> priceHistory(frmDM &dm, const QString &type, int uid, int sid)
{
    return dm.rows(priceHistorySql(type), {sid, uid});
}
