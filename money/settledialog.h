#pragma once
// The dialog that books a later payment or receipt against one trade document
// (purchase receipts and sales returns are paid, sales deliveries and purchase
// returns are received): one design for the four kinds; the thin classes
// frmJH_FK, frmXS_SK, frmCG_O_SK and frmXS_O_FK name it. Checking and booking
// are done by settleTradeDoc (money/settle.h).
#include "trade/tradekind.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
struct SettleKindInfo;

class SettleDialog : public QDialog {
    Q_OBJECT
public:
    // What the opener hands over from the selected row: the document number,
    // the owed amount as shown (it becomes the amount's first text), the
    // partner and the document's ID. Sets the captions.
    void setup(const QString &num, const QString &owedText, int uid, int docId);

    TradeKind kind() const { return m_kind; }
    QString num() const { return m_num; }
    QDateEdit *dateEdit() const { return m_date; }
    QLineEdit *amountEdit() const { return m_amount; }
    QComboBox *accountList() const { return m_account; }
    QComboBox *personList() const { return m_person; }

public slots:
    void BitBtn1Click(); // "保存"

signals:
    // After a settlement was booked: the opener refreshes its list (Ref).
    void saved();

protected:
    SettleDialog(TradeKind kind, QWidget *parent);
    void showEvent(QShowEvent *e) override;

private:
    const TradeKind m_kind;
    const SettleKindInfo &m_info;
    QGroupBox *m_group = nullptr;
    QDateEdit *m_date = nullptr;      // DateTimePicker1
    QLineEdit *m_amount = nullptr;    // Edit1
    QComboBox *m_account = nullptr;   // DBLookupComboBox1
    QComboBox *m_person = nullptr;    // DBLookupComboBox2
    QString m_num;
    QString m_owedText;
    int m_uid = 0;
    int m_docId = 0;
    bool m_shown = false;
};
