#include "stockentry.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "print/printops.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "ui/taborder.h"
#include "ui/picklist.h"
#include "trade/linegrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QVBoxLayout>

namespace {

StockEntryScreen::PrintHook &printHook()
{
    static StockEntryScreen::PrintHook hook;
    return hook;
}

void printPreview(StockKind kind, const QString &num, QWidget *parent)
{
    const Print::Target target = Print::Target::preview(parent);
    switch (kind) {
    case StockKind::Transfer: Print::PrintDB(DM(), num, target); break;
    case StockKind::Loss: Print::PrintBS(DM(), num, target); break;
    case StockKind::Overage: Print::PrintBY(DM(), num, target); break;
    case StockKind::Assembly: Print::PrintCZ(DM(), num, target); break;
    }
}

QLabel *label(const QString &text, QWidget *parent) { return new QLabel(text, parent); }

} // namespace

void StockEntryScreen::setPrintHook(PrintHook hook) { printHook() = std::move(hook); }

void StockEntryScreen::printDocument(StockKind kind, const QString &num, QWidget *parent)
{
    if (printHook()) printHook()(kind, num, parent);
    else printPreview(kind, num, parent);
}

StockEntryScreen::StockEntryScreen(StockKind kind, QWidget *parent)
    : QDialog(parent), m_kind(kind), m_info(stockKind(kind))
{
    setWindowTitle(m_info.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(860, m_info.sides.size() > 1 ? 640 : 570);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildInfoGroup());
    for (int s = 0; s < m_info.sides.size(); ++s) layout->addWidget(buildGridGroup(s), 1);

    auto *bottom = new QHBoxLayout;
    m_continue = new QCheckBox(QStringLiteral("连续新增"), this);
    m_continue->setObjectName(QStringLiteral("CheckBox1"));
    bottom->addWidget(m_continue);
    if (m_info.totals) bottom->addWidget(buildTotals());
    bottom->addStretch();
    m_save = new QPushButton(QStringLiteral("保存"), this);
    m_save->setObjectName(QStringLiteral("BitBtn1"));
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn2"));
    // Enter belongs to the grids; it presses a button only when the button
    // itself has the focus (reached by Tab).
    for (QPushButton *b : {m_save, quit}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        DialogButtons::pressOnEnter(b);
    }
    connect(m_save, &QPushButton::clicked, this, &StockEntryScreen::BitBtn1Click);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    bottom->addWidget(m_save);
    bottom->addWidget(quit);
    layout->addLayout(bottom);

    // Tab follows the layout: the header fields, the grids (Tab leaves a
    // grid), the option and the buttons; the read-only totals are passed over.
    QList<QWidget *> order{m_issuing, m_ware, m_handler, m_date, m_remark};
    for (LineGrid *g : m_grids) order << g;
    order << m_continue << m_save << quit;
    TabOrder::chain(order);

    myNew();
}

QWidget *StockEntryScreen::buildInfoGroup()
{
    auto *box = new QGroupBox(m_info.infoGroup, this);
    // The drop-downs are numbered in the order they stand: the warehouses, then the handler.
    int no = 0;
    auto pick = [&](QSqlQueryModel *model) {
        return sharedPickList(box, QStringLiteral("DBLookupComboBox%1").arg(++no), model);
    };
    try {
        if (m_info.twoWarehouses) m_issuing = pick(DM().DBComWare());
        m_ware = pick(DM().DBComWare());
        m_handler = pick(DM().DBComStaff());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        if (m_info.twoWarehouses && !m_issuing) m_issuing = new QComboBox(box);
        if (!m_ware) m_ware = new QComboBox(box);
        if (!m_handler) m_handler = new QComboBox(box);
    }
    m_date = new QDateEdit(box);
    m_date->setObjectName(QStringLiteral("DateTimePicker1"));
    m_date->setDisplayFormat(QString::fromLatin1(DateFormat));
    m_date->setCalendarPopup(true);
    m_remark = new QLineEdit(box);
    m_remark->setObjectName(QStringLiteral("Edit1"));
    m_remark->setMaxLength(100);

    auto *g = new QGridLayout(box);
    int col = 0;
    auto add = [&](const QString &caption, QWidget *w) {
        g->addWidget(label(caption, box), 0, col);
        g->addWidget(w, 0, col + 1);
        col += 2;
    };
    if (m_issuing) add(m_info.issuingLabel + QStringLiteral("："), m_issuing);
    add(m_info.receivingLabel + QStringLiteral("："), m_ware);
    add(QStringLiteral("经  手  人："), m_handler);
    if (!m_issuing) add(m_info.dateLabel + QStringLiteral("："), m_date);
    int next = 0;
    if (m_issuing) {
        g->addWidget(label(m_info.dateLabel + QStringLiteral("："), box), 1, 0);
        g->addWidget(m_date, 1, 1);
        next = 2;
    }
    g->addWidget(label(QStringLiteral("备        注："), box), 1, next);
    g->addWidget(m_remark, 1, next + 1, 1, 5 - next);
    for (int c : {1, 3, 5}) g->setColumnStretch(c, 1);
    return box;
}

QWidget *StockEntryScreen::buildGridGroup(int side)
{
    const StockSide &s = m_info.sides[side];
    auto *box = new QGroupBox(s.gridCaption, this);
    LineGrid::Layout layout;
    layout.callerCode = s.callerCode;
    // The code stays free: a row keeps its product until its code is erased.
    layout.codeAlwaysFree = true;
    auto *grid = new LineGrid(layout, box);
    grid->setObjectName(QStringLiteral("StringGrid%1").arg(side + 1));
    grid->changed = [this] { mySumMoney(); };
    m_grids << grid;
    auto *l = new QVBoxLayout(box);
    l->addWidget(grid);
    return box;
}

