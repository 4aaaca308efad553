#include "frmfindunits.h"

#include "pickerlist.h"

#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

frmFindUnits::frmFindUnits(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFindUnits"));
    setWindowTitle(QStringLiteral("往来单位查找 上下键选择 回车键确认"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(740, 250);

    m_code = new QLabel(this);
    m_code->setObjectName(QStringLiteral("Label1"));
    m_code->hide();
    m_model = new QStandardItemModel(this);
    m_grid = PickerList::create(this, m_model);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::doubleClicked, this, &frmFindUnits::myLoad);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
}

void frmFindUnits::setCaller(PickerCaller *caller)
{
    m_caller = caller;
    m_code->setText(caller ? caller->callerCode() : QString());
}

void frmFindUnits::setList(const QVector<PartnerHit> &list)
{
    m_list = list;
    m_model->clear();
    m_model->setHorizontalHeaderLabels({QStringLiteral("单位名称"), QStringLiteral("联系人"), QStringLiteral("联系电话"),
                                        QStringLiteral("地址"), QStringLiteral("备注"), QStringLiteral("ID")});
    for (const PartnerHit &p : list)
        m_model->appendRow(PickerList::row({p.name, p.contact, p.phone, p.address, p.remark, QString::number(p.id)}));
    if (!list.isEmpty()) m_grid->setCurrentIndex(m_model->index(0, 0));
    PickerList::setWidths(m_grid, {200, 100, 120, 160, 100, 0});
}

void frmFindUnits::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    m_grid->setFocus();
}

bool frmFindUnits::eventFilter(QObject *obj, QEvent *e)
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

void frmFindUnits::myLoad()
{
    const QModelIndex i = m_grid->currentIndex();
    if (!i.isValid() || i.row() >= m_list.size()) return;
    if (m_caller) putPartner(*m_caller, m_list[i.row()]);
    accept();
}
