#include "frmslist.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "ui/columnwidths.h"
#include "ui/exportopen.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const char *const FieldLabels[8] = {"商品编码：", "商品分类：", "商品名称：", "规        格：",
                                    "单        位：", "采购单价：", "销售单价：", "备       注："};

QList<ListColumn> columns()
{
    return {ListColumn("theDate", "营业日期").asText(), ListColumn("UName", "录入人"), ListColumn("WName", "仓库名称"),
            ListColumn("theType", "操作事件").w(90), ListColumn("theNum", "单号").w(110).asText(),
            ListColumn("ICount", "入库数量").num().w(70), ListColumn("OCount", "出库数量").num().w(70),
            ListColumn("SPrice", "单价").num().w(70), ListColumn("WCount", "库存数量").num().w(70)};
}

} // namespace

frmSList::frmSList(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSList"));
    setWindowTitle(QStringLiteral("商品流动记录"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(860, 560);

    auto *product = new QGroupBox(QStringLiteral("商品信息"), this);
    product->setObjectName(QStringLiteral("GroupBox1"));
    auto *pg = new QGridLayout(product);
    // Code, category, name on the first line; 规格, unit and the two
    // prices on the second; the remark on the third.
    // Each field's line, its label's column (the field stands right of it) and its width in columns.
    const int place[8][3] = {{0, 0, 1}, {0, 2, 1}, {0, 4, 3}, {1, 0, 1}, {1, 2, 1}, {1, 4, 1}, {1, 6, 1}, {2, 0, 7}};
    for (int i = 0; i < 8; ++i) {
        m_fields[i] = new QLineEdit(product);
        m_fields[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        m_fields[i]->setReadOnly(true);
        pg->addWidget(new QLabel(QString::fromUtf8(FieldLabels[i]), product), place[i][0], place[i][1]);
        pg->addWidget(m_fields[i], place[i][0], place[i][1] + 1, 1, place[i][2]);
    }
    // Display only.
    product->setEnabled(false);

    auto *moves = new QGroupBox(QStringLiteral("流动信息"), this);
    moves->setObjectName(QStringLiteral("GroupBox2"));
    m_model = new ResultModel(this);
    m_model->setColumns(columns());
    m_grid = new QTableView(moves);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setTabKeyNavigation(false);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    m_grid->horizontalHeader()->setHighlightSections(false);
    // Fitted to the movements shown; with no menu to give widths back, a
    // dragged width lasts as long as the window.
    m_widths = new ColumnWidths(m_grid, m_model, this);
    m_widths->setKeepDragged(false);
    auto *ml = new QVBoxLayout(moves);
    ml->addWidget(m_grid);

    auto *excel = new QPushButton(QStringLiteral("Excel"), this);
    excel->setObjectName(QStringLiteral("BitBtn1"));
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn2"));
    for (QPushButton *b : {excel, quit}) {
        b->setAutoDefault(false);
        DialogButtons::pressOnEnter(b);
    }
    connect(excel, &QPushButton::clicked, this, &frmSList::BitBtn1Click);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(excel);
    buttons->addWidget(quit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addWidget(moves, 1);
    layout->addLayout(buttons);
    setTabOrder(m_grid, excel);
    setTabOrder(excel, quit);
}

void frmSList::setProduct(int sid, const QString &warehouse)
{
    m_sid = sid;
    m_warehouse = warehouse;
}

void frmSList::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    FormShow();
    // The movements take the keys: arrows and Page keys move through them.
    m_grid->setFocus();
    if (m_model->rowCount() > 0) m_grid->setCurrentIndex(m_model->index(0, 0));
}

bool frmSList::FormShow()
{
    try {
        // Deleted products are shown too: their history stays.
        const auto p = DM().rows(QStringLiteral("select theNum, theType, theName, theStand, theUnit, theJH, theXS, Remark "
                                                "from SShop where ID=?"),
                                 {m_sid});
        for (int i = 0; i < 8; ++i) {
            QVariant v = p.size() == 1 ? p[0][i] : QVariant();
            m_fields[i]->setText(i == 5 || i == 6 ? (v.isNull() || !v.isValid() ? QString() : Money::fromVariant(v).toString())
                                                  : v.toString());
        }
        // In the order written: the ledger's own counter.
        QString sql = QStringLiteral("select theDate, UName, WName, theType, theNum, ICount, OCount, SPrice, WCount "
                                     "from SList where SID=?");
        QVariantList binds{m_sid};
        if (!m_warehouse.isEmpty()) {
            sql += QStringLiteral(" and WName=?");
            binds << m_warehouse;
        }
        m_model->load(DM().db(), sql + QStringLiteral(" order by ID"), binds);
        m_widths->fit();
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return false;
    }
    return true;
}

void frmSList::BitBtn1Click()
{
    ExportLayout l;
    l.shopName = G.ShopName;
    l.titleWord = QStringLiteral("商品流动表");
    const QList<ListColumn> cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i) {
        ExportColumn c;
        c.header = cols[i].caption;
        c.column = i;
        c.asText = cols[i].xlsText;
        c.number = cols[i].isNumber();
        l.columns << c;
    }
    l.widths = {4, 8};
    l.restWidth = 12;
    // The product block between the title and the column titles.
    auto text = [this](int i) { return m_fields[i]->text(); };
    l.blockRows = 3;
    l.block = {{0, 0, QStringLiteral("商品编码"), 1, false}, {0, 2, text(0), -1, true},
               {0, 3, QStringLiteral("商品分类"), -1, false}, {0, 4, text(1), -1, false},
               {0, 5, QStringLiteral("商品名称"), -1, false}, {0, 6, text(2), 9, false},
               {1, 0, QStringLiteral("规格"), 1, false}, {1, 2, text(3), -1, false},
               {1, 3, QStringLiteral("单位"), -1, false}, {1, 4, text(4), -1, false},
               {1, 5, QStringLiteral("采购单价"), -1, false}, {1, 6, text(5), -1, false},
               {1, 7, QStringLiteral("销售单价"), -1, false}, {1, 8, text(6), 9, false},
               {2, 0, QStringLiteral("备注"), 1, false}, {2, 2, text(7), 9, false}};
    l.serialCentred = false;
    l.footerProduct = QStringLiteral("Tavrel进销存软件");
    m_lastExport = ExportOpen::run(this, l, m_model);
}
