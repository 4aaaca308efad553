#include "frmdictionary.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/words.h"
#include "frmszk.h"
#include "ui/dialogbuttons.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"
#include "stock/stockdialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

DictionaryScreen::DictionaryScreen(const DictionaryKind &kind, QWidget *parent) : QDialog(parent), m_kind(kind)
{
    setObjectName(kind.screen);
    setWindowTitle(kind.title);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    resize(kind.discount ? 560 : 520, 420);

    m_model = new QStandardItemModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab goes on to the next field instead of walking the cells.
    m_grid->setTabKeyNavigation(false);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [this](const char *name, const QString &text, void (DictionaryScreen::*slot)()) {
        QAction *a = m_menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    item("Q1", QStringLiteral("启用 &Q"), &DictionaryScreen::Q1Click);
    item("T1", QStringLiteral("停用 &T"), &DictionaryScreen::T1Click);
    m_menu->addSeparator();
    if (kind.discount) {
        item("N3", QStringLiteral("库存警戒设置 &K"), &DictionaryScreen::N3Click);
        item("Z1", QStringLiteral("修改销售折扣 &Z"), &DictionaryScreen::Z1Click);
        m_menu->addSeparator();
    }
    item("D1", QStringLiteral("删除 &D"), &DictionaryScreen::D1Click);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { m_menu->popup(m_grid->viewport()->mapToGlobal(p)); });

    auto *group = new QGroupBox(kind.group, this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *form = new QFormLayout(group);
    m_name = new QLineEdit(group);
    m_name->setObjectName(QStringLiteral("Edit1"));
    m_name->setMaxLength(20);
    form->addRow(kind.nameLabel, m_name);
    if (kind.discount) {
        m_discount = new QLineEdit(QStringLiteral("100"), group);
        m_discount->setObjectName(QStringLiteral("Edit3"));
        m_discount->setMaxLength(3);
        KeyFilter::install(m_discount, KeyFilter::Digits); // Edit3KeyPress
        form->addRow(QStringLiteral("销售折扣："), m_discount);
    }
    m_remark = new QLineEdit(group);
    m_remark->setObjectName(QStringLiteral("Edit2"));
    m_remark->setMaxLength(50);
    form->addRow(QStringLiteral("备注："), m_remark);

    auto *add = new QPushButton(QStringLiteral("新增"), this);
    add->setObjectName(QStringLiteral("BitBtn1"));
    add->setAutoDefault(false);
    auto *save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("BitBtn2"));
    save->setAutoDefault(false);
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn3"));
    quit->setAutoDefault(false);
    for (QPushButton *b : {add, save, quit}) DialogButtons::pressOnEnter(b);
    connect(add, &QPushButton::clicked, this, &DictionaryScreen::BitBtn1Click);
    connect(save, &QPushButton::clicked, this, &DictionaryScreen::BitBtn2Click);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add);
    buttons->addWidget(save);
    buttons->addWidget(quit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(group);
    layout->addLayout(buttons);

    Ref();
    // The screen opens ready to type a new name; Tab runs down the fields to
    // the buttons and round through the list.
    m_name->setFocus();
}

