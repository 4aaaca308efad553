// Reading one sheet of an .xlsx workbook (Office Open XML): the archive is
// opened with libzip, its parts are unpacked as Qt's XML stream reader reads
// them, never whole in memory. A part that is damaged (bad XML, a failed
// checksum, data that does not unpack) refuses the whole file, named.
#include "sheet.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>

#include <cmath>
#include <cstring>
#include <memory>

#include <zip.h>

namespace SheetFile {

namespace {

const char *const RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
// No text of a cell comes near this (a cell holds 32 767 characters); a longer
// stretch without markup, a longer piece of the XML (a comment, a CDATA
// section, a processing instruction) or a longer text of an element is no part
// of a workbook.
const qint64 MaxRunBytes = 1024 * 1024;
// Parts of a workbook nest a few elements deep.
const int MaxDepth = 64;
// A workbook has at most 64 000 cell formats.
const int MaxCellFormats = 65536;

QString unpackLimitText()
{
    return QStringLiteral("解压后的内容超过了导入的上限 %1 MB。").arg(MaxPartBytes / (1024 * 1024));
}

QString zipProblem(zip_error_t *e)
{
    switch (zip_error_code_zip(e)) {
    case ZIP_ER_CRC: return QStringLiteral("CRC 校验不符");
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_EOF:
    case ZIP_ER_INCONS: return QStringLiteral("压缩的数据无法解开");
    case ZIP_ER_COMPNOTSUPP: return QStringLiteral("压缩方式不受支持");
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD: return QStringLiteral("有密码保护");
    default: return QStringLiteral("无法读取（%1）").arg(QString::fromLocal8Bit(zip_error_strerror(e)));
    }
}

// One part of the archive, unpacked as it is read. It stops with a problem when
// the part holds more than the unpacked budget of the file allows, a stretch
// of more than MaxRunBytes without a '<', or more than MaxRunBytes unpacked
// since the XML reader gave its last piece: the reader holds a piece whole
// until its end, and a comment or CDATA section may hold '<' throughout.
class PartDevice : public QIODevice {
public:
    PartDevice(zip_file_t *f, qint64 *budget) : m_file(f), m_budget(budget) { open(ReadOnly | Unbuffered); }
    ~PartDevice() override { zip_fclose(m_file); }
    bool isSequential() const override { return true; }
    const QString &problem() const { return m_problem; }
    // The XML reader gave a piece: what it holds of the data starts anew.
    void pieceRead() { m_sincePiece = 0; }
    // Reads the rest, so that a damaged part tells its damage (the checksum is
    // checked at its end) rather than the fault of its content that came of it.
    void drain()
    {
        char buffer[16384];
        while (readData(buffer, sizeof buffer) > 0) {
        }
    }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (!m_problem.isEmpty() || m_end) return -1;
        const zip_int64_t got = zip_fread(m_file, data, zip_uint64_t(max));
        if (got < 0) {
            m_problem = QStringLiteral("数据已损坏（%1）。").arg(zipProblem(zip_file_get_error(m_file)));
            return -1;
        }
        if (got == 0) {
            m_end = true;
            return -1;
        }
        *m_budget -= got;
        if (*m_budget < 0) {
            m_problem = unpackLimitText();
            return -1;
        }
        for (const char *p = data, *end = data + got; p < end;) {
            const char *mark = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)));
            if (!mark) {
                m_run += end - p;
                break;
            }
            m_run = 0;
            p = mark + 1;
        }
        if (m_run > MaxRunBytes) {
            m_problem = QStringLiteral("内容有误：有一段没有标记的内容超过 %1 KB。").arg(MaxRunBytes / 1024);
            return -1;
        }
        m_sincePiece += got;
        if (m_sincePiece > MaxRunBytes) {
            m_problem = QStringLiteral("内容有误：有一段内容超过 %1 KB 仍未结束。").arg(MaxRunBytes / 1024);
            return -1;
        }
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    zip_file_t *m_file;
    qint64 *m_budget;
    qint64 m_run = 0;
    qint64 m_sincePiece = 0;
    bool m_end = false;
    QString m_problem;
};

class Archive {
public:
    explicit Archive(const QString &file)
    {
        int err = 0;
        m_zip = zip_open(QFile::encodeName(file).constData(), ZIP_RDONLY, &err);
    }
    ~Archive()
    {
        if (m_zip) zip_discard(m_zip);
    }
    bool isOpen() const { return m_zip != nullptr; }

