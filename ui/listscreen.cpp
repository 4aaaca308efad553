#include "listscreen.h"
#include "columnwidths.h"
#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/money.h"
#include "data/sqlmoney.h"
#include "exportopen.h"
#include "dialogbuttons.h"
#include "msg.h"
#include "resultmodel.h"
#include "sortheader.h"
#include "taborder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace {
// Rows read at a time by a paged list: a few screenfuls.
constexpr int PageRows = 200;
// Up to this many rows found, a paged list lets the engine find them through
// its filters' indexes and sort them; beyond, it walks the list in its order.
constexpr int SeekRows = 20000;
}

ListScreen::ListScreen(QWidget *parent) : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);

    m_group = new QGroupBox(QStringLiteral("查询条件"), this);
    m_group->setObjectName(QStringLiteral("GroupBox1"));
    auto *groupLay = new QHBoxLayout(m_group);
    m_filterGrid = new QGridLayout;
    groupLay->addLayout(m_filterGrid, 1);
    auto *buttons = m_buttons = new QVBoxLayout;
    m_query = new QPushButton(QStringLiteral("查询"), m_group);
    m_query->setObjectName(QStringLiteral("BitBtn1"));
    m_exit = new QPushButton(QStringLiteral("退出"), m_group);
    m_exit->setObjectName(QStringLiteral("BitBtn2"));
    m_excel = new QPushButton(QStringLiteral("Excel"), m_group);
    m_excel->setObjectName(QStringLiteral("BitBtn3"));
    m_excel->setEnabled(false);
    for (QPushButton *b : {m_query, m_exit, m_excel}) DialogButtons::pressOnEnter(b);
    buttons->addWidget(m_query);
    buttons->addWidget(m_exit);
    buttons->addWidget(m_excel);
    buttons->addStretch();
    groupLay->addLayout(buttons);
    outer->addWidget(m_group);

    // The kept condition, as the screens of old kept it in a hidden label.
    m_whereLabel = new QLabel(this);
    m_whereLabel->setObjectName(QStringLiteral("Lab_where"));
    m_whereLabel->hide();

    m_model = new ResultModel(this);
    m_proxy = new SortProxy(this);
    m_proxy->setSourceModel(m_model);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setModel(m_proxy);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->hide();
    // A selected row would make every title bold; only the sorted title is.
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setToolTip(QStringLiteral("亲，鼠标右键 有惊喜哟！"));
    // Tab leaves the grid instead of walking its cells.
    m_grid->setTabKeyNavigation(false);
    m_grid->setContextMenuPolicy(Qt::NoContextMenu);   // the menu comes with the first query
    attachSortHeader(m_grid, m_proxy);
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    m_sortItem = new QAction(QStringLiteral("按此列排序 &O"), this);
    m_sortItem->setObjectName(QStringLiteral("SortItem"));
    connect(m_sortItem, &QAction::triggered, this, &ListScreen::sortByCurrentColumn);
    m_widthsItem = new QAction(QStringLiteral("恢复默认列宽 &W"), this);
    m_widthsItem->setObjectName(QStringLiteral("WidthsItem"));
    connect(m_widthsItem, &QAction::triggered, this, &ListScreen::restoreColumnWidths);
    m_widths = new ColumnWidths(m_grid, m_model, this);
    // The Menu key and Shift+F10 open the menu at the current cell.
    m_grid->installEventFilter(this);
    m_split = new QSplitter(Qt::Horizontal, this);
    m_split->setChildrenCollapsible(false);
    m_split->addWidget(m_grid);
    outer->addWidget(m_split, 1);

    m_body = new QVBoxLayout;
    outer->addLayout(m_body);

    m_bottom = new QWidget(this);
    auto *bottomLay = new QHBoxLayout(m_bottom);
    bottomLay->setContentsMargins(0, 0, 0, 0);
    bottomLay->setSpacing(24);
    m_count = new QLabel(m_bottom);
    m_count->setObjectName(QStringLiteral("Lab_Count"));
    m_count->hide();
    bottomLay->addWidget(m_count);
    bottomLay->addStretch();
    outer->addWidget(m_bottom);

    connect(m_query, &QPushButton::clicked, this, &ListScreen::BitBtn1Click);
    connect(m_exit, &QPushButton::clicked, this, &ListScreen::closeScreen);
    connect(m_excel, &QPushButton::clicked, this, &ListScreen::BitBtn3Click);
    connect(m_grid, &QWidget::customContextMenuRequested, this, &ListScreen::showPopup);
}