void DictionaryScreen::Ref()
{
    try {
        const auto rows = dictionaryRows(DM(), m_kind);
        m_model->clear();
        m_model->setHorizontalHeaderLabels(dictionaryCaptions(m_kind));
        for (const QVariantList &r : rows) {
            QList<QStandardItem *> items;
            for (int c = 0; c < r.size(); ++c) items << new QStandardItem(r[c].toString());
            m_model->appendRow(items);
        }
        m_grid->setColumnHidden(idColumn(), true);
        if (m_kind.discount) {
            m_grid->setColumnWidth(1, 60);
            m_grid->setColumnWidth(2, 220);
        } else {
            m_grid->setColumnWidth(1, 280);
        }
        if (m_model->rowCount() > 0) m_grid->setCurrentIndex(m_model->index(0, 0));
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    m_name->clear();
    m_remark->clear();
}

int DictionaryScreen::idColumn() const { return m_kind.discount ? 4 : 3; }

int DictionaryScreen::selectedRow() const
{
    if (m_model->rowCount() == 0) return -1;
    const QModelIndex i = m_grid->currentIndex();
    return i.isValid() ? i.row() : 0;
}

QVariant DictionaryScreen::selected(int column) const
{
    const int row = selectedRow();
    return row < 0 ? QVariant() : m_model->item(row, column)->text();
}

void DictionaryScreen::BitBtn1Click()
{
    m_name->clear();
    m_remark->clear();
    if (m_discount) m_discount->setText(QStringLiteral("100"));
    m_name->setFocus();
}

void DictionaryScreen::BitBtn2Click()
{
    try {
        switch (saveDictionaryRow(DM(), m_kind, m_name->text(), m_remark->text(),
                                  m_discount ? m_discount->text() : QString())) {
        case DictionarySave::EmptyName:
            Msg::info(this, Msg::emptyText(m_kind.nameColumn));
            m_name->setFocus();
            return;
        case DictionarySave::EmptyDiscount:
            Msg::info(this, Msg::emptyText(QStringLiteral("销售折扣")));
            m_discount->setFocus();
            return;
        case DictionarySave::BadDiscount:
            Msg::info(this, discountRefusal(m_discount->text()));
            m_discount->setFocus();
            return;
        case DictionarySave::Duplicate:
            Msg::info(this, Msg::existsText(m_kind.nameColumn));
            return;
        case DictionarySave::Saved:
            break;
        }
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, Msg::savedText(m_kind.savedObject));
    Ref();
    m_name->setFocus();
}

void DictionaryScreen::Q1Click()
{
    try {
        if (selectedRow() >= 0) DM().myState(m_kind.table, QString::fromUtf8(Words::StateOn), selected(idColumn()).toInt());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    Ref();
}

void DictionaryScreen::T1Click()
{
    try {
        if (selectedRow() >= 0) DM().myState(m_kind.table, QString::fromUtf8(Words::StateOff), selected(idColumn()).toInt());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    Ref();
}

void DictionaryScreen::D1Click()
{
    if (selectedRow() < 0) return;
    const QString name = selected(0).toString();
    const int id = selected(idColumn()).toInt();
    try {
        const QString inUse = dictionaryInUse(DM(), m_kind, name);
        if (!inUse.isEmpty()) {
            Msg::info(this, inUse);
            return;
        }
        if (!Msg::confirmDelete(this)) return;
        deleteDictionaryRow(DM(), m_kind, id);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Ref();
}

void DictionaryScreen::N3Click()
{
    if (selectedRow() < 0) return;
    if (G.ShopTX != QLatin1String("True")) {
        Msg::info(this, QStringLiteral("请在 文件 菜单 里 本地信息 里 启用 库存警戒！"));
        return;
    }
    frmKCJJ dlg(this);
    dlg.setCategory(selected(0).toString());
    dlg.exec();
}

void DictionaryScreen::Z1Click()
{
    if (selectedRow() < 0) return;
    frmSZK dlg(this);
    dlg.setup(frmSZK::CategoryMode, selected(0).toString(), selected(idColumn()).toInt(), selected(1).toInt());
    connect(&dlg, &frmSZK::saved, this, &DictionaryScreen::Ref);
    dlg.exec();
}

frmWare::frmWare(QWidget *parent) : DictionaryScreen(*dictionaryKind(QStringLiteral("frmWare")), parent) {}
frmAccount::frmAccount(QWidget *parent) : DictionaryScreen(*dictionaryKind(QStringLiteral("frmAccount")), parent) {}
frmStaff::frmStaff(QWidget *parent) : DictionaryScreen(*dictionaryKind(QStringLiteral("frmStaff")), parent) {}
frmSType::frmSType(QWidget *parent) : DictionaryScreen(*dictionaryKind(QStringLiteral("frmSType")), parent) {}
