#include "tradeentry.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "linegrid.h"
#include "lookup.h"
#include "pickerlookup.h"
#include "print/printops.h"
#include "ui/dialogbuttons.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"
#include "ui/picklist.h"
#include "ui/taborder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

TradeEntryScreen::PrintHook &printHook()
{
    static TradeEntryScreen::PrintHook hook;
    return hook;
}

void printPreview(TradeKind kind, const QString &num, QWidget *parent)
{
    const Print::Target target = Print::Target::preview(parent);
    switch (kind) {
    case TradeKind::Purchase: Print::PrintIn_CG(DM(), num, target); break;
    case TradeKind::Sales: Print::PrintOut_XS(DM(), num, target); break;
    case TradeKind::PurchaseReturn: Print::PrintIn_CT(DM(), num, target); break;
    case TradeKind::SalesReturn: Print::PrintOut_XT(DM(), num, target); break;
    }
}

QLabel *label(const QString &text, QWidget *parent) { return new QLabel(text, parent); }

QLineEdit *lineEdit(const QString &name, int maxLength, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
}

} // namespace

void TradeEntryScreen::setPrintHook(PrintHook hook) { printHook() = std::move(hook); }

void TradeEntryScreen::printDocument(TradeKind kind, const QString &num, QWidget *parent)
{
    if (printHook()) printHook()(kind, num, parent);
    else printPreview(kind, num, parent);
}

void TradeEntryScreen::print(const QString &num)
{
    printDocument(m_kind, num, this);
}