    // A part by its name (letter case ignored), to read once. Null when the part
    // is missing (*why stays empty) or cannot be opened (*why tells why).
    std::unique_ptr<PartDevice> open(const QString &name, QString *why)
    {
        const QByteArray n = name.toUtf8();
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(m_zip, n.constData(), ZIP_FL_NOCASE, &st) != 0) return nullptr;
        // What the archive says of the unpacked size is checked first; what unpacks is counted as well.
        if ((st.valid & ZIP_STAT_SIZE) && st.size > zip_uint64_t(qMax<qint64>(m_budget, 0))) {
            *why = unpackLimitText();
            return nullptr;
        }
        zip_file_t *f = zip_fopen(m_zip, n.constData(), ZIP_FL_NOCASE);
        if (!f) {
            *why = QStringLiteral("无法打开（%1）。").arg(zipProblem(zip_get_error(m_zip)));
            return nullptr;
        }
        return std::make_unique<PartDevice>(f, &m_budget);
    }

private:
    zip_t *m_zip = nullptr;
    qint64 m_budget = MaxPartBytes; // unpacked bytes left for all parts read
};

// Reads one part's XML, keeping what the XML reader itself does not check: the
// depth of nesting, no document type declaration. Every refusal names the part.
class Part {
public:
    Part(Archive &zip, const QString &name) : m_name(name)
    {
        m_device = zip.open(name, &m_openProblem);
        if (m_device) x.setDevice(m_device.get());
    }
    bool missing() const { return !m_device && m_openProblem.isEmpty(); }
    const QString &name() const { return m_name; }

    // The next token; false at the end of the part or on a fault.
    bool next()
    {
        if (!m_device || !m_fault.isEmpty()) return false;
        if (x.atEnd()) return false;
        x.readNext();
        m_device->pieceRead();
        switch (x.tokenType()) {
        case QXmlStreamReader::StartElement:
            if (++m_depth > MaxDepth) return fault(QStringLiteral("内容有误：元素嵌套超过 %1 层。").arg(MaxDepth));
            break;
        case QXmlStreamReader::EndElement: --m_depth; break;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return fault(QStringLiteral("内容有误：含有文档类型定义。"));
        case QXmlStreamReader::Invalid: return false;
        default: break;
        }
        return true;
    }
    // Passes over the element just started, with everything in it.
    void skip()
    {
        const int depth = m_depth;
        while (m_depth >= depth && next()) {
        }
    }
    // The text of the element just started; an element inside it is a fault.
    QString text()
    {
        const QString element = x.name().toString();
        QString t;
        while (next()) {
            if (x.isCharacters()) {
                // Pieces of text between comments add up: the whole is held to the same length.
                if (t.size() + x.text().size() > MaxRunBytes) {
                    fault(QStringLiteral("内容有误：元素 %1 的文字超过 %2 KB。").arg(element).arg(MaxRunBytes / 1024));
                    break;
                }
                t += x.text();
            } else if (x.isEndElement()) break;
            else if (x.isStartElement()) {
                fault(QStringLiteral("内容有误：元素 %1 里不应有元素 %2。").arg(element, x.name().toString()));
                break;
            }
        }
        return t;
    }
    bool isStart(const char *name) const { return x.isStartElement() && x.name() == QLatin1String(name); }
    bool isEnd(const char *name) const { return x.isEndElement() && x.name() == QLatin1String(name); }
    QString attribute(const char *name) const { return x.attributes().value(QLatin1String(name)).toString(); }

    // Stops the reading with a fault of the content, told with the part's name.
    bool fault(const QString &why)
    {
        if (m_fault.isEmpty()) m_fault = why;
        return false;
    }
    // After the reading: false with the fault in *why, naming the part.
    bool finished(QString *why) const
    {
        if (m_device && m_device->problem().isEmpty() && m_fault.isEmpty() && x.hasError()) m_device->drain();
        QString problem = m_openProblem;
        if (problem.isEmpty() && m_device && !m_device->problem().isEmpty()) problem = m_device->problem();
        if (problem.isEmpty()) problem = m_fault;
        if (problem.isEmpty() && m_device && x.hasError())
            problem = QStringLiteral("XML 内容有误：%1（第 %2 行第 %3 列）。")
                          .arg(x.errorString())
                          .arg(x.lineNumber())
                          .arg(x.columnNumber());
        if (problem.isEmpty()) return true;
        *why = QStringLiteral("%1：%2").arg(m_name, problem);
        return false;
    }

    QXmlStreamReader x;

private:
    QString m_name;
    std::unique_ptr<PartDevice> m_device;
    QString m_openProblem;
    QString m_fault;
    int m_depth = 0;
};

// "worksheets/sheet1.xml" relative to "xl/", or "/xl/worksheets/sheet1.xml".
QString resolve(const QString &base, const QString &target)
{
    if (target.startsWith(QLatin1Char('/'))) return target.mid(1);
    return QDir::cleanPath(base + QLatin1Char('/') + target);
}

