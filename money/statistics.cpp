#include "statistics.h"

#include "data/sqlsum.h"

namespace {

StatWords make(TradeKind kind)
{
    switch (kind) {
    case TradeKind::Purchase:
        return {QStringLiteral("采购入库统计"), QStringLiteral("采购日期"), QStringLiteral("供应商"),
                QStringLiteral("供  应  商"), QStringLiteral("采购入库统计表")};
    case TradeKind::PurchaseReturn:
        return {QStringLiteral("采购退货统计"), QStringLiteral("退货日期"), QStringLiteral("供应商"),
                QStringLiteral("供  应  商"), QStringLiteral("采购退货统计表")};
    case TradeKind::Sales:
        return {QStringLiteral("销售出库统计"), QStringLiteral("销售日期"), QStringLiteral("客户名称"),
                QStringLiteral("客户名称"), QStringLiteral("销售出库统计表")};
    case TradeKind::SalesReturn:
        break;
    }
    return {QStringLiteral("销售退货统计"), QStringLiteral("退货日期"), QStringLiteral("客户名称"),
            QStringLiteral("客户名称"), QStringLiteral("销售退货统计表")};
}

using T = StatGroup::Table;

// The list's items after the date word and before the partner word, then after it.
QList<StatGroup> groups(TradeKind kind)
{
    const StatWords &w = statWords(kind);
    return {
        {w.dateWord, QStringLiteral("D.myDate"), T::Document},
        {QStringLiteral("单号"), QStringLiteral("D.theNum"), T::Document},
        {w.partnerWord, QStringLiteral("U.theName"), T::Partner},
        {QStringLiteral("联系人"), QStringLiteral("U.thePro"), T::Partner},
        {QStringLiteral("联系电话"), QStringLiteral("U.thePho"), T::Partner},
        {QStringLiteral("地址"), QStringLiteral("U.theAdd"), T::Partner},
        {QStringLiteral("商品分类"), QStringLiteral("S.theType"), T::Product},
        {QStringLiteral("商品编码"), QStringLiteral("S.theNum"), T::Product},
        {QStringLiteral("商品名称"), QStringLiteral("S.theName"), T::Product},
        {QStringLiteral("规格"), QStringLiteral("S.theStand"), T::Product},
        {QStringLiteral("单位"), QStringLiteral("S.theUnit"), T::Product},
        {QStringLiteral("单价"), QStringLiteral("L.thePrice"), T::Line, true},
        {QStringLiteral("仓库名称"), QStringLiteral("D.WName"), T::Document},
        {QStringLiteral("经手人"), QStringLiteral("D.UName"), T::Document},
    };
}

} // namespace

const StatWords &statWords(TradeKind kind)
{
    static const StatWords w[4] = {make(TradeKind::Purchase), make(TradeKind::Sales), make(TradeKind::PurchaseReturn),
                                   make(TradeKind::SalesReturn)};
    return w[int(kind)];
}

QStringList statGroupItems(TradeKind kind)
{
    QStringList out;
    for (const StatGroup &g : groups(kind)) out << g.caption;
    return out;
}

StatGroup statGroup(TradeKind kind, const QString &text)
{
    const QList<StatGroup> all = groups(kind);
    for (const StatGroup &g : all)
        if (g.caption == text) return g;
    if (text == QStringLiteral("录入人")) return {text, QStringLiteral("D.IName"), T::Document};
    return all[2]; // the partner
}

QString statSelect(TradeKind kind, const StatGroup &group, bool partnerJoin, bool productJoin)
{
    const TradeKindInfo &k = tradeKind(kind);
    QString sql = QStringLiteral("select %1 as theGroup, %2 as theCount, %3 as theSum from %4 L inner join %5 D on L.theNum=D.theNum")
                      .arg(group.expr, SqlSum::units(QStringLiteral("L.theCount")),
                           SqlSum::units(QStringLiteral("L.theSum")), k.lines, k.head);
    if (partnerJoin || group.table == T::Partner) sql += QStringLiteral(" inner join SUnits U on D.UID=U.ID");
    if (productJoin || group.table == T::Product) sql += QStringLiteral(" inner join SShop S on L.SID=S.ID");
    return sql;
}

QString statTail(const StatGroup &group) { return QStringLiteral("group by ") + group.expr; }

QString statBaseCondition() { return QStringLiteral("D.theDel=?"); }
