// Saving from a trade entry screen: the rows with a product become the lines of
// a TradeDoc, which is checked, stored and posted in one go, then printed.
#include "tradeentry.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/numinput.h"
#include "shell/msg.h"

#include <QPushButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

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

    const QString caption[] = {QStringLiteral("单价"), QStringLiteral("数量"), QStringLiteral("折扣")};
    const NumInput::Rule rules[] = {NumInput::Price, NumInput::Quantity, NumInput::Percent};
    for (int row = 1; row <= LastRow; ++row) {
        bool ok = false;
        const int sid = cell(row, idColumn()).toInt(&ok);
        if (!ok) continue;
        TradeLine l;
        l.sid = sid;
        l.row = row;
        l.code = cell(row, 1);
        l.name = cell(row, 2);
        l.remark = cell(row, remarkColumn());
        // The amount is worked out again from price, discount and quantity, so
        // only those are read. A cell that cannot be read is refused by the
        // save where the line checks run, after the header checks; the cells
        // were typed or pasted, so they are read by the rules the key filters keep.
        const int columns[] = {priceColumn(), quantityColumn(), discountColumn()};
        for (int i = 0; i < (m_sales ? 3 : 2); ++i) {
            const NumInput::Reading r = NumInput::read(cell(row, columns[i]), rules[i]);
            if (!r.ok()) {
                if (l.unread.isEmpty()) {
                    l.unread = r.message(NumInput::cellLabel(row, caption[i]));
                    l.unreadColumn = columns[i];
                }
                continue;
            }
            if (i == 0) l.price = r.value;
            else if (i == 1) l.count = r.value;
            else l.zk = r.whole;
        }
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
    case TradeField::Grid:
        m_grid->setFocus();
        if (gridRow > 0) m_grid->setCurrentCell(gridRow, gridColumn > 0 ? gridColumn : 1);
        return;
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
