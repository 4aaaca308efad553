#include "linegrid.h"

#include "data/numinput.h"
#include "gridcelldelegate.h"
#include "pickerlookup.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

struct Column {
    const char *caption;
    int width;
};

// Captions and widths of the visible columns; the product ID follows, hidden.
const Column PlainColumns[] = {{"序号", 30}, {"商品编码", 100}, {"商品名称", 160}, {"规格", 80}, {"单位", 60},
                               {"单价", 80}, {"数量", 60}, {"金额", 100}, {"备注", 90}};
const Column DiscountColumns[] = {{"序号", 30}, {"商品编码", 100}, {"商品名称", 160}, {"规格", 80}, {"单位", 60},
                                  {"单价", 60}, {"折扣", 40}, {"数量", 60}, {"金额", 80}, {"备注", 90}};

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

} // namespace

// The grid as the product lookup and the pickers see it.
class LineGrid::Caller : public PickerCaller {
public:
    explicit Caller(LineGrid *grid) : m_grid(grid) {}
    QString callerCode() const override { return m_grid->callerCode(); }
    int currentRow() const override { return m_grid->lookupRow(); }
    void setCurrentRow(int row) override
    {
        if (m_grid->m_lookupRow > 0) m_grid->m_lookupRow = row;
        if (row >= 1 && row <= LastRow) m_grid->setCurrentCell(row, qMax(1, m_grid->currentColumn()));
    }
    int lastRow() const override { return LastRow; }
    QString cell(int row, int column) const override { return m_grid->cell(row, column); }
    void setCell(int row, int column, const QString &text) override { m_grid->setCell(row, column, text); }
    void recomputeTotals() override
    {
        if (m_grid->changed) m_grid->changed();
    }
    int partnerId() const override { return m_grid->partnerId ? m_grid->partnerId() : 0; }

private:
    LineGrid *m_grid;
};

LineGrid::LineGrid(const Layout &layout, QWidget *parent)
    : QTableWidget(parent), m_layout(layout), m_caller(std::make_unique<Caller>(this))
{
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setMinimumSectionSize(18);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid; Enter moves inside it.
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::SelectedClicked);
    m_delegate = new GridCellDelegate([this](QKeyEvent *e, QWidget *editor) { return keyPress(e, editor); },
                                      [this] { keyRelease(); }, this);
    setItemDelegate(m_delegate);
    connect(this, &QTableWidget::cellDoubleClicked, this, [this] { findProduct(); });
}

LineGrid::~LineGrid() = default;

PickerCaller &LineGrid::caller() { return *m_caller; }

int LineGrid::lookupRow() const
{
    if (m_lookupRow > 0) return m_lookupRow;
    return qMax(1, currentRow());
}

void LineGrid::resetLines()
{
    const Column *cols = m_layout.discount ? DiscountColumns : PlainColumns;
    const int visible = idColumn();
    if (QLineEdit *editor = m_delegate->openEditor()) m_delegate->finish(editor);
    clear();
    setColumnCount(visible + 1);
    setRowCount(LastRow + 1);
    QStringList captions;
    for (int c = 0; c < visible; ++c) {
        captions << QString::fromUtf8(cols[c].caption);
        setColumnWidth(c, cols[c].width);
    }
    // The row labels are shown whole whatever the font.
    setColumnWidth(0, qMax(cols[0].width, fontMetrics().horizontalAdvance(QStringLiteral("@ 99")) + 12));
    captions << QString();
    setHorizontalHeaderLabels(captions);
    setColumnHidden(idColumn(), true);
    // Row 0 is the caption row, as the line numbering counts from row 1; the
    // header shows the captions so that they stay in view while scrolling.
    for (int r = 0; r <= LastRow; ++r) {
        for (int c = 0; c <= idColumn(); ++c) {
            auto *it = new QTableWidgetItem(r == 0 && c < visible ? captions[c] : QString());
            if (r == 0 || c == 0) it->setFlags(Qt::ItemIsEnabled);
            setItem(r, c, it);
        }
        if (r > 0) {
            item(r, 0)->setText(QStringLiteral("@ ") + QString::number(r));
            item(r, 0)->setBackground(palette().button());
        }
    }
    setRowHidden(0, true);
    setCurrentCell(1, 1);
}

