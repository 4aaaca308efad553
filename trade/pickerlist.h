#pragma once
// What the two pickers share: the read-only list that fills the window, its
// column widths and its keys (arrows move, Enter takes, Esc leaves, any other
// typed character is dropped).
#include <QList>
#include <QStringList>

class QEvent;
class QStandardItem;
class QStandardItemModel;
class QTableView;
class QWidget;

namespace PickerList {

QTableView *create(QWidget *parent, QStandardItemModel *model);
QList<QStandardItem *> row(const QStringList &values);
// Widths per column: -1 keeps the default, 0 hides the column.
void setWidths(QTableView *view, const QList<int> &widths);

enum Key { Pass, Take, Leave, Drop };
Key key(QEvent *e);

} // namespace PickerList
