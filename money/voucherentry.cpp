#include "voucherentry.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "ui/dialogbuttons.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"
#include "ui/picklist.h"
#include "ui/taborder.h"
#include "trade/pickerlookup.h"
#include "voucherprint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QVBoxLayout>

namespace {

// The partner name the user may type; a longer name chosen in the picker stays whole.
constexpr int PartnerTyped = 30;

QDate workDate()
{
    const QDate d = QDate::fromString(G.WorkDate, QString::fromLatin1(DateFormat));
    return d.isValid() ? d : QDate::currentDate();
}

} // namespace

VoucherEntryScreen::VoucherEntryScreen(VoucherKind kind, QWidget *parent)
    : QDialog(parent), m_side(voucherSide(kind))
{
    setWindowTitle(m_side.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto *box = new QGroupBox(m_side.group, this);
    m_partner = new QLineEdit(box);
    m_partner->setObjectName(QStringLiteral("Edit1"));
    m_partner->installEventFilter(this);
    // A name typed over the chosen partner is a new search, not that partner:
    // the choice goes until Enter finds one again.
    connect(m_partner, &QLineEdit::textEdited, this, [this] { m_partnerId->clear(); });
    m_partnerId = new QLabel(box);
    m_partnerId->setObjectName(QStringLiteral("Lab_Units"));
    m_partnerId->hide();
    auto *hint = new QLabel(m_side.partnerHint, box);

    m_date = new QDateEdit(box);
    m_date->setObjectName(QStringLiteral("DateTimePicker1"));
    m_date->setDisplayFormat(QString::fromLatin1(DateFormat));
    m_date->setCalendarPopup(true);

    m_amount = new QLineEdit(box);
    m_amount->setObjectName(QStringLiteral("Edit2"));
    KeyFilter::install(m_amount, KeyFilter::Number);
    m_amount->installEventFilter(this);

    try {
        m_account = sharedPickList(box, QStringLiteral("DBLookupComboBox1"), DM().DBComAccount());
        m_handler = sharedPickList(box, QStringLiteral("DBLookupComboBox2"), DM().DBComStaff());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        if (!m_account) m_account = new QComboBox(box);
        if (!m_handler) m_handler = new QComboBox(box);
    }
    m_remark = new QLineEdit(box);
    m_remark->setObjectName(QStringLiteral("Edit3"));
    m_remark->setMaxLength(100);
    for (QWidget *w : {static_cast<QWidget *>(m_date), static_cast<QWidget *>(m_account),
                       static_cast<QWidget *>(m_handler), static_cast<QWidget *>(m_remark)})
        w->installEventFilter(this);

    auto *g = new QGridLayout(box);
    auto label = [box](const QString &t) { return new QLabel(t, box); };
    g->addWidget(label(m_side.partnerLabel), 0, 0);
    g->addWidget(m_partner, 0, 1);
    g->addWidget(hint, 0, 2);
    g->addWidget(label(m_side.dateWord + QStringLiteral("：")), 1, 0);
    g->addWidget(m_date, 1, 1);
    g->addWidget(label(m_side.amountWord + QStringLiteral("：")), 2, 0);
    g->addWidget(m_amount, 2, 1);
    g->addWidget(label(m_side.accountWord + QStringLiteral("：")), 3, 0);
    g->addWidget(m_account, 3, 1);
    g->addWidget(label(QStringLiteral("经  手  人：")), 4, 0);
    g->addWidget(m_handler, 4, 1);
    g->addWidget(label(QStringLiteral("备        注：")), 5, 0);
    g->addWidget(m_remark, 5, 1, 1, 2);
    g->setColumnMinimumWidth(1, 220);

    m_continue = new QCheckBox(QStringLiteral("连续新增"), this);
    m_continue->setObjectName(QStringLiteral("CheckBox1"));
    m_continue->installEventFilter(this);
    // Enter belongs to the partner search and to moving on, never to a button.
    const DialogButtons::Buttons b = DialogButtons::create(this, DialogButtons::EnterIgnored, {m_continue},
                                                           QStringLiteral("保存"));
    m_save = b.action;
    m_quit = b.quit;
    connect(m_save, &QPushButton::clicked, this, &VoucherEntryScreen::BitBtn1Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(b.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab follows the layout.
    TabOrder::chain({m_partner, m_date, m_amount, m_account, m_handler, m_remark, m_continue, m_save, m_quit});

    myNew();
}

void VoucherEntryScreen::myNew()
{
    m_partner->clear();
    m_partnerId->clear();
    m_amount->setText(QStringLiteral("0"));
    m_remark->clear();
    m_continue->setChecked(true);
    setPick(m_account, G.UserZH);
    setPick(m_handler, G.UserJSR);
    m_date->setDate(workDate());
    m_save->setEnabled(true);
    m_clean = snapshot();
    m_partner->setFocus();
}

void VoucherEntryScreen::setFromBalance(int uid, const QString &name, const QString &balance)
{
    m_mode = m_side.kind == VoucherKind::Payment ? QStringLiteral("yf") : QStringLiteral("ys");
    m_partnerId->setText(QString::number(uid));
    m_partner->setText(name);
    m_amount->setText(balance);
    m_clean = snapshot();
    focusAmount();
}

void VoucherEntryScreen::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    // FormShow: from a balances screen the amount is next, otherwise the partner.
    if (m_mode.isEmpty()) m_partner->setFocus();
    else focusAmount();
}

QString VoucherEntryScreen::snapshot() const
{
    return QStringList{m_partner->text(), m_partnerId->text(), m_date->date().toString(Qt::ISODate), m_amount->text(),
                       m_account->currentText(), m_handler->currentText(), m_remark->text()}
        .join(QChar(0x1f));
}

void VoucherEntryScreen::reject()
{
    const bool unsaved = m_save->isEnabled() && snapshot() != m_clean;
    if (unsaved && !Msg::ask(this, QStringLiteral("放弃本单据吗？"), QString(), true)) return;
    QDialog::reject();
}

// ---- keys ----

bool VoucherEntryScreen::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == m_partner && e->type() == QEvent::MouseButtonDblClick) {
        myFindUnits();
        return true;
    }
    if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(obj, e);
    auto *k = static_cast<QKeyEvent *>(e);
    const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    if (obj == m_partner) {
        if (enter) {
            myFindUnits();
            return true;
        }
    } else if (enter) {
        // Enter moves on to the next field, as Tab does.
        focusNextChild();
        return true;
    }
    // The partner name and the payment are limited in what the user types
    // only: a longer name or balance written by the screen stays whole.
    const int limit = obj == m_partner ? PartnerTyped : obj == m_amount ? m_side.typedAmountLimit : 0;
    if (limit > 0) {
        auto *edit = static_cast<QLineEdit *>(obj);
        const QString typed = k->text();
        const bool shortcut = k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!shortcut && !typed.isEmpty() && typed[0].isPrint()
            && edit->text().size() - edit->selectedText().size() + typed.size() > limit)
            return true;
    }
    return QDialog::eventFilter(obj, e);
}

