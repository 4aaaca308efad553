// The line grid of the trade entry screens: key filters, Enter navigation,
// recomputation of the line and the totals, the pop-up menu.
#include "tradeentry.h"

#include "data/texts.h"
#include "frmlsdj.h"
#include "gridcelldelegate.h"
#include "pickerlookup.h"
#include "shell/msg.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

} // namespace

bool TradeEntryScreen::keyAllowed(int row, int column, QChar c) const
{
    // Tab and Esc move and cancel as usual in every column.
    if (c == QLatin1Char('\t') || c == QChar(0x1b)) return true;
    const bool control = c == QLatin1Char('\b') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    if (column == 1) {
        // The search text is free until the row holds a product; after that
        // only erasing is left (the returns keep the code free, it never changes the product).
        return control || m_return || cell(row, idColumn()).isEmpty();
    }
    if (column == remarkColumn()) return true;
    if (column == priceColumn() || column == quantityColumn()) return control || isDigit(c) || c == QLatin1Char('.');
    if (column == discountColumn()) return control || isDigit(c);
    return control;
}

bool TradeEntryScreen::gridKeyPress(QKeyEvent *e, QWidget *editor)
{
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (editor) m_delegate->finish(editor);
        myFindSP();
        // The lookup may have moved the cursor (take all); Enter goes on from where it is now.
        const int row = m_grid->currentRow();
        const int column = m_grid->currentColumn();
        if (row < 1 || cell(row, idColumn()).isEmpty()) return true;
        int nextRow = row;
        int nextColumn = column;
        if (column == 1) {
            nextColumn = priceColumn();
        } else if (column == priceColumn()) {
            nextColumn = m_sales ? discountColumn() : quantityColumn();
        } else if (m_sales && column == discountColumn()) {
            nextColumn = quantityColumn();
        } else if (column == quantityColumn()) {
            if (row < LastRow) {
                nextRow = row + 1;
                nextColumn = 1;
            }
        }
        m_grid->setCurrentCell(nextRow, nextColumn);
        return true;
    }
    const QString text = e->text();
    if (text.isEmpty() || key == Qt::Key_Delete) return false;
    const int row = m_grid->currentRow();
    const int column = m_grid->currentColumn();
    if (row < 1 || column < 1) return false;
    for (QChar c : text)
        if (!keyAllowed(row, column, c)) return true;
    if (!editor && key == Qt::Key_Backspace) {
        // Backspace on a cell opens its editor with the text selected and
        // erases it, as any other typed key replaces it.
        m_grid->edit(m_grid->currentIndex());
        if (QLineEdit *opened = m_delegate->openEditor()) {
            QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text());
            QCoreApplication::sendEvent(opened, &copy);
            return true;
        }
    }
    return false;
}

void TradeEntryScreen::gridKeyRelease()
{
    if (recomputeRow(m_grid->currentRow())) mySumMoney();
}

bool TradeEntryScreen::recomputeRow(int row)
{
    if (row < 1 || row > LastRow) return true;
    // Erasing the product code deletes the line.
    if (cell(row, 1).isEmpty()) {
        emptyRow(row, 2);
        return true;
    }
    const QString price = cell(row, priceColumn());
    const QString count = cell(row, quantityColumn());
    const QString zk = m_sales ? cell(row, discountColumn()) : QStringLiteral("100");
    if (price.isEmpty() || count.isEmpty() || zk.isEmpty() || cell(row, idColumn()).isEmpty()) return true;
    TradeLine l;
    bool ok = false;
    l.price = Money::fromString(price, &ok);
    if (!ok) { Msg::error(this, Texts::notNumber(price)); return false; }
    l.count = Money::fromString(count, &ok);
    if (!ok) { Msg::error(this, Texts::notNumber(count)); return false; }
    l.zk = zk.toInt(&ok);
    if (!ok) { Msg::error(this, Texts::notNumber(zk)); return false; }
    setCell(row, amountColumn(), l.amount(m_kind).toString());
    return true;
}

void TradeEntryScreen::mySumMoney()
{
    Money total;
    Money count;
    for (int row = 1; row <= LastRow; ++row) {
        const QString amount = cell(row, amountColumn());
        const QString quantity = cell(row, quantityColumn());
        if (cell(row, idColumn()).isEmpty() || quantity.isEmpty()) continue;
        // Sales deliveries count a line by its price, the others by its amount.
        if ((m_sales ? cell(row, priceColumn()) : amount).isEmpty()) continue;
        bool ok = false;
        total += Money::fromString(amount, &ok);
        if (!ok) { Msg::error(this, Texts::notNumber(amount)); return; }
        count += Money::fromString(quantity, &ok);
        if (!ok) { Msg::error(this, Texts::notNumber(quantity)); return; }
    }
    m_count->setText(count.toString());
    m_countLabel->setText(count.toString());
    m_total->setText(total.toString());
    // Every change of the lines counts the whole amount as paid again.
    m_paid->setText(total.toString());
    m_owed->setText(QStringLiteral("0"));
}

void TradeEntryScreen::Edit3Change()
{
    bool okTotal = false;
    bool okPaid = false;
    const Money total = Money::fromString(m_total->text(), &okTotal);
    const Money paid = Money::fromString(m_paid->text(), &okPaid);
    // A payment being typed (a lone ".") leaves the owed amount as it was; the save refuses it.
    if (okTotal && okPaid) m_owed->setText((total - paid).toString());
}

void TradeEntryScreen::myFindSP()
{
    // The product goes into the row current now, even if a picker moves the cursor.
    m_lookupRow = qMax(1, m_grid->currentRow());
    lookupProduct(this, *this);
    m_lookupRow = 0;
}

void TradeEntryScreen::L1Click()
{
    if (m_return) return;
    if (m_partnerId->text().isEmpty()) {
        Msg::info(this, m_texts.historyNoPartner);
        m_partner->setFocus();
        return;
    }
    const int row = m_grid->currentRow();
    if (row < 1 || cell(row, idColumn()).isEmpty()) {
        Msg::info(this, m_texts.historyNoProduct);
        m_grid->setFocus();
        return;
    }
    frmLSDJ dlg(this);
    dlg.myType = m_kind == TradeKind::Purchase ? QStringLiteral("CG") : QStringLiteral("XS");
    dlg.myUID = m_partnerId->text();
    dlg.mySID = cell(row, idColumn());
    dlg.setWindowTitle(cell(row, 1) + QLatin1Char(' ') + cell(row, 2) + QStringLiteral(" 历史单价"));
    dlg.exec();
}

void TradeEntryScreen::D1Click()
{
    const int row = m_grid->currentRow();
    if (row >= 1) emptyRow(row, 1);
    mySumMoney();
}

void TradeEntryScreen::A1Click()
{
    for (int row = 1; row <= LastRow; ++row) {
        m_grid->item(row, 0)->setText(QStringLiteral("@ ") + QString::number(row));
        emptyRow(row, 1);
    }
    mySumMoney();
}