TradeEntryScreen::TradeEntryScreen(TradeKind kind, const TradeEntryTexts &texts, QWidget *parent)
    : QDialog(parent), m_kind(kind), m_info(tradeKind(kind)), m_texts(texts), m_sales(kind == TradeKind::Sales),
      m_return(kind == TradeKind::PurchaseReturn || kind == TradeKind::SalesReturn)
{
    setWindowTitle(m_info.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(860, 570);
    buildScreen();
    myNew();
}

QComboBox *TradeEntryScreen::pickList(const QString &name, QSqlQueryModel *model)
{
    return sharedPickList(this, name, model);
}

void TradeEntryScreen::buildScreen()
{
    auto *bottom = new QHBoxLayout;
    m_continue = new QCheckBox(QStringLiteral("连续新增"), this);
    m_continue->setObjectName(QStringLiteral("CheckBox1"));
    bottom->addWidget(m_continue);
    if (m_info.canPreSave) {
        m_preSave = new QCheckBox(QStringLiteral("预存"), this);
        m_preSave->setObjectName(QStringLiteral("CheckBox2"));
        m_preSave->setToolTip(m_texts.preSaveHint);
        bottom->addWidget(m_preSave);
    }
    bottom->addStretch();
    m_save = new QPushButton(QStringLiteral("保存"), this);
    m_save->setObjectName(QStringLiteral("BitBtn1"));
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn2"));
    // Enter belongs to the lookups and the grid; it presses a button only
    // when the button itself has the focus (reached by Tab).
    for (QPushButton *b : {m_save, quit}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        DialogButtons::pressOnEnter(b);
    }
    connect(m_save, &QPushButton::clicked, this, &TradeEntryScreen::BitBtn1Click);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    bottom->addWidget(m_save);
    bottom->addWidget(quit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildPartnerGroup());
    layout->addWidget(buildGridGroup(), 1);
    layout->addWidget(buildMoneyGroup());
    layout->addLayout(bottom);

    // Tab follows the layout: the partner group row by row, the lines, the
    // payment group (the read-only totals are passed over), the options and
    // the buttons.
    QList<QWidget *> order{m_partner, m_contact, m_phone, m_address, m_date, m_ware, m_handler, m_grid,
                           m_paid, m_account, m_person, m_remark, m_continue};
    if (m_preSave) order << m_preSave;
    order << m_save << quit;
    TabOrder::chain(order);
}

QWidget *TradeEntryScreen::buildPartnerGroup()
{
    auto *box = new QGroupBox(m_texts.partnerGroup, this);
    m_partner = lineEdit(QStringLiteral("Edit1"), 0, box);
    m_contact = lineEdit(QStringLiteral("Edit7"), 0, box);
    m_phone = lineEdit(QStringLiteral("Edit8"), 0, box);
    m_address = lineEdit(QStringLiteral("Edit9"), 0, box);
    for (QLineEdit *e : {m_partner, m_contact, m_phone, m_address}) e->installEventFilter(this);
    if (m_sales) {
        // Emptying the customer name empties what came with it; the chosen ID stays.
        connect(m_partner, &QLineEdit::textChanged, this, [this](const QString &t) {
            if (!t.isEmpty()) return;
            m_contact->clear();
            m_phone->clear();
            m_address->clear();
        });
    }
    m_partnerId = new QLabel(box);
    m_partnerId->setObjectName(QStringLiteral("Lab_Units"));
    m_partnerId->hide();

    m_date = new QDateEdit(box);
    m_date->setObjectName(QStringLiteral("DateTimePicker1"));
    m_date->setDisplayFormat(QString::fromLatin1(DateFormat));
    m_date->setCalendarPopup(true);

    try {
        m_account = pickList(QStringLiteral("DBLookupComboBox1"), DM().DBComAccount());
        m_ware = pickList(QStringLiteral("DBLookupComboBox2"), DM().DBComWare());
        m_handler = pickList(QStringLiteral("DBLookupComboBox3"), DM().DBComStaff());
        m_person = pickList(QStringLiteral("DBLookupComboBox4"), DM().DBComStaff());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        for (QComboBox **c : {&m_account, &m_ware, &m_handler, &m_person})
            if (!*c) *c = new QComboBox(this);
    }

    auto *g = new QGridLayout(box);
    g->addWidget(label(m_texts.partnerLabel, box), 0, 0);
    g->addWidget(m_partner, 0, 1, 1, 3);
    g->addWidget(label(m_texts.partnerHint, box), 0, 4, 1, 2);
    g->addWidget(label(QStringLiteral("联  系  人："), box), 1, 0);
    g->addWidget(m_contact, 1, 1);
    g->addWidget(label(QStringLiteral("联系电话："), box), 1, 2);
    g->addWidget(m_phone, 1, 3);
    g->addWidget(label(QStringLiteral("地        址："), box), 1, 4);
    g->addWidget(m_address, 1, 5);
    g->addWidget(label(m_texts.dateLabel, box), 2, 0);
    g->addWidget(m_date, 2, 1);
    g->addWidget(label(QStringLiteral("仓库名称："), box), 2, 2);
    g->addWidget(m_ware, 2, 3);
    g->addWidget(label(QStringLiteral("经  手  人："), box), 2, 4);
    g->addWidget(m_handler, 2, 5);
    for (int c : {1, 3, 5}) g->setColumnStretch(c, 1);
    return box;
}

QWidget *TradeEntryScreen::buildGridGroup()
{
    auto *box = new QGroupBox(
        QStringLiteral("商品信息 在商品编码处录入商品名称或商品名称拼音首字母或商品编码，按回车或鼠标双击..."), this);
    LineGrid::Layout layout;
    layout.callerCode = callerCode();
    layout.discount = m_sales;
    // The returns keep the code free: it never changes the product.
    layout.codeAlwaysFree = m_return;
    m_grid = new LineGrid(layout, box);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setToolTip(m_texts.gridHint);
    m_grid->changed = [this] { mySumMoney(); };
    m_grid->partnerId = [this] { return partnerId(); };

    m_popup = new QMenu(m_grid);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    if (!m_return) {
        QAction *history = m_popup->addAction(QStringLiteral("历史单价 &L"), this, &TradeEntryScreen::L1Click);
        history->setObjectName(QStringLiteral("L1"));
        m_popup->addSeparator();
    }
    QAction *del = m_popup->addAction(QStringLiteral("删除本行 &D"), this, &TradeEntryScreen::D1Click);
    del->setObjectName(QStringLiteral("D1"));
    if (m_return) m_popup->addSeparator();
    QAction *all = m_popup->addAction(QStringLiteral("全部删除 &A"), this, &TradeEntryScreen::A1Click);
    all->setObjectName(QStringLiteral("A1"));
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { m_popup->popup(m_grid->viewport()->mapToGlobal(p)); });

    auto *l = new QVBoxLayout(box);
    l->addWidget(m_grid);
    return box;
}

