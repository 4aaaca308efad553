#pragma once
// "本店信息": the shop's name, the five footer lines of the printed documents
// and the shop-wide options. Saving ends the program, so that the next start
// reads the new options.
#include "shopinfo.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

class frmDept : public QDialog {
    Q_OBJECT
public:
    explicit frmDept(QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *lineEdit(int i) const { return m_lines[i]; }
    QLineEdit *kcMinEdit() const { return m_kcMin; }
    QLineEdit *kcMaxEdit() const { return m_kcMax; }
    QCheckBox *alertBox() const { return m_alert; }
    QCheckBox *negativeBox() const { return m_fkc; }
    QCheckBox *optionBox(int i) const { return m_options[i]; } // jh, xs, jh1, xs1
    QRadioButton *costButton(int i) const { return m_cost[i]; }
    // What the window holds now.
    ShopInfo input() const;

public slots:
    void BitBtn1Click(); // "保存"
    void reject() override;

private:
    void fill(const ShopInfo &s);

    QLineEdit *m_name;
    QLineEdit *m_lines[5];
    QLineEdit *m_t1, *m_t2, *m_gs;
    QCheckBox *m_alert;
    QLineEdit *m_kcMin, *m_kcMax;
    QCheckBox *m_fkc;
    QCheckBox *m_options[4];
    QRadioButton *m_cost[6];
    ShopInfo m_loaded;
};
