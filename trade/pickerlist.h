#pragma once
// What the two pickers share: the read-only list that fills the window, its
// column widths and its keys (arrows move, Enter takes, Esc leaves, any other
// typed character is dropped), and the picker window built on them.
#include <QAbstractTableModel>
#include <QDialog>
#include <QList>
#include <QStringList>
#include <QVector>

class PickerCaller;
class QEvent;
class QLabel;
class QTableView;
class QWidget;

namespace PickerList {

// The list's rows as texts. An empty search lists every product (a hundred
// thousand on a shop's file): the rows are kept as they are, not as an item per cell.
class TextModel : public QAbstractTableModel {
public:
    explicit TextModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}
    // Replaces captions and rows.
    void setRows(const QStringList &captions, QVector<QStringList> rows);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_captions;
    QVector<QStringList> m_rows;
};

QTableView *create(QWidget *parent, QAbstractItemModel *model);
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
    void fill(const QStringList &captions, QVector<QStringList> rows, const QList<int> &widths);
    // The current row of the list, -1 when there is none.
    int currentRow() const;

    bool eventFilter(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    QTableView *m_grid;
    PickerList::TextModel *m_model;
    QLabel *m_code;
    PickerCaller *m_caller = nullptr;
};
