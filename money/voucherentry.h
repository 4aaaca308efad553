#pragma once
// The entry screen of payment and receipt vouchers ("付款单", "收款单"): one
// design, the thin classes frmFK_In and frmSK_In choose the side. The partner
// is found through the partner lookup (caller code "fk" / "sk"); checking,
// storing and posting are done by saveVoucher (money/voucher.h).
//
// Opened from a balances screen (setFromBalance) the screen starts with the
// partner and its whole balance as the amount, and the cursor on the amount.
#include "trade/pickercaller.h"
#include "voucher.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

class VoucherEntryScreen : public QDialog, public PickerCaller {
    Q_OBJECT
public:
    VoucherKind kind() const { return m_side.kind; }
    // Starts on a partner with its balance as the amount; the mode word becomes
    // "yf" (payables) or "ys" (receivables).
    void setFromBalance(int uid, const QString &name, const QString &balance);
    // "yf" / "ys" when opened from a balances screen, empty otherwise.
    QString mode() const { return m_mode; }
    // The number of the last voucher saved on this screen.
    QString savedNum() const { return m_savedNum; }

    // ---- PickerCaller ----
    QString callerCode() const override { return m_side.callerCode; }
    PartnerBoxes partnerBoxes() const override;
    int partnerId() const override;
    void setPartner(const QString &name, int id) override;
    void focusAmount() override;

public slots:
    void myNew();        // clears the screen for the next voucher
    void myFindUnits();  // partner lookup
    void BitBtn1Click(); // "保存"
    // Esc, "退出" and the close button: with something typed and not saved,
    // asks "放弃本单据吗？" (No preselected) first.
    void reject() override;

signals:
    void saved(const QString &num);

protected:
    VoucherEntryScreen(VoucherKind kind, QWidget *parent);
    bool eventFilter(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    Voucher gather() const;
    QString snapshot() const;
    void focusField(VoucherField field);

    const VoucherSide &m_side;
    QString m_mode;
    QLineEdit *m_partner = nullptr;   // Edit1
    QLabel *m_partnerId = nullptr;    // Lab_Units
    QDateEdit *m_date = nullptr;      // DateTimePicker1
    QLineEdit *m_amount = nullptr;    // Edit2
    QComboBox *m_account = nullptr;   // DBLookupComboBox1
    QComboBox *m_handler = nullptr;   // DBLookupComboBox2
    QLineEdit *m_remark = nullptr;    // Edit3
    QCheckBox *m_continue = nullptr;  // CheckBox1
    QPushButton *m_save = nullptr;    // BitBtn1
    QPushButton *m_quit = nullptr;    // BitBtn2
    QString m_clean;                  // the fields as the screen was started or cleared
    QString m_savedNum;
    bool m_shown = false;
};

// "付款单": payment voucher entry.
class frmFK_In : public VoucherEntryScreen {
    Q_OBJECT
public:
    explicit frmFK_In(QWidget *parent = nullptr);
};

// "收款单": receipt voucher entry.
class frmSK_In : public VoucherEntryScreen {
    Q_OBJECT
public:
    explicit frmSK_In(QWidget *parent = nullptr);
};
