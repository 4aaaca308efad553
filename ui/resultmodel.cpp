#include "resultmodel.h"
#include "data/connection.h"
#include "data/dberror.h"
#include "data/money.h"

#include <QCollator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <vector>

bool numberOf(const QVariant &v, Money *out)
{
    if (!v.isValid() || v.isNull()) return false;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        *out = Money::fromVariant(v);
        return true;
    default: {
        const QString s = v.toString();
        if (s.trimmed().isEmpty()) return false;
        bool ok = false;
        *out = Money::fromString(s, &ok);
        return ok;
    }
    }
}

ResultModel::ResultModel(QObject *parent) : QAbstractTableModel(parent) {}

void ResultModel::setColumns(const QList<ListColumn> &columns)
{
    dropSortRanks();
    beginResetModel();
    m_columns = columns;
    m_rows.clear();
    m_hasMore = false;
    m_lastKey.clear();
    endResetModel();
}

int ResultModel::columnOf(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVector<QVector<QVariant>> ResultModel::read(QSqlDatabase db, const QString &sql, const QVariantList &binds,
                                              QVariantList *lastKey) const
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) throw DbError(q.lastError().text());
    for (int i = 0; i < binds.size(); ++i) q.bindValue(i, binds[i]);
    if (!q.exec()) throw DbError(q.lastError().text());

    const QSqlRecord rec = q.record();
    QVector<int> from(m_columns.size());
    for (int c = 0; c < m_columns.size(); ++c) {
        from[c] = rec.indexOf(m_columns[c].field);
        if (from[c] < 0) throw DbError(QStringLiteral("查询结果中没有字段 ") + m_columns[c].field);
    }
    QVector<int> keyFrom(m_keyFields.size());
    for (int k = 0; k < m_keyFields.size(); ++k) {
        keyFrom[k] = rec.indexOf(m_keyFields[k]);
        if (keyFrom[k] < 0) throw DbError(QStringLiteral("查询结果中没有字段 ") + m_keyFields[k]);
    }
    QVector<QVector<QVariant>> rows;
    QVariantList key;
    while (q.next()) {
        key.clear();
        for (int k : keyFrom) key.append(q.value(k));
        QVector<QVariant> r(m_columns.size());
        for (int c = 0; c < m_columns.size(); ++c) {
            r[c] = q.value(from[c]);
            // An exact sum arrives in ten-thousandths and is kept as its exact text.
            if (m_columns[c].scaled && !r[c].isNull()) r[c] = Money::fromUnits(r[c].toLongLong()).toString();
        }
        rows.append(r);
    }
    if (q.lastError().isValid()) throw DbError(q.lastError().text());
    if (!rows.isEmpty() && lastKey) *lastKey = key;
    return rows;
}

void ResultModel::load(QSqlDatabase db, const QString &sql, const QVariantList &binds)
{
    QVariantList key;
    QVector<QVector<QVariant>> rows = readWithReconnect(db, [&] { return read(db, sql, binds, &key); });
    dropSortRanks();
    beginResetModel();
    m_rows = std::move(rows);
    m_lastKey = key;
    m_hasMore = false;
    endResetModel();
}

int ResultModel::append(QSqlDatabase db, const QString &sql, const QVariantList &binds)
{
    QVariantList key = m_lastKey;
    QVector<QVector<QVariant>> rows = readWithReconnect(db, [&] { return read(db, sql, binds, &key); });
    if (rows.isEmpty()) return 0;
    m_lastKey = key;
    dropSortRanks();
    beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + rows.size() - 1));
    m_rows += rows;
    endInsertRows();
    return int(rows.size());
}

bool ResultModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_hasMore && m_fetch;
}

void ResultModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent)) m_fetch();
}

void ResultModel::clear()
{
    dropSortRanks();
    beginResetModel();
    m_rows.clear();
    m_hasMore = false;
    m_lastKey.clear();
    endResetModel();
}

QVariant ResultModel::raw(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size()) return QVariant();
    return m_rows[row][column];
}

QVariant ResultModel::raw(int row, const QString &field) const
{
    return raw(row, columnOf(field));
}

