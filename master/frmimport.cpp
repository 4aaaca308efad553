#include "frmimport.h"
#include "fieldwidgets.h"
#include "sheetimport.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

// The sheet as the grid shows it: its column names on top, the spreadsheet's
// own row numbers at the side, so a message naming a row points at both.
class SheetModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setSheet(const Sheet *s)
    {
        beginResetModel();
        m_sheet = s;
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() || !m_sheet ? 0 : m_sheet->rowCount();
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() || !m_sheet ? 0 : int(m_sheet->columns.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!m_sheet || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return QVariant();
        return m_sheet->value(index.row(), index.column());
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (!m_sheet || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, o, role);
        if (o == Qt::Horizontal) return m_sheet->columns.value(section);
        return m_sheet->sheetRows.value(section);
    }

private:
    const Sheet *m_sheet = nullptr;
};

namespace {
// Where the last file was opened, for the next file dialog of this run.
QString g_lastFolder;
}

frmImport::frmImport(Kind kind, QWidget *parent) : QDialog(parent), m_kind(kind)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const bool products = kind == Products;
    setWindowTitle(products ? QStringLiteral("商品导入") : QStringLiteral("往来单位导入"));

    auto *fileGroup = new QGroupBox(QStringLiteral("打开EXCEL文件"), this);
    fileGroup->setObjectName(QStringLiteral("GroupBox1"));
    auto *rule = new QLabel(products ? SheetImport::productRule() : SheetImport::partnerRule(), fileGroup);
    rule->setObjectName(QStringLiteral("Label1"));
    rule->setWordWrap(true);
    m_open = new QPushButton(QStringLiteral("打开"), fileGroup);
    m_open->setObjectName(QStringLiteral("Button1"));
    m_open->setAutoDefault(false);
    DialogButtons::pressOnEnter(m_open);
    auto *fileLay = new QHBoxLayout(fileGroup);
    fileLay->addWidget(rule, 1);
    fileLay->addWidget(m_open);

    m_dataGroup = new QGroupBox(QStringLiteral("EXCEL数据"), this);
    m_dataGroup->setObjectName(QStringLiteral("GroupBox2"));
    m_model = new SheetModel(this);
    m_grid = new QTableView(m_dataGroup);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setTabKeyNavigation(false); // Tab leaves the grid
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    auto *dataLay = new QVBoxLayout(m_dataGroup);
    dataLay->addWidget(m_grid);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fileGroup);
    layout->addWidget(m_dataGroup, 1);

    if (products) {
        auto *wareGroup = new QGroupBox(QStringLiteral("仓库名称"), this);
        wareGroup->setObjectName(QStringLiteral("GroupBox3"));
        m_ware = new QComboBox(wareGroup);
        m_ware->setObjectName(QStringLiteral("ComboBox1"));
        m_ware->setMinimumWidth(160);
        m_saveStock = new QCheckBox(QStringLiteral("保存库存"), wareGroup);
        m_saveStock->setObjectName(QStringLiteral("CheckBox1"));
        try {
            addNames(m_ware, DM().DBComWare());
        } catch (const DbError &e) {
            Msg::error(this, e.text());
        }
        m_ware->setCurrentIndex(-1);
        // Choosing a warehouse means booking the stock into it.
        connect(m_ware, &QComboBox::activated, this, [this] { m_saveStock->setChecked(true); });
        auto *wareLay = new QHBoxLayout(wareGroup);
        auto *wareLabel = new QLabel(QStringLiteral("仓库名称："), wareGroup);
        wareLabel->setBuddy(m_ware);
        wareLay->addWidget(wareLabel);
        wareLay->addWidget(m_ware);
        wareLay->addWidget(m_saveStock);
        wareLay->addStretch();
        layout->addWidget(wareGroup);
    }

    // What the import is doing while it runs (its empty line keeps the place).
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    layout->addWidget(m_status);

    const DialogButtons::Buttons b = DialogButtons::create(this, DialogButtons::EnterIgnored, {}, QStringLiteral("导入"));
    m_import = b.action;
    m_import->setEnabled(false);
    connect(m_import, &QPushButton::clicked, this, &frmImport::BitBtn1Click);
    layout->addLayout(b.row);
    connect(m_open, &QPushButton::clicked, this, &frmImport::Button1Click);

    resize(products ? 900 : 700, 560);
    m_open->setFocus();
}