QWidget *TradeEntryScreen::buildMoneyGroup()
{
    auto *box = new QGroupBox(m_texts.moneyGroup, this);
    m_count = lineEdit(QStringLiteral("Edit6"), 0, box);
    m_count->setReadOnly(true);
    m_total = lineEdit(QStringLiteral("Edit2"), 0, box);
    m_total->setReadOnly(true);
    for (QLineEdit *e : {m_count, m_total}) e->setFocusPolicy(Qt::ClickFocus);
    m_paid = lineEdit(QStringLiteral("Edit3"), 0, box);
    KeyFilter::install(m_paid, KeyFilter::Number);
    m_paid->installEventFilter(this);
    connect(m_paid, &QLineEdit::textChanged, this, &TradeEntryScreen::Edit3Change);
    m_owed = lineEdit(QStringLiteral("Edit4"), 0, box);
    m_owed->hide();
    m_remark = lineEdit(QStringLiteral("Edit5"), 100, box);
    m_countLabel = new QLabel(box);
    m_countLabel->setObjectName(QStringLiteral("Lab_Count"));
    m_countLabel->hide();

    auto *g = new QGridLayout(box);
    g->addWidget(label(QStringLiteral("合计数量："), box), 0, 0);
    g->addWidget(m_count, 0, 1);
    g->addWidget(label(QStringLiteral("合计金额："), box), 0, 2);
    g->addWidget(m_total, 0, 3);
    g->addWidget(label(m_texts.paidLabel, box), 0, 4);
    g->addWidget(m_paid, 0, 5);
    g->addWidget(label(m_texts.accountLabel, box), 1, 0);
    g->addWidget(m_account, 1, 1);
    g->addWidget(label(m_texts.personLabel, box), 1, 2);
    g->addWidget(m_person, 1, 3);
    g->addWidget(label(QStringLiteral("备        注："), box), 1, 4);
    g->addWidget(m_remark, 1, 5);
    for (int c : {1, 3, 5}) g->setColumnStretch(c, 1);
    return box;
}

void TradeEntryScreen::myNew()
{
    m_save->setEnabled(true);
    m_grid->resetLines();
    m_partner->clear();
    if (!m_return) {
        // The return screens keep contact, phone and address as search filters.
        m_contact->clear();
        m_phone->clear();
        m_address->clear();
    }
    m_remark->clear();
    m_count->setText(QStringLiteral("0"));
    m_countLabel->setText(QStringLiteral("0"));
    m_total->setText(QStringLiteral("0"));
    m_paid->setText(QStringLiteral("0"));
    m_owed->setText(QStringLiteral("0"));
    m_continue->setChecked(true);
    if (m_preSave) m_preSave->setChecked(false);
    m_partnerId->clear();
    setPick(m_account, G.UserZH);
    setPick(m_ware, G.UserCK);
    setPick(m_handler, G.UserJSR);
    setPick(m_person, G.UserSFKR);
    const QDate work = QDate::fromString(G.WorkDate, QString::fromLatin1(DateFormat));
    m_date->setDate(work.isValid() ? work : QDate::currentDate());
    m_cleanLines = m_grid->snapshot();
    // A new document starts with the partner: its initials, then Enter.
    m_partner->setFocus();
}

void TradeEntryScreen::reject()
{
    // A return saved without "连续新增" stays on the screen as saved: nothing to lose.
    const bool unsaved = m_save->isEnabled() && m_grid->snapshot() != m_cleanLines;
    if (unsaved && !Msg::ask(this, QStringLiteral("放弃本单据吗？"), QString(), true)) return;
    QDialog::reject();
}

