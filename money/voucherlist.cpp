#include "voucherlist.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "ui/msg.h"
#include "voucherprint.h"

#include <QSqlQueryModel>
#include <QAction>
#include <QMenu>

VoucherListScreen::VoucherListScreen(VoucherKind kind, QWidget *parent) : ListScreen(parent), m_side(voucherSide(kind))
{
    const VoucherSide &s = m_side;
    setWindowTitle(s.listCaption);
    setColumns({
        ListColumn("myDate", s.dateWord),
        ListColumn("theNum", "单号"),
        ListColumn("theName", s.partnerWord),
        ListColumn(s.amountColumn, s.amountWord).num().w(80).sum(s.sumLabel),
        ListColumn("AName", s.accountWord).w(80),
        ListColumn("UName", "经手人").w(80),
        ListColumn("IName", "录入人").w(80),
        ListColumn("Remark", "备注").w(300),
        ListColumn("UID").hide(),
        ListColumn(s.idField).hide(),
    });
    setQuery(QStringLiteral("select V.myDate as myDate, V.theNum as theNum, U.theName as theName, V.%1 as %1, "
                            "V.AName as AName, V.UName as UName, V.IName as IName, V.Remark as Remark, "
                            "V.UID as UID, V.ID as %2 from %3 V inner join SUnits U on V.UID=U.ID")
                 .arg(s.amountColumn, s.idField, s.table),
             QStringLiteral("order by V.ID desc"));
    setBaseCondition(QStringLiteral("V.theDel=?"), {QString::fromUtf8(Words::No)});

    addDateFilter(s.dateWord, QStringLiteral("V.myDate"));
    addTextFilter(QStringLiteral("单位名称"), {QStringLiteral("U.theName"), QStringLiteral("U.thePY")});
    try {
        addChoiceFilter(s.accountWord, QStringLiteral("V.AName"), DM().DBComAccount());
        addChoiceFilter(QStringLiteral("经  手  人"), QStringLiteral("V.UName"), DM().DBComStaff());
        addChoiceFilter(QStringLiteral("录  入  人"), QStringLiteral("V.IName"), DM().DBComUser());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }

    setCountLabel(s.countLabel);
    setExport(s.exportTitle, {4, 10, 12, 30, 10, 10, 10, 10, 20});

    QMenu *m = popupMenu();
    QAction *print = m->addAction(s.printItem, this, &VoucherListScreen::P1Click);
    print->setObjectName(QStringLiteral("P1"));
    m->addSeparator();
    QAction *del = m->addAction(QStringLiteral("删除 &D"), this, &VoucherListScreen::D1Click);
    del->setObjectName(QStringLiteral("D1"));
}

void VoucherListScreen::P1Click()
{
    if (isEmpty()) return;
    VoucherPrint::print(m_side.kind, currentValue(QStringLiteral("theNum")).toString(), this);
}

void VoucherListScreen::D1Click()
{
    if (isEmpty()) return;
    const int id = currentValue(m_side.idField).toInt();
    if (!Msg::confirmDelete(this)) return;
    try {
        // Read again inside the delete: a voucher deleted meanwhile (a second
        // click, another seat) is not reversed twice.
        if (!deleteVoucher(DM(), m_side.kind, id))
            Msg::info(this, QStringLiteral("该%1已被删除！").arg(m_side.caption));
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Ref();
}

frmFK_M1::frmFK_M1(QWidget *parent) : VoucherListScreen(VoucherKind::Payment, parent)
{
    setObjectName(QStringLiteral("frmFK_M1"));
}

frmSK_M1::frmSK_M1(QWidget *parent) : VoucherListScreen(VoucherKind::Receipt, parent)
{
    setObjectName(QStringLiteral("frmSK_M1"));
}
