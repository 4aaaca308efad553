#include "settlequery.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "settle.h"
#include "ui/msg.h"

#include <QSqlQueryModel>

namespace {

struct QueryWords {
    const char *form;
    const char *caption;
    const char *dateWord;
    const char *partnerWord;
    const char *partnerFilter;
    const char *countLabel;
    const char *exportWord;
};

const QueryWords &words(TradeKind kind)
{
    static const QueryWords w[4] = {
        {"frmJH_FKQ", "采购入库付款查询", "采购日期", "供应商", "供  应  商", "采购入库付款数量：", "采购入库付款表"},
        {"frmXS_SKQ", "销售出库收款查询", "销售日期", "客户名称", "客户名称", "销售出库收款数量：", "销售出库收款表"},
        {"frmCG_O_SKQ", "采购退货收款查询", "退货日期", "供应商", "供  应  商", "采购退货收款数量：", "采购退货收款表"},
        {"frmXS_O_FKQ", "销售退货付款查询", "退货日期", "客户名称", "客户名称", "销售退货付款数量：", "销售退货付款表"},
    };
    return w[int(kind)];
}

QString u(const char *s) { return QString::fromUtf8(s); }

} // namespace

SettleQueryScreen::SettleQueryScreen(TradeKind kind, QWidget *parent) : ListScreen(parent), m_kind(kind)
{
    const QueryWords &w = words(kind);
    const TradeKindInfo &k = tradeKind(kind);
    const QString verb = settleKind(kind).verb;   // "付款" / "收款"
    setObjectName(u(w.form));
    setWindowTitle(u(w.caption));
    setPaged(true);

    setColumns({
        ListColumn("myDate", u(w.dateWord)).asText(),
        ListColumn("theNum", "单号"),
        ListColumn("theName", u(w.partnerWord)).w(160),
        ListColumn("thePro", "联系人").w(80),
        ListColumn("thePho", "联系电话").w(120),
        ListColumn("theAdd", "地址").w(160),
        ListColumn("WName", "仓库名称").w(80),
        ListColumn("UName", "经手人").w(80),
        ListColumn("IName", "录入人").w(80),
        ListColumn("setDate", verb + QStringLiteral("日期")).asText(),
        ListColumn("theMoney", verb + QStringLiteral("金额")).num().w(80).sum(verb + QStringLiteral("金额：")),
        ListColumn("setAccount", verb + QStringLiteral("方式")).w(80),
        ListColumn("setPerson", verb + QStringLiteral("人")).w(80),
        ListColumn("Remark", "备注").w(80),
    });
    setQuery(QStringLiteral("select H.myDate as myDate, H.theNum as theNum, U.theName as theName, U.thePro as thePro, "
                            "U.thePho as thePho, U.theAdd as theAdd, H.WName as WName, H.UName as UName, "
                            "H.IName as IName, F.%1 as setDate, F.theMoney as theMoney, F.AName as setAccount, "
                            "F.%2 as setPerson, H.Remark as Remark, F.ID as FID "
                            "from %3 H inner join SUnits U on H.UID=U.ID inner join %4 F on H.theNum=F.theNum")
                 .arg(k.settleDate, k.settlePerson, k.head, k.settleTable),
             // The rows of one document in the order they were booked.
             QStringLiteral("order by H.theNum desc, F.ID"));
    // Deleted documents are left out, though their settlement rows stay; so
    // are pre-saved ones, which have none of their own yet.
    if (k.canPreSave)
        setBaseCondition(QStringLiteral("H.theDel = ? and H.theYC = ?"), {u(Words::No), u(Words::No)});
    else
        setBaseCondition(QStringLiteral("H.theDel = ?"), {u(Words::No)});

    addDateFilter(u(w.dateWord), QStringLiteral("H.myDate"));
    addTextFilter(QStringLiteral("单        号"), {QStringLiteral("H.theNum")});
    addTextFilterVia(u(w.partnerFilter), QStringLiteral("H.UID"), QStringLiteral("SUnits"),
                     {QStringLiteral("theName"), QStringLiteral("thePY")});
    addTextFilterVia(QStringLiteral("联  系  人"), QStringLiteral("H.UID"), QStringLiteral("SUnits"), {QStringLiteral("thePro")});
    addTextFilterVia(QStringLiteral("联系电话"), QStringLiteral("H.UID"), QStringLiteral("SUnits"), {QStringLiteral("thePho")});
    addTextFilterVia(QStringLiteral("地        址"), QStringLiteral("H.UID"), QStringLiteral("SUnits"), {QStringLiteral("theAdd")});
    try {
        addChoiceFilter(QStringLiteral("仓库名称"), QStringLiteral("H.WName"), DM().DBComWare());
        addChoiceFilter(QStringLiteral("经  手  人"), QStringLiteral("H.UName"), DM().DBComStaff());
        addChoiceFilter(QStringLiteral("录  入  人"), QStringLiteral("H.IName"), DM().DBComUser());
        addDateFilter(verb + QStringLiteral("日期"), QStringLiteral("F.") + k.settleDate);
        addChoiceFilter(verb + QStringLiteral("方式"), QStringLiteral("F.AName"), DM().DBComAccount());
        addChoiceFilter(verb.left(1) + QStringLiteral("  ") + verb.mid(1) + QStringLiteral("  人"),
                        QStringLiteral("F.") + k.settlePerson, DM().DBComStaff());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    addTextFilter(QStringLiteral("备        注"), {QStringLiteral("H.Remark")});

    setCountLabel(u(w.countLabel));
    setExport(u(w.exportWord), {4, 10, 12, 18, 12, 12, 18}, 8);
}
