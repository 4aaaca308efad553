#include "statistics.h"

#include "data/sqlmoney.h"

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
    const QString count = SqlMoney::sumUnits(QStringLiteral("L.theCount"));
    const QString sum = SqlMoney::sumUnits(QStringLiteral("L.theSum"));
    // The documents drive: each one's lines are found through the line
    // table's number index (a cross join keeps that order).
    QString from = QStringLiteral("%1 D cross join %2 L").arg(k.head, k.lines);
    if (partnerJoin) from += QStringLiteral(" inner join SUnits U on D.UID=U.ID");
    if (productJoin) from += QStringLiteral(" inner join SShop S on L.SID=S.ID");
    switch (group.table) {
    case T::Line:
        return QStringLiteral("select %1 as theGroup, %2 as theCount, %3 as theSum from %4")
            .arg(group.expr, count, sum, from);
    case T::Product:
        // The lines are totalled per product first: the product table is read
        // once per product, not once per line.
        return QStringLiteral("select %1 as theGroup, sum(A.C) as theCount, sum(A.S) as theSum from "
                              "(select L.SID as K, %2 as C, %3 as S from %4")
            .arg(group.expr, count, sum, from);
    case T::Document:
    case T::Partner:
        break;
    }
    // The lines are totalled per document first, as the documents come: only
    // the document totals are then sorted into groups, not every line.
    return QStringLiteral("select %1 as theGroup, sum(A.C) as theCount, sum(A.S) as theSum from "
                          "(select D.ID as K, %2 as C, %3 as S from %4")
        .arg(group.expr, count, sum, from);
}

QString statTail(TradeKind kind, const StatGroup &group)
{
    const QString by = QStringLiteral("group by ") + group.expr;
    switch (group.table) {
    case T::Line: return by;
    case T::Product: return QStringLiteral("group by L.SID) A inner join SShop S on S.ID=A.K ") + by;
    case T::Document:
    case T::Partner:
        break;
    }
    QString tail = QStringLiteral("group by D.ID) A inner join %1 D on D.ID=A.K ").arg(tradeKind(kind).head);
    if (group.table == T::Partner) tail += QStringLiteral("inner join SUnits U on D.UID=U.ID ");
    return tail + by;
}

QString statBaseCondition() { return QStringLiteral("L.theNum=D.theNum and D.theDel=?"); }