void frmImport::Button1Click()
{
    const QString dir = g_lastFolder.isEmpty() ? QDir::homePath() : g_lastFolder;
    const QString file = Msg::openFile(this, QStringLiteral("打开"), dir,
                                       QStringLiteral("Excel文件 (*.xls *.xlsx *.XLS *.XLSX)"));
    if (file.isEmpty()) return;
    g_lastFolder = QFileInfo(file).absolutePath();
    openFile(file);
}

bool frmImport::openFile(const QString &file)
{
    Sheet s;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = SheetFile::read(file, QStringLiteral("Sheet1"), &s, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        Msg::error(this, error);
        return false;
    }
    m_sheet = s;
    showSheet();
    const QStringList missing =
        m_sheet.missing(m_kind == Products ? SheetImport::productColumns() : SheetImport::partnerColumns());
    if (!missing.isEmpty() && m_sheet.rowCount() > 0)
        Msg::warning(this, QStringLiteral("Sheet1 的表头缺少以下列：%1\n导入前请按说明补上这些列。")
                               .arg(missing.join(QStringLiteral("、"))));
    return true;
}

void frmImport::showSheet()
{
    m_model->setSheet(&m_sheet);
    static const int productWidths[] = {100, 100, 200, 100, 60, 60, 60, 60, 80};
    static const int partnerWidths[] = {120, 120, 120, 120, 100};
    const int *widths = m_kind == Products ? productWidths : partnerWidths;
    const int count = m_kind == Products ? 9 : 5;
    for (int c = 0; c < m_model->columnCount(); ++c) m_grid->setColumnWidth(c, c < count ? widths[c] : 100);
    m_dataGroup->setTitle(QStringLiteral("EXCEL数据  共有 %1 条数据").arg(m_sheet.rowCount()));
    m_import->setEnabled(m_sheet.rowCount() > 0);
}

void frmImport::BitBtn1Click()
{
    if (m_sheet.rowCount() == 0) return;
    const bool stock = m_saveStock && m_saveStock->isChecked();
    if (stock && m_ware->currentIndex() < 0) {
        Msg::info(this, Msg::chooseText(QStringLiteral("仓库名称")));
        m_ware->setFocus();
        return;
    }
    SheetImport::Outcome o;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The import holds the books for writing until it ends: a big sheet keeps
    // the other seats' saves waiting, and they are told the books are busy.
    m_status->setText(QStringLiteral("正在导入，导入完成前其他电脑不能保存单据…"));
    m_status->repaint();
    try {
        o = m_kind == Products ? SheetImport::importProducts(DM(), m_sheet, stock, stock ? m_ware->currentText() : QString())
                               : SheetImport::importPartners(DM(), m_sheet);
        m_status->clear();
    } catch (const DbError &e) {
        m_status->clear();
        QApplication::restoreOverrideCursor();
        Msg::error(this, e.text() + QStringLiteral("\n\n本文件的数据都没有导入。"));
        return;
    }
    QApplication::restoreOverrideCursor();
    if (!o.ok) {
        Msg::warning(this, o.message);
        return;
    }
    if (m_kind == Products) {
        // Lists showing the categories see the new ones.
        if (o.categories > 0) {
            try {
                DM().DBComSType();
            } catch (const DbError &) {
            }
        }
        Msg::info(this, QStringLiteral("成功导入数据 %1 条！").arg(o.imported));
        accept();
        return;
    }
    if (o.stoppedAtRow > 0) {
        // What came before the row without a name is stored; say so and where it stopped.
        Msg::info(this, QStringLiteral("表格第 %1 行的 单位名称 为空，导入到此为止。\n此前的 %2 条新单位已保存。")
                            .arg(o.stoppedAtRow)
                            .arg(o.imported));
        return;
    }
    Msg::info(this, QStringLiteral("数据导入 保存成功！"));
    accept();
}

frmShop_D::frmShop_D(QWidget *parent) : frmImport(Products, parent)
{
    setObjectName(QStringLiteral("frmShop_D"));
}

frmUnits_D::frmUnits_D(QWidget *parent) : frmImport(Partners, parent)
{
    setObjectName(QStringLiteral("frmUnits_D"));
}
