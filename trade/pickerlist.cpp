#include "pickerlist.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QTableView>

namespace PickerList {

QTableView *create(QWidget *parent, QStandardItemModel *model)
{
    auto *v = new QTableView(parent);
    v->setObjectName(QStringLiteral("DBGrid1"));
    v->setModel(model);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->verticalHeader()->hide();
    v->setTabKeyNavigation(false);
    return v;
}

QList<QStandardItem *> row(const QStringList &values)
{
    QList<QStandardItem *> items;
    for (const QString &s : values) items << new QStandardItem(s);
    return items;
}

void setWidths(QTableView *view, const QList<int> &widths)
{
    for (int c = 0; c < widths.size(); ++c) {
        if (widths[c] == 0) view->setColumnHidden(c, true);
        else if (widths[c] > 0) view->setColumnWidth(c, widths[c]);
    }
}

Key key(QEvent *e)
{
    if (e->type() != QEvent::KeyPress) return Pass;
    const auto *k = static_cast<QKeyEvent *>(e);
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Take;
    case Qt::Key_Escape:
        return Leave;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return Pass;
    default:
        // Typed characters would start a keyboard search in the list.
        return k->text().isEmpty() ? Pass : Drop;
    }
}

} // namespace PickerList