ListScreen::~ListScreen() = default;

// ---- configuration ----

void ListScreen::setColumns(const QList<ListColumn> &columns)
{
    m_proxy->clearSort();
    m_sortField.clear();
    m_model->setColumns(columns);
    m_hiddenInView.clear();
    buildTotals();
    applyColumns();
}

void ListScreen::setQuery(const QString &select, const QString &tail)
{
    m_select = select;
    m_tail = tail;
}

void ListScreen::setBaseCondition(const QString &sql, const QVariantList &binds)
{
    m_base = SqlCondition{sql, binds};
}

void ListScreen::setPaged(bool paged)
{
    if (paged == m_paged) return;
    m_paged = paged;
    m_pageSize = PageRows;
    m_proxy->clearSort();
    m_sortField.clear();
    if (paged) {
        m_proxy->setSorter([this](int column, Qt::SortOrder order) { return sortInStatement(column, order); });
        m_model->setMoreRows([this] { fetchPage(false, true); });
    } else {
        m_proxy->setSorter(nullptr);
        m_model->setMoreRows(nullptr);
        m_model->setKeyFields({});
    }
}

QList<ListScreen::OrderKey> ListScreen::orderKeys() const
{
    QList<OrderKey> keys;
    // A title's field first; the list's own order breaks its ties, as the
    // grid's own sort keeps the order read among equal values.
    if (!m_sortField.isEmpty()) keys << OrderKey{m_sortField, m_sortDesc, true};
    static const QRegularExpression orderBy(QStringLiteral("^order\\s+by\\s+"), QRegularExpression::CaseInsensitiveOption);
    QString tail = m_tail.trimmed();
    tail.remove(orderBy);
    for (const QString &part : tail.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        OrderKey k;
        k.name = selectName(words.value(0));
        k.desc = words.value(1).compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        keys << k;
    }
    return keys;
}

