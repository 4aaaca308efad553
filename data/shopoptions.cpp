#include "shopoptions.h"
#include "dm.h"

ShopOptions currentShopOptions(frmDM &dm)
{
    ShopOptions o;
    const auto r = dm.rows(QStringLiteral("select theFKC, theJH, theXS, theCB from SDept"));
    if (r.isEmpty()) return o;
    const QVariantList &d = r.first();
    o.negativeStock = d[0].toInt() != 0;
    o.purchaseSetsPrice = d[1].toInt() != 0;
    o.salesSetsPrice = d[2].toInt() != 0;
    o.costMethod = d[3].toString();
    return o;
}
