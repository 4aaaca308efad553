#pragma once
// What the two pickers share: the read-only list that fills the window, its
// column widths and its keys (arrows move, Enter takes, Esc leaves, any other
// typed character is dropped), and the picker window built on them.
#include <QDialog>
#include <QList>
#include <QStringList>

class PickerCaller;
class QEvent;
class QLabel;
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

// A picker window: the caller's search result as a list that has the focus;
// Enter or a double-click takes the current row into the caller (myLoad), Esc
// leaves the caller as it was.
class PickerDialog : public QDialog {
    Q_OBJECT
public:
    void setCaller(PickerCaller *caller); // its code goes into Label1
    QTableView *list() const { return m_grid; }

public slots:
    virtual void myLoad() = 0; // take the current row

protected:
    PickerDialog(const QString &name, const QString &title, QWidget *parent);

    PickerCaller *caller() const { return m_caller; }
    QString callerCode() const; // Label1
    // Refills the list; the first row becomes current. Widths as PickerList::setWidths.
    void fill(const QStringList &captions, const QList<QStringList> &rows, const QList<int> &widths);
    // The current row of the list, -1 when there is none.
    int currentRow() const;

    bool eventFilter(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    QTableView *m_grid;
    QStandardItemModel *m_model;
    QLabel *m_code;
    PickerCaller *m_caller = nullptr;
};
