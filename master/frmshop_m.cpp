#include "frmshop_m.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/words.h"
#include "frmpic_list.h"
#include "frmpic_m.h"
#include "frmpic_v.h"
#include "frmshop_in.h"
#include "frmshop_py.h"
#include "frmszk.h"
#include "products.h"
#include "ui/msg.h"
#include "stock/frmslist.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QSqlQueryModel>
#include <QTableView>

frmShop_M::frmShop_M(QWidget *parent) : ListScreen(parent)
{
    setObjectName(QStringLiteral("frmShop_M"));
    setWindowTitle(QStringLiteral("商品管理"));

    // Limits, discount, input code and ID are on screen only; the spreadsheet
    // takes code to state without them. The purchase price is exported even
    // while it is hidden here.
    QList<ListColumn> cols{
        ListColumn("theNum", "商品编码").asText(),
        ListColumn("theType", "商品分类").w(100),
        ListColumn("theName", "商品名称").w(200),
        ListColumn("theStand", "规格").w(100),
        ListColumn("theUnit", "单位").w(60),
        ListColumn("theJH", "采购单价").num().w(80),
        ListColumn("theXS", "销售单价").num().w(80),
    };
    const bool limits = G.ShopTX == QLatin1String("True");
    if (limits) {
        cols << ListColumn("theKCMin", "最低库存").num().w(60).noXls()
             << ListColumn("theKCMax", "最高库存").num().w(60).noXls();
    }
    cols << ListColumn("theZK", "销售折扣").num().w(60).noXls()
         << ListColumn("Remark", "备注").w(100)
         << ListColumn("theState", "状态")
         << ListColumn("ID").hide()
         << ListColumn("thePY").hide();
    setColumns(cols);
    setQuery(QStringLiteral("select theNum,theType,theName,theStand,theUnit,theJH,theXS,%1theZK,Remark,theState,ID,thePY "
                            "from SShop")
                 .arg(limits ? QStringLiteral("theKCMin,theKCMax,") : QString()),
             QStringLiteral("order by theType,theName,theUnit"));
    setBaseCondition(QStringLiteral("theDel=?"), {QString::fromUtf8(Words::No)});

    try {
        addChoiceFilter(QStringLiteral("商品分类"), QStringLiteral("theType"), DM().DBComSType());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    addTextFilter(QStringLiteral("商品名称"), {QStringLiteral("theName"), QStringLiteral("thePY")});
    addTextFilter(QStringLiteral("商品编码"), {QStringLiteral("theNum")});
    addTextFilter(QStringLiteral("规        格"), {QStringLiteral("theStand")});
    addTextFilter(QStringLiteral("单        位"), {QStringLiteral("theUnit")});
    addTextFilter(QStringLiteral("备        注"), {QStringLiteral("Remark")});

    m_hideJH = new QCheckBox(QStringLiteral("隐藏采购单价 （Alt 加 A 健）&A"), this);
    m_hideJH->setObjectName(QStringLiteral("CheckBox7"));
    addFilterWidget(m_hideJH);
    connect(m_hideJH, &QCheckBox::toggled, this, [this](bool hide) {
        setColumnVisible(QStringLiteral("theJH"), !hide);
        if (queried()) BitBtn1Click();
    });

    setCountLabel(QStringLiteral("商品数量："));
    setExport(QStringLiteral("商品表"), {4, 16, 12, 30, 12, 6, 8, 8, 14, 4});
    exportLayout().footerProduct = QStringLiteral("Tavrel进销存软件");

    QMenu *m = popupMenu();
    auto item = [this, m](const char *name, const QString &text, void (frmShop_M::*slot)()) {
        QAction *a = m->addAction(text);
        a->setObjectName(QLatin1String(name));
        if (slot) connect(a, &QAction::triggered, this, slot);
        return a;
    };
    item("Q1", QStringLiteral("启用 &Q"), &frmShop_M::Q1Click);
    item("T1", QStringLiteral("停用 &T"), &frmShop_M::T1Click);
    m->addSeparator();
    item("V1", QStringLiteral("查看 &V"), &frmShop_M::V1Click);
    item("P1", QStringLiteral("拼音码修改 &P"), &frmShop_M::P1Click);
    item("Z1", QStringLiteral("修改销售折扣 &Z"), &frmShop_M::Z1Click);
    m->addSeparator();
    item("M1", QStringLiteral("图片管理 &P"), &frmShop_M::M1Click);
    item("K1", QStringLiteral("查看图片 &K"), &frmShop_M::K1Click);
    item("B1", QStringLiteral("图片列表 &B"), &frmShop_M::B1Click);
    item("L1", QStringLiteral("查看流动记录 &L"), &frmShop_M::L1Click);
    m->addSeparator();
    item("D1", QStringLiteral("删除 &D"), &frmShop_M::D1Click);

    connect(grid(), &QTableView::doubleClicked, this, &frmShop_M::V1Click);
}

int frmShop_M::currentID() const { return isEmpty() ? 0 : currentValue(QStringLiteral("ID")).toInt(); }

void frmShop_M::setState(const char *state)
{
    if (isEmpty()) return;
    try {
        DM().myState(QStringLiteral("SShop"), QString::fromUtf8(state), currentID());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Ref();
}

void frmShop_M::Q1Click() { setState(Words::StateOn); }
void frmShop_M::T1Click() { setState(Words::StateOff); }

void frmShop_M::V1Click()
{
    if (isEmpty()) return;
    frmShop_In dlg(this);
    dlg.setProductID(currentID());
    connect(&dlg, &frmShop_In::saved, this, [this] { Ref(); });
    dlg.exec();
}

void frmShop_M::P1Click()
{
    if (isEmpty()) return;
    frmShop_PY dlg(this);
    dlg.setProductID(currentID());
    connect(&dlg, &frmShop_PY::saved, this, [this] { Ref(); });
    dlg.exec();
}

void frmShop_M::Z1Click()
{
    if (isEmpty()) return;
    frmSZK dlg(this);
    dlg.setup(QString::fromUtf8(frmSZK::ProductMode), QString(), currentID(),
              currentValue(QStringLiteral("theZK")).toInt());
    connect(&dlg, &frmSZK::saved, this, [this] { Ref(); });
    dlg.exec();
}

void frmShop_M::D1Click()
{
    if (isEmpty()) return;
    const int id = currentID();
    try {
        if (productHasStock(DM(), id)) {
            Msg::info(this, QStringLiteral("该商品有库存，不能删除！"));
            return;
        }
        if (!Msg::confirmDelete(this)) return;
        deleteProduct(DM(), id);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Ref();
}

namespace {
// The picture screens' caption: the row's code, a space and its name.
QString pictureCaption(const frmShop_M &list)
{
    return list.currentValue(QStringLiteral("theNum")).toString() + QLatin1Char(' ')
           + list.currentValue(QStringLiteral("theName")).toString();
}
}

void frmShop_M::M1Click()
{
    if (isEmpty()) return;
    frmPic_M dlg(this);
    dlg.setProduct(currentID(), pictureCaption(*this));
    dlg.exec();
}

void frmShop_M::K1Click()
{
    if (isEmpty()) return;
    frmPic_V dlg(this);
    dlg.setProduct(currentID(), pictureCaption(*this));
    dlg.exec();
}

void frmShop_M::L1Click()
{
    if (isEmpty()) return;
    // Over every warehouse, in the order the movements were written.
    frmSList dlg(this);
    dlg.setProduct(currentID());
    dlg.exec();
}

void frmShop_M::B1Click()
{
    if (!queried()) return;
    frmPic_List dlg(this);
    dlg.setCondition(keptCondition());
    dlg.exec();
}
