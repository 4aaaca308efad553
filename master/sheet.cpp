#include "sheet.h"
#include "data/oplog.h"
#include "data/money.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cmath>

int Sheet::column(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].trimmed() == wanted) return i;
    return -1;
}

QString Sheet::value(int row, int column) const
{
    if (row < 0 || row >= rows.size() || column < 0) return QString();
    const QStringList &r = rows[row];
    return column < r.size() ? r[column] : QString();
}

QStringList Sheet::missing(const QStringList &required) const
{
    QStringList out;
    for (const QString &name : required)
        if (column(name) < 0) out << name;
    return out;
}

namespace SheetFile {

namespace {

bool blank(const QString &text)
{
    for (const QChar c : text)
        if (!c.isSpace()) return false;
    return true;
}

} // namespace

bool Builder::refuse(const QString &why)
{
    if (m_error.isEmpty()) m_error = why;
    return false;
}

bool Builder::countText(qint64 chars)
{
    m_text += chars;
    if (m_text <= MaxTextChars) return true;
    return refuse(QStringLiteral("文件中的文字超过了导入的上限 %1 个字符。").arg(MaxTextChars));
}

bool Builder::countSharedString()
{
    if (++m_sharedStrings <= MaxSharedStrings) return true;
    return refuse(QStringLiteral("文件的文字表超过了导入的上限 %1 条。").arg(MaxSharedStrings));
}

bool Builder::set(int row, int column, const QString &text, bool counted)
{
    if (!m_error.isEmpty()) return false;
    if (row < 0 || column < 0 || blank(text)) return true;
    if (column >= MaxColumns)
        return refuse(QStringLiteral("工作表 %1 的单元格 %2%3 有内容，超过了导入的上限 %4 列（A 到 %5 列）。")
                          .arg(m_sheetName, columnLetters(column))
                          .arg(row + 1)
                          .arg(MaxColumns)
                          .arg(columnLetters(MaxColumns - 1)));
    // The records end where the values end: one far below the first row is
    // refused now, before the rows between could count.
    const int first = m_rows.empty() ? row : qMin(row, m_rows.begin()->first);
    const int last = m_rows.empty() ? row : qMax(row, m_rows.rbegin()->first);
    if (qint64(last) - first > MaxRecords)
        return refuse(QStringLiteral("工作表 %1 的第 %2 行有内容，从第 %3 行的列名往下超过了导入的上限 %4 行。")
                          .arg(m_sheetName)
                          .arg(last + 1)
                          .arg(first + 1)
                          .arg(MaxRecords));
    if (!counted && !countText(text.size())) return false;
    QStringList &r = m_rows[row];
    if (column >= r.size()) {
        m_cells += column + 1 - r.size();
        if (m_cells > MaxCells)
            return refuse(QStringLiteral("工作表 %1 的单元格超过了导入的上限 %2 个。").arg(m_sheetName).arg(MaxCells));
        while (r.size() <= column) r.append(QString());
    }
    r[column] = text;
    m_columns = qMax(m_columns, column + 1);
    return true;
}

bool Builder::take(Sheet *out)
{
    if (!m_error.isEmpty()) return false;
    Sheet s;
    if (!m_rows.empty()) {
        const int first = m_rows.begin()->first;
        const int last = m_rows.rbegin()->first;
        s.headerRow = first + 1;
        const QStringList &names = m_rows.begin()->second;
        for (int c = 0; c < m_columns; ++c) {
            const QString n = c < names.size() ? names[c] : QString();
            // An unnamed column is called by its position, as spreadsheet drivers do.
            s.columns << (n.trimmed().isEmpty() ? QStringLiteral("F%1").arg(c + 1) : n);
        }
        s.rows.reserve(last - first);
        s.sheetRows.reserve(last - first);
        auto it = std::next(m_rows.begin());
        for (int r = first + 1; r <= last; ++r) {
            if (it != m_rows.end() && it->first == r) {
                s.rows << std::move(it->second);
                ++it;
            } else {
                s.rows << QStringList();
            }
            s.sheetRows << r + 1;
        }
    }
    m_rows.clear();
    m_columns = 0;
    m_cells = 0;
    *out = std::move(s);
    return true;
}

Sheet Builder::take()
{
    Sheet s;
    take(&s);
    return s;
}

QString columnLetters(int column)
{
    QString s;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) s.prepend(QChar('A' + (n - 1) % 26));
    return s;
}

