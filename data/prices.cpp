// The unit price proposed when a product is put on a purchase or sales line:
// the product's own price, or, when the shop option says so, the price of the
// latest line of the same product for the same partner.
#include "prices.h"
#include "dm.h"
#include "globals.h"

QString latestLinePriceSql(const QString &head, const QString &lines)
{
    // The product's lines, newest first, each looked up in its own document
    // until one belongs to the partner. The partner is only compared, never
    // searched by: walking a big supplier's documents for every line of a
    // popular product takes seconds, whatever the planner knows of the file.
    return QStringLiteral("select L.thePrice from %2 L where L.SID=? "
                          "and ? in (select H.UID from %1 H where H.theNum=L.theNum and H.theDel='否') "
                          "order by L.ID desc limit 1")
        .arg(head, lines);
}

namespace {
Money suggest(frmDM &dm, int sid, int uid, const char *priceColumn, bool perPartner, const char *head,
              const char *lines)
{
    const auto own = dm.rows(QStringLiteral("select %1 from SShop where ID=?").arg(QLatin1String(priceColumn)), {sid});
    const Money fallback = own.size() == 1 ? Money::fromVariant(own[0][0]) : Money();
    if (!perPartner) return fallback;
    const auto last = dm.rows(latestLinePriceSql(QLatin1String(head), QLatin1String(lines)), {sid, uid});
    return last.size() == 1 ? Money::fromVariant(last[0][0]) : fallback;
}
}

Money frmDM::myRetJHPrice(int sid, int uid)
{
    return suggest(*this, sid, uid, "theJH", G.ShopJH1, "UJH", "UJH_List");
}

Money frmDM::myRetXSPrice(int sid, int uid)
{
    // The stored line price, before the line's discount.
    return suggest(*this, sid, uid, "theXS", G.ShopXS1, "UXS", "UXS_List");
}
