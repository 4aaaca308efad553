#pragma once
// The entry group "商品信息" shared by the product entry screen and the quick
// product entry of the documents: the fields, their key filters, the
// stock-limit row that the shop's stock-warning option shows or hides, and the
// save with its refusals.
#include "products.h"

#include <QGroupBox>

class QComboBox;
class QLabel;
class QLineEdit;

class ProductFields : public QGroupBox {
    Q_OBJECT
public:
    explicit ProductFields(QWidget *parent = nullptr);

    ProductInput input() const;
    void setInput(const ProductInput &in);
    // A new product: the next product number and the shop's default limits.
    void startNew();
    // Puts the next product number into the code field as the proposed code:
    // saved unchanged, the save numbers the product itself (see saveProduct).
    void proposeCode();
    // A product being changed: no code is proposed.
    void dropProposal() { m_proposed.clear(); }
    // Refills the category list with the enabled categories, keeping `keep`
    // selectable even when that category is disabled now.
    void fillCategories(const QString &keep = QString());
    void setCategory(const QString &name);
    void focusField(ProductField f);
    // Saves the input as product `id` (0 for a new one). An error or a refusal
    // is shown over `dialog`, a refusal with the cursor in the field to
    // correct. True when saved; `savedId` then holds the product's ID. When the
    // proposed code was taken meanwhile, the code field shows the one saved
    // and a message tells it.
    bool save(QWidget *dialog, int id, int *savedId = nullptr);
    // Shown while the shop's stock warning is on.
    bool limitsShown() const;
    void setLimitsVisible(bool on);

    QLineEdit *code() const { return m_code; }
    QLineEdit *name() const { return m_name; }
    QLineEdit *stand() const { return m_stand; }
    QLineEdit *unit() const { return m_unit; }
    QLineEdit *purchase() const { return m_jh; }
    QLineEdit *sales() const { return m_xs; }
    QLineEdit *remark() const { return m_remark; }
    QLineEdit *kcMin() const { return m_kcMin; }
    QLineEdit *kcMax() const { return m_kcMax; }
    QComboBox *category() const { return m_type; }

private:
    QLineEdit *m_code, *m_name, *m_stand, *m_unit, *m_jh, *m_xs, *m_remark, *m_kcMin, *m_kcMax;
    QComboBox *m_type;
    QLabel *m_kcMinLabel, *m_kcMaxLabel;
    QString m_proposed;   // the code proposed by proposeCode()
};
