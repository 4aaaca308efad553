#pragma once
// The small dialogs of the stock screens: a stock row's quantity
// (frmKC_Count), a product's cost price (frmKC_Price) and the stock limits of
// a category (frmKCJJ). Each reads what is typed by its rule and refuses what
// is not a number before anything is written.
#include <QDialog>

class QGroupBox;
class QLineEdit;

// "<仓库> <商品> 库存数量": sets the quantity of one stock row.
class frmKC_Count : public QDialog {
    Q_OBJECT
public:
    explicit frmKC_Count(QWidget *parent = nullptr);
    // The stock row, its quantity now, its warehouse and product.
    void setup(int ukcId, const QString &count, const QString &warehouse, const QString &productName);
    QLineEdit *edit() const { return m_edit; }

signals:
    void saved();

public slots:
    void BitBtn1Click(); // "保存"

private:
    QGroupBox *m_group;
    QLineEdit *m_edit;
    int m_id = 0;
};

// "<仓库> <商品> 成本单价": sets a product's cost price.
class frmKC_Price : public QDialog {
    Q_OBJECT
public:
    explicit frmKC_Price(QWidget *parent = nullptr);
    void setup(int sid, const QString &price, const QString &warehouse, const QString &productName);
    QLineEdit *edit() const { return m_edit; }

signals:
    void saved();

public slots:
    void BitBtn1Click(); // "保存"

private:
    QGroupBox *m_group;
    QLineEdit *m_edit;
    int m_sid = 0;
};

// "<分类> 库存警戒设置": the lowest and highest stock of every product of a category.
class frmKCJJ : public QDialog {
    Q_OBJECT
public:
    explicit frmKCJJ(QWidget *parent = nullptr);
    void setCategory(const QString &category);
    QLineEdit *lowest() const { return m_min; }
    QLineEdit *highest() const { return m_max; }

public slots:
    void BitBtn1Click(); // "保存"

private:
    QGroupBox *m_group;
    QLineEdit *m_min;
    QLineEdit *m_max;
    QString m_category;
};
