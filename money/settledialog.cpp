#include "settledialog.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "settle.h"
#include "ui/daterange.h"
#include "ui/dialogbuttons.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"
#include "ui/picklist.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QSqlQueryModel>
#include <QVBoxLayout>

SettleDialog::SettleDialog(TradeKind kind, QWidget *parent)
    : QDialog(parent), m_kind(kind), m_info(settleKind(kind))
{
    setObjectName(m_info.form);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_group = new QGroupBox(this);
    m_group->setObjectName(QStringLiteral("GroupBox1"));
    m_date = new QDateEdit(m_group);
    m_date->setObjectName(QStringLiteral("DateTimePicker1"));
    setupDateEdit(m_date);
    m_amount = new QLineEdit(m_group);
    m_amount->setObjectName(QStringLiteral("Edit1"));
    // No character limit, as on the vouchers: the owed amount is offered whole
    // and any amount the books hold can be typed; the save reads it with the
    // amount rule (data/numinput.h) and refuses what lies outside.
    KeyFilter::install(m_amount, KeyFilter::Number);

    QSqlQueryModel *accounts = nullptr;
    QSqlQueryModel *staff = nullptr;
    try {
        accounts = DM().DBComAccount();
        staff = DM().DBComStaff();
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    m_account = sharedPickList(m_group, QStringLiteral("DBLookupComboBox1"), accounts);
    m_person = sharedPickList(m_group, QStringLiteral("DBLookupComboBox2"), staff);

    auto *form = new QFormLayout(m_group);
    form->addRow(m_info.dateLabel(), m_date);
    form->addRow(m_info.amountLabel(), m_amount);
    form->addRow(m_info.accountLabel(), m_account);
    form->addRow(m_info.personLabel(), m_person);

    // Enter in the amount does nothing more; "保存" is pressed as a button.
    auto *buttons = DialogButtons::row(this, &SettleDialog::BitBtn1Click, DialogButtons::EnterIgnored);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_group);
    layout->addLayout(buttons);
    setFixedSize(480, 190);
}

void SettleDialog::setup(const QString &num, const QString &owedText, int uid, int docId)
{
    m_num = num;
    m_owedText = owedText;
    m_uid = uid;
    m_docId = docId;
    const QString caption = num + QLatin1Char(' ') + m_info.verb;
    setWindowTitle(caption);
    m_group->setTitle(caption);
    m_amount->setText(owedText);
}

void SettleDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    m_date->setDate(QDate::fromString(G.WorkDate, QString::fromLatin1(DateFormat)));
    setPick(m_account, G.UserZH);
    setPick(m_person, G.UserSFKR);
    m_date->setFocus();
}

void SettleDialog::BitBtn1Click()
{
    Settlement s;
    s.date = m_date->date().toString(QString::fromLatin1(DateFormat));
    s.amountText = m_amount->text();
    s.account = m_account->currentIndex() < 0 ? QString() : m_account->currentText();
    s.person = m_person->currentIndex() < 0 ? QString() : m_person->currentText();
    SettleCheck check;
    try {
        check = settleTradeDoc(DM(), m_kind, m_docId, s);
    } catch (const DbError &e) {
        // Nothing of the settlement was kept; the dialog stays open.
        Msg::error(this, e.text());
        return;
    }
    if (!check.ok()) {
        Msg::info(this, check.message);
        switch (check.field) {
        case SettleField::Amount: m_amount->setFocus(); m_amount->selectAll(); break;
        case SettleField::Account: m_account->setFocus(); break;
        case SettleField::Person: m_person->setFocus(); break;
        case SettleField::None:
        case SettleField::Document: break;
        }
        return;
    }
    emit saved();
    accept();
}
