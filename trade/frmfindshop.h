#pragma once
// The product picker: the caller's search result as a list; Enter or a
// double-click takes the current product into the caller's row, "全选 &A" takes
// them all into consecutive rows, Esc leaves the caller as it was.
#include "lookup.h"

#include <QDialog>

class QLabel;
class QMenu;
class QStandardItemModel;
class QTableView;

class frmFindShop : public QDialog {
    Q_OBJECT
public:
    explicit frmFindShop(QWidget *parent = nullptr);

    void setCaller(PickerCaller *caller); // its code goes into Label1
    void setList(const QVector<ProductHit> &list);
    QTableView *list() const { return m_grid; }

public slots:
    void myLoad();   // take the current product
    void A1Click();  // "全选 &A"

protected:
    bool eventFilter(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    QTableView *m_grid;
    QStandardItemModel *m_model;
    QLabel *m_code;
    QMenu *m_menu;
    PickerCaller *m_caller = nullptr;
    QVector<ProductHit> m_list;
};