QString ListScreen::selectName(const QString &term) const
{
    // "H.ID" of "H.ID as JHID" is "JHID"; "K.ID" of a list that selects "K.ID" is "ID".
    const int dot = term.indexOf(QLatin1Char('.'));
    if (dot < 0) return term;
    const QRegularExpression as(QStringLiteral("\\b") + QRegularExpression::escape(term) + QStringLiteral("\\s+as\\s+(\\w+)"),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = as.match(m_select);
    return m.hasMatch() ? m.captured(1) : term.mid(dot + 1);
}

namespace {

// The condition "after the row whose keys are `v`" in the order of keys[i..]:
// the first key beyond its value, or equal to it and the rest after theirs.
template <typename Key>
QString afterKeys(const QList<Key> &keys, const QVariantList &v, int i, QVariantList *binds)
{
    const Key &k = keys[i];
    const QString &e = k.name;
    const QString beyond = k.desc ? QStringLiteral("<") : QStringLiteral(">");
    if (i == keys.size() - 1) {
        // The last key is unique and never empty.
        *binds << v[i];
        return e + beyond + QLatin1Char('?');
    }
    if (!k.mayBeEmpty) {
        // A key of the list's own order before the last: checked while the
        // engine walks that order, and written so that no index serves it
        // ("+n", "t||''"). As a range, the engine could seek it in a joined
        // table's index instead and sort all it found there for every page.
        const QString walked = v[i].typeId() == QMetaType::QString ? e + QStringLiteral("||''") : QLatin1Char('+') + e;
        *binds << v[i] << v[i];
        const QString rest = afterKeys(keys, v, i + 1, binds);
        return QStringLiteral("%1%2=? and (%3%2? or (%4))").arg(walked, beyond, e, rest);
    }
    // A title's field may be empty (NULL): empty values come first
    // ascending and last descending.
    if (v[i].isNull()) {
        const QString rest = afterKeys(keys, v, i + 1, binds);
        return k.desc ? QStringLiteral("%1 is null and (%2)").arg(e, rest)
                      : QStringLiteral("%1 is not null or (%2)").arg(e, rest);
    }
    *binds << v[i] << v[i];
    const QString rest = afterKeys(keys, v, i + 1, binds);
    return k.desc ? QStringLiteral("%1<? or %1 is null or (%1=? and (%2))").arg(e, rest)
                  : QStringLiteral("%1>? or (%1=? and (%2))").arg(e, rest);
}

} // namespace

QString ListScreen::pageStatement(const QVariantList &after, int limit, QVariantList *binds) const
{
    const QList<OrderKey> keys = orderKeys();
    QString inner = m_select;
    if (!m_pageWhere.isEmpty()) inner += QStringLiteral(" where ") + m_pageWhere.sql;
    QStringList terms;
    for (const OrderKey &k : keys) {
        QString term = k.name;
        if (k.desc) term += QStringLiteral(" desc");
        if (k.mayBeEmpty) term += k.desc ? QStringLiteral(" nulls last") : QStringLiteral(" nulls first");
        terms << term;
    }
    const QString order = terms.isEmpty() ? QString() : QStringLiteral(" order by ") + terms.join(QStringLiteral(", "));
    // The list's statement as a table of its own, so that the order and the
    // page's condition speak of the names of its select list. The engine
    // merges the two into one statement.
    const QString table = QStringLiteral("(") + inner + QStringLiteral(")");
    *binds = m_pageWhere.binds;
    QString sql = QStringLiteral("select * from ") + table + QStringLiteral(" P");
    // A title's order sorts every row found, whatever the page: only the
    // order's fields and the unique key are sorted, and the page's rows are
    // then read by that key, instead of every column of every row.
    const bool byKey = !m_sortField.isEmpty() && limit > 0 && !keys.isEmpty();
    if (byKey) {
        const QString unique = keys.last().name;
        *binds << m_pageWhere.binds;
        sql += QStringLiteral(" where %1 in (select %1 from %2 Q").arg(unique, table);
    }
    if (!after.isEmpty() && after.size() == keys.size())
        sql += QStringLiteral(" where ") + afterKeys(keys, after, 0, binds);
    if (byKey) sql += order + QStringLiteral(" limit ?)");
    sql += order;
    if (limit > 0) *binds << limit;
    if (limit > 0 && !byKey) sql += QStringLiteral(" limit ?");
    return sql;
}

bool ListScreen::sortInStatement(int column, Qt::SortOrder order)
{
    const QList<ListColumn> &cols = m_model->columns();
    if (column < 0 || column >= cols.size()) return false;
    const QString keptField = m_sortField;
    const bool keptDesc = m_sortDesc;
    m_sortField = cols[column].field;
    m_sortDesc = order == Qt::DescendingOrder;
    if (!m_queried) return true;
    // A new order starts again from its first page.
    if (reload(false, true)) return true;
    m_sortField = keptField;
    m_sortDesc = keptDesc;
    return false;
}

void ListScreen::placeFilterWidget(QWidget *first, QWidget *second)
{
    const int line = m_filterSlots / m_filterColumns;
    const int col = (m_filterSlots % m_filterColumns) * 2;
    if (second) {
        m_filterGrid->addWidget(first, line, col);
        m_filterGrid->addWidget(second, line, col + 1);
    } else {
        m_filterGrid->addWidget(first, line, col, 1, 2);
    }
    ++m_filterSlots;
}

FilterRow *ListScreen::addFilter(FilterRow *row)
{
    row->setParent(this);
    row->box()->setObjectName(QStringLiteral("CheckBox%1").arg(++m_boxNo));
    if (row->lineEdit()) row->lineEdit()->setObjectName(QStringLiteral("Edit%1").arg(++m_editNo));
    if (row->comboBox()) row->comboBox()->setObjectName(QStringLiteral("ComboBox%1").arg(++m_comboNo));
    if (row->dateFrom()) {
        row->dateFrom()->setObjectName(QStringLiteral("DateTimePicker%1").arg(++m_dateNo));
        row->dateTo()->setObjectName(QStringLiteral("DateTimePicker%1").arg(++m_dateNo));
    }
    if (row->editor()) row->editor()->setParent(m_group);
    row->box()->setParent(m_group);
    placeFilterWidget(row->box(), row->editor());
    m_filterInputs << row->box();
    if (row->dateFrom()) m_filterInputs << row->dateFrom() << row->dateTo();
    else if (row->editor()) m_filterInputs << row->editor();
    // Enter in a filter's field runs the query, as "查询" does.
    for (QWidget *w : {static_cast<QWidget *>(row->lineEdit()), static_cast<QWidget *>(row->comboBox()),
                       static_cast<QWidget *>(row->dateFrom()), static_cast<QWidget *>(row->dateTo()), row->editor()})
        if (w) w->installEventFilter(this);
    m_filters << row;
    return row;
}

FilterRow *ListScreen::addTextFilter(const QString &caption, const QStringList &fields)
{
    return addFilter(FilterRow::contains(m_group, caption, fields));
}

FilterRow *ListScreen::addTextFilterVia(const QString &caption, const QString &key, const QString &table,
                                        const QStringList &fields)
{
    return addFilter(FilterRow::containsVia(m_group, caption, key, table, fields));
}

FilterRow *ListScreen::addChoiceFilter(const QString &caption, const QString &field, QAbstractItemModel *pick,
                                       int pickColumn)
{
    return addFilter(FilterRow::equals(m_group, caption, field, pick, pickColumn));
}

FilterRow *ListScreen::addChoiceFilter(const QString &caption, const QString &field, const QStringList &items)
{
    return addFilter(FilterRow::equals(m_group, caption, field, items));
}

FilterRow *ListScreen::addDateFilter(const QString &caption, const QString &field, DateSpan span)
{
    return addFilter(FilterRow::dateRange(m_group, caption, field, span));
}

FilterRow *ListScreen::addFlagFilter(const QString &caption, const QString &sql, const QVariantList &binds,
                                     const QString &uncheckedSql, const QVariantList &uncheckedBinds)
{
    return addFilter(FilterRow::flag(m_group, caption, sql, binds, uncheckedSql, uncheckedBinds));
}

void ListScreen::addFilterWidget(QWidget *widget)
{
    widget->setParent(m_group);
    placeFilterWidget(widget, nullptr);
    m_filterInputs << widget;
}

void ListScreen::setCountLabel(const QString &text)
{
    m_countText = text;
    m_count->setVisible(!text.isEmpty());
    m_count->setText(text);
}

void ListScreen::addButtonWidget(QWidget *widget)
{
    widget->setParent(m_group);
    m_buttons->insertWidget(m_buttons->count() - 1, widget);   // above the stretch
}

void ListScreen::addSideWidget(QWidget *widget)
{
    m_split->addWidget(widget);
    // The grid keeps the larger part.
    m_split->setStretchFactor(0, 3);
    m_split->setStretchFactor(m_split->indexOf(widget), 2);
}

QHBoxLayout *ListScreen::bottomLayout() const { return static_cast<QHBoxLayout *>(m_bottom->layout()); }

void ListScreen::setExport(const QString &titleWord, const QVector<double> &widths, double restWidth)
{
    m_export.titleWord = titleWord;
    m_export.widths = widths;
    m_export.restWidth = restWidth;
}

void ListScreen::buildTotals()
{
    qDeleteAll(m_totalLabels);
    m_totalLabels.clear();
    auto *lay = static_cast<QHBoxLayout *>(m_bottom->layout());
    int at = 1;   // after the count label
    for (const ListColumn &c : m_model->columns()) {
        if (!c.total) continue;
        auto *l = new QLabel(c.sumLabel(), m_bottom);
        l->setObjectName(QStringLiteral("Lab_") + c.field);
        lay->insertWidget(at++, l);
        m_totalLabels.insert(c.field, l);
    }
}

void ListScreen::applyColumns()
{
    const QList<ListColumn> &cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i) {
        const ListColumn &c = cols[i];
        m_grid->setColumnHidden(i, c.hidden || m_hiddenInView.value(c.field));
    }
    m_widths->fit();
}

