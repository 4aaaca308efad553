// Writes the seed inputs of the fuzzers (tools/fuzz/run.sh) into the folder
// given: valid workbooks holding each kind of cell the readers know.
#include "tests/craftedbook.h"

#include <QDir>
#include <QtEndian>

using namespace CraftedBook;

namespace {

QByteArray le16(quint16 v) { char c[2]; qToLittleEndian(v, c); return QByteArray(c, 2); }
QByteArray le32(quint32 v) { char c[4]; qToLittleEndian(v, c); return QByteArray(c, 4); }
QByteArray f64(double v) { char c[8]; qToLittleEndian(v, c); return QByteArray(c, 8); }
QByteArray rec(quint16 type, const QByteArray &d) { return biffRecord(type, d); }
QByteArray cell(int r, int c, int xf) { return le16(quint16(r)) + le16(quint16(c)) + le16(quint16(xf)); }
QByteArray text16(const QByteArray &latin) { return le16(quint16(latin.size())) + QByteArray(1, '\0') + latin; }
QByteArray bof(quint16 kind) { return le16(0x0600) + le16(kind) + le16(0x0DBB) + le16(0x07CC) + le32(0) + le32(6); }

// A workbook stream with every record kind the reader takes.
QByteArray everyRecord()
{
    QByteArray g = rec(0x0809, bof(5));
    g += rec(0x0022, le16(0));
    g += rec(0x041E, le16(164) + text16("yyyy-mm-dd hh:mm"));
    for (int f : {0, 14, 164, 22}) g += rec(0x00E0, le16(0) + le16(quint16(f)) + QByteArray(16, '\0'));
    // A table of three texts, the third going on in a CONTINUE record, one of two bytes a character.
    QByteArray sst = le32(3) + le32(3) + text16("名称") + le16(2) + QByteArray(1, '\x01') + QByteArray("\x54\x4E\x01\x4E", 4);
    sst += le16(6) + QByteArray(1, '\x08') + le16(1) + "abc";
    g += rec(0x00FC, sst);
    g += rec(0x003C, QByteArray(1, '\0') + "def" + le32(0));
    const qsizetype at = g.size() + 4;
    g += rec(0x0085, le32(0) + QByteArray(2, '\0') + QByteArray(1, char(6)) + QByteArray(1, '\0') + "Sheet1");
    g += rec(0x000A, QByteArray());
    const QByteArray pos = le32(quint32(g.size()));
    g.replace(at, 4, pos);
    QByteArray s = rec(0x0809, bof(0x10));
    s += rec(0x00FD, cell(0, 0, 0) + le32(0));
    s += rec(0x0204, cell(0, 1, 0) + text16("code"));
    s += rec(0x00D6, cell(0, 2, 0) + text16("rich") + le16(0));
    s += rec(0x0203, cell(1, 0, 0) + f64(2.5));
    s += rec(0x027E, cell(1, 1, 1) + le32((40000u << 2) | 2));
    s += rec(0x00BD, le16(2) + le16(0) + le16(0) + le32((7u << 2) | 3) + le16(2) + le32(0x3FF00000u) + le16(2));
    s += rec(0x0205, le16(3) + le16(0) + le16(0) + QByteArray("\x01\x00", 2));
    s += rec(0x0205, le16(3) + le16(1) + le16(0) + QByteArray("\x07\x01", 2));
    s += rec(0x0006, cell(4, 0, 0) + f64(3.25) + le16(0) + le32(0) + le16(0));
    s += rec(0x0006, cell(4, 1, 0) + QByteArray("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8) + le16(0) + le32(0) + le16(0));
    s += rec(0x04BC, QByteArray(10, '\0'));
    s += rec(0x0207, text16("formula text"));
    s += rec(0x0006, cell(4, 2, 0) + QByteArray("\x01\x00\x01\x00\x00\x00\xFF\xFF", 8) + le16(0) + le32(0) + le16(0));
    s += rec(0x0006, cell(4, 3, 0) + QByteArray("\x02\x00\x2A\x00\x00\x00\xFF\xFF", 8) + le16(0) + le32(0) + le16(0));
    s += rec(0x0809, bof(0x20)) + rec(0x0203, cell(9, 9, 0) + f64(1)) + rec(0x000A, QByteArray());
    s += rec(0x000A, QByteArray());
    return g + s;
}

QList<Part> sampleParts()
{
    QByteArray sheet = inlineRow(1, {"名称", "code", "price"});
    sheet += "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c><c r=\"B2\" t=\"str\"><v>x&amp;y</v></c><c r=\"C2\" s=\"1\"><v>40000.5</v></c></row>";
    sheet += "<row><c t=\"b\"><v>1</v></c><c t=\"e\"><v>#N/A</v></c><c t=\"d\"><v>2012-11-16T08:30:00</v></c><c><f>1+1</f><v>2</v></c></row>";
    const QByteArray styles = "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"[Red]yyyy&quot;年&quot;m\\d\"/></numFmts>"
                              "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"22\"/></cellXfs></styleSheet>";
    QList<Part> parts = xlsx(sheet, "<si><t>商品</t><rPh><t>x</t></rPh></si><si><r><t>a</t></r><r><t>b</t></r></si>",
                             {{"xl/styles.xml", styles}});
    return parts;
}

QByteArray joined(const QList<Part> &parts)
{
    QByteArray out;
    for (const char *name : {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml", "xl/workbook.xml",
                             "xl/_rels/workbook.xml.rels"}) {
        QByteArray d;
        for (const Part &p : parts)
            if (p.name == QLatin1String(name)) d = p.data;
        if (!out.isEmpty() || qstrcmp(name, "xl/worksheets/sheet1.xml") != 0) out += "\n@@\n";
        out += d;
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    for (const char *m : {"biff", "xls", "parts", "xlsx"}) QDir().mkpath(dir + "/" + m);
    const QByteArray every = everyRecord();
    QList<Cell> cells{{0, 0, QStringLiteral("商品名称")}, {0, 1, QStringLiteral("price")}, {1, 0, QStringLiteral("x")}, {1, 1, 2.5}};
    const QByteArray plain = biffWorkbook(cells);
    QList<Cell> many = cells;
    for (int r = 2; r < 200; ++r) many << Cell{r, 0, QStringLiteral("商品%1").arg(r)} << Cell{r, 1, r * 1.5};
    const QByteArray big = biffWorkbook(many); // over 4096 bytes: in sectors of 512
    writeFile(dir + "/biff/every", every);
    writeFile(dir + "/biff/plain", plain);
    writeFile(dir + "/xls/every.xls", compoundDocument(every));
    writeFile(dir + "/xls/plain.xls", compoundDocument(plain));
    writeFile(dir + "/xls/big.xls", compoundDocument(big));
    const QList<Part> parts = sampleParts();
    writeFile(dir + "/parts/sample", joined(parts));
    writeFile(dir + "/parts/plain", joined(xlsx(inlineRow(1, {"a", "b"}) + inlineRow(2, {"1", "2"}))));
    writeZip(dir + "/xlsx/sample.xlsx", parts);
    QList<Part> stored = parts;
    for (Part &p : stored) p.stored = true;
    writeZip(dir + "/xlsx/stored.xlsx", stored);
    return 0;
}
