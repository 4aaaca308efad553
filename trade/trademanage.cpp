#include "trademanage.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "frmjh_in.h"
#include "frmxs_in.h"
#include "master/frmunits_v.h"
#include "money/frmsettle.h"
#include "money/settle.h"
#include "print/printops.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "ui/sortheader.h"
#include "tradedelete.h"
#include "tradeentry.h"

#include <QAction>
#include <QMenu>
#include <QSqlQueryModel>
#include <QTableView>
#include <memory>

namespace {

// The words that differ between the four screens.
struct ManageWords {
    const char *caption;
    const char *dateCaption;     // list column and date filter
    const char *partnerCaption;  // list column
    const char *partnerFilter;   // filter box
    const char *paidCaption;
    const char *owedCaption;
    const char *idField;         // the document ID under its list name
    const char *countLabel;
    const char *openFilter;      // the open-balance box
    const char *exportWord;
    const char *printItem;
    const char *viewItem;
    const char *settleItem;
    const char *settleName;      // objectName of the settle item
    int remarkWidth;
    double exportRemarkWidth;
};

const ManageWords &words(TradeKind kind)
{
    static const ManageWords w[4] = {
        {"采购入库管理", "采购日期", "供应商", "供  应  商", "付款金额", "应付金额", "JHID", "采购数量：", "应付单",
         "采购入库表", "打印采购入库单 &P", "查看供应商信息 &V", "付款 &F", "F1", 120, 10},
        {"销售出库管理", "销售日期", "客户名称", "客户名称", "收款金额", "应收金额", "XSID", "销售数量：", "应收单",
         "销售表", "打印销售出库单 &P", "查看客户信息 &V", "收款 &S", "S1", 120, 10},
        {"采购退货管理", "退货日期", "供应商", "供  应  商", "收款金额", "应收金额", "CG_OID", "采购退货数量：",
         "应收金额大于零", "采购退货表", "打印采购退货单 &P", "查看供应商信息 &V", "收款 &S", "S1", 140, 16},
        {"销售退货管理", "退货日期", "客户名称", "客户名称", "付款金额", "应付金额", "XS_OID", "销售退货数量：",
         "应付金额大于零", "销售退货表", "打印销售退货单 &P", "查看客户信息 &V", "付款 &F", "F1", 140, 16},
    };
    return w[int(kind)];
}

QString u(const char *s) { return QString::fromUtf8(s); }

TradeManageScreen::TicketHook &ticketHook()
{
    static TradeManageScreen::TicketHook hook;
    return hook;
}

} // namespace

void TradeManageScreen::setTicketHook(TicketHook hook) { ticketHook() = std::move(hook); }

TradeManageScreen::TradeManageScreen(TradeKind kind, QWidget *parent)
    : DocManageScreen(parent), m_kind(kind), m_info(tradeKind(kind)), m_idField(u(words(kind).idField))
{
    setObjectName(QStringLiteral("frm") + QStringList{"JH_M", "XS_M", "CG_O_M", "XS_O_M"}[int(kind)]);
    setWindowTitle(u(words(kind).caption));
    setPaged(true);
    buildColumns();
    buildFilters();
    buildDetails();
    buildMenu();
    setDeleter(m_idField, m_info.canPreSave ? QStringLiteral("theDel") : QString(),
               [kind](int id) { return deleteTradeDoc(DM(), kind, id); });
}

void TradeManageScreen::buildColumns()
{
    const ManageWords &w = words(m_kind);
    const QString owed = m_info.owedColumn;
    QList<ListColumn> cols{
        ListColumn("myDate", u(w.dateCaption)).asText(),
        ListColumn("theNum", "单号"),
        ListColumn("theName", u(w.partnerCaption)).w(160),
        ListColumn("thePro", "联系人").w(80),
        ListColumn("thePho", "联系电话").w(120),
        ListColumn("theAdd", "地址").w(160),
        ListColumn("theHJ", "合计金额").num().w(80).sum("合计金额："),
        ListColumn("theSJ", u(w.paidCaption)).num().w(80).sum(),
        ListColumn(owed, u(w.owedCaption)).num().w(80).sum(),
        ListColumn("WName", "仓库名称").w(80),
        ListColumn("UName", "经手人").w(80),
        ListColumn("IName", "录入人").w(80),
        ListColumn("Remark", "备注").w(w.remarkWidth),
    };
    QString select = QStringLiteral("select H.myDate as myDate, H.theNum as theNum, U.theName as theName, "
                                    "U.thePro as thePro, U.thePho as thePho, U.theAdd as theAdd, H.theHJ as theHJ, "
                                    "H.theSJ as theSJ, H.%1 as %1, H.WName as WName, H.UName as UName, "
                                    "H.IName as IName, H.Remark as Remark, H.UID as UID, H.ID as %2")
                         .arg(owed, m_idField);
    if (m_info.canPreSave) {
        cols << ListColumn("theYC", "预存").noXls();
        select += QStringLiteral(", H.theYC as theYC, H.theDel as theDel");
    }
    cols << ListColumn("UID").hide() << ListColumn(m_idField).hide();
    if (m_info.canPreSave) cols << ListColumn("theDel").hide();
    setColumns(cols);
    // Newest first.
    setQuery(select + QStringLiteral(" from %1 H inner join SUnits U on H.UID=U.ID").arg(m_info.head),
             QStringLiteral("order by H.ID desc"));
    // The totals need no more than the documents and their partner.
    setTotalsSource([this, owed](const SqlCondition &) {
        return QStringLiteral("select H.theHJ as theHJ, H.theSJ as theSJ, H.%1 as %1 from %2 H inner join SUnits U on H.UID=U.ID")
            .arg(owed, m_info.head);
    });
    setCountLabel(u(w.countLabel));
    setExport(u(w.exportWord), {4, 10, 12, 18, 12, 12, 18, 10, 10, 8, 8, 8, 8, w.exportRemarkWidth});
}