void ListScreen::setColumnVisible(const QString &field, bool visible)
{
    m_hiddenInView[field] = !visible;
    const int col = m_model->columnOf(field);
    if (col >= 0) m_grid->setColumnHidden(col, !visible || m_model->columns()[col].hidden);
    if (visible) m_widths->fit();
}

void ListScreen::orderTabs()
{
    QList<QWidget *> order = m_filterInputs;
    order << m_query << m_exit << m_excel << m_grid;
    TabOrder::chain(order);
}

bool ListScreen::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_grid) {
        // The menu from the keyboard opens at the current cell and leaves the
        // current row alone (a keyboard context event carries no useful place).
        bool keyboardMenu = false;
        if (e->type() == QEvent::KeyPress) {
            const auto *k = static_cast<QKeyEvent *>(e);
            keyboardMenu = k->key() == Qt::Key_Menu
                           || (k->key() == Qt::Key_F10 && (k->modifiers() & Qt::ShiftModifier));
        } else if (e->type() == QEvent::ContextMenu) {
            keyboardMenu = static_cast<QContextMenuEvent *>(e)->reason() == QContextMenuEvent::Keyboard;
        }
        if (!keyboardMenu) return QWidget::eventFilter(watched, e);
        if (m_menuOn) showPopupAtCurrent();
        return true;
    }
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_query->isEnabled()) {
            // After the key is done with: the query may show a message box.
            QMetaObject::invokeMethod(this, [this] { BitBtn1Click(); }, Qt::QueuedConnection);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void ListScreen::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    orderTabs();
    // The first filter's field (its box when it has none) takes the first keys.
    QWidget *first = m_query;
    for (FilterRow *f : m_filters) {
        if (!f->box()->isVisibleTo(this)) continue;
        first = f->dateFrom() ? f->dateFrom() : f->editor() ? f->editor() : f->box();
        break;
    }
    first->setFocus();
}

