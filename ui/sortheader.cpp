#include "sortheader.h"
#include "resultmodel.h"

#include <QBrush>
#include <QFont>
#include <QHeaderView>
#include <QTableView>

SortProxy::SortProxy(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(ResultModel::SortRole);
    setDynamicSortFilter(true);
}

void SortProxy::clickTitle(int column)
{
    if (column < 0 || column >= columnCount()) return;
    const Qt::SortOrder order = (m_column == column && m_order == Qt::AscendingOrder) ? Qt::DescendingOrder
                                                                                      : Qt::AscendingOrder;
    if (m_sorter) {
        const int oldColumn = m_column;
        const Qt::SortOrder oldOrder = m_order;
        mark(column, order);
        if (!m_sorter(column, order)) mark(oldColumn, oldOrder);
        return;
    }
    mark(column, order);
    sort(column, order);
}

void SortProxy::mark(int column, Qt::SortOrder order)
{
    const int old = m_column;
    m_column = column;
    m_order = order;
    if (old >= 0 && old != column && old < columnCount()) emit headerDataChanged(Qt::Horizontal, old, old);
    if (column >= 0 && column < columnCount()) emit headerDataChanged(Qt::Horizontal, column, column);
}

void SortProxy::clearSort()
{
    const int old = m_column;
    m_column = -1;
    m_order = Qt::AscendingOrder;
    sort(-1);
    if (old >= 0 && old < columnCount()) emit headerDataChanged(Qt::Horizontal, old, old);
}

QVariant SortProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == m_column) {
        if (role == Qt::FontRole) {
            QFont f;
            f.setBold(true);
            return f;
        }
        if (role == Qt::ForegroundRole)
            return QBrush(m_order == Qt::AscendingOrder ? Qt::red : Qt::blue);
    }
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool SortProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (const auto *m = qobject_cast<const ResultModel *>(sourceModel())) {
        const QVector<int> &rank = m->sortRanks(left.column());
        if (left.row() < rank.size() && right.row() < rank.size()) return rank[left.row()] < rank[right.row()];
    }
    const QVariant l = left.data(sortRole());
    const QVariant r = right.data(sortRole());
    const bool lNull = !l.isValid() || l.isNull();
    const bool rNull = !r.isValid() || r.isNull();
    if (lNull || rNull) return lNull && !rNull;
    if (l.typeId() == QMetaType::LongLong && r.typeId() == QMetaType::LongLong)
        return l.toLongLong() < r.toLongLong();
    return QString::localeAwareCompare(l.toString(), r.toString()) < 0;
}

void attachSortHeader(QTableView *view, SortProxy *proxy)
{
    QHeaderView *h = view->horizontalHeader();
    h->setSectionsClickable(true);
    h->setSortIndicatorShown(false);
    QObject::connect(h, &QHeaderView::sectionClicked, proxy, [proxy](int logical) { proxy->clickTitle(logical); });
}
