#pragma once
// "商品拼音码修改": a hand-made input code for one product.
#include <QDialog>

class ProductFields;
class QLineEdit;

class frmShop_PY : public QDialog {
    Q_OBJECT
public:
    explicit frmShop_PY(QWidget *parent = nullptr);
    void setProductID(int id);
    ProductFields *fields() const { return m_fields; }

signals:
    void saved();

public slots:
    void BitBtn1Click(); // "保存"

private:
    ProductFields *m_fields;
    QLineEdit *m_py;
    int m_id = 0;
};