// ---- operations ----

SqlCondition ListScreen::composeCondition() const
{
    QList<SqlCondition> parts{m_base};
    for (const FilterRow *f : m_filters) parts << f->condition();
    return SqlCondition::all(parts);
}

void ListScreen::BitBtn1Click()
{
    runQuery(composeCondition());
}

void ListScreen::runQuery(const SqlCondition &where)
{
    m_where = where;
    m_whereLabel->setText(m_where.seeking().sql);
    const bool wasQueried = m_queried;
    m_queried = true;
    if (!reload(false)) {
        m_queried = wasQueried;
        return;
    }
    if (!m_menuOn) {
        m_menuOn = true;
        if (!m_popup->actions().isEmpty()) m_popup->addSeparator();
        m_popup->addAction(m_sortItem);
        m_popup->addAction(m_widthsItem);
        m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
        m_excel->setEnabled(true);
    }
}

bool ListScreen::showWith(const SqlCondition &condition)
{
    m_where = SqlCondition::all({m_base, condition});
    m_whereLabel->setText(m_where.seeking().sql);
    const bool wasQueried = m_queried;
    m_queried = true;
    if (reload(false)) return true;
    m_queried = wasQueried;
    return false;
}

bool ListScreen::Ref()
{
    // After a settlement or a deletion the list shows again as far as it was
    // read, with what the filters looked up in the books looked up again.
    return reload(true, true);
}

