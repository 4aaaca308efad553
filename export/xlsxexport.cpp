#include "xlsxexport.h"
#include "data/globals.h"
#include "data/money.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

namespace XlsxExport {

namespace {

const char *const BodyFont = "宋体";
// Records between two progress reports.
const int ProgressStep = 500;

// A text that the spreadsheet would turn into a number when typed, and that
// reads back exactly as it was: "12", "-3.5". Leading zeros, exponents and
// trailing zeros keep the text as it stands.
bool plainNumber(const QString &text, Money *value)
{
    // Such a number starts with a digit or "-" and ends with a digit: most
    // texts are refused here, before they are parsed.
    if (text.isEmpty() || !text.back().isDigit()) return false;
    const QChar first = text.front();
    if (!first.isDigit() && first != QLatin1Char('-')) return false;
    bool ok = false;
    const Money m = Money::fromString(text, &ok);
    if (!ok || m.toString() != text) return false;
    *value = m;
    return true;
}

bool isBlank(const QString &s)
{
    for (const QChar c : s)
        if (!c.isSpace()) return false;
    return true;
}

class Writer {
public:
    Writer(lxw_workbook *wb, const ExportLayout &l) : m_wb(wb), m_l(l)
    {
        // Fails when the temporary file of the sheet cannot be made.
        m_ws = workbook_add_worksheet(wb, nullptr);
        if (!m_ws) return;

        m_title = workbook_add_format(wb);
        format_set_font_name(m_title, BodyFont);
        format_set_font_size(m_title, 16);
        format_set_bold(m_title);
        format_set_align(m_title, LXW_ALIGN_CENTER);
        format_set_align(m_title, LXW_ALIGN_VERTICAL_CENTER);

        m_header = body();
        format_set_bold(m_header);
        if (l.blockRows == 0) {
            format_set_align(m_header, LXW_ALIGN_CENTER);
            format_set_align(m_header, LXW_ALIGN_VERTICAL_CENTER);
        }
        m_body = body();
        m_centre = body();
        format_set_align(m_centre, LXW_ALIGN_CENTER);
        m_text = body();
        format_set_num_format_index(m_text, 49);   // "@": text
    }

    bool ok() const { return m_ws != nullptr; }

    lxw_format *body()
    {
        lxw_format *f = workbook_add_format(m_wb);
        format_set_font_name(f, BodyFont);
        format_set_font_size(f, 9);
        format_set_border(f, LXW_BORDER_THIN);
        return f;
    }

    void string(int row, int col, const QString &s, lxw_format *f)
    {
        if (s.isEmpty()) {
            worksheet_write_blank(m_ws, row, col, f);
            return;
        }
        const QByteArray u = s.toUtf8();
        worksheet_write_string(m_ws, row, col, u.constData(), f);
    }

    // A cell of a column that is neither text nor number: as the spreadsheet
    // would take it when typed, but without losing what the text shows.
    void general(int row, int col, const QString &s, lxw_format *f)
    {
        Money m;
        if (plainNumber(s, &m)) worksheet_write_number(m_ws, row, col, m.toDouble(), f);
        else string(row, col, s, f);
    }

    void cell(int row, int col, const QString &s, const ExportColumn &c)
    {
        if (c.asText) {
            string(row, col, s, m_text);
        } else if (c.number) {
            bool ok = false;
            const Money m = Money::fromString(s, &ok);
            if (ok && !isBlank(s)) worksheet_write_number(m_ws, row, col, m.toDouble(), m_body);
            else string(row, col, s, m_body);
        } else {
            general(row, col, s, m_body);
        }
    }