void TradeManageScreen::buildFilters()
{
    const ManageWords &w = words(m_kind);
    const QString yes = u(Words::Yes), no = u(Words::No);
    // Deleted receipts and deliveries are listed only with "已删除"; deleted returns never.
    if (m_info.canPreSave) setBaseCondition(QStringLiteral("H.ID > ?"), {0});
    else setBaseCondition(QStringLiteral("H.theDel = ?"), {no});

    addDateFilter(u(w.dateCaption), QStringLiteral("H.myDate"));
    // Partner fields are looked up among the partners: a rare partner's few
    // documents are found through the partner index.
    addTextFilterVia(u(w.partnerFilter), QStringLiteral("H.UID"), QStringLiteral("SUnits"),
                     {QStringLiteral("theName"), QStringLiteral("thePY")});
    addTextFilter(QStringLiteral("单        号"), {QStringLiteral("H.theNum")});
    try {
        addChoiceFilter(QStringLiteral("仓库名称"), QStringLiteral("H.WName"), DM().DBComWare());
        addChoiceFilter(QStringLiteral("经  手  人"), QStringLiteral("H.UName"), DM().DBComStaff());
        addChoiceFilter(QStringLiteral("录  入  人"), QStringLiteral("H.IName"), DM().DBComUser());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    addTextFilter(QStringLiteral("备        注"), {QStringLiteral("H.Remark")});
    addTextFilterVia(QStringLiteral("联  系  人"), QStringLiteral("H.UID"), QStringLiteral("SUnits"), {QStringLiteral("thePro")});
    addTextFilterVia(QStringLiteral("联系电话"), QStringLiteral("H.UID"), QStringLiteral("SUnits"), {QStringLiteral("thePho")});
    addTextFilterVia(QStringLiteral("地        址"), QStringLiteral("H.UID"), QStringLiteral("SUnits"), {QStringLiteral("theAdd")});
    addFlagFilter(u(w.openFilter), QStringLiteral("H.%1 > ?").arg(m_info.owedColumn), {0});
    if (m_info.canPreSave) {
        addFlagFilter(QStringLiteral("预存单"), QStringLiteral("H.theYC = ?"), {yes});
        addFlagFilter(QStringLiteral("已删除"), QStringLiteral("H.theDel = ?"), {yes}, QStringLiteral("H.theDel = ?"), {no});
    }
}

void TradeManageScreen::buildDetails()
{
    const bool sales = m_info.salesLines;
    const bool isReturn = !m_info.canPreSave;
    QList<ListColumn> lines{ListColumn("theNum", "单号"), ListColumn("SPNum", "商品编码"),
                            ListColumn("SPName", "商品名称").w(160), ListColumn("theStand", "规格").w(80),
                            ListColumn("theUnit", "单位").w(60)};
    if (sales)
        lines << ListColumn("thePrice", "单价").num().w(80) << ListColumn("theZK", "折扣").num().w(40)
              << ListColumn("theCount", "数量").num().w(60);
    else if (isReturn)
        lines << ListColumn("theCount", "数量").num().w(80) << ListColumn("thePrice", "单价").num().w(60);
    else
        lines << ListColumn("thePrice", "单价").num().w(80) << ListColumn("theCount", "数量").num().w(60);
    lines << ListColumn("theSum", "金额").num().w(100) << ListColumn("Remark", "备注").w(sales ? 90 : 130)
          << ListColumn("SID").hide();
    addDetailGrid(QStringLiteral("DBGrid2"), lines,
                  QStringLiteral("select L.theNum as theNum, S.theNum as SPNum, S.theName as SPName, "
                                 "S.theStand as theStand, S.theUnit as theUnit, L.thePrice as thePrice, %1"
                                 "L.theCount as theCount, L.theSum as theSum, L.Remark as Remark, L.SID as SID "
                                 "from %2 L left join SShop S on L.SID=S.ID where L.theNum=? order by L.theBH, L.ID")
                      .arg(sales ? QStringLiteral("L.theZK as theZK, ") : QString(), m_info.lines),
                  3);

    const bool pay = m_info.settlePerson == QLatin1String("theFKR");
    const QString verb = pay ? QStringLiteral("付款") : QStringLiteral("收款");
    addDetailGrid(QStringLiteral("DBGrid5"),
                  {ListColumn("theNum", "单号"), ListColumn(m_info.settleDate, verb + QStringLiteral("日期")),
                   ListColumn("theMoney", verb + QStringLiteral("金额")).num().w(80),
                   ListColumn("AName", verb + QStringLiteral("方式")).w(80),
                   ListColumn(m_info.settlePerson, verb + QStringLiteral("人")).w(80)},
                  QStringLiteral("select theNum, %1, theMoney, AName, %2 from %3 where theNum=? order by ID")
                      .arg(m_info.settleDate, m_info.settlePerson, m_info.settleTable),
                  2);
    setDetailKey(QStringLiteral("theNum"));
}

void TradeManageScreen::buildMenu()
{
    const ManageWords &w = words(m_kind);
    QMenu *m = popupMenu();
    auto item = [this, m](const char *name, const QString &text, void (TradeManageScreen::*slot)()) {
        QAction *a = m->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    item("P1", u(w.printItem), &TradeManageScreen::P1Click);
    if (m_kind == TradeKind::Sales) item("A1", QStringLiteral("打印全部销售出库单 &A"), &TradeManageScreen::A1Click);
    item("V1", u(w.viewItem), &TradeManageScreen::V1Click);
    item(w.settleName, u(w.settleItem), &TradeManageScreen::SettleClick);
    if (m_info.canPreSave) item("M1", QStringLiteral("修改 &M"), &TradeManageScreen::M1Click);
    addDeleteItem();
}

QString TradeManageScreen::owedText() const
{
    const int col = resultModel()->columnOf(m_info.owedColumn);
    return resultModel()->text(currentRow(), col);
}

void TradeManageScreen::P1Click()
{
    if (isEmpty() || currentRow() < 0) return;
    // A pre-saved document is not printed.
    if (m_info.canPreSave && currentValue(QStringLiteral("theYC")).toString() != u(Words::No)) return;
    TradeEntryScreen::printDocument(m_kind, currentValue(QStringLiteral("theNum")).toString(), this);
}

void TradeManageScreen::A1Click()
{
    if (isEmpty() || !fetchAll()) return;
    const int n = sortProxy()->rowCount();
    for (int r = 0; r < n; ++r) {
        const QString num = valueAt(r, QStringLiteral("theNum")).toString();
        if (ticketHook()) ticketHook()(num);
        else Print::PrintOut_XS1(DM(), num, Print::Target::printer(this));
    }
}

void TradeManageScreen::V1Click()
{
    if (isEmpty() || currentRow() < 0) return;
    frmunits_v dlg(this);
    dlg.setPartnerID(currentValue(QStringLiteral("UID")).toInt());
    dlg.exec();
}

void TradeManageScreen::SettleClick()
{
    if (isEmpty() || currentRow() < 0) return;
    const SettleKindInfo &s = settleKind(m_kind);
    const QString num = currentValue(QStringLiteral("theNum")).toString();
    const QString owed = owedText();
    if (owed == QLatin1String("0")) {
        Msg::info(this, s.msgOwedZero(num));
        return;
    }
    // A deleted or a pre-saved document owes nothing yet: it is not settled.
    if (currentDeleted()) {
        Msg::info(this, s.msgDeleted(num));
        return;
    }
    if (m_info.canPreSave && currentValue(QStringLiteral("theYC")).toString() == u(Words::Yes)) {
        Msg::info(this, s.msgPreSaved(num));
        return;
    }
    std::unique_ptr<SettleDialog> dlg(createSettleDialog(m_kind, this));
    dlg->setup(num, owed, currentValue(QStringLiteral("UID")).toInt(), currentValue(m_idField).toInt());
    connect(dlg.get(), &SettleDialog::saved, this, [this] { Ref(); });
    dlg->exec();
}

void TradeManageScreen::M1Click()
{
    if (isEmpty() || currentRow() < 0 || !m_info.canPreSave) return;
    // Only a live pre-saved document is reopened.
    if (currentValue(QStringLiteral("theYC")).toString() == u(Words::No) || currentDeleted()) return;
    std::unique_ptr<TradeEntryScreen> s;
    if (m_kind == TradeKind::Purchase) s = std::make_unique<frmJH_In>(this);
    else s = std::make_unique<frmXS_In>(this);
    s->myDJNum = currentValue(QStringLiteral("theNum")).toString();
    connect(s.get(), &TradeEntryScreen::saved, this, [this] { Ref(); });
    s->exec();
}
