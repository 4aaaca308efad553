#include "sheet.h"
#include "data/money.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

void Builder::set(int row, int column, const QString &text)
{
    if (row < 0 || column < 0 || text.isEmpty()) return;
    if (row >= m_cells.size()) m_cells.resize(row + 1);
    QVector<QString> &r = m_cells[row];
    if (column >= r.size()) r.resize(column + 1);
    r[column] = text;
    m_columns = qMax(m_columns, column + 1);
}

Sheet Builder::take()
{
    Sheet s;
    auto blank = [](const QVector<QString> &r) {
        for (const QString &v : r)
            if (!v.trimmed().isEmpty()) return false;
        return true;
    };
    int first = 0;
    while (first < m_cells.size() && blank(m_cells[first])) ++first;
    int last = int(m_cells.size()) - 1;
    while (last >= first && blank(m_cells[last])) --last;
    if (first > last) return s;

    s.headerRow = first + 1;
    const QVector<QString> &names = m_cells[first];
    for (int c = 0; c < m_columns; ++c) {
        const QString n = c < names.size() ? names[c] : QString();
        // An unnamed column is called by its position, as spreadsheet drivers do.
        s.columns << (n.trimmed().isEmpty() ? QStringLiteral("F%1").arg(c + 1) : n);
    }
    for (int r = first + 1; r <= last; ++r) {
        QStringList values;
        values.reserve(m_columns);
        const QVector<QString> &src = m_cells[r];
        for (int c = 0; c < m_columns; ++c) values << (c < src.size() ? src[c] : QString());
        s.rows << values;
        s.sheetRows << r + 1;
    }
    m_cells.clear();
    m_columns = 0;
    return s;
}

QString numberText(double d)
{
    if (!std::isfinite(d)) return QString();
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

bool read(const QString &file, const QString &sheetName, Sheet *out, QString *error)
{
    const QString where = QDir::toNativeSeparators(file);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("无法打开文件：%1").arg(where);
        return false;
    }
    const QByteArray head = f.read(8);
    f.close();
    Builder cells;
    bool ok = false;
    // An .xlsx file is a zip archive; an .xls file a compound document.
    if (head.startsWith("PK\x03\x04")) {
        ok = readXlsx(file, sheetName, &cells, error);
    } else if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        ok = readXls(file, sheetName, &cells, error);
    } else {
        if (error) *error = QStringLiteral("所选文件不是 Excel 文件（.xls 或 .xlsx）：%1").arg(where);
        return false;
    }
    if (!ok) return false;
    *out = cells.take();
    return true;
}

} // namespace SheetFile
