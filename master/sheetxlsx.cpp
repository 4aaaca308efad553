// Reading one sheet of an .xlsx workbook (Office Open XML): the archive is
// opened with libzip, its parts are read with Qt's XML stream reader.
#include "sheet.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

#include <zip.h>

namespace SheetFile {

namespace {

const char *const RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
// No part of a workbook an import reads comes near this; a larger one is no sheet of ours.
const zip_uint64_t PartLimit = 512u * 1024u * 1024u;

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

    // A part by its name (letter case ignored); *found is false when it is missing.
    QByteArray part(const QString &name, bool *found, bool *tooLarge = nullptr)
    {
        *found = false;
        const QByteArray n = name.toUtf8();
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(m_zip, n.constData(), ZIP_FL_NOCASE, &st) != 0) return QByteArray();
        if ((st.valid & ZIP_STAT_SIZE) && st.size > PartLimit) {
            if (tooLarge) *tooLarge = true;
            return QByteArray();
        }
        zip_file_t *f = zip_fopen(m_zip, n.constData(), ZIP_FL_NOCASE);
        if (!f) return QByteArray();
        QByteArray out;
        char buffer[65536];
        zip_int64_t got = 0;
        bool ok = true;
        while ((got = zip_fread(f, buffer, sizeof buffer)) > 0) {
            out.append(buffer, int(got));
            if (zip_uint64_t(out.size()) > PartLimit) {
                ok = false;
                if (tooLarge) *tooLarge = true;
                break;
            }
        }
        if (got < 0) ok = false;
        zip_fclose(f);
        *found = ok;
        return ok ? out : QByteArray();
    }

private:
    zip_t *m_zip = nullptr;
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

Relations readRelations(const QByteArray &xml, const QString &base)
{
    Relations out;
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("Relationship")) {
            const auto a = x.attributes();
            const QString target = resolve(base, a.value(QLatin1String("Target")).toString());
            out.byId.insert(a.value(QLatin1String("Id")).toString(), target);
            const QString type = a.value(QLatin1String("Type")).toString();
            out.byType.insert(type.mid(type.lastIndexOf(QLatin1Char('/')) + 1), target);
        }
    }
    return out;
}

// The text of a string item (<si> or <is>): its <t> pieces, without phonetic runs.
QString readStringItem(QXmlStreamReader &x)
{
    QString text;
    const QString endName = x.name().toString();
    while (!x.atEnd()) {
        x.readNext();
        if (x.isEndElement() && x.name() == endName) break;
        if (!x.isStartElement()) continue;
        if (x.name() == QLatin1String("rPh")) x.skipCurrentElement();
        else if (x.name() == QLatin1String("t")) text += x.readElementText();
    }
    return text;
}

QStringList readSharedStrings(const QByteArray &xml)
{
    QStringList out;
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("si")) out << readStringItem(x);
    }
    return out;
}

// Whether a number format shows a date, and whether it shows a time of day.
struct DateKind {
    bool date = false;
    bool time = false;
};

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

// The date kind of every cell style (the index used by the cells' s attribute).
QVector<DateKind> readStyles(const QByteArray &xml)
{
    QHash<int, QString> custom;
    QVector<DateKind> out;
    QXmlStreamReader x(xml);
    bool inCellXfs = false;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == QLatin1String("numFmt")) {
                custom.insert(x.attributes().value(QLatin1String("numFmtId")).toInt(),
                              x.attributes().value(QLatin1String("formatCode")).toString());
            } else if (x.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && x.name() == QLatin1String("xf")) {
                const int id = x.attributes().value(QLatin1String("numFmtId")).toInt();
                out << (custom.contains(id) ? customFormat(custom.value(id)) : builtInFormat(id));
            }
        } else if (x.isEndElement() && x.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    return out;
}

// "BC12" -> column 54 (from 0) and row 11 (from 0); false when it is no cell reference.
bool parseRef(QStringView ref, int *column, int *row)
{
    int i = 0, col = 0, r = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        col = col * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        ++i;
        if (col > 16384) return false;
    }
    const int letters = i;
    while (i < ref.size() && ref[i].isDigit()) {
        r = r * 10 + (ref[i].unicode() - '0');
        ++i;
        if (r > 1048576) return false;
    }
    if (letters == 0 || i == letters || i != ref.size()) return false;
    *column = col - 1;
    *row = r - 1;
    return true;
}

