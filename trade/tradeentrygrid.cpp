// The trade entry screens around their line grid: the totals with the paid and
// owed amounts, the product lookup and the grid's pop-up menu.
#include "tradeentry.h"

#include "data/numinput.h"
#include "frmlsdj.h"
#include "linegrid.h"
#include "ui/msg.h"

#include <QLabel>
#include <QLineEdit>

void TradeEntryScreen::mySumMoney()
{
    Money total;
    Money count;
    m_grid->totals(&count, &total);
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

void TradeEntryScreen::myFindSP() { m_grid->findProduct(); }

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
    if (row >= 1) m_grid->emptyRow(row, 1);
    mySumMoney();
}

void TradeEntryScreen::A1Click() { m_grid->clearLines(); }
