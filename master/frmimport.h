#pragma once
// The two spreadsheet import screens, one design: "商品导入" (frmShop_D, with the
// warehouse for opening stock) and "往来单位导入" (frmUnits_D). "打开" reads the
// sheet "Sheet1" of an .xls or .xlsx file into the read-only grid; "导入" stores
// it (master/sheetimport.h).
#include "sheet.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;
class SheetModel;

class frmImport : public QDialog {
    Q_OBJECT
public:
    enum Kind { Products, Partners };

    // Opens the file and shows its sheet; false (after telling why) when it
    // cannot be read, and the grid keeps what it showed.
    bool openFile(const QString &file);

    const Sheet &sheet() const { return m_sheet; }
    QTableView *grid() const { return m_grid; }
    QGroupBox *dataGroup() const { return m_dataGroup; }
    QPushButton *openButton() const { return m_open; }
    QPushButton *importButton() const { return m_import; }
    QComboBox *warehouse() const { return m_ware; }   // products only
    QCheckBox *saveStock() const { return m_saveStock; } // products only
    QLabel *statusLabel() const { return m_status; }

public slots:
    void Button1Click(); // "打开"
    void BitBtn1Click(); // "导入"

protected:
    frmImport(Kind kind, QWidget *parent);

private:
    void showSheet();

    Kind m_kind;
    Sheet m_sheet;
    SheetModel *m_model;
    QGroupBox *m_dataGroup;
    QTableView *m_grid;
    QPushButton *m_open;
    QPushButton *m_import;
    QLabel *m_status;
    QComboBox *m_ware = nullptr;
    QCheckBox *m_saveStock = nullptr;
};

class frmShop_D : public frmImport {
    Q_OBJECT
public:
    explicit frmShop_D(QWidget *parent = nullptr);
};

class frmUnits_D : public frmImport {
    Q_OBJECT
public:
    explicit frmUnits_D(QWidget *parent = nullptr);
};