bool ListScreen::reload(bool keepRows, bool lookAgain)
{
    if (!m_queried) return false;
    const int keep = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : 0;
    const int keepColumn = m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : -1;
    try {
        if (lookAgain) {
            m_where = m_where.again();
            m_whereLabel->setText(m_where.seeking().sql);
        }
        if (m_paged) {
            // The count comes first: few rows are found through the filter's
            // index and sorted; many are met soon enough walking the list in
            // its own order. A title's order sorts every row found anyway.
            readTotals();
            m_pageWhere = m_found > SeekRows && m_sortField.isEmpty() ? m_where.walking() : m_where.seeking();
            QStringList keyFields;
            for (const OrderKey &k : orderKeys()) keyFields << k.name;
            m_model->setKeyFields(keyFields);
            // Without an order there is no key to go on from: the list is read whole.
            const int limit = keyFields.isEmpty() ? 0 : keepRows ? qMax(m_pageSize, m_model->rowCount()) : m_pageSize;
            QVariantList binds;
            m_lastSql = pageStatement({}, limit, &binds);
            m_model->load(DM().db(), m_lastSql, binds);
            m_model->setHasMore(limit > 0 && m_model->rowCount() == limit);
        } else {
            QString sql = m_select;
            if (!m_where.isEmpty()) sql += QStringLiteral(" where ") + m_where.sql;
            if (!m_tail.isEmpty()) sql += QLatin1Char(' ') + m_tail;
            m_lastSql = sql;
            m_model->load(DM().db(), sql, m_where.binds);
        }
    } catch (const DbError &e) {
        // A paged list shows nothing rather than rows that its labels do not count.
        if (m_paged) m_model->clear();
        Msg::error(this, e.text());
        return false;
    }
    applyColumns();

    const int n = m_model->rowCount();
    if (!m_countText.isEmpty()) m_count->setText(m_countText + QString::number(foundCount()));
    for (const ListColumn &c : m_model->columns())
        if (c.total) m_totalLabels.value(c.field)->setText(c.sumLabel() + totalText(c.field));

    if (n > 0) {
        int firstVisible = 0;
        while (firstVisible < m_proxy->columnCount() - 1 && m_grid->isColumnHidden(firstVisible)) ++firstVisible;
        // The cursor stays in its column (a sort from the menu, a refresh).
        const bool columnShown = keepColumn >= 0 && keepColumn < m_proxy->columnCount() && !m_grid->isColumnHidden(keepColumn);
        m_grid->setCurrentIndex(m_proxy->index(qBound(0, keep, n - 1), columnShown ? keepColumn : firstVisible));
    }
    afterRef();
    emit refreshed();
    return true;
}

void ListScreen::readTotals()
{
    // One statement over the same rows: the count and each total, summed in
    // whole ten-thousandths so that no rounding creeps in.
    QStringList parts{QStringLiteral("count(*)")};
    QStringList fields;
    for (const ListColumn &c : m_model->columns()) {
        if (!c.total || !c.totalMinuend.isEmpty()) continue;
        // A column already in ten-thousandths is summed as it comes.
        parts << (c.scaled ? QStringLiteral("sum(%1)").arg(c.field) : SqlMoney::sumUnits(c.field));
        fields << c.field;
    }
    const SqlCondition where = m_where.seeking();
    QString inner = m_totalsSource ? m_totalsSource(where) : m_select;
    if (!where.isEmpty()) inner += QStringLiteral(" where ") + where.sql;
    m_lastTotalsSql = QStringLiteral("select %1 from (%2) T").arg(parts.join(QLatin1Char(',')), inner);
    const auto r = DM().rows(m_lastTotalsSql, where.binds);
    m_sums.clear();
    m_found = r.isEmpty() ? 0 : r[0][0].toInt();
    QHash<QString, Money> sums;
    QHash<QString, bool> seen;
    for (int i = 0; i < fields.size(); ++i) {
        bool any = false;
        sums.insert(fields[i], r.isEmpty() ? Money() : SqlMoney::fromSum(r[0][i + 1], &any));
        seen.insert(fields[i], any);
    }
    for (const ListColumn &c : m_model->columns()) {
        if (!c.total) continue;
        if (!c.totalMinuend.isEmpty()) {
            sums.insert(c.field, sums.value(c.totalMinuend) - sums.value(c.totalSubtrahend));
            seen.insert(c.field, seen.value(c.totalMinuend));
        }
        m_sums.insert(c.field, seen.value(c.field) ? sums.value(c.field).toString() : QString());
    }
}

int ListScreen::foundCount() const
{
    return m_paged ? m_found : m_model->rowCount();
}

bool ListScreen::fetchPage(bool all, bool fromView)
{
    if (!m_paged || !m_queried || !m_model->hasMore()) return true;
    const int limit = all ? 0 : m_pageSize;
    QVariantList binds;
    const QString sql = pageStatement(m_model->lastKey(), limit, &binds);
    m_lastSql = sql;
    try {
        const int added = m_model->append(DM().db(), sql, binds);
        m_model->setHasMore(!all && added == limit);
    } catch (const DbError &e) {
        if (fromView) {
            // Asked by the grid while it scrolls: told once the scrolling is
            // over, and not asked again until the list is queried anew.
            m_model->setHasMore(false);
            QMetaObject::invokeMethod(this, [this, text = e.text()] { Msg::error(this, text); }, Qt::QueuedConnection);
        } else {
            Msg::error(this, e.text());
        }
        return false;
    }
    return true;
}

