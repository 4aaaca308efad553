#pragma once
// The statement behind the line queries of the four trade documents: every
// line joined with its document (H), the document's partner (U) and the
// product (S). Conditions of the line query screens and of the sales
// statistics are written over these four names.
#include "tradekind.h"

#include <QString>

// "UXS_List L inner join UXS H on … left join SUnits U on … left join SShop S on …".
// Partner and product are joined by key and only read, so a count or a sum
// that needs none of their columns does not visit them.
inline QString tradeLinesFrom(TradeKind kind)
{
    const TradeKindInfo &k = tradeKind(kind);
    return QStringLiteral("%1 L inner join %2 H on L.theNum=H.theNum left join SUnits U on H.UID=U.ID "
                          "left join SShop S on L.SID=S.ID")
        .arg(k.lines, k.head);
}