QString cellText(const QString &type, const QString &raw, const QString &inlineText, const DateKind &style,
                 const QStringList &shared, bool date1904)
{
    if (type == QLatin1String("s")) {
        bool ok = false;
        const int i = raw.toInt(&ok);
        return ok && i >= 0 && i < shared.size() ? shared[i] : QString();
    }
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
    double d = raw.toDouble(&ok);
    if (!ok) return raw;
    if (style.date) return serialDateText(date1904 ? d + 1462 : d, style.time);
    return numberText(d);
}

} // namespace

bool readXlsx(const QString &file, const QString &sheetName, Builder *cells, QString *error)
{
    const QString where = QDir::toNativeSeparators(file);
    auto fail = [&](const QString &why) {
        if (error) *error = QStringLiteral("无法读取 Excel 文件：%1\n%2").arg(where, why);
        return false;
    };
    Archive zip(file);
    if (!zip.isOpen()) return fail(QStringLiteral("文件已损坏或不是 .xlsx 格式。"));

    bool found = false;
    const QByteArray workbook = zip.part(QStringLiteral("xl/workbook.xml"), &found);
    if (!found) return fail(QStringLiteral("文件中没有工作簿（xl/workbook.xml）。"));
    const Relations rels = readRelations(zip.part(QStringLiteral("xl/_rels/workbook.xml.rels"), &found), QStringLiteral("xl"));

    QString sheetPart;
    bool date1904 = false;
    {
        QXmlStreamReader x(workbook);
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement()) continue;
            if (x.name() == QLatin1String("workbookPr")) {
                const QString v = x.attributes().value(QLatin1String("date1904")).toString();
                date1904 = v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
            } else if (x.name() == QLatin1String("sheet")
                       && x.attributes().value(QLatin1String("name")).toString().compare(sheetName, Qt::CaseInsensitive) == 0
                       && sheetPart.isEmpty()) {
                sheetPart = rels.byId.value(x.attributes().value(QLatin1String(RelNs), QLatin1String("id")).toString());
                if (sheetPart.isEmpty()) return fail(QStringLiteral("工作表 %1 的位置缺失。").arg(sheetName));
            }
        }
        if (x.hasError()) return fail(QStringLiteral("工作簿内容有误：%1").arg(x.errorString()));
    }
    if (sheetPart.isEmpty()) {
        if (error) *error = QStringLiteral("文件中没有名为 %1 的工作表：%2").arg(sheetName, where);
        return false;
    }

    const QString sharedPart = rels.byType.value(QStringLiteral("sharedStrings"), QStringLiteral("xl/sharedStrings.xml"));
    const QStringList shared = readSharedStrings(zip.part(sharedPart, &found));
    const QString stylesPart = rels.byType.value(QStringLiteral("styles"), QStringLiteral("xl/styles.xml"));
    const QVector<DateKind> styles = readStyles(zip.part(stylesPart, &found));

    bool tooLarge = false;
    const QByteArray sheet = zip.part(sheetPart, &found, &tooLarge);
    if (tooLarge) return fail(QStringLiteral("工作表太大。"));
    if (!found) return fail(QStringLiteral("工作表 %1 的内容缺失。").arg(sheetName));

    QXmlStreamReader x(sheet);
    int row = -1, column = -1;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        if (x.name() == QLatin1String("row")) {
            bool ok = false;
            const int r = x.attributes().value(QLatin1String("r")).toInt(&ok);
            row = ok && r > 0 ? r - 1 : row + 1;
            column = -1;
        } else if (x.name() == QLatin1String("c")) {
            const auto a = x.attributes();
            int c = column + 1, r = row;
            if (a.hasAttribute(QLatin1String("r")) && !parseRef(a.value(QLatin1String("r")), &c, &r))
                return fail(QStringLiteral("单元格位置有误：%1").arg(a.value(QLatin1String("r")).toString()));
            column = c;
            const QString type = a.value(QLatin1String("t")).toString();
            const int s = a.value(QLatin1String("s")).toInt();
            QString raw, inlineText;
            while (!x.atEnd()) {
                x.readNext();
                if (x.isEndElement() && x.name() == QLatin1String("c")) break;
                if (!x.isStartElement()) continue;
                if (x.name() == QLatin1String("v")) raw = x.readElementText();
                else if (x.name() == QLatin1String("is")) inlineText = readStringItem(x);
                else x.skipCurrentElement();
            }
            cells->set(r, c, cellText(type, raw, inlineText, s >= 0 && s < styles.size() ? styles[s] : DateKind(),
                                      shared, date1904));
        }
    }
    if (x.hasError()) return fail(QStringLiteral("工作表内容有误：%1").arg(x.errorString()));
    return true;
}

} // namespace SheetFile
