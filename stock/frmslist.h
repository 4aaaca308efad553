#pragma once
// "商品流动记录": the stock movement ledger of one product, over all warehouses
// or in one, with the product's fields above it, read-only. Opened from the
// product list and from the stock query.
#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableView;
class ColumnWidths;
class ResultModel;

class frmSList : public QDialog {
    Q_OBJECT
public:
    explicit frmSList(QWidget *parent = nullptr);

    // The product and the warehouse (empty for all), before the screen is shown.
    void setProduct(int sid, const QString &warehouse = QString());

    ResultModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    // The path of the last spreadsheet written, empty when none was.
    QString lastExportFile() const { return m_lastExport; }

public slots:
    // Reads the product and its movements (done when the screen is shown).
    bool FormShow();
    void BitBtn1Click(); // "Excel"

protected:
    void showEvent(QShowEvent *e) override;

private:
    int m_sid = 0;
    QString m_warehouse;
    bool m_shown = false;
    QLineEdit *m_fields[8] = {};   // code, category, name, 规格, unit, purchase and sales price, remark
    QTableView *m_grid;
    ResultModel *m_model;
    ColumnWidths *m_widths;
    QString m_lastExport;
};