QString LineGrid::cell(int row, int column) const
{
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void LineGrid::setCell(int row, int column, const QString &text)
{
    if (QTableWidgetItem *it = item(row, column)) it->setText(text);
}

void LineGrid::emptyRow(int row, int fromColumn)
{
    for (int c = fromColumn; c <= idColumn(); ++c) setCell(row, c, QString());
}

void LineGrid::clearLines()
{
    for (int row = 1; row <= LastRow; ++row) {
        setCell(row, 0, QStringLiteral("@ ") + QString::number(row));
        emptyRow(row, 1);
    }
    if (changed) changed();
}

QString LineGrid::snapshot() const
{
    QString out;
    for (int row = 1; row <= LastRow; ++row)
        for (int c = 1; c <= idColumn(); ++c) out += cell(row, c) + QChar(0x1f);
    return out;
}

bool LineGrid::hasLines() const
{
    for (int row = 1; row <= LastRow; ++row)
        if (!cell(row, idColumn()).isEmpty()) return true;
    return false;
}

QVector<GridLine> LineGrid::readLines() const
{
    const QString caption[] = {QStringLiteral("单价"), QStringLiteral("数量"), QStringLiteral("折扣")};
    const NumInput::Rule rules[] = {NumInput::Price, NumInput::Quantity, NumInput::Percent};
    const int columns[] = {priceColumn(), quantityColumn(), discountColumn()};
    QVector<GridLine> out;
    for (int row = 1; row <= LastRow; ++row) {
        bool ok = false;
        const int sid = cell(row, idColumn()).toInt(&ok);
        if (!ok) continue;
        GridLine l;
        l.sid = sid;
        l.row = row;
        l.code = cell(row, 1);
        l.name = cell(row, 2);
        l.remark = cell(row, remarkColumn());
        // The amount is worked out again from price, discount and quantity, so
        // only those are read; the cells were typed or pasted, so they are read
        // by the rules the key filters keep.
        for (int i = 0; i < (m_layout.discount ? 3 : 2); ++i) {
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
        out << l;
    }
    return out;
}

void LineGrid::totals(Money *count, Money *amount) const
{
    Money total;
    Money quantity;
    for (int row = 1; row <= LastRow; ++row) {
        const QString a = cell(row, amountColumn());
        const QString q = cell(row, quantityColumn());
        if (cell(row, idColumn()).isEmpty() || q.isEmpty()) continue;
        // Discounted lines are counted by their price, the others by their amount.
        if ((m_layout.discount ? cell(row, priceColumn()) : a).isEmpty()) continue;
        const NumInput::Reading ar = NumInput::read(a, NumInput::Amount, true);
        const NumInput::Reading qr = NumInput::read(q, NumInput::Quantity);
        if (ar.ok()) total += ar.value;
        if (qr.ok()) quantity += qr.value;
    }
    if (count) *count = quantity;
    if (amount) *amount = total;
}

void LineGrid::findProduct()
{
    // The product goes into the row current now, even if a picker moves the cursor.
    m_lookupRow = qMax(1, currentRow());
    lookupProduct(window(), *m_caller);
    m_lookupRow = 0;
}

void LineGrid::showLine(int row, int column)
{
    setFocus();
    if (row > 0) setCurrentCell(row, column > 0 ? column : 1);
}

// ---- keys ----

bool LineGrid::event(QEvent *e)
{
    // Keys reach the grid itself while no cell editor is open.
    if (e->type() == QEvent::KeyPress) {
        if (keyPress(static_cast<QKeyEvent *>(e), nullptr)) return true;
    } else if (e->type() == QEvent::KeyRelease) {
        keyRelease();
    }
    return QTableWidget::event(e);
}

bool LineGrid::keyAllowed(int row, int column, QChar c) const
{
    // Tab and Esc move and cancel as usual in every column.
    if (c == QLatin1Char('\t') || c == QChar(0x1b)) return true;
    const bool control = c == QLatin1Char('\b') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    if (column == 1) {
        // The search text is free until the row holds a product; after that
        // only erasing is left, unless the code may always change.
        return control || m_layout.codeAlwaysFree || cell(row, idColumn()).isEmpty();
    }
    if (column == remarkColumn()) return true;
    if (column == priceColumn() || column == quantityColumn()) return control || isDigit(c) || c == QLatin1Char('.');
    if (column == discountColumn()) return control || isDigit(c);
    return control;
}

bool LineGrid::cellTakesText(int row, int column) const
{
    if (column == 1) return m_layout.codeAlwaysFree || cell(row, idColumn()).isEmpty();
    return column == priceColumn() || column == quantityColumn() || column == discountColumn()
        || column == remarkColumn();
}

bool LineGrid::keyPress(QKeyEvent *e, QWidget *editor)
{
    const int key = e->key();
    const Qt::KeyboardModifiers shortcut = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !shortcut) {
        // Tab leaves the grid (Enter moves inside it). An open cell keeps what was typed.
        if (editor) m_delegate->finish(editor);
        setFocus();
        QWidget::focusNextPrevChild(key == Qt::Key_Tab && !(e->modifiers() & Qt::ShiftModifier));
        return true;
    }
    if (key == Qt::Key_Escape && editor) {
        // The cell holds what was typed already: Esc closes the screen as it
        // does elsewhere (asking first), not only the cell. The cell is closed
        // before anything else happens.
        m_delegate->finish(editor);
        setFocus();
        if (auto *dlg = qobject_cast<QDialog *>(window())) dlg->reject();
        return true;
    }
    if (shortcut) {
        // Shortcuts (select all, copy, cut, paste, undo) pass the key filter.
        // A paste goes only where typing may change the cell; what it brings is
        // read by the save as typed text would be.
        const int row = currentRow();
        const int column = currentColumn();
        if (!e->matches(QKeySequence::Paste)) return false;
        if (row < 1 || column < 1 || !cellTakesText(row, column)) return true;
        if (!editor) {
            // Ctrl+V on a cell opens its editor and replaces what it holds, as a typed key does.
            edit(currentIndex());
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
        findProduct();
        // The lookup may have moved the cursor (take all); Enter goes on from where it is now.
        const int row = currentRow();
        const int column = currentColumn();
        if (row < 1 || cell(row, idColumn()).isEmpty()) return true;
        int nextRow = row;
        int nextColumn = column;
        if (column == 1) {
            nextColumn = priceColumn();
        } else if (column == priceColumn()) {
            nextColumn = m_layout.discount ? discountColumn() : quantityColumn();
        } else if (m_layout.discount && column == discountColumn()) {
            nextColumn = quantityColumn();
        } else if (column == quantityColumn()) {
            if (row < LastRow) {
                nextRow = row + 1;
                nextColumn = 1;
            }
        }
        setCurrentCell(nextRow, nextColumn);
        return true;
    }
    const QString text = e->text();
    if (text.isEmpty() || key == Qt::Key_Delete) return false;
    const int row = currentRow();
    const int column = currentColumn();
    if (row < 1 || column < 1) return false;
    for (QChar c : text)
        if (!keyAllowed(row, column, c)) return true;
    if (!editor && key == Qt::Key_Backspace) {
        // Backspace on a cell opens its editor with the text selected and
        // erases it, as any other typed key replaces it.
        edit(currentIndex());
        if (QLineEdit *opened = m_delegate->openEditor()) {
            QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text());
            QCoreApplication::sendEvent(opened, &copy);
            return true;
        }
    }
    return false;
}

void LineGrid::keyRelease()
{
    recomputeRow(currentRow());
    if (changed) changed();
}

void LineGrid::recomputeRow(int row)
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
    const NumInput::Reading zk = m_layout.discount ? NumInput::read(cell(row, discountColumn()), NumInput::Percent)
                                                   : NumInput::read(QStringLiteral("100"), NumInput::Percent);
    if (price.problem == NumInput::Problem::Empty || count.problem == NumInput::Problem::Empty
        || zk.problem == NumInput::Problem::Empty)
        return;
    QString amount;
    if (price.ok() && count.ok() && zk.ok()) {
        // price × quantity (× discount / 100), rounded once.
        const Money a = Money::product(price.value, count.value, zk.whole, 100);
        if (NumInput::inRange(a, NumInput::Amount)) amount = a.toString();
    }
    setCell(row, amountColumn(), amount);
}
