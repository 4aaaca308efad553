#include "craftedbook.h"

#include <QFile>
#include <QHash>
#include <QVector>
#include <QtEndian>

#include <cmath>
#include <zip.h>

namespace CraftedBook {

namespace {

const QByteArray MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QByteArray PackageRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";

void put16(QByteArray *b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b->append(c, 2);
}

void put32(QByteArray *b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b->append(c, 4);
}

void put64(QByteArray *b, double v)
{
    char c[8];
    qToLittleEndian(v, c);
    b->append(c, 8);
}

} // namespace

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray inlineRow(int row, const QStringList &values)
{
    QByteArray out = "<row r=\"" + QByteArray::number(row) + "\">";
    for (int c = 0; c < values.size(); ++c) {
        if (values[c].isEmpty()) continue;
        QString ref;
        for (int n = c + 1; n > 0; n = (n - 1) / 26) ref.prepend(QChar('A' + (n - 1) % 26));
        out += "<c r=\"" + ref.toLatin1() + QByteArray::number(row) + "\" t=\"inlineStr\"><is><t>" + escaped(values[c])
               + "</t></is></c>";
    }
    return out + "</row>";
}

QByteArray stringItems(const QStringList &texts)
{
    QByteArray out;
    for (const QString &t : texts) out += "<si><t>" + escaped(t) + "</t></si>";
    return out;
}

QList<Part> xlsx(const QByteArray &sheetData, const QByteArray &sharedStrings, const QList<Part> &replace)
{
    QList<Part> parts;
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    parts << Part{"[Content_Types].xml",
                  head + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                         "<Override PartName=\"/xl/workbook.xml\" "
                         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                         "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
                         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                         "</Types>"};
    parts << Part{"_rels/.rels", head + "<Relationships xmlns=\"" + PackageRelNs + "\"><Relationship Id=\"rId1\" Type=\"" + RelNs
                                     + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"};
    parts << Part{"xl/workbook.xml", head + "<workbook xmlns=\"" + MainNs + "\" xmlns:r=\"" + RelNs
                                         + "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"};
    QByteArray rels = head + "<Relationships xmlns=\"" + PackageRelNs + "\">"
                      + "<Relationship Id=\"rId1\" Type=\"" + RelNs + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                      + "<Relationship Id=\"rId3\" Type=\"" + RelNs + "/styles\" Target=\"styles.xml\"/>";
    if (!sharedStrings.isEmpty())
        rels += "<Relationship Id=\"rId2\" Type=\"" + RelNs + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    parts << Part{"xl/_rels/workbook.xml.rels", rels + "</Relationships>"};
    parts << Part{"xl/styles.xml", head + "<styleSheet xmlns=\"" + MainNs
                                       + "\"><cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>"};
    if (!sharedStrings.isEmpty()) parts << Part{"xl/sharedStrings.xml", head + "<sst xmlns=\"" + MainNs + "\">" + sharedStrings + "</sst>"};
    parts << Part{"xl/worksheets/sheet1.xml",
                  head + "<worksheet xmlns=\"" + MainNs + "\" xmlns:r=\"" + RelNs + "\"><sheetData>" + sheetData
                      + "</sheetData></worksheet>"};
    for (const Part &r : replace) {
        bool found = false;
        for (Part &p : parts)
            if (p.name == r.name) {
                p = r;
                found = true;
            }
        if (!found) parts << r;
    }
    return parts;
}

bool writeZip(const QString &file, const QList<Part> &parts)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(file).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) return false;
    for (const Part &p : parts) {
        zip_source_t *src = zip_source_buffer(z, p.data.constData(), zip_uint64_t(p.data.size()), 0);
        if (!src) {
            zip_discard(z);
            return false;
        }
        const zip_int64_t i = zip_file_add(z, p.name.toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (i < 0) {
            zip_source_free(src);
            zip_discard(z);
            return false;
        }
        zip_set_file_compression(z, zip_uint64_t(i), p.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    // The buffers are read on closing: `parts` still holds them.
    return zip_close(z) == 0;
}

bool writeFile(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

namespace {

QByteArray readFile(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

bool damagePart(const QString &file, const QString &part, bool atStart)
{
    QByteArray bytes = readFile(file);
    if (bytes.isEmpty()) return false;
    // The part's local header: its name at 30, after it the extra field, then the data.
    const QByteArray name = part.toUtf8();
    for (qsizetype at = bytes.indexOf("PK\x03\x04"); at >= 0; at = bytes.indexOf("PK\x03\x04", at + 4)) {
        if (at + 30 > bytes.size()) break;
        const quint32 packed = qFromLittleEndian<quint32>(bytes.constData() + at + 18);
        const quint16 nameLength = qFromLittleEndian<quint16>(bytes.constData() + at + 26);
        const quint16 extraLength = qFromLittleEndian<quint16>(bytes.constData() + at + 28);
        if (bytes.mid(at + 30, nameLength) != name || packed == 0) continue;
        const qsizetype data = at + 30 + nameLength + extraLength;
        if (atStart) bytes[data] = char(0xFF); // a block of the reserved kind: nothing can unpack it
        else bytes[data + packed / 2] = char(bytes[data + packed / 2] ^ 0x01);
        return writeFile(file, bytes);
    }
    return false;
}

bool understateSize(const QString &file, const QString &part, quint32 size)
{
    QByteArray bytes = readFile(file);
    if (bytes.isEmpty()) return false;
    const QByteArray name = part.toUtf8();
    int changed = 0;
    // The local header keeps the size at 22 and the name at 30, the central directory's entry at 24 and 46.
    for (qsizetype at = bytes.indexOf("PK\x03\x04"); at >= 0 && at + 30 <= bytes.size(); at = bytes.indexOf("PK\x03\x04", at + 4))
        if (bytes.mid(at + 30, name.size()) == name) {
            qToLittleEndian(size, bytes.data() + at + 22);
            ++changed;
        }
    for (qsizetype at = bytes.indexOf("PK\x01\x02"); at >= 0 && at + 46 <= bytes.size(); at = bytes.indexOf("PK\x01\x02", at + 4))
        if (bytes.mid(at + 46, name.size()) == name) {
            qToLittleEndian(size, bytes.data() + at + 24);
            ++changed;
        }
    return changed == 2 && writeFile(file, bytes);
}

// ---- .xls

namespace {

const int MaxRecordData = 8224;

void record(QByteArray *out, quint16 type, const QByteArray &data)
{
    put16(out, type);
    put16(out, quint16(data.size()));
    out->append(data);
}

bool oneByte(const QString &s)
{
    for (const QChar c : s)
        if (c.unicode() > 0xFF) return false;
    return true;
}

void appendChars(QByteArray *b, const QString &s, bool wide)
{
    for (const QChar c : s) {
        if (wide) put16(b, c.unicode());
        else b->append(char(c.unicode()));
    }
}

// The table of texts as SST and CONTINUE records: a text cut at the end of a
// record goes on in the next one after a byte of its flags.
void sharedStrings(QByteArray *out, const QStringList &texts, quint32 count)
{
    QList<QByteArray> pieces;
    QByteArray cur;
    put32(&cur, quint32(texts.size()));
    put32(&cur, count);
    for (const QString &s : texts) {
        const bool wide = !oneByte(s);
        if (cur.size() + 3 > MaxRecordData) {
            pieces << cur;
            cur.clear();
        }
        put16(&cur, quint16(s.size()));
        cur.append(char(wide ? 1 : 0));
        const int width = wide ? 2 : 1;
        for (int done = 0; done < s.size();) {
            int room = (MaxRecordData - int(cur.size())) / width;
            if (room == 0) {
                pieces << cur;
                cur = QByteArray(1, char(wide ? 1 : 0));
                room = (MaxRecordData - 1) / width;
            }
            const int take = qMin(room, int(s.size()) - done);
            appendChars(&cur, s.mid(done, take), wide);
            done += take;
        }
    }
    pieces << cur;
    for (int i = 0; i < pieces.size(); ++i) record(out, i == 0 ? 0x00FC : 0x003C, pieces[i]);
}

QByteArray bof(quint16 kind)
{
    QByteArray b;
    put16(&b, 0x0600);
    put16(&b, kind);
    put16(&b, 0x0DBB);
    put16(&b, 0x07CC);
    put32(&b, 0);
    put32(&b, 0x06);
    return b;
}

} // namespace

QByteArray biffRecord(quint16 type, const QByteArray &data)
{
    QByteArray out;
    record(&out, type, data);
    return out;
}

QByteArray biffWorkbook(const QList<Cell> &cells, const QString &sheetName, qint64 sharedCount, const QByteArray &globals)
{
    QStringList texts;
    QHash<QString, int> index;
    for (const Cell &c : cells)
        if (c.value.typeId() == QMetaType::QString && !index.contains(c.value.toString())) {
            index.insert(c.value.toString(), int(texts.size()));
            texts << c.value.toString();
        }

    QByteArray out;
    record(&out, 0x0809, bof(0x0005));
    out += globals;
    if (!texts.isEmpty() || sharedCount >= 0)
        sharedStrings(&out, texts, quint32(sharedCount >= 0 ? sharedCount : texts.size()));
    QByteArray sheet;
    const qsizetype positionAt = out.size() + 4;
    put32(&sheet, 0); // where the sheet begins, set below
    sheet.append(char(0)).append(char(0)).append(char(sheetName.size()));
    const bool wide = !oneByte(sheetName);
    sheet.append(char(wide ? 1 : 0));
    appendChars(&sheet, sheetName, wide);
    record(&out, 0x0085, sheet);
    record(&out, 0x000A, QByteArray());

    const quint32 sheetAt = quint32(out.size());
    qToLittleEndian(sheetAt, out.data() + positionAt);
    record(&out, 0x0809, bof(0x0010));
    for (const Cell &c : cells) {
        QByteArray d;
        put16(&d, quint16(c.row));
        put16(&d, quint16(c.column));
        put16(&d, 0);
        if (c.value.typeId() == QMetaType::QString) {
            put32(&d, quint32(index.value(c.value.toString())));
            record(&out, 0x00FD, d);
        } else {
            put64(&d, c.value.toDouble());
            record(&out, 0x0203, d);
        }
    }
    record(&out, 0x000A, QByteArray());
    return out;
}

QByteArray compoundDocument(const QByteArray &stream)
{
    const quint32 End = 0xFFFFFFFE, Free = 0xFFFFFFFF, FatMark = 0xFFFFFFFD, NoEntry = 0xFFFFFFFF;
    const int S = 512;
    const bool small = stream.size() < 4096;
    const int streamSectors = small ? 0 : int((stream.size() + S - 1) / S);
    const int miniSectors = small ? int((stream.size() + 63) / 64) : 0;
    const int miniFatSectors = small ? (miniSectors * 4 + S - 1) / S : 0;
    const int containerSectors = small ? (miniSectors * 64 + S - 1) / S : 0;
    const int others = 1 + streamSectors + miniFatSectors + containerSectors;
    int fatSectors = 1;
    while (fatSectors * (S / 4) < fatSectors + others) ++fatSectors;
    if (fatSectors > 109) return QByteArray(); // no sectors of the table's directory here

    const int dirAt = fatSectors, streamAt = dirAt + 1, miniFatAt = streamAt + streamSectors,
              containerAt = miniFatAt + miniFatSectors, total = containerAt + containerSectors;
    QVector<quint32> fat(fatSectors * (S / 4), Free);
    for (int i = 0; i < fatSectors; ++i) fat[i] = FatMark;
    auto chain = [&](int first, int count) {
        for (int i = 0; i < count; ++i) fat[first + i] = i + 1 < count ? quint32(first + i + 1) : End;
    };
    chain(dirAt, 1);
    chain(streamAt, streamSectors);
    chain(miniFatAt, miniFatSectors);
    chain(containerAt, containerSectors);

    QByteArray header;
    header.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8).append(QByteArray(16, '\0'));
    put16(&header, 0x003E);
    put16(&header, 3);
    put16(&header, 0xFFFE);
    put16(&header, 9);
    put16(&header, 6);
    header.append(QByteArray(10, '\0'));
    put32(&header, quint32(fatSectors));
    put32(&header, quint32(dirAt));
    put32(&header, 0);
    put32(&header, 4096);
    put32(&header, small ? quint32(miniFatAt) : End);
    put32(&header, quint32(miniFatSectors));
    put32(&header, End);
    put32(&header, 0);
    for (int i = 0; i < 109; ++i) put32(&header, i < fatSectors ? quint32(i) : Free);

    auto entry = [&](const QString &name, int type, quint32 child, quint32 start, quint32 size) {
        QByteArray e;
        appendChars(&e, name, true);
        e.append(QByteArray(64 - e.size(), '\0'));
        put16(&e, quint16((name.size() + 1) * 2));
        e.append(char(type)).append(char(1));
        put32(&e, NoEntry);
        put32(&e, NoEntry);
        put32(&e, child);
        e.append(QByteArray(16 + 4 + 16, '\0'));
        put32(&e, start);
        put32(&e, size);
        put32(&e, 0);
        return e;
    };
    QByteArray dir = entry(QStringLiteral("Root Entry"), 5, 1, small ? quint32(containerAt) : End, quint32(miniSectors * 64));
    dir += entry(QStringLiteral("Workbook"), 2, NoEntry, small ? 0 : quint32(streamAt), quint32(stream.size()));
    while (dir.size() < S) {
        QByteArray empty(128, '\0');
        qToLittleEndian(NoEntry, empty.data() + 0x44);
        qToLittleEndian(NoEntry, empty.data() + 0x48);
        qToLittleEndian(NoEntry, empty.data() + 0x4C);
        dir += empty;
    }

    QByteArray out = header;
    for (quint32 v : fat) put32(&out, v);
    out += dir;
    auto padded = [&](QByteArray b, int sectors) {
        b.append(QByteArray(sectors * S - b.size(), '\0'));
        return b;
    };
    if (!small) {
        out += padded(stream, streamSectors);
    } else {
        QByteArray miniFat;
        for (int i = 0; i < miniSectors; ++i) put32(&miniFat, i + 1 < miniSectors ? quint32(i + 1) : End);
        while (miniFat.size() % S) put32(&miniFat, Free);
        out += miniFat;
        out += padded(stream, containerSectors);
    }
    Q_ASSERT(out.size() == (total + 1) * S);
    return out;
}

bool writeXls(const QString &file, const QList<Cell> &cells)
{
    return writeFile(file, compoundDocument(biffWorkbook(cells)));
}

} // namespace CraftedBook
