// Saving from a trade entry screen: the rows with a product become the lines of
// a TradeDoc, which is checked, stored and posted in one go, then printed.
#include "tradeentry.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/texts.h"
#include "shell/msg.h"

#include <QPushButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

bool TradeEntryScreen::gatherDoc(TradeDoc *doc)
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
    for (int row = 1; row <= LastRow; ++row) {
        bool ok = false;
        const int sid = cell(row, idColumn()).toInt(&ok);
        if (!ok) continue;
        TradeLine l;
        l.sid = sid;
        l.code = cell(row, 1);
        l.name = cell(row, 2);
        l.remark = cell(row, remarkColumn());
        // The amount is worked out again from price, discount and quantity, so
        // only those have to be numbers; a row that is not refused is not stored half-read.
        const int columns[] = {priceColumn(), quantityColumn(), discountColumn()};
        for (int i = 0; i < (m_sales ? 3 : 2); ++i) {
            const QString text = cell(row, columns[i]).trimmed();
            QString problem;
            if (text.isEmpty()) {
                problem = QStringLiteral("第 %1 行的 %2 不能为空，请重新录入！").arg(row).arg(caption[i]);
            } else {
                const Money v = Money::fromString(text, &ok);
                if (ok && i == 2) l.zk = text.toInt(&ok);
                else if (ok && i == 1) l.count = v;
                else if (ok) l.price = v;
                if (!ok)
                    problem = QStringLiteral("第 %1 行的 %2 %3，请重新录入！")
                                  .arg(row)
                                  .arg(caption[i], Texts::notNumber(text));
            }
            if (!problem.isEmpty()) {
                Msg::info(this, problem);
                m_grid->setFocus();
                m_grid->setCurrentCell(row, columns[i]);
                return false;
            }
        }
        d.lines << l;
    }
    *doc = d;
    return true;
}

void TradeEntryScreen::focusField(TradeField field, int gridRow)
{
    switch (field) {
    case TradeField::None: return;
    case TradeField::Partner: m_partner->setFocus(); return;
    case TradeField::Warehouse: m_ware->setFocus(); return;
    case TradeField::Handler: m_handler->setFocus(); return;
    case TradeField::Grid:
        m_grid->setFocus();
        if (gridRow > 0) m_grid->setCurrentCell(gridRow, 1);
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
    if (!gatherDoc(&doc)) return;

    QString num;
    try {
        const TradeCheck check = checkTradeDoc(DM(), doc);
        if (!check.ok()) {
            Msg::info(this, check.message);
            // A refused line is shown by selecting its row.
            int gridRow = -1;
            if (check.line >= 0) {
                int seen = -1;
                for (int row = 1; row <= LastRow && gridRow < 0; ++row)
                    if (!cell(row, idColumn()).isEmpty() && ++seen == check.line) gridRow = row;
            }
            focusField(check.field, gridRow);
            return;
        }
        num = saveTradeDoc(DM(), doc);
    } catch (const DbError &e) {
        // Nothing of the document was kept; the screen keeps what was typed.
        Msg::error(this, e.text());
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