    void run(const QAbstractItemModel *model, const Progress &progress)
    {
        const int lastCol = m_l.columns.size();   // A holds the running number
        const QByteArray title = m_l.title().toUtf8();
        if (lastCol > 0) worksheet_merge_range(m_ws, 0, 0, 0, lastCol, title.constData(), m_title);
        else worksheet_write_string(m_ws, 0, 0, title.constData(), m_title);

        for (int c = 0; c <= lastCol; ++c) {
            const double w = c < m_l.widths.size() ? m_l.widths[c] : m_l.restWidth;
            if (w > 0) {
                worksheet_set_column(m_ws, c, c, w, nullptr);
            } else if (w == 0) {
                lxw_row_col_options hidden = {};
                hidden.hidden = 1;
                worksheet_set_column_opt(m_ws, c, c, 0, nullptr, &hidden);
            }
        }

        // The block between title and header, a row at a time (the sheet is
        // written row after row): every cell bordered, then that row's texts,
        // merged where asked.
        for (int r = 0; r < m_l.blockRows; ++r) {
            const int row = 1 + r;
            for (int c = 0; c <= lastCol; ++c) worksheet_write_blank(m_ws, row, c, m_body);
            for (const ExportBlockCell &b : m_l.block) {
                if (b.row != r) continue;
                lxw_format *f = b.asText ? m_text : m_body;
                if (b.lastCol > b.col) {
                    const QByteArray u = b.value.toUtf8();
                    worksheet_merge_range(m_ws, row, b.col, row, b.lastCol, u.constData(), f);
                } else {
                    string(row, b.col, b.value, f);
                }
            }
        }

        const int headerRow = 1 + m_l.blockRows;
        string(headerRow, 0, QStringLiteral("序号"), m_header);
        for (int i = 0; i < m_l.columns.size(); ++i) string(headerRow, i + 1, m_l.columns[i].header, m_header);

        int row = headerRow + 1;
        const int records = model ? model->rowCount() : 0;
        for (int r = 0; r < records; ++r, ++row) {
            if (progress && r % ProgressStep == 0) progress(r, records);
            worksheet_write_number(m_ws, row, 0, r + 1, m_l.serialCentred ? m_centre : m_body);
            for (int i = 0; i < m_l.columns.size(); ++i) {
                const ExportColumn &c = m_l.columns[i];
                const QString s = c.column >= 0 ? model->index(r, c.column).data(Qt::DisplayRole).toString() : QString();
                cell(row, i + 1, s, c);
            }
        }
        if (progress) progress(records, records);

        if (m_l.totals) {
            string(row, 0, QStringLiteral("合计"), m_l.totalCentred ? m_centre : m_body);
            for (int c = 1; c <= lastCol; ++c) general(row, c, m_l.totalCells.value(c), m_body);
            ++row;
        }

        if (m_l.portrait) worksheet_set_portrait(m_ws);
        else worksheet_set_landscape(m_ws);
        const QByteArray footer = (QStringLiteral("&C") + footerText(m_l)).toUtf8();
        worksheet_set_footer(m_ws, footer.constData());
    }

private:
    lxw_workbook *m_wb;
    const ExportLayout &m_l;
    lxw_worksheet *m_ws = nullptr;
    lxw_format *m_title = nullptr;
    lxw_format *m_header = nullptr;
    lxw_format *m_body = nullptr;
    lxw_format *m_centre = nullptr;
    lxw_format *m_text = nullptr;
};

QString escapedFooter(QString s)
{
    return s.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

QString folder()
{
    return G.AppPath + QStringLiteral("Export/");
}

QString fileName(const QString &dir, const QString &titleWord, const QDateTime &when)
{
    QString word = titleWord;
    for (const QChar c : QStringLiteral("\\/:*?\"<>|"))
        word.replace(c, QLatin1Char('_'));
    if (word.isEmpty()) word = QStringLiteral("Export");
    QString base = dir;
    if (!base.isEmpty() && !base.endsWith(QLatin1Char('/'))) base += QLatin1Char('/');
    base += word + QLatin1Char('_') + when.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString name = base + QStringLiteral(".xlsx");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QLatin1Char('_') + QString::number(n) + QStringLiteral(".xlsx");
    return name;
}

QString footerText(const ExportLayout &layout)
{
    QString s = escapedFooter(layout.footerProduct);
    const QString web = QString::fromUtf8(VendorWebAddress);
    if (!web.isEmpty()) s += QLatin1Char(' ') + escapedFooter(web);
    return s + QStringLiteral(" 共&N页，第&P页");
}

bool write(const QString &path, const ExportLayout &layout, const QAbstractItemModel *model, QString *error,
           const Progress &progress)
{
    const QByteArray file = QFile::encodeName(path);
    // Constant memory: each row goes to a temporary file as soon as the next
    // one starts, so a list of any length takes the memory of one row (a
    // million rows took 1.2 GB held as cells). Rows must therefore be written
    // in order, and strings are stored in their cells rather than shared.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *wb = workbook_new_opt(file.constData(), &options);
    if (!wb) {
        if (error) *error = QStringLiteral("无法创建文件：") + path;
        return false;
    }
    QByteArray title = layout.title().toUtf8();
    lxw_doc_properties props = {};
    props.title = title.data();
    workbook_set_properties(wb, &props);

    Writer writer(wb, layout);
    if (writer.ok()) writer.run(model, progress);

    const lxw_error err = workbook_close(wb);
    if (!writer.ok() || err != LXW_NO_ERROR) {
        if (error)
            *error = writer.ok() ? QString::fromUtf8(lxw_strerror(err)) : QStringLiteral("无法创建临时文件");
        QFile::remove(path);
        return false;
    }
    return true;
}

} // namespace XlsxExport
