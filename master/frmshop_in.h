#pragma once
// "商品录入": a new product (Lab_ID "0") or a change of an existing one.
#include <QDialog>

class ProductFields;
class QCheckBox;
class QLabel;

class frmShop_In : public QDialog {
    Q_OBJECT
public:
    explicit frmShop_In(QWidget *parent = nullptr);

    // Opens the screen for a change of product `id` (from the list's "查看 &V").
    void setProductID(int id);
    int productID() const;
    ProductFields *fields() const { return m_fields; }

signals:
    // A changed product was saved: the list re-runs its query.
    void saved();

public slots:
    void BitBtn1Click(); // "保存"

protected:
    bool event(QEvent *e) override;

private:
    void startNew();

    ProductFields *m_fields;
    QLabel *m_id;
    QCheckBox *m_continue;   // "连续新增"
    QCheckBox *m_sameStand;  // "同样规格"
    QCheckBox *m_sameUnit;   // "同样单位"
};
