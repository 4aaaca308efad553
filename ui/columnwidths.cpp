#include "columnwidths.h"
#include "data/money.h"
#include "resultmodel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QSettings>
#include <QStyle>
#include <QTableView>
#include <QWidget>

namespace {

// The widest text an amount with `wholeDigits` digits before the point can
// take in the grid: its sign, the digits and four decimals.
int amountWidth(const QFontMetrics &fm, int wholeDigits, bool negative)
{
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c) digit = qMax(digit, fm.horizontalAdvance(QLatin1Char(c)));
    int w = qMax(wholeDigits, 1) * digit + fm.horizontalAdvance(QLatin1Char('.')) + 4 * digit;
    if (negative) w += fm.horizontalAdvance(QLatin1Char('-'));
    return w;
}

} // namespace

ColumnWidths::ColumnWidths(QTableView *view, ResultModel *model, QWidget *screen, const QString &gridName)
    : QObject(view), m_view(view), m_model(model), m_screen(screen), m_gridName(gridName)
{
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, &ColumnWidths::userResized);
}

QString ColumnWidths::settingsKey(int column) const
{
    QString caption = m_model->columns().value(column, ListColumn(QString())).caption;
    caption.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    QString key = QStringLiteral("columns/") + m_screen->objectName();
    if (m_screen->objectName().isEmpty()) key += QLatin1String(m_screen->metaObject()->className());
    if (!m_gridName.isEmpty()) key += QLatin1Char('/') + m_gridName;
    return key + QLatin1Char('/') + caption;
}

int ColumnWidths::fittedWidth(int column, bool *capped) const
{
    if (capped) *capped = false;
    const QList<ListColumn> &cols = m_model->columns();
    if (column < 0 || column >= cols.size()) return 0;
    const ListColumn &c = cols[column];
    QStyle *style = m_view->style();

    // The title, bold as the sorted title is.
    QHeaderView *header = m_view->horizontalHeader();
    QFont bold = header->font();
    bold.setBold(true);
    const int headerMargin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int title = QFontMetrics(bold).horizontalAdvance(c.caption) + 2 * headerMargin + 4;

    // The cells: the delegate's margins either side and the grid line.
    const QFontMetrics fm(m_view->font());
    const int cellMargin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) + 3;
    int widest = 0;
    int wholeDigits = 0;
    bool negative = false;
    const int rows = qMin(m_model->rowCount(), MeasuredRows);
    for (int r = 0; r < rows; ++r) {
        const QString text = m_model->text(r, column);
        if (text.isEmpty()) continue;
        widest = qMax(widest, fm.horizontalAdvance(text));
        if (c.isNumber()) {
            Money m;
            if (!numberOf(m_model->raw(r, column), &m)) continue;
            QString s = m.toString();
            if (s.startsWith(QLatin1Char('-'))) {
                negative = true;
                s.remove(0, 1);
            }
            const int point = s.indexOf(QLatin1Char('.'));
            wholeDigits = qMax(wholeDigits, point < 0 ? int(s.size()) : point);
        }
    }
    if (c.isNumber() && rows > 0) widest = qMax(widest, amountWidth(fm, wholeDigits, negative));
    int cells = widest > 0 ? widest + cellMargin : 0;
    if (!c.isNumber() && cells > TextCap) {
        cells = TextCap;
        if (capped) *capped = true;
    }
    return qMax(title, qMax(cells, c.width));
}

void ColumnWidths::fit(bool growOnly)
{
    QSettings s(QStringLiteral("jxc"), QStringLiteral("jxc"));
    if (!growOnly) m_fitted.clear();
    m_setting = true;
    for (int i = 0; i < m_model->columns().size(); ++i) {
        if (m_view->isColumnHidden(i)) continue;
        const int kept = m_keep ? s.value(settingsKey(i)).toInt() : 0;
        int w = kept > 0 ? kept : fittedWidth(i);
        if (kept <= 0) {
            w = qMax(w, m_fitted.value(i));
            m_fitted.insert(i, w);
        }
        m_view->setColumnWidth(i, w);
    }
    m_setting = false;
}

void ColumnWidths::restoreDefaults()
{
    QSettings s(QStringLiteral("jxc"), QStringLiteral("jxc"));
    for (int i = 0; i < m_model->columns().size(); ++i) s.remove(settingsKey(i));
    fit();
}

void ColumnWidths::userResized(int column, int oldSize, int newSize)
{
    // Hiding and showing a column go through a width of nothing; only a
    // width the user gave a shown column is kept.
    if (!m_keep || m_setting || oldSize <= 0 || newSize <= 0 || m_view->isColumnHidden(column)) return;
    if (column < 0 || column >= m_model->columns().size()) return;
    QSettings(QStringLiteral("jxc"), QStringLiteral("jxc")).setValue(settingsKey(column), newSize);
}
