// Reading one sheet of an .xls workbook (Excel 97 to 2003, BIFF8): the
// workbook stream is taken out of the compound document, its records are read
// in order, and only the cells that hold values are kept. Every length is
// checked against the record it lies in; a record that does not hold what its
// kind needs refuses the file.
#include "compounddoc.h"
#include "sheet.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QtEndian>

#include <cstring>

namespace SheetFile {

namespace {

enum RecordType : quint16 {
    Formula = 0x0006,
    Array = 0x0221,
    Table = 0x0236,
    SharedFormula = 0x04BC,
    Eof = 0x000A,
    DateMode = 0x0022,
    FilePass = 0x002F,
    Continue = 0x003C,
    BoundSheet = 0x0085,
    MulRk = 0x00BD,
    RString = 0x00D6,
    Xf = 0x00E0,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Rk = 0x027E,
    Format = 0x041E,
    Bof = 0x0809,
};

const quint16 Biff8 = 0x0600;

QString tooOldText()
{
    return QStringLiteral("这是 Excel 95 或更早版本的文件，不能直接导入。请先在 Excel 中另存为“Excel 97-2003 工作簿”或 .xlsx 文件。");
}

struct Record {
    quint16 type = 0;
    QByteArrayView data;
    qint64 at = 0;    // where it starts in the stream
};

// The records of the workbook stream, one after the other.
class Records {
public:
    explicit Records(const QByteArray &stream) : m_stream(stream) {}
    void seek(qint64 at) { m_pos = at; }
    // The next record; false at the end of the stream or when it is cut off.
    bool next(Record *r)
    {
        if (m_pos + 4 > m_stream.size()) return false;
        const char *p = m_stream.constData() + m_pos;
        const quint16 size = qFromLittleEndian<quint16>(p + 2);
        if (m_pos + 4 + size > m_stream.size()) return false;
        r->type = qFromLittleEndian<quint16>(p);
        r->data = QByteArrayView(p + 4, size);
        r->at = m_pos;
        m_pos += 4 + size;
        return true;
    }
    // The record after the current one, without moving past it.
    bool peek(Record *r)
    {
        const qint64 keep = m_pos;
        const bool ok = next(r);
        m_pos = keep;
        return ok;
    }
private:
    const QByteArray &m_stream;
    qint64 m_pos = 0;
};

// A record and the CONTINUE records after it read as one run of bytes. A text
// that goes on in the next piece starts it with a new byte of its flags.
class Pieces {
public:
    explicit Pieces(QByteArrayView first) { m_pieces << first; }
    // Takes the CONTINUE records that follow.
    void gather(Records &records)
    {
        Record r;
        while (records.peek(&r) && r.type == Continue) {
            records.next(&r);
            m_pieces << r.data;
        }
    }
    bool bytes(int n, QByteArray *out = nullptr)
    {
        while (n > 0) {
            if (!nextPieceIfAtEnd()) return false;
            const int take = qMin(n, int(m_pieces[m_piece].size()) - m_pos);
            if (out) out->append(m_pieces[m_piece].data() + m_pos, take);
            m_pos += take;
            n -= take;
        }
        return true;
    }
    bool u8(quint8 *v)
    {
        QByteArray b;
        if (!bytes(1, &b)) return false;
        *v = quint8(b[0]);
        return true;
    }
    bool u16(quint16 *v)
    {
        QByteArray b;
        if (!bytes(2, &b)) return false;
        *v = qFromLittleEndian<quint16>(b.constData());
        return true;
    }
    bool u32(quint32 *v)
    {
        QByteArray b;
        if (!bytes(4, &b)) return false;
        *v = qFromLittleEndian<quint32>(b.constData());
        return true;
    }
    // `count` characters, one byte each (the high byte zero) or two as flagged.
    bool chars(int count, bool twoBytes, QString *out)
    {
        out->reserve(count);
        while (count > 0) {
            if (m_pos >= m_pieces[m_piece].size()) {
                if (m_piece + 1 >= m_pieces.size()) return false;
                ++m_piece;
                m_pos = 0;
                quint8 flags = 0;
                if (!u8(&flags)) return false;
                twoBytes = flags & 1;
            }
            const QByteArrayView piece = m_pieces[m_piece];
            const int available = int(piece.size() - m_pos) / (twoBytes ? 2 : 1);
            const int take = qMin(count, available);
            if (take == 0) return false;
            const char *p = piece.data() + m_pos;
            if (twoBytes) {
                for (int i = 0; i < take; ++i) out->append(QChar(qFromLittleEndian<quint16>(p + 2 * i)));
            } else {
                out->append(QLatin1String(p, take));
            }
            m_pos += take * (twoBytes ? 2 : 1);
            count -= take;
        }
        return true;
    }
    // A text with a 16-bit count of characters (cells, formats, formula results).
    bool text(QString *out)
    {
        quint16 count = 0;
        quint8 flags = 0;
        return u16(&count) && u8(&flags) && chars(count, flags & 1, out);
    }
    // An entry of the table of texts: count, flags, runs of formatting and phonetic data after the characters.
    bool richText(QString *out)
    {
        quint16 count = 0, runs = 0;
        quint8 flags = 0;
        quint32 extra = 0;
        if (!u16(&count) || !u8(&flags)) return false;
        if ((flags & 0x08) && !u16(&runs)) return false;
        if ((flags & 0x04) && !u32(&extra)) return false;
        if (extra > 0x7FFFFFFF) return false;
        return chars(count, flags & 1, out) && bytes(4 * runs) && bytes(int(extra));
    }

private:
    bool nextPieceIfAtEnd()
    {
        while (m_pos >= m_pieces[m_piece].size()) {
            if (m_piece + 1 >= m_pieces.size()) return false;
            ++m_piece;
            m_pos = 0;
        }
        return true;
    }