// Relationship id -> target part, and type suffix -> target part.
struct Relations {
    QHash<QString, QString> byId;
    QHash<QString, QString> byType;
};

bool readRelations(Part &p, const QString &base, Relations *out)
{
    while (p.next()) {
        if (!p.isStart("Relationship")) continue;
        if (out->byId.size() >= 10000) return p.fault(QStringLiteral("内容有误：关系太多。"));
        const QString target = resolve(base, p.attribute("Target"));
        out->byId.insert(p.attribute("Id"), target);
        const QString type = p.attribute("Type");
        out->byType.insert(type.mid(type.lastIndexOf(QLatin1Char('/')) + 1), target);
    }
    return true;
}

// The text of a string item (<si> or <is>): its <t> pieces, without phonetic runs.
// Its characters are counted against the limit as they are read.
QString readStringItem(Part &p, Builder *cells)
{
    QString text;
    const QString endName = p.x.name().toString();
    while (p.next()) {
        if (p.x.isEndElement() && p.x.name() == endName) break;
        if (!p.x.isStartElement()) continue;
        if (p.isStart("rPh")) {
            p.skip();
        } else if (p.isStart("t")) {
            const QString piece = p.text();
            if (!cells->countText(piece.size())) {
                p.fault(cells->error());
                break;
            }
            text += piece;
        }
    }
    return text;
}

bool readSharedStrings(Part &p, Builder *cells, QStringList *out)
{
    while (p.next()) {
        if (!p.isStart("si")) continue;
        if (!cells->countSharedString()) return p.fault(cells->error());
        out->append(readStringItem(p, cells));
    }
    return true;
}

// The date kind of every cell format (the index used by the cells' s attribute).
bool readStyles(Part &p, Builder *cells, QVector<DateKind> *out)
{
    DateKinds kinds;
    QVector<int> formats;
    bool inCellXfs = false;
    while (p.next()) {
        if (p.isStart("numFmt")) {
            const QString code = p.attribute("formatCode");
            if (!cells->countText(code.size())) return p.fault(cells->error());
            kinds.addFormat(p.attribute("numFmtId").toInt(), code);
        } else if (p.isStart("cellXfs")) {
            inCellXfs = true;
        } else if (p.isEnd("cellXfs")) {
            inCellXfs = false;
        } else if (inCellXfs && p.isStart("xf")) {
            if (formats.size() >= MaxCellFormats)
                return p.fault(QStringLiteral("内容有误：单元格格式超过 %1 个。").arg(MaxCellFormats));
            formats << p.attribute("numFmtId").toInt();
        }
    }
    for (int id : formats) out->append(kinds.of(id));
    return true;
}

// "BC12" -> column 54 (from 0) and row 11 (from 0); false when it is no cell reference.
bool parseRef(QStringView ref, int *column, int *row)
{
    int i = 0, col = 0, r = 0;
    // Letters and digits of ASCII only: others are letters and digits to Unicode but no part of a reference.
    auto letter = [&](int at) { return ref[at].unicode() < 128 && ref[at].isLetter(); };
    auto digit = [&](int at) { return ref[at] >= QLatin1Char('0') && ref[at] <= QLatin1Char('9'); };
    while (i < ref.size() && letter(i)) {
        col = col * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        ++i;
        if (col > 16384) return false;
    }
    const int letters = i;
    while (i < ref.size() && digit(i)) {
        r = r * 10 + (ref[i].unicode() - '0');
        ++i;
        if (r > 1048576) return false;
    }
    if (letters == 0 || i == letters || i != ref.size() || r == 0) return false;
    *column = col - 1;
    *row = r - 1;
    return true;
}

QString cellText(const QString &type, const QString &raw, const QString &inlineText, const DateKind &style, bool date1904)
{
    if (type == QLatin1String("inlineStr")) return inlineText;
    if (type == QLatin1String("str") || type == QLatin1String("e")) return raw;
    if (type == QLatin1String("b")) return raw.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (type == QLatin1String("d")) {
        // ISO 8601 text: "2012-11-16" or "2012-11-16T08:30:00".
        return raw.contains(QLatin1Char('T')) && !raw.endsWith(QLatin1String("T00:00:00"))
                   ? QString(raw).replace(QLatin1Char('T'), QLatin1Char(' ')).left(19)
                   : raw.left(10);
    }
    if (raw.isEmpty()) return QString();
    bool ok = false;
    const double d = raw.toDouble(&ok);
    // What is no finite number ("NaN", "INF", "1e999") stays the text it is.
    if (!ok || !std::isfinite(d)) return raw;
    return numberCellText(d, style, date1904);
}