QWidget *StockEntryScreen::buildTotals()
{
    auto *w = new QWidget(this);
    auto *h = new QHBoxLayout(w);
    h->setContentsMargins(24, 0, 0, 0);
    m_count = new QLineEdit(w);
    m_count->setObjectName(QStringLiteral("Edit6"));
    m_total = new QLineEdit(w);
    m_total->setObjectName(QStringLiteral("Edit2"));
    for (QLineEdit *e : {m_count, m_total}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);
    }
    h->addWidget(label(QStringLiteral("合计数量："), w));
    h->addWidget(m_count);
    h->addWidget(label(QStringLiteral("合计金额："), w));
    h->addWidget(m_total);
    return w;
}

LineGrid *StockEntryScreen::grid(int side) const { return m_grids.value(side); }

void StockEntryScreen::myNew()
{
    m_save->setEnabled(true);
    for (LineGrid *g : m_grids) g->resetLines();
    m_remark->clear();
    m_continue->setChecked(true);
    // Both warehouses start at the user's own; the transfer asks for a change.
    if (m_issuing) setPick(m_issuing, G.UserCK);
    setPick(m_ware, G.UserCK);
    setPick(m_handler, G.UserJSR);
    const QDate work = QDate::fromString(G.WorkDate, QString::fromLatin1(DateFormat));
    m_date->setDate(work.isValid() ? work : QDate::currentDate());
    mySumMoney();
    m_cleanLines = linesSnapshot();
    // A new document starts with its first field, the (issuing) warehouse.
    (m_issuing ? m_issuing : m_ware)->setFocus();
}

QString StockEntryScreen::linesSnapshot() const
{
    QString out;
    for (const LineGrid *g : m_grids) out += g->snapshot();
    return out;
}

void StockEntryScreen::reject()
{
    // A document saved without "连续新增" stays on the screen as saved: nothing to lose.
    const bool unsaved = m_save->isEnabled() && linesSnapshot() != m_cleanLines;
    if (unsaved && !Msg::ask(this, QStringLiteral("放弃本单据吗？"), QString(), true)) return;
    QDialog::reject();
}

void StockEntryScreen::myFindSP() { m_grids[0]->findProduct(); }

void StockEntryScreen::myFindSPRK()
{
    if (m_grids.size() > 1) m_grids[1]->findProduct();
}

void StockEntryScreen::mySumMoney()
{
    if (!m_info.totals) return;
    Money count;
    Money total;
    for (const LineGrid *g : m_grids) {
        Money c, t;
        g->totals(&c, &t);
        count += c;
        total += t;
    }
    // A total beyond the range is shown as such; the save refuses it.
    m_count->setText(count.toString());
    m_total->setText(total.toString());
}

void StockEntryScreen::gatherDoc(StockDoc *doc) const
{
    StockDoc d;
    d.kind = m_kind;
    d.myDate = m_date->date().toString(QString::fromLatin1(DateFormat));
    if (m_issuing) d.issuing = m_issuing->currentText();
    d.warehouse = m_ware->currentText();
    d.handler = m_handler->currentText();
    d.remark = m_remark->text();
    for (int s = 0; s < m_grids.size(); ++s) {
        for (const GridLine &g : m_grids[s]->readLines()) {
            StockLine l;
            l.sid = g.sid;
            l.row = g.row;
            l.code = g.code;
            l.name = g.name;
            l.remark = g.remark;
            l.price = g.price;
            l.count = g.count;
            l.unread = g.unread;
            l.unreadColumn = g.unreadColumn;
            d.sides[s] << l;
        }
    }
    *doc = d;
}

void StockEntryScreen::focusField(const StockCheck &check, const StockDoc &doc)
{
    switch (check.field) {
    case StockField::None: return;
    case StockField::Grid: {
        LineGrid *g = m_grids.value(check.side, m_grids[0]);
        const auto &lines = doc.sides[check.side];
        // A refused line is shown by selecting its row (and its cell).
        const int row = check.line >= 0 && check.line < lines.size() ? lines[check.line].row : -1;
        g->showLine(row, check.column);
        return;
    }
    case StockField::Issuing: m_issuing->setFocus(); return;
    case StockField::Receiving: m_ware->setFocus(); return;
    case StockField::Handler: m_handler->setFocus(); return;
    }
}

void StockEntryScreen::BitBtn1Click()
{
    if (!m_save->isEnabled()) return;
    StockDoc doc;
    gatherDoc(&doc);
    QString num;
    StockCheck check;
    try {
        num = saveStockDoc(DM(), doc, &check);
    } catch (const DbError &e) {
        // Nothing of the document was kept; the screen keeps what was typed.
        Msg::error(this, e.text());
        return;
    }
    if (!check.ok()) {
        Msg::info(this, check.message);
        focusField(check, doc);
        return;
    }
    m_savedNum = num;
    // Assembly documents are printed from their management screen only.
    if (m_kind != StockKind::Assembly) printDocument(m_kind, num, this);
    emit saved(num);
    if (m_continue->isChecked()) {
        myNew();
    } else {
        // The screen keeps the saved document in view; saving it again would
        // move the same goods a second time.
        m_save->setEnabled(false);
    }
}
