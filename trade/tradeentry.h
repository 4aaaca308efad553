#pragma once
// The entry screen of the four trade documents (purchase receipt, sales
// delivery, purchase and sales return): one design, configured by the kind of
// document and the words of its screen. The thin classes frmJH_In, frmXS_In,
// frmCG_O_In and frmXS_O_In carry the words.
//
// The screen gathers what is typed into a TradeDoc; checking, storing and
// posting are done by checkTradeDoc and saveTradeDoc (trade/tradedoc.h).
#include "pickercaller.h"
#include "tradedoc.h"

#include <QDialog>
#include <functional>

class GridCellDelegate;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSqlQueryModel;
class QTableWidget;

// The words that differ between the four screens.
struct TradeEntryTexts {
    QString partnerGroup;     // "采购信息"
    QString moneyGroup;       // "付款信息"
    QString partnerLabel;     // "供  应  商："
    QString partnerHint;      // "录入单位名称的拼音首字母，按回车..."
    QString dateLabel;        // "采购日期："
    QString paidLabel;        // "付款金额："
    QString accountLabel;     // "付款方式："
    QString personLabel;      // "付  款  人："
    QString gridHint;         // tool tip of the grid; empty for none
    QString preSaveHint;      // tool tip of "预存" (only where documents can be pre-saved)
    QString historyNoPartner; // price history refusals (only where there is a price history)
    QString historyNoProduct;
};

class TradeEntryScreen : public QDialog, public PickerCaller {
    Q_OBJECT
public:
    // Where a posted document is printed. The default opens the print preview;
    // tests put a recorder or a PDF writer here. Pass nullptr for the default.
    using PrintHook = std::function<void(TradeKind kind, const QString &num, QWidget *parent)>;
    static void setPrintHook(PrintHook hook);

    // The pre-saved document being changed; set before the screen is shown.
    // Empty for a new document.
    QString myDJNum;

    TradeKind kind() const { return m_kind; }
    // The number of the last document saved on this screen.
    QString savedNum() const { return m_savedNum; }

    // ---- PickerCaller ----
    QString callerCode() const override;
    int currentRow() const override;
    void setCurrentRow(int row) override;
    int lastRow() const override { return LastRow; }
    QString cell(int row, int column) const override;
    void setCell(int row, int column, const QString &text) override;
    void recomputeTotals() override { mySumMoney(); }
    PartnerBoxes partnerBoxes() const override;
    int partnerId() const override;
    void setPartner(const QString &name, int id) override;
    void setPartnerContact(const QString &contact, const QString &phone, const QString &address) override;
    void focusGrid() override;

    // Grid columns of this kind.
    int priceColumn() const { return 5; }
    int discountColumn() const { return m_sales ? 6 : -1; }
    int quantityColumn() const { return m_sales ? 7 : 6; }
    int amountColumn() const { return m_sales ? 8 : 7; }
    int remarkColumn() const { return m_sales ? 9 : 8; }
    int idColumn() const { return m_sales ? 10 : 9; }

    static constexpr int LastRow = 99;

public slots:
    void myNew();        // resets the screen for a new document
    void FormShow();     // loads the pre-saved document myDJNum
    void myFindUnits();  // partner lookup
    void myFindSP();     // product lookup for the current row
    void mySumMoney();   // totals; the paid box goes back to the total
    void Edit3Change();  // owed = total - paid
    void L1Click();      // "历史单价 &L"
    void D1Click();      // "删除本行 &D"
    void A1Click();      // "全部删除 &A"
    void BitBtn1Click(); // "保存"
    // Esc, "退出" and the window's close button: with lines typed and not
    // saved, asks "放弃本单据吗？" (No preselected) before the lines are discarded.
    void reject() override;

signals:
    // After every save, with the document's number. The management screen that
    // opened a pre-saved document refreshes its list (Ref) on it.
    void saved(const QString &num);

protected:
    TradeEntryScreen(TradeKind kind, const TradeEntryTexts &texts, QWidget *parent);

    bool eventFilter(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void buildScreen();
    QWidget *buildPartnerGroup();
    QWidget *buildGridGroup();
    QWidget *buildMoneyGroup();
    QComboBox *pickList(const QString &name, QSqlQueryModel *model);
    void setupGrid();
    void emptyRow(int row, int fromColumn);

    // Line grid keyboard (tradeentrygrid.cpp).
    bool gridKeyPress(QKeyEvent *e, QWidget *editor);
    void gridKeyRelease();
    bool keyAllowed(int row, int column, QChar c) const;
    bool cellTakesText(int row, int column) const;
    void recomputeRow(int row);
    // The line cells as they stand, to tell typed lines from a fresh or just loaded screen.
    QString linesSnapshot() const;

    // Save (tradeentrysave.cpp).
    void gatherDoc(TradeDoc *doc);
    void focusField(TradeField field, int gridRow, int gridColumn = -1);
    void print(const QString &num);

    const TradeKind m_kind;
    const TradeKindInfo &m_info;
    const TradeEntryTexts m_texts;
    const bool m_sales;
    const bool m_return;  // purchase and sales returns: no pre-save, no price history

    QLineEdit *m_partner = nullptr;  // Edit1
    QLineEdit *m_contact = nullptr;  // Edit7
    QLineEdit *m_phone = nullptr;    // Edit8
    QLineEdit *m_address = nullptr;  // Edit9
    QLabel *m_partnerId = nullptr;   // Lab_Units
    QDateEdit *m_date = nullptr;     // DateTimePicker1
    QComboBox *m_account = nullptr;  // DBLookupComboBox1
    QComboBox *m_ware = nullptr;     // DBLookupComboBox2
    QComboBox *m_handler = nullptr;  // DBLookupComboBox3
    QComboBox *m_person = nullptr;   // DBLookupComboBox4
    QTableWidget *m_grid = nullptr;  // StringGrid1
    GridCellDelegate *m_delegate = nullptr;
    QMenu *m_popup = nullptr;
    QLineEdit *m_count = nullptr;    // Edit6
    QLineEdit *m_total = nullptr;    // Edit2
    QLineEdit *m_paid = nullptr;     // Edit3
    QLineEdit *m_owed = nullptr;     // Edit4
    QLineEdit *m_remark = nullptr;   // Edit5
    QLabel *m_countLabel = nullptr;  // Lab_Count
    QCheckBox *m_continue = nullptr; // CheckBox1
    QCheckBox *m_preSave = nullptr;  // CheckBox2, only where documents can be pre-saved
    QPushButton *m_save = nullptr;   // BitBtn1

    int m_lookupRow = 0;   // the row a running product lookup writes into
    QString m_cleanLines;  // the lines as the screen was started or loaded
    bool m_shown = false;
    QString m_savedNum;
};
