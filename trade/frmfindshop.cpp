#include "frmfindshop.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "pickerlist.h"
#include "shell/msg.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

frmFindShop::frmFindShop(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFindShop"));
    setWindowTitle(QStringLiteral("商品查找 上下键选择 回车键确认"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(740, 250);

    m_code = new QLabel(this);
    m_code->setObjectName(QStringLiteral("Label1"));
    m_code->hide();
    m_model = new QStandardItemModel(this);
    m_grid = PickerList::create(this, m_model);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::doubleClicked, this, &frmFindShop::myLoad);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *all = m_menu->addAction(QStringLiteral("全选 &A"));
    all->setObjectName(QStringLiteral("A1"));
    connect(all, &QAction::triggered, this, &frmFindShop::A1Click);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { m_menu->popup(m_grid->viewport()->mapToGlobal(p)); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
}

void frmFindShop::setCaller(PickerCaller *caller)
{
    m_caller = caller;
    m_code->setText(caller ? caller->callerCode() : QString());
}

void frmFindShop::setList(const QVector<ProductHit> &list)
{
    m_list = list;
    const CallerRule *rule = callerRule(m_code->text());
    m_model->clear();
    m_model->setHorizontalHeaderLabels({QStringLiteral("商品编码"), QStringLiteral("商品分类"), QStringLiteral("商品名称"),
                                        QStringLiteral("规格"), QStringLiteral("单位"),
                                        rule ? rule->priceCaption() : QStringLiteral("采购单价"), QStringLiteral("备注"),
                                        QStringLiteral("ID"), QStringLiteral("theZK")});
    for (const ProductHit &p : list)
        m_model->appendRow(PickerList::row({p.num, p.type, p.name, p.stand, p.unit, p.price.toString(), p.remark,
                                            QString::number(p.id), QString::number(p.zk)}));
    if (!list.isEmpty()) m_grid->setCurrentIndex(m_model->index(0, 0));
    PickerList::setWidths(m_grid, {-1, 80, 200, 80, 60, 80, 80, 0, 0});
}

void frmFindShop::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    m_grid->setFocus();
}

bool frmFindShop::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == m_grid) {
        switch (PickerList::key(e)) {
        case PickerList::Take: myLoad(); return true;
        case PickerList::Leave: reject(); return true;
        case PickerList::Drop: return true;
        case PickerList::Pass: break;
        }
    }
    return QDialog::eventFilter(obj, e);
}

void frmFindShop::myLoad()
{
    const QModelIndex i = m_grid->currentIndex();
    if (!i.isValid() || i.row() >= m_list.size()) return;
    try {
        if (m_caller) putProduct(DM(), *m_caller, m_list[i.row()]);
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
        if (m_caller) putAllProducts(DM(), *m_caller, m_list);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    accept();
}