QString numberText(double d)
{
    if (!std::isfinite(d)) return QStringLiteral("#NUM!");
    // Whole numbers below 10^15 show all their digits: the quick way to the same text.
    if (std::fabs(d) < 1e15 && d == std::trunc(d)) return QString::number(qint64(d));
    // 15 significant digits, as spreadsheets keep them: 0.1+0.2 shows "0.3".
    return generalNumber(d);
}

QString serialDateText(double serial, bool withTime)
{
    const qint64 days = qint64(std::floor(serial));
    const QDate date = QDate(1899, 12, 30).addDays(days);
    if (!withTime) return date.toString(QStringLiteral("yyyy-MM-dd"));
    const qint64 seconds = qint64(std::llround((serial - double(days)) * 86400.0));
    return QDateTime(date, QTime(0, 0)).addSecs(seconds).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

namespace {

DateKind builtInFormat(int id)
{
    // Built-in formats: 14-17 and 22 dates, 18-21 and 45-47 times; 27-36 and
    // 50-58 the dates of the East Asian versions.
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58)) return {true, false};
    if (id == 22) return {true, true};
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return {true, true};
    return {};
}

DateKind customFormat(const QString &code)
{
    // Letters inside quotes, after a backslash or in brackets (colours, locales) are shown as they are.
    QString plain;
    bool quoted = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"')) quoted = !quoted;
        else if (quoted) continue;
        else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) ++i;
        else if (c == QLatin1Char('[')) {
            const int close = code.indexOf(QLatin1Char(']'), i);
            if (close < 0) break;
            i = close;
        } else plain += c.toLower();
    }
    if (plain == QLatin1String("general")) return {};
    DateKind k;
    k.date = plain.contains(QLatin1Char('y')) || plain.contains(QLatin1Char('d')) || plain.contains(QLatin1Char('m'));
    k.time = plain.contains(QLatin1Char('h')) || plain.contains(QLatin1Char('s'));
    k.date = k.date || k.time;
    return k;
}

} // namespace

void DateKinds::addFormat(int id, const QString &code)
{
    m_codes.insert(id, code);
    m_kinds.remove(id);
}

DateKind DateKinds::of(int id)
{
    const auto known = m_kinds.constFind(id);
    if (known != m_kinds.constEnd()) return known.value();
    const auto code = m_codes.constFind(id);
    const DateKind k = code != m_codes.constEnd() ? customFormat(code.value()) : builtInFormat(id);
    m_kinds.insert(id, k);
    return k;
}

QString numberCellText(double d, const DateKind &kind, bool date1904)
{
    // A date far outside the calendar is no date the sheet could show.
    if (kind.date && std::isfinite(d) && std::fabs(d) < 3e6) return serialDateText(date1904 ? d + 1462 : d, kind.time);
    return numberText(d);
}

bool read(const QString &file, const QString &sheetName, Sheet *out, QString *error)
{
    const QString where = QDir::toNativeSeparators(file);
    auto fail = [&](const QString &why) {
        if (error) *error = QStringLiteral("无法读取 Excel 文件：%1\n%2").arg(where, why);
        return false;
    };
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("无法打开文件：%1").arg(where);
        return false;
    }
    const QByteArray head = f.read(8);
    f.close();
    Builder cells(sheetName);
    QString why;
    bool ok = false;
    // An .xlsx file is a zip archive; an .xls file a compound document.
    if (head.startsWith("PK\x03\x04")) {
        ok = readXlsx(file, sheetName, &cells, &why);
    } else if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        ok = readXls(file, sheetName, &cells, &why);
    } else {
        if (error) *error = QStringLiteral("所选文件不是 Excel 文件（.xls 或 .xlsx）：%1").arg(where);
        return false;
    }
    Sheet s;
    if (!ok || !cells.take(&s)) return fail(cells.error().isEmpty() ? why : cells.error());
    s.source = OpLog::fileMark(file);
    *out = std::move(s);
    return true;
}

} // namespace SheetFile
