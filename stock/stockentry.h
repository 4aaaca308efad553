#pragma once
// The entry screen of the four stock documents (transfer, loss, overage,
// assembly): one design configured by the kind (stock/stockkind.h). The
// header fields on top, the line grid (the assembly's two grids) below them,
// the totals where the kind keeps them, "连续新增", "保存" and "退出". The thin
// classes frmDB_In, frmBS_In, frmBY_In and frmCZ_In name it.
//
// The screen gathers what is typed into a StockDoc; checking, storing and
// posting are done by saveStockDoc (stock/stockdoc.h).
#include "stockdoc.h"

#include <QDialog>
#include <functional>

class LineGrid;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

class StockEntryScreen : public QDialog {
    Q_OBJECT
public:
    // Where a saved document is printed. The default opens the print preview;
    // tests put a recorder or a PDF writer here. Pass nullptr for the default.
    using PrintHook = std::function<void(StockKind kind, const QString &num, QWidget *parent)>;
    static void setPrintHook(PrintHook hook);
    // Prints a saved document the way the screens do (through the hook when set).
    static void printDocument(StockKind kind, const QString &num, QWidget *parent);

    StockKind kind() const { return m_kind; }
    // The number of the last document saved on this screen.
    QString savedNum() const { return m_savedNum; }
    // The grid of a side: 0 the only one, or the goods taken out; 1 the goods put in.
    LineGrid *grid(int side = 0) const;

public slots:
    void myNew();        // resets the screen for a new document
    void myFindSP();     // product lookup in the first grid
    void myFindSPRK();   // product lookup in the second grid (assembly)
    void mySumMoney();   // totals
    void BitBtn1Click(); // "保存"
    // Esc, "退出" and the window's close button: with lines typed and not
    // saved, asks "放弃本单据吗？" (No preselected) before they are discarded.
    void reject() override;

signals:
    void saved(const QString &num);

protected:
    StockEntryScreen(StockKind kind, QWidget *parent);

private:
    QWidget *buildInfoGroup();
    QWidget *buildGridGroup(int side);
    QWidget *buildTotals();
    void gatherDoc(StockDoc *doc) const;
    void focusField(const StockCheck &check, const StockDoc &doc);
    QString linesSnapshot() const;

    const StockKind m_kind;
    const StockKindInfo &m_info;

    QComboBox *m_issuing = nullptr;   // "调出仓库", "出库仓库"
    QComboBox *m_ware = nullptr;      // "调入仓库", "入库仓库", "仓库名称"
    QComboBox *m_handler = nullptr;
    QDateEdit *m_date = nullptr;      // DateTimePicker1
    QLineEdit *m_remark = nullptr;    // Edit1
    QVector<LineGrid *> m_grids;      // StringGrid1, StringGrid2
    QLineEdit *m_count = nullptr;     // Edit6
    QLineEdit *m_total = nullptr;     // Edit2
    QCheckBox *m_continue = nullptr;  // CheckBox1
    QPushButton *m_save = nullptr;    // BitBtn1

    QString m_cleanLines;  // the lines as the screen was started
    QString m_savedNum;
};
