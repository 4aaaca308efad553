#pragma once
// The partner picker: the caller's search result as a list; Enter or a
// double-click takes the current partner into the caller, Esc leaves it as it was.
#include "lookup.h"

#include <QDialog>

class QLabel;
class QStandardItemModel;
class QTableView;

class frmFindUnits : public QDialog {
    Q_OBJECT
public:
    explicit frmFindUnits(QWidget *parent = nullptr);

    void setCaller(PickerCaller *caller); // its code goes into Label1
    void setList(const QVector<PartnerHit> &list);
    QTableView *list() const { return m_grid; }

public slots:
    void myLoad();

protected:
    bool eventFilter(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    QTableView *m_grid;
    QStandardItemModel *m_model;
    QLabel *m_code;
    PickerCaller *m_caller = nullptr;
    QVector<PartnerHit> m_list;
};