bool readCells(Part &p, const QStringList &shared, const QVector<DateKind> &styles, bool date1904, Builder *cells)
{
    int row = -1, column = -1;
    while (p.next()) {
        if (p.isStart("row")) {
            const QString rowText = p.attribute("r");
            if (rowText.isEmpty()) {
                ++row;
            } else {
                bool ok = false;
                const int r = rowText.toInt(&ok);
                if (!ok || r < 1 || r > 1048576) return p.fault(QStringLiteral("内容有误：行号 %1 不存在。").arg(rowText));
                row = r - 1;
            }
            column = -1;
        } else if (p.isStart("c")) {
            const QString ref = p.attribute("r");
            int c = column + 1, r = row;
            if (!ref.isEmpty() && !parseRef(ref, &c, &r))
                return p.fault(QStringLiteral("内容有误：单元格位置 %1 不存在。").arg(ref));
            column = c;
            const QString type = p.attribute("t");
            const int s = p.attribute("s").toInt();
            QString raw, inlineText;
            while (p.next() && !p.isEnd("c")) {
                if (!p.x.isStartElement()) continue;
                if (p.isStart("v")) {
                    raw = p.text();
                } else if (p.isStart("is")) {
                    inlineText = readStringItem(p, cells);
                } else {
                    p.skip();
                }
            }
            QString text;
            bool counted = type == QLatin1String("inlineStr");
            if (type == QLatin1String("s") && !raw.isEmpty()) {
                bool ok = false;
                const int i = raw.toInt(&ok);
                if (!ok || i < 0 || i >= shared.size())
                    return p.fault(QStringLiteral("内容有误：单元格 %1%2 引用的第 %3 条文字在文字表中不存在。")
                                       .arg(columnLetters(c))
                                       .arg(r + 1)
                                       .arg(raw));
                text = shared[i];
                counted = true;
            } else {
                text = cellText(type, raw, inlineText, s >= 0 && s < styles.size() ? styles[s] : DateKind(), date1904);
            }
            if (!cells->set(r, c, text, counted)) return p.fault(cells->error());
        }
    }
    return true;
}

} // namespace

bool readXlsx(const QString &file, const QString &sheetName, Builder *cells, QString *why)
{
    Archive zip(file);
    if (!zip.isOpen()) {
        *why = QStringLiteral("文件已损坏或不是 .xlsx 格式。");
        return false;
    }

    Relations rels;
    {
        Part p(zip, QStringLiteral("xl/_rels/workbook.xml.rels"));
        readRelations(p, QStringLiteral("xl"), &rels);
        if (!p.finished(why)) return false;
    }

    QString sheetPart;
    bool date1904 = false;
    {
        Part p(zip, QStringLiteral("xl/workbook.xml"));
        if (p.missing()) {
            *why = QStringLiteral("文件中没有工作簿（xl/workbook.xml）。");
            return false;
        }
        while (p.next()) {
            if (p.isStart("workbookPr")) {
                const QString v = p.attribute("date1904");
                date1904 = v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
            } else if (p.isStart("sheet") && sheetPart.isEmpty()
                       && p.attribute("name").compare(sheetName, Qt::CaseInsensitive) == 0) {
                sheetPart = rels.byId.value(p.x.attributes().value(QLatin1String(RelNs), QLatin1String("id")).toString());
                if (sheetPart.isEmpty()) {
                    *why = QStringLiteral("工作表 %1 的位置缺失。").arg(sheetName);
                    return false;
                }
            }
        }
        if (!p.finished(why)) return false;
    }
    if (sheetPart.isEmpty()) {
        *why = QStringLiteral("文件中没有名为 %1 的工作表。").arg(sheetName);
        return false;
    }

    QStringList shared;
    {
        Part p(zip, rels.byType.value(QStringLiteral("sharedStrings"), QStringLiteral("xl/sharedStrings.xml")));
        readSharedStrings(p, cells, &shared);
        if (!p.finished(why)) return false;
    }
    QVector<DateKind> styles;
    {
        Part p(zip, rels.byType.value(QStringLiteral("styles"), QStringLiteral("xl/styles.xml")));
        readStyles(p, cells, &styles);
        if (!p.finished(why)) return false;
    }

    Part p(zip, sheetPart);
    if (p.missing()) {
        *why = QStringLiteral("工作表 %1 的内容缺失（%2）。").arg(sheetName, sheetPart);
        return false;
    }
    readCells(p, shared, styles, date1904, cells);
    return p.finished(why);
}

} // namespace SheetFile
