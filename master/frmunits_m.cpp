#include "frmunits_m.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/words.h"
#include "frmunits_in.h"
#include "partners.h"
#include "ui/msg.h"

#include <QAction>
#include <QMenu>
#include <QSqlQueryModel>
#include <QTableView>

frmUnits_M::frmUnits_M(QWidget *parent) : ListScreen(parent)
{
    setObjectName(QStringLiteral("frmUnits_M"));
    setWindowTitle(QStringLiteral("往来单位管理"));

    setColumns({
        ListColumn("theType", "单位类型"),
        ListColumn("theName", "单位名称").w(300),
        ListColumn("thePro", "联系人").w(120),
        ListColumn("thePho", "联系电话").w(160),
        ListColumn("theAdd", "地址").w(300),
        ListColumn("Remark", "备注").w(300),
        ListColumn("theState", "状态"),
        ListColumn("thePY").hide(),
        ListColumn("ID").hide(),
        ListColumn("theYS").num().hide(),
        ListColumn("theYF").num().hide(),
    });
    setQuery(QStringLiteral("select theType,theName,thePro,thePho,theAdd,Remark,theState,thePY,ID,theYS,theYF from SUnits"),
             QStringLiteral("order by theType,theName"));
    setBaseCondition(QStringLiteral("theDel=?"), {QString::fromUtf8(Words::No)});

    addTextFilter(QStringLiteral("单位名称"), {QStringLiteral("theName"), QStringLiteral("thePY")});
    addTextFilter(QStringLiteral("联  系  人"), {QStringLiteral("thePro")});
    addTextFilter(QStringLiteral("联系电话"), {QStringLiteral("thePho")});
    addTextFilter(QStringLiteral("地        址"), {QStringLiteral("theAdd")});
    addTextFilter(QStringLiteral("备        注"), {QStringLiteral("Remark")});
    try {
        addChoiceFilter(QStringLiteral("单位类型"), QStringLiteral("theType"), DM().DBComSUType());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }

    setCountLabel(QStringLiteral("往来单位数量："));
    setExport(QStringLiteral("往来单位表"), {4, 10, 30, 12, 20, 20, 14, 6});

    QMenu *m = popupMenu();
    auto item = [this, m](const char *name, const QString &text, void (frmUnits_M::*slot)()) {
        QAction *a = m->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
    };
    item("Q1", QStringLiteral("启用 &Q"), &frmUnits_M::Q1Click);
    item("T1", QStringLiteral("停用 &T"), &frmUnits_M::T1Click);
    m->addSeparator();
    item("V1", QStringLiteral("查看 &V"), &frmUnits_M::V1Click);
    m->addSeparator();
    item("D1", QStringLiteral("删除 &D"), &frmUnits_M::D1Click);

    connect(grid(), &QTableView::doubleClicked, this, &frmUnits_M::V1Click);
}

int frmUnits_M::currentID() const { return isEmpty() ? 0 : currentValue(QStringLiteral("ID")).toInt(); }

void frmUnits_M::setState(const char *state)
{
    if (isEmpty()) return;
    try {
        DM().myState(QStringLiteral("SUnits"), QString::fromUtf8(state), currentID());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Ref();
}

void frmUnits_M::Q1Click() { setState(Words::StateOn); }
void frmUnits_M::T1Click() { setState(Words::StateOff); }

void frmUnits_M::V1Click()
{
    if (isEmpty()) return;
    frmUnits_In dlg(this);
    dlg.setPartnerID(currentID());
    connect(&dlg, &frmUnits_In::saved, this, [this] { Ref(); });
    dlg.exec();
}

void frmUnits_M::D1Click()
{
    if (isEmpty()) return;
    // No balance or document test: the row stays for the documents that name it.
    if (!Msg::confirmDelete(this)) return;
    try {
        deletePartner(DM(), currentID());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Ref();
}