    QVector<QByteArrayView> m_pieces;
    int m_piece = 0;
    int m_pos = 0;
};

quint16 u16(QByteArrayView d, int at) { return qFromLittleEndian<quint16>(d.data() + at); }
quint32 u32(QByteArrayView d, int at) { return qFromLittleEndian<quint32>(d.data() + at); }
double f64(QByteArrayView d, int at) { return qFromLittleEndian<double>(d.data() + at); }

// A number packed into 32 bits: an integer of 30 bits or the high 30 bits of a
// double, either perhaps a hundredth.
double rkValue(quint32 rk)
{
    double d = 0;
    if (rk & 2) {
        d = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&d, &bits, sizeof d);
    }
    return (rk & 1) ? d / 100.0 : d;
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2A: return QStringLiteral("#N/A");
    default: return QStringLiteral("#N/A");
    }
}

struct SheetEntry {
    QString name;
    quint32 at = 0;
};

// What the workbook part of the stream gives: the sheets, the table of texts,
// the cell formats and the date system.
struct Globals {
    QVector<SheetEntry> sheets;
    QStringList shared;
    DateKinds formats;
    QVector<quint16> xfFormats;
    bool date1904 = false;
};

class XlsReader {
public:
    XlsReader(const QByteArray &stream, Builder *cells) : m_records(stream), m_cells(cells), m_size(stream.size()) {}

    bool readGlobals(QString *why);
    bool readSheet(const QString &sheetName, QString *why);

private:
    bool damaged(QString *why, const QString &what)
    {
        *why = m_cells->error().isEmpty() ? QStringLiteral("工作簿已损坏：%1。").arg(what) : m_cells->error();
        return false;
    }
    DateKind kindOf(quint16 xf)
    {
        return xf < m_globals.xfFormats.size() ? m_globals.formats.of(m_globals.xfFormats[xf]) : DateKind();
    }
    QString number(double d, quint16 xf) { return numberCellText(d, kindOf(xf), m_globals.date1904); }

    Records m_records;
    Builder *m_cells;
    qint64 m_size;
    Globals m_globals;
};

