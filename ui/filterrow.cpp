#include "filterrow.h"
#include "data/dm.h"
#include "data/globals.h"
#include "picklist.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// "key is one of the IDs of `table` meeting `match`", with the matching IDs
// read first and given as a list of values while they are few. The list
// holds the rows as they are now, so the condition looks them up again
// each time it is run again (lookUp).
SqlCondition lookedUp(const QString &key, const QString &table, const SqlCondition &match)
{
    constexpr int MostIds = 500;
    const auto ids = DM().rows(QStringLiteral("select ID from %1 where %2 order by ID limit %3")
                                   .arg(table, match.sql)
                                   .arg(MostIds + 1),
                               match.binds);
    SqlCondition c;
    if (!ids.isEmpty() && ids.size() <= MostIds) {
        for (const QVariantList &r : ids) c.binds << r.value(0);
        c.sql = SqlCondition::walkable(QStringLiteral("%1 in (%2)").arg(key, placeholders(int(ids.size()))));
    } else {
        c.sql = SqlCondition::walkable(QStringLiteral("%1 in (select ID from %2 where %3)").arg(key, table, match.sql));
        c.binds = match.binds;
    }
    c.lookUp = [key, table, match] { return lookedUp(key, table, match); };
    return c;
}

} // namespace

FilterRow::FilterRow(QWidget *parent, Kind kind, const QString &caption) : QObject(parent), m_kind(kind)
{
    m_box = new QCheckBox(caption, parent);
}

bool FilterRow::isTicked() const
{
    return m_box->isChecked();
}

void FilterRow::tick()
{
    m_box->setChecked(true);
}

FilterRow *FilterRow::contains(QWidget *parent, const QString &caption, const QStringList &fields)
{
    auto *f = new FilterRow(parent, Kind::Contains, caption);
    f->m_fields = fields;
    f->m_line = new QLineEdit(parent);
    f->m_editor = f->m_line;
    connect(f->m_line, &QLineEdit::textEdited, f, &FilterRow::tick);
    return f;
}

FilterRow *FilterRow::containsVia(QWidget *parent, const QString &caption, const QString &key, const QString &table,
                                  const QStringList &fields)
{
    FilterRow *f = contains(parent, caption, fields);
    f->m_viaKey = key;
    f->m_viaTable = table;
    return f;
}

FilterRow *FilterRow::equals(QWidget *parent, const QString &caption, const QString &field,
                             QAbstractItemModel *pick, int pickColumn)
{
    auto *f = new FilterRow(parent, Kind::Equals, caption);
    f->m_fields = QStringList{field};
    // The pick list is shared and re-read whenever another screen fills one of
    // the same dictionary; the filter keeps the choice made here (or none).
    f->m_combo = sharedPickList(parent, QString(), pick, pickColumn);
    f->m_combo->setMinimumWidth(120);
    f->m_editor = f->m_combo;
    connect(f->m_combo, qOverload<int>(&QComboBox::activated), f, &FilterRow::tick);
    f->m_combo->installEventFilter(f);   // opening the list ticks the box too
    return f;
}

FilterRow *FilterRow::equals(QWidget *parent, const QString &caption, const QString &field, const QStringList &items)
{
    auto *f = new FilterRow(parent, Kind::Equals, caption);
    f->m_fields = QStringList{field};
    f->m_combo = new QComboBox(parent);
    f->m_combo->addItems(items);
    f->m_combo->setMinimumWidth(120);
    f->m_combo->setCurrentIndex(-1);
    f->m_editor = f->m_combo;
    connect(f->m_combo, qOverload<int>(&QComboBox::activated), f, &FilterRow::tick);
    f->m_combo->installEventFilter(f);
    return f;
}

FilterRow *FilterRow::dateRange(QWidget *parent, const QString &caption, const QString &field, DateSpan span)
{
    auto *f = new FilterRow(parent, Kind::DateRange, caption);
    f->m_fields = QStringList{field};
    auto *w = new QWidget(parent);
    auto *lay = new QHBoxLayout(w);
    lay->setContentsMargins(0, 0, 0, 0);
    f->m_from = new QDateEdit(w);
    f->m_to = new QDateEdit(w);
    setupDateEdit(f->m_from);
    setupDateEdit(f->m_to);
    lay->addWidget(f->m_from);
    lay->addWidget(new QLabel(QStringLiteral("至："), w));
    lay->addWidget(f->m_to);
    lay->addStretch();
    setDateRange(f->m_from, f->m_to, span);
    f->m_editor = w;
    connect(f->m_from, &QDateEdit::dateChanged, f, &FilterRow::tick);
    connect(f->m_to, &QDateEdit::dateChanged, f, &FilterRow::tick);
    return f;
}

FilterRow *FilterRow::flag(QWidget *parent, const QString &caption, const QString &sql, const QVariantList &binds,
                           const QString &uncheckedSql, const QVariantList &uncheckedBinds)
{
    auto *f = new FilterRow(parent, Kind::Flag, caption);
    f->m_on = SqlCondition{sql, binds};
    f->m_off = SqlCondition{uncheckedSql, uncheckedBinds};
    return f;
}

FilterRow *FilterRow::custom(QWidget *parent, const QString &caption, QWidget *editor, Builder build)
{
    auto *f = new FilterRow(parent, Kind::Custom, caption);
    f->m_editor = editor;
    f->m_build = std::move(build);
    return f;
}

SqlCondition FilterRow::condition() const
{
    if (!isTicked()) return m_kind == Kind::Flag ? m_off : SqlCondition();
    SqlCondition c;
    switch (m_kind) {
    case Kind::Contains: {
        const QString pattern = QLatin1Char('%') + m_line->text() + QLatin1Char('%');
        QStringList parts;
        for (const QString &field : m_fields) {
            parts << DM().likeTerm(field);
            c.binds << pattern;
        }
        c.sql = parts.join(QStringLiteral(" or "));
        if (m_viaKey.isEmpty()) break;
        if (DM().readsLookupsFirst()) {
            c = lookedUp(m_viaKey, m_viaTable, c);
            break;
        }
        c.sql = SqlCondition::walkable(QStringLiteral("%1 in (select ID from %2 where %3)").arg(m_viaKey, m_viaTable, c.sql));
        break;
    }
    case Kind::Equals:
        c.sql = m_fields.value(0) + QStringLiteral(" = ?");
        c.binds << m_combo->currentText();
        break;
    case Kind::DateRange:
        c.sql = m_fields.value(0) + QStringLiteral(" between ? and ?");
        c.binds << m_from->date().toString(QString::fromLatin1(DateFormat))
                << m_to->date().toString(QString::fromLatin1(DateFormat))
                       + (m_timeField ? QStringLiteral(" 23:59:59") : QString());
        break;
    case Kind::Flag:
        c = m_on;
        break;
    case Kind::Custom:
        if (m_build) c = m_build();
        break;
    }
    return c;
}

bool FilterRow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_combo && event->type() == QEvent::MouseButtonPress) tick();
    return QObject::eventFilter(watched, event);
}