bool ListScreen::fetchAll() { return fetchPage(true, false); }

void ListScreen::BitBtn3Click()
{
    if (!m_queried) return;
    if (!fetchAll()) return;
    ExportLayout l = m_export;
    l.shopName = G.ShopName;
    l.columns.clear();
    l.totalCells.clear();
    const QList<ListColumn> &cols = m_model->columns();
    int sheetCol = 1;   // A holds the running number
    for (int i = 0; i < cols.size(); ++i) {
        const ListColumn &c = cols[i];
        if (!c.exported) continue;
        ExportColumn e;
        e.header = c.xlsHeader.isEmpty() ? c.caption : c.xlsHeader;
        e.column = i;
        e.asText = c.xlsText;
        e.number = c.isNumber();
        l.columns << e;
        if (c.total) {
            l.totals = true;
            l.totalCells.insert(sheetCol, totalText(c.field));
        }
        ++sheetCol;
    }
    adjustExport(l);
    m_lastExport = ExportOpen::run(this, l, m_proxy);
}

// ---- state ----

int ListScreen::rowCount() const
{
    return m_model->rowCount();
}

int ListScreen::currentRow() const
{
    const QModelIndex i = m_grid->currentIndex();
    if (!i.isValid()) return -1;
    return m_proxy->mapToSource(i).row();
}

QVariant ListScreen::currentValue(const QString &field) const
{
    const int r = currentRow();
    return r < 0 ? QVariant() : m_model->raw(r, field);
}

QVariant ListScreen::valueAt(int viewRow, const QString &field) const
{
    const int col = m_model->columnOf(field);
    if (col < 0 || viewRow < 0 || viewRow >= m_proxy->rowCount()) return QVariant();
    return m_model->raw(m_proxy->mapToSource(m_proxy->index(viewRow, col)).row(), col);
}

QString ListScreen::totalText(const QString &field) const
{
    QString text;
    if (m_paged) {
        text = m_sums.value(field);
    } else {
        const int col = m_model->columnOf(field);
        if (col < 0) return QString();
        bool any = false;
        const Money sum = m_model->sum(col, &any);
        if (any) text = sum.toString();
    }
    return text.isEmpty() && m_emptyTotalsZero ? QStringLiteral("0") : text;
}

void ListScreen::showPopup(const QPoint &pos)
{
    // The menu acts on the row under the mouse, not on a row chosen earlier.
    const QModelIndex at = m_grid->indexAt(pos);
    if (at.isValid()) m_grid->setCurrentIndex(at);
    openPopup(m_grid->viewport()->mapToGlobal(pos));
}

void ListScreen::showPopupAtCurrent()
{
    const QModelIndex current = m_grid->currentIndex();
    QPoint at;
    if (current.isValid()) {
        m_grid->scrollTo(current);
        at = m_grid->visualRect(current).center();
    }
    openPopup(m_grid->viewport()->mapToGlobal(at));
}

void ListScreen::openPopup(const QPoint &globalPos)
{
    if (m_popup->actions().isEmpty()) return;
    m_popup->popup(globalPos);
    // The first item is lit: Enter chooses it, the arrows go on from it.
    for (QAction *a : m_popup->actions()) {
        if (a->isSeparator() || !a->isVisible() || !a->isEnabled()) continue;
        m_popup->setActiveAction(a);
        break;
    }
}

void ListScreen::sortByCurrentColumn()
{
    int column = m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : -1;
    if (column < 0 || m_grid->isColumnHidden(column)) {
        column = 0;
        while (column < m_proxy->columnCount() - 1 && m_grid->isColumnHidden(column)) ++column;
    }
    m_proxy->clickTitle(column);
}

void ListScreen::restoreColumnWidths()
{
    m_widths->restoreDefaults();
}

void ListScreen::closeScreen()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget())) sub->close();
    else close();
}