bool XlsReader::readGlobals(QString *why)
{
    Record r;
    if (!m_records.next(&r) || r.type != Bof || r.data.size() < 4) return damaged(why, QStringLiteral("没有开头记录"));
    if (u16(r.data, 0) != Biff8) {
        *why = tooOldText();
        return false;
    }
    while (m_records.next(&r)) {
        switch (r.type) {
        case Eof: return true;
        case FilePass:
            *why = QStringLiteral("文件有密码保护。");
            return false;
        case DateMode:
            if (r.data.size() >= 2) m_globals.date1904 = u16(r.data, 0) == 1;
            break;
        case BoundSheet: {
            if (r.data.size() < 8) return damaged(why, QStringLiteral("工作表记录太短"));
            SheetEntry s;
            s.at = u32(r.data, 0);
            Pieces p(r.data.sliced(6));
            quint8 count = 0, flags = 0;
            if (!p.u8(&count) || !p.u8(&flags) || !p.chars(count, flags & 1, &s.name))
                return damaged(why, QStringLiteral("工作表名称有误"));
            if (r.data.at(5) == 0) m_globals.sheets << s; // worksheets only, not charts or macros
            break;
        }
        case Format: {
            if (r.data.size() < 2) return damaged(why, QStringLiteral("格式记录太短"));
            Pieces p(r.data.sliced(2));
            QString code;
            if (!p.text(&code)) return damaged(why, QStringLiteral("格式记录有误"));
            if (!m_cells->countText(code.size())) return damaged(why, QString());
            m_globals.formats.addFormat(u16(r.data, 0), code);
            break;
        }
        case Xf:
            if (r.data.size() < 4) return damaged(why, QStringLiteral("单元格格式记录太短"));
            m_globals.xfFormats << u16(r.data, 2);
            break;
        case Sst: {
            if (r.data.size() < 8) return damaged(why, QStringLiteral("文字表记录太短"));
            const quint32 count = u32(r.data, 4);
            if (count > quint32(MaxSharedStrings)) {
                *why = QStringLiteral("文件的文字表超过了导入的上限 %1 条。").arg(MaxSharedStrings);
                return false;
            }
            Pieces p(r.data.sliced(8));
            p.gather(m_records);
            m_globals.shared.reserve(int(qMin<qint64>(count, r.data.size())));
            for (quint32 i = 0; i < count; ++i) {
                QString s;
                if (!p.richText(&s)) return damaged(why, QStringLiteral("文字表的第 %1 条有误").arg(i + 1));
                if (!m_cells->countSharedString() || !m_cells->countText(s.size())) return damaged(why, QString());
                m_globals.shared << s;
            }
            break;
        }
        default: break;
        }
    }
    return damaged(why, QStringLiteral("工作簿部分没有结尾"));
}

