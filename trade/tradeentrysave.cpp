// Saving from a trade entry screen: the rows with a product become the lines of
// a TradeDoc, which is checked, stored and posted in one go, then printed.
#include "tradeentry.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "linegrid.h"
#include "ui/msg.h"

#include <QPushButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

void TradeEntryScreen::gatherDoc(TradeDoc *doc)
{
    TradeDoc d;
    d.kind = m_kind;
    d.num = myDJNum;
    d.uid = m_partnerId->text().toInt();
    d.partnerName = m_partner->text();
    d.myDate = m_date->date().toString(QString::fromLatin1(DateFormat));
    d.warehouse = m_ware->currentText();
    d.handler = m_handler->currentText();
    d.account = m_account->currentText();
    d.person = m_person->currentText();
    d.remark = m_remark->text();
    d.paidText = m_paid->text();
    d.preSave = m_preSave && m_preSave->isChecked();

    for (const GridLine &g : m_grid->readLines()) {
        TradeLine l;
        l.sid = g.sid;
        l.row = g.row;
        l.code = g.code;
        l.name = g.name;
        l.remark = g.remark;
        l.price = g.price;
        l.count = g.count;
        l.zk = g.zk;
        // A cell that cannot be read is refused by the save where the line
        // checks run, after the header checks.
        l.unread = g.unread;
        l.unreadColumn = g.unreadColumn;
        d.lines << l;
    }
    *doc = d;
}

void TradeEntryScreen::focusField(TradeField field, int gridRow, int gridColumn)
{
    switch (field) {
    case TradeField::None: return;
    case TradeField::Partner: m_partner->setFocus(); return;
    case TradeField::Warehouse: m_ware->setFocus(); return;
    case TradeField::Handler: m_handler->setFocus(); return;
    case TradeField::Grid: m_grid->showLine(gridRow, gridColumn); return;
    case TradeField::Paid: m_paid->setFocus(); return;
    case TradeField::Account: m_account->setFocus(); return;
    case TradeField::Person: m_person->setFocus(); return;
    }
}

void TradeEntryScreen::BitBtn1Click()
{
    if (!m_save->isEnabled()) return;
    TradeDoc doc;
    gatherDoc(&doc);

    QString num;
    TradeCheck check;
    try {
        num = saveTradeDoc(DM(), doc, &check);
    } catch (const DbError &e) {
        // Nothing of the document was kept; the screen keeps what was typed.
        Msg::error(this, e.text());
        return;
    }
    if (!check.ok()) {
        Msg::info(this, check.message);
        // A refused line is shown by selecting its row (and its cell).
        const int gridRow = check.line >= 0 && check.line < doc.lines.size() ? doc.lines[check.line].row : -1;
        focusField(check.field, gridRow, check.column);
        return;
    }
    m_savedNum = num;
    if (!doc.preSave) print(num);
    emit saved(num);

    if (!myDJNum.isEmpty()) {
        // A changed pre-saved document goes back to its management screen.
        accept();
    } else if (m_continue->isChecked()) {
        myNew();
    } else if (!m_return) {
        accept();
    } else {
        // A return saved without "连续新增" stays on the screen as saved; saving it
        // again would post the same goods and money a second time.
        m_save->setEnabled(false);
    }
}
