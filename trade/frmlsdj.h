#pragma once
// The price history of one product with one partner ("历史单价"), newest line first.
#include <QDialog>

class QTableView;
namespace PickerList { class TextModel; }

class frmLSDJ : public QDialog {
    Q_OBJECT
public:
    explicit frmLSDJ(QWidget *parent = nullptr);

    // Set by the opener before showing: "CG" or "XS", the partner's and the product's ID.
    QString myType;
    QString myUID;
    QString mySID;

    QTableView *list() const { return m_grid; }

public slots:
    void FormShow(); // reads the history

protected:
    void showEvent(QShowEvent *e) override;

private:
    QTableView *m_grid;
    PickerList::TextModel *m_model;
};
