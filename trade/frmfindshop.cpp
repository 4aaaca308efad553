#include "frmfindshop.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "ui/msg.h"

#include <QMenu>
#include <QTableView>

frmFindShop::frmFindShop(QWidget *parent)
    : PickerDialog(QStringLiteral("frmFindShop"), QStringLiteral("商品查找 上下键选择 回车键确认"), parent)
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *all = m_menu->addAction(QStringLiteral("全选 &A"));
    all->setObjectName(QStringLiteral("A1"));
    connect(all, &QAction::triggered, this, &frmFindShop::A1Click);
    list()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { m_menu->popup(list()->viewport()->mapToGlobal(p)); });
}

void frmFindShop::setList(const QVector<ProductHit> &list)
{
    m_list = list;
    const CallerRule *rule = callerRule(callerCode());
    QVector<QStringList> rows;
    rows.reserve(list.size());
    for (const ProductHit &p : list)
        rows.append(QStringList{p.num, p.type, p.name, p.stand, p.unit, p.price.toString(), p.remark,
                                QString::number(p.id), QString::number(p.zk)});
    fill({QStringLiteral("商品编码"), QStringLiteral("商品分类"), QStringLiteral("商品名称"), QStringLiteral("规格"),
          QStringLiteral("单位"), rule ? rule->priceCaption() : QStringLiteral("采购单价"), QStringLiteral("备注"),
          QStringLiteral("ID"), QStringLiteral("theZK")},
         std::move(rows), {-1, 80, 200, 80, 60, 80, 80, 0, 0});
}

void frmFindShop::myLoad()
{
    const int row = currentRow();
    if (row < 0 || row >= m_list.size()) return;
    try {
        if (caller()) putProduct(DM(), *caller(), m_list[row]);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    accept();
}

void frmFindShop::A1Click()
{
    if (m_list.isEmpty()) return;
    try {
        if (caller()) putAllProducts(DM(), *caller(), m_list);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    accept();
}
