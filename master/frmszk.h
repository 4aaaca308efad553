#pragma once
// "修改销售折扣": the sales discount of one category (with all its products)
// or of one product.
#include <QDialog>

class QLineEdit;

class frmSZK : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *CategoryMode = "分类";
    static constexpr const char *ProductMode = "商品";

    explicit frmSZK(QWidget *parent = nullptr);
    // The opener hands the mode word, the category name (category mode), the
    // row's ID and the current discount.
    void setup(const QString &mode, const QString &category, int id, int discount);

signals:
    // After a save: the opener refreshes its list.
    void saved();

public slots:
    void BitBtn1Click(); // "保存"

private:
    QLineEdit *m_edit;
    QString m_mode;
    QString m_category;
    int m_id = 0;
};
