#pragma once
// The screen of the four dictionaries: warehouses, payment accounts, handlers
// and product categories. One design; what differs comes from DictionaryKind.
#include "dictionaries.h"

#include <QDialog>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QStandardItemModel;
class QTableView;

class DictionaryScreen : public QDialog {
    Q_OBJECT
public:
    DictionaryScreen(const DictionaryKind &kind, QWidget *parent = nullptr);
    const DictionaryKind &kind() const { return m_kind; }

public slots:
    void Ref();
    void BitBtn1Click();  // "新增"
    void BitBtn2Click();  // "保存"
    void Q1Click();       // "启用 &Q"
    void T1Click();       // "停用 &T"
    void D1Click();       // "删除 &D"
    void N3Click();       // categories: "库存警戒设置 &K"
    void Z1Click();       // categories: "修改销售折扣 &Z"

private:
    int selectedRow() const;
    QVariant selected(int column) const;
    int idColumn() const;

    DictionaryKind m_kind;
    QTableView *m_grid;
    QStandardItemModel *m_model;
    QLineEdit *m_name;
    QLineEdit *m_remark;
    QLineEdit *m_discount = nullptr;
    QMenu *m_menu;
};

class frmWare : public DictionaryScreen {
    Q_OBJECT
public:
    explicit frmWare(QWidget *parent = nullptr);
};

class frmAccount : public DictionaryScreen {
    Q_OBJECT
public:
    explicit frmAccount(QWidget *parent = nullptr);
};

class frmStaff : public DictionaryScreen {
    Q_OBJECT
public:
    explicit frmStaff(QWidget *parent = nullptr);
};

class frmSType : public DictionaryScreen {
    Q_OBJECT
public:
    explicit frmSType(QWidget *parent = nullptr);
};
