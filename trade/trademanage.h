#pragma once
// The management screen of the four trade documents (purchase receipts, sales
// deliveries, purchase and sales returns): one design on the document
// management frame, configured by the kind. The thin classes frmJH_M, frmXS_M,
// frmCG_O_M and frmXS_O_M name it.
//
// The list shows the documents with their partner and totals, below it the
// lines and the settlements of the current document; the pop-up menu prints,
// shows the partner, settles the open amount, reopens a pre-saved document and
// deletes with the reversal of its postings (trade/tradedelete.h).
#include "ui/docmanage.h"
#include "tradekind.h"

#include <functional>

class TradeManageScreen : public DocManageScreen {
    Q_OBJECT
public:
    TradeKind kind() const { return m_kind; }

    // Where "打印全部销售出库单 &A" sends each ticket. The default prints on the
    // default printer; tests record the numbers. Pass nullptr for the default.
    using TicketHook = std::function<void(const QString &num)>;
    static void setTicketHook(TicketHook hook);

public slots:
    void P1Click();   // print the current document
    void A1Click();   // print every listed delivery as a ticket
    void V1Click();   // view the partner
    void SettleClick(); // "付款 &F" / "收款 &S"
    void M1Click();   // reopen a pre-saved document

protected:
    TradeManageScreen(TradeKind kind, QWidget *parent);

private:
    void buildColumns();
    void buildFilters();
    void buildDetails();
    void buildMenu();
    QString owedText() const;

    const TradeKind m_kind;
    const TradeKindInfo &m_info;
    QString m_idField;   // "JHID", "XSID", "CG_OID", "XS_OID"
};