// ---- partner ----

void VoucherEntryScreen::myFindUnits() { lookupPartner(this, *this); }

PartnerBoxes VoucherEntryScreen::partnerBoxes() const
{
    PartnerBoxes b;
    b.name = m_partner->text();
    return b;
}

int VoucherEntryScreen::partnerId() const { return m_partnerId->text().toInt(); }

void VoucherEntryScreen::setPartner(const QString &name, int id)
{
    m_partner->setText(name);
    m_partnerId->setText(QString::number(id));
}

void VoucherEntryScreen::focusAmount()
{
    m_amount->setFocus();
    m_amount->selectAll();   // typing replaces the "0" or the balance
}

// ---- save ----

Voucher VoucherEntryScreen::gather() const
{
    Voucher v;
    v.kind = m_side.kind;
    v.uid = partnerId();
    v.partnerName = m_partner->text();
    v.myDate = m_date->date().toString(QString::fromLatin1(DateFormat));
    v.amountText = m_amount->text();
    v.account = m_account->currentText();
    v.handler = m_handler->currentText();
    v.remark = m_remark->text();
    return v;
}

void VoucherEntryScreen::focusField(VoucherField field)
{
    switch (field) {
    case VoucherField::None: return;
    case VoucherField::Partner: m_partner->setFocus(); return;
    case VoucherField::Amount: focusAmount(); return;
    case VoucherField::Account: m_account->setFocus(); return;
    case VoucherField::Handler: m_handler->setFocus(); return;
    }
}

void VoucherEntryScreen::BitBtn1Click()
{
    // A voucher saved without "连续新增" stays on the screen as saved; a second
    // click must not pay it twice.
    if (!m_save->isEnabled()) return;
    const Voucher v = gather();
    VoucherCheck check;
    QString num;
    try {
        num = saveVoucher(DM(), v, &check);
    } catch (const DbError &e) {
        // Nothing of the voucher was kept; the screen keeps what was typed.
        Msg::error(this, e.text());
        return;
    }
    if (!check.ok()) {
        Msg::info(this, check.message);
        focusField(check.field);
        return;
    }
    m_savedNum = num;
    VoucherPrint::print(m_side.kind, num, this);
    emit saved(num);
    if (m_continue->isChecked()) {
        myNew();
    } else {
        m_save->setEnabled(false);
        m_quit->setFocus();
    }
}

frmFK_In::frmFK_In(QWidget *parent) : VoucherEntryScreen(VoucherKind::Payment, parent)
{
    setObjectName(QStringLiteral("frmFK_In"));
}

frmSK_In::frmSK_In(QWidget *parent) : VoucherEntryScreen(VoucherKind::Receipt, parent)
{
    setObjectName(QStringLiteral("frmSK_In"));
}