QString ResultModel::text(int row, int column) const
{
    const QVariant v = raw(row, column);
    if (!v.isValid() || v.isNull()) return QString();
    if (m_columns[column].isNumber()) {
        Money m;
        if (numberOf(v, &m)) return m.toString();
        return v.toString();
    }
    if (v.typeId() == QMetaType::Double) return generalNumber(v.toDouble());
    return v.toString();
}

Money ResultModel::sum(int column, bool *any) const
{
    Money total;
    bool seen = false;
    for (int r = 0; r < m_rows.size(); ++r) {
        Money m;
        if (numberOf(raw(r, column), &m)) {
            total += m;
            seen = true;
        }
    }
    if (any) *any = seen;
    return total;
}

void ResultModel::dropSortRanks()
{
    m_ranks.clear();
}

const QVector<int> &ResultModel::sortRanks(int column) const
{
    auto found = m_ranks.constFind(column);
    if (found != m_ranks.constEnd()) return *found;

    const int n = int(m_rows.size());
    QVector<int> rank(n, 0);   // 0: empty
    if (column < 0 || column >= m_columns.size()) return *m_ranks.insert(column, rank);

    // Numbers by value; the rest by the text the grid shows.
    const bool numberColumn = m_columns[column].isNumber();
    std::vector<qint64> numbers;
    QVector<qint64> numberAt(n);
    QVector<QString> textAt(n);
    std::vector<int> textRows;
    for (int r = 0; r < n; ++r) {
        const QVariant &v = m_rows[r][column];
        if (!v.isValid() || v.isNull()) continue;
        Money m;
        if (numberColumn && numberOf(v, &m)) {
            numberAt[r] = m.units();
            numbers.push_back(m.units());
            rank[r] = 1;
        } else {
            textAt[r] = text(r, column);
            textRows.push_back(r);
            rank[r] = 2;
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());

    // The texts in the order QString::localeAwareCompare gives them, through
    // the collator's keys; texts that collate equal share a place. A row with
    // the text of the row before it (lists come ordered by category, unit, …)
    // shares its key.
    QCollator collator;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(textRows.size());
    QVector<int> keyOf(n, -1);
    int previous = -1;
    for (int r : textRows) {
        if (previous >= 0 && textAt[r] == textAt[previous]) {
            keyOf[r] = keyOf[previous];
        } else {
            keyOf[r] = int(keys.size());
            keys.push_back(collator.sortKey(textAt[r]));
        }
        previous = r;
    }
    auto collates = [&](int a, int b) {
        // An empty text goes first, as localeAwareCompare puts it.
        const bool ea = textAt[a].isEmpty(), eb = textAt[b].isEmpty();
        if (ea || eb) return ea && !eb;
        return keyOf[a] != keyOf[b] && keys[keyOf[a]].compare(keys[keyOf[b]]) < 0;
    };
    std::sort(textRows.begin(), textRows.end(), collates);
    QVector<int> place(n, 0);
    for (int i = 0, p = 0; i < int(textRows.size()); ++i) {
        if (i > 0 && collates(textRows[i - 1], textRows[i])) ++p;
        place[textRows[i]] = p;
    }

    const int firstText = 1 + int(numbers.size());
    for (int r = 0; r < n; ++r) {
        if (rank[r] == 1)
            rank[r] = 1 + int(std::lower_bound(numbers.begin(), numbers.end(), numberAt[r]) - numbers.begin());
        else if (rank[r] == 2)
            rank[r] = firstText + place[r];
    }
    return *m_ranks.insert(column, rank);
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid()) return QVariant();
    const int r = index.row(), c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return text(r, c);
    case Qt::EditRole:
        return raw(r, c);
    case Qt::TextAlignmentRole:
        return int(m_columns[c].alignment());
    case SortRole: {
        const QVariant v = raw(r, c);
        if (!v.isValid() || v.isNull()) return QVariant();
        if (m_columns[c].isNumber()) {
            Money m;
            if (numberOf(v, &m)) return QVariant::fromValue<qlonglong>(m.units());
        }
        return text(r, c);
    }
    default:
        return QVariant();
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return m_columns[section].caption;
    if (role == FieldRole) return m_columns[section].field;
    return QVariant();
}
