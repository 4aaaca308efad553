// The line grid of the trade entry screens: key filters, Enter navigation,
// recomputation of the line and the totals, the pop-up menu.
#include "tradeentry.h"

#include "data/numinput.h"
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

bool TradeEntryScreen::cellTakesText(int row, int column) const
{
    if (column == 1) return m_return || cell(row, idColumn()).isEmpty();
    return column == priceColumn() || column == quantityColumn() || column == discountColumn()
        || column == remarkColumn();
}

bool TradeEntryScreen::gridKeyPress(QKeyEvent *e, QWidget *editor)
{
    const int key = e->key();
    const Qt::KeyboardModifiers shortcut = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !shortcut) {
        // Tab leaves the grid (Enter moves inside it): forward to the payment,
        // backward to the handler. An open cell keeps what was typed.
        if (editor) m_delegate->finish(editor);
        m_grid->setFocus();
        focusNextPrevChild(key == Qt::Key_Tab && !(e->modifiers() & Qt::ShiftModifier));
        return true;
    }
    if (key == Qt::Key_Escape && editor) {
        // The cell holds what was typed already: Esc closes the screen as it
        // does elsewhere (asking first), not only the cell. The cell is closed
        // before anything else happens.
        m_delegate->finish(editor);
        m_grid->setFocus();
        reject();
        return true;
    }
    if (shortcut) {
        // Shortcuts (select all, copy, cut, paste, undo) pass the key filter.
        // A paste goes only where typing may change the cell; what it brings is
        // read by the save as typed text would be.
        const int row = m_grid->currentRow();
        const int column = m_grid->currentColumn();
        if (!e->matches(QKeySequence::Paste)) return false;
        if (row < 1 || column < 1 || !cellTakesText(row, column)) return true;
        if (!editor) {
            // Ctrl+V on a cell opens its editor and replaces what it holds, as a typed key does.
            m_grid->edit(m_grid->currentIndex());
            if (QLineEdit *opened = m_delegate->openEditor()) {
                QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text());
                QCoreApplication::sendEvent(opened, &copy);
                return true;
            }
        }
        return false;
    }
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
    recomputeRow(m_grid->currentRow());
    mySumMoney();
}

void TradeEntryScreen::recomputeRow(int row)
{
    if (row < 1 || row > LastRow) return;
    // Erasing the product code deletes the line.
    if (cell(row, 1).isEmpty()) {
        emptyRow(row, 2);
        return;
    }
    if (cell(row, idColumn()).isEmpty()) return;
    // Runs on every key: a number half typed (".", "1.") or out of range is no
    // error yet. The amount shows what can be worked out, and stays empty
    // while a cell cannot be read; the save names the cell if it still cannot.
    const NumInput::Reading price = NumInput::read(cell(row, priceColumn()), NumInput::Price);
    const NumInput::Reading count = NumInput::read(cell(row, quantityColumn()), NumInput::Quantity);
    const NumInput::Reading zk = m_sales ? NumInput::read(cell(row, discountColumn()), NumInput::Percent)
                                         : NumInput::read(QStringLiteral("100"), NumInput::Percent);
    if (price.problem == NumInput::Problem::Empty || count.problem == NumInput::Problem::Empty
        || zk.problem == NumInput::Problem::Empty)
        return;
    QString amount;
    if (price.ok() && count.ok() && zk.ok()) {
        TradeLine l;
        l.price = price.value;
        l.count = count.value;
        l.zk = zk.whole;
        const Money a = l.amount(m_kind);
        if (NumInput::inRange(a, NumInput::Amount)) amount = a.toString();
    }
    setCell(row, amountColumn(), amount);
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
        // What cannot be read yet counts as nothing; the save refuses it.
        const NumInput::Reading a = NumInput::read(amount, NumInput::Amount, true);
        const NumInput::Reading q = NumInput::read(quantity, NumInput::Quantity);
        if (a.ok()) total += a.value;
        if (q.ok()) count += q.value;
    }
    // A total beyond the range is shown as such; the save refuses it.
    m_count->setText(count.toString());
    m_countLabel->setText(count.toString());
    m_total->setText(total.toString());
    // Every change of the lines counts the whole amount as paid again.
    m_paid->setText(total.isStorable() ? total.toString() : QString());
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