bool XlsReader::readSheet(const QString &sheetName, QString *why)
{
    const SheetEntry *sheet = nullptr;
    for (const SheetEntry &s : m_globals.sheets)
        if (s.name.compare(sheetName, Qt::CaseInsensitive) == 0) {
            sheet = &s;
            break;
        }
    if (!sheet) {
        *why = QStringLiteral("文件中没有名为 %1 的工作表。").arg(sheetName);
        return false;
    }
    if (sheet->at >= m_size) return damaged(why, QStringLiteral("工作表 %1 的位置有误").arg(sheetName));
    m_records.seek(sheet->at);
    Record r;
    if (!m_records.next(&r) || r.type != Bof) return damaged(why, QStringLiteral("工作表 %1 没有开头记录").arg(sheetName));

    auto set = [&](int row, int column, const QString &text, bool counted = false) {
        return m_cells->set(row, column, text, counted);
    };
    int depth = 1; // charts inside the sheet have their own beginning and end
    while (m_records.next(&r)) {
        if (r.type == Bof) {
            ++depth;
            continue;
        }
        if (r.type == Eof) {
            if (--depth == 0) return true;
            continue;
        }
        if (depth != 1) continue;
        const QByteArrayView d = r.data;
        auto tooShort = [&](int n) { return d.size() < n; };
        switch (r.type) {
        case Number:
            if (tooShort(14)) return damaged(why, QStringLiteral("数值单元格记录太短"));
            if (!set(u16(d, 0), u16(d, 2), number(f64(d, 6), u16(d, 4)))) return damaged(why, QString());
            break;
        case Rk:
            if (tooShort(10)) return damaged(why, QStringLiteral("数值单元格记录太短"));
            if (!set(u16(d, 0), u16(d, 2), number(rkValue(u32(d, 6)), u16(d, 4)))) return damaged(why, QString());
            break;
        case MulRk: {
            if (tooShort(6)) return damaged(why, QStringLiteral("数值单元格记录太短"));
            const int row = u16(d, 0), first = u16(d, 2);
            const int n = int((d.size() - 6) / 6);
            for (int i = 0; i < n; ++i)
                if (!set(row, first + i, number(rkValue(u32(d, 4 + 6 * i + 2)), u16(d, 4 + 6 * i))))
                    return damaged(why, QString());
            break;
        }
        case LabelSst: {
            if (tooShort(10)) return damaged(why, QStringLiteral("文字单元格记录太短"));
            const quint32 i = u32(d, 6);
            if (i >= quint32(m_globals.shared.size()))
                return damaged(why, QStringLiteral("单元格 %1%2 引用的第 %3 条文字在文字表中不存在")
                                        .arg(columnLetters(u16(d, 2)))
                                        .arg(u16(d, 0) + 1)
                                        .arg(i));
            if (!set(u16(d, 0), u16(d, 2), m_globals.shared[int(i)], true)) return damaged(why, QString());
            break;
        }
        case Label:
        case RString: {
            if (tooShort(9)) return damaged(why, QStringLiteral("文字单元格记录太短"));
            Pieces p(d.sliced(6));
            p.gather(m_records);
            QString text;
            if (!p.text(&text)) return damaged(why, QStringLiteral("文字单元格有误"));
            if (!set(u16(d, 0), u16(d, 2), text)) return damaged(why, QString());
            break;
        }
        case BoolErr:
            if (tooShort(8)) return damaged(why, QStringLiteral("逻辑值单元格记录太短"));
            if (!set(u16(d, 0), u16(d, 2),
                     d.at(7) ? errorText(quint8(d.at(6))) : (d.at(6) ? QStringLiteral("TRUE") : QStringLiteral("FALSE"))))
                return damaged(why, QString());
            break;
        case Formula: {
            // The value the formula gave when the sheet was saved.
            if (tooShort(20)) return damaged(why, QStringLiteral("公式单元格记录太短"));
            const int row = u16(d, 0), column = u16(d, 2);
            QString text;
            if (u16(d, 12) != 0xFFFF) {
                text = number(f64(d, 6), u16(d, 4));
            } else if (d.at(6) == 0) {
                // A text: in the STRING record after the formula's own records.
                Record s;
                while (m_records.peek(&s) && (s.type == SharedFormula || s.type == Array || s.type == Table))
                    m_records.next(&s);
                if (m_records.peek(&s) && s.type == String) {
                    m_records.next(&s);
                    Pieces p(s.data);
                    p.gather(m_records);
                    if (!p.text(&text)) return damaged(why, QStringLiteral("公式的文字结果有误"));
                }
            } else if (d.at(6) == 1) {
                text = d.at(8) ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (d.at(6) == 2) {
                text = errorText(quint8(d.at(8)));
            }
            if (!set(row, column, text)) return damaged(why, QString());
            break;
        }
        default: break;
        }
    }
    return damaged(why, QStringLiteral("工作表 %1 没有结尾").arg(sheetName));
}

} // namespace

bool readXls(const QString &file, const QString &sheetName, Builder *cells, QString *why)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("无法打开文件。");
        return false;
    }
    // The file is mapped, not read: only the sectors of the workbook stream are touched.
    const qint64 size = f.size();
    uchar *mapped = size > 0 ? f.map(0, size) : nullptr;
    if (!mapped) {
        *why = QStringLiteral("无法读取文件。");
        return false;
    }
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), qsizetype(size));
    QByteArray stream;
    QString problem;
    CompoundDoc::Result got = CompoundDoc::readStream(bytes, QStringLiteral("Workbook"), MaxPartBytes, &stream, &problem);
    if (got == CompoundDoc::Result::Missing) {
        QByteArray old;
        if (CompoundDoc::readStream(bytes, QStringLiteral("Book"), MaxPartBytes, &old, &problem) == CompoundDoc::Result::Ok) {
            *why = tooOldText();
            return false;
        }
    }
    switch (got) {
    case CompoundDoc::Result::Ok: break;
    case CompoundDoc::Result::Missing: *why = QStringLiteral("文件中没有工作簿数据（Workbook）。"); return false;
    case CompoundDoc::Result::TooLarge:
        *why = QStringLiteral("工作簿数据（Workbook）超过了导入的上限 %1 MB。").arg(MaxPartBytes / (1024 * 1024));
        return false;
    case CompoundDoc::Result::Damaged: *why = QStringLiteral("文件已损坏：%1。").arg(problem); return false;
    }
    XlsReader reader(stream, cells);
    return reader.readGlobals(why) && reader.readSheet(sheetName, why);
}

} // namespace SheetFile