void TradeEntryScreen::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TradeEntryScreen::FormShow()
{
    if (myDJNum.isEmpty()) return;
    TradeDoc d;
    PartnerHit partner;
    try {
        if (!loadTradeDoc(DM(), m_kind, myDJNum, &d)) return;
        partner = partnerHit(DM(), d.uid);
        int row = 1;
        for (const TradeLine &l : d.lines) {
            if (row > LastRow) break;
            const ProductHit p = productHit(DM(), callerCode(), l.sid);
            setCell(row, 1, l.code);
            setCell(row, 2, l.name);
            setCell(row, 3, p.stand);
            setCell(row, 4, p.unit);
            setCell(row, priceColumn(), l.price.toString());
            if (m_sales) setCell(row, discountColumn(), QString::number(l.zk));
            setCell(row, quantityColumn(), l.count.toString());
            setCell(row, amountColumn(), l.amount(m_kind).toString());
            setCell(row, remarkColumn(), l.remark);
            setCell(row, idColumn(), QString::number(l.sid));
            ++row;
        }
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    // The payment box shows the full total again, not what was typed before.
    mySumMoney();
    m_partner->setText(partner.id ? partner.name : d.partnerName);
    m_partnerId->setText(QString::number(d.uid));
    const QDate date = QDate::fromString(d.myDate, QString::fromLatin1(DateFormat));
    if (date.isValid()) m_date->setDate(date);
    setPick(m_ware, d.warehouse);
    setPick(m_handler, d.handler);
    setPick(m_account, d.account);
    m_remark->setText(d.remark);
    m_continue->setChecked(false);
    m_cleanLines = m_grid->snapshot();
}

// ---- partner ----

bool TradeEntryScreen::eventFilter(QObject *obj, QEvent *e)
{
    // The partner name and the payment are limited in what the user types
    // only: a longer partner name or total written by the screen stays whole.
    if (e->type() == QEvent::KeyPress && (obj == m_partner || obj == m_paid)) {
        auto *edit = static_cast<QLineEdit *>(obj);
        const QString typed = static_cast<QKeyEvent *>(e)->text();
        const int limit = obj == m_partner ? 30 : 10;
        if (!typed.isEmpty() && typed[0].isPrint()
            && edit->text().size() - edit->selectedText().size() + typed.size() > limit)
            return true;
    }
    if (obj == m_partner || obj == m_contact || obj == m_phone || obj == m_address) {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                myFindUnits();
                return true;
            }
        } else if (e->type() == QEvent::MouseButtonDblClick) {
            myFindUnits();
            return true;
        }
    }
    return QDialog::eventFilter(obj, e);
}

void TradeEntryScreen::myFindUnits() { lookupPartner(this, *this); }

QString TradeEntryScreen::callerCode() const
{
    switch (m_kind) {
    case TradeKind::Purchase: return QStringLiteral("jh");
    case TradeKind::Sales: return QStringLiteral("xs");
    case TradeKind::PurchaseReturn: return QStringLiteral("cgth");
    case TradeKind::SalesReturn: break;
    }
    return QStringLiteral("xsth");
}

PartnerBoxes TradeEntryScreen::partnerBoxes() const
{
    return {m_partner->text(), m_contact->text(), m_phone->text(), m_address->text()};
}

int TradeEntryScreen::partnerId() const { return m_partnerId->text().toInt(); }

void TradeEntryScreen::setPartner(const QString &name, int id)
{
    m_partner->setText(name);
    m_partnerId->setText(QString::number(id));
}

void TradeEntryScreen::setPartnerContact(const QString &contact, const QString &phone, const QString &address)
{
    m_contact->setText(contact);
    m_phone->setText(phone);
    m_address->setText(address);
}

void TradeEntryScreen::focusGrid()
{
    m_grid->setFocus();
    if (m_grid->currentRow() < 1) m_grid->setCurrentCell(1, 1);
}

// ---- cells ----

int TradeEntryScreen::currentRow() const { return m_grid->caller().currentRow(); }
void TradeEntryScreen::setCurrentRow(int row) { m_grid->caller().setCurrentRow(row); }
QString TradeEntryScreen::cell(int row, int column) const { return m_grid->cell(row, column); }
void TradeEntryScreen::setCell(int row, int column, const QString &text) { m_grid->setCell(row, column, text); }

int TradeEntryScreen::priceColumn() const { return m_grid->priceColumn(); }
int TradeEntryScreen::discountColumn() const { return m_grid->discountColumn(); }
int TradeEntryScreen::quantityColumn() const { return m_grid->quantityColumn(); }
int TradeEntryScreen::amountColumn() const { return m_grid->amountColumn(); }
int TradeEntryScreen::remarkColumn() const { return m_grid->remarkColumn(); }
int TradeEntryScreen::idColumn() const { return m_grid->idColumn(); }
