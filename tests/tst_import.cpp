// Spreadsheet import of products and partners: reading the sheet "Sheet1" of
// .xls and .xlsx workbooks, the import rules, the one-transaction refusals and
// the two screens.
//
// The workbooks in tests/data were written by a spreadsheet program, not by
// this program: the flat ODF sources import_products.fods and
// import_partners.fods were typed by hand and converted with LibreOffice Calc
// 7.4 (Debian 12, libreoffice-calc-nogui):
//   soffice --headless --convert-to xlsx import_products.fods
//   soffice --headless --convert-to xls  import_products.fods
//   soffice --headless --convert-to xls  import_partners.fods
// The product sheet has its columns in another order than the rule label and
// an extra column "产地"; the partner workbook has a sheet "说明" before "Sheet1".
// The damaged and oversized workbooks are written by the tests themselves
// (tests/craftedbook.h); what reading one takes is measured in a process of
// its own (tests/sheetread_child.cpp).
#include "craftedbook.h"
#include "shellspy.h"
#include "testdb.h"

#include "data/globals.h"
#include "master/frmimport.h"
#include "master/sheet.h"
#include "master/sheetimport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <limits>
#include <sys/resource.h>

namespace {

QString data(const char *name) { return QStringLiteral(TEST_DATA "/") + QLatin1String(name); }

Sheet readOrFail(const QString &file, const QString &name = QStringLiteral("Sheet1"))
{
    Sheet s;
    QString error;
    if (!SheetFile::read(file, name, &s, &error)) qWarning("%s", qPrintable(error));
    return s;
}

// A sheet given by rows of texts, the first row the names.
Sheet sheetOf(const QList<QStringList> &rows)
{
    SheetFile::Builder b;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) b.set(r, c, rows[r][c]);
    return b.take();
}

QStringList productHeader()
{
    return {"商品编码", "商品分类", "商品名称", "规格", "单位", "采购单价", "销售单价", "库存数量", "备注"};
}

// The products of the fixture database: a live P200 and a deleted P100, the
// category 零食 at discount 90 and the warehouse 一号库.
struct Shop {
    TestDb t;
    int p200 = 0;
    int p100 = 0;
    Shop()
    {
        t.addWarehouse(QStringLiteral("一号库"));
        t.dm().mySQL("insert into SType(theName,Remark,theState,theZK) values('零食','',?,90)", {QStringLiteral("启用")});
        p200 = t.addProduct(QStringLiteral("老商品"), Money::fromString("8"), Money::fromString("10"));
        t.dm().mySQL("update SShop set theNum='P200',Remark='老备注',theType='零食' where ID=?", {p200});
        p100 = t.addProduct(QStringLiteral("删掉的薯片"), Money::fromString("3"), Money::fromString("4"));
        t.dm().mySQL("update SShop set theNum='P100',theDel='是' where ID=?", {p100});
    }
    frmDM &dm() { return t.dm(); }
    int n(const QString &sql, const QVariantList &binds = {}) { return dm().value(sql, binds).toInt(); }
    QVariantList product(const QString &code)
    {
        const auto r = dm().rows("select theType,theName,theStand,theUnit,theJH,theXS,theCB,Remark,thePY,theZK,theKCMin,"
                                 "theKCMax,theDate,theState,theDel,ID from SShop where theNum=? and theDel='否'",
                                 {code});
        return r.size() == 1 ? r[0] : QVariantList();
    }
    QString stock(int id)
    {
        const auto r = dm().rows("select theCount from UKC where WName='一号库' and SID=?", {id});
        return r.isEmpty() ? QStringLiteral("none") : Money::fromVariant(r[0][0]).toString();
    }
};

// What the reading of a workbook took in a process of its own (tests/sheetread_child.cpp).
struct ChildReading {
    QString failure;      // why the child did not tell, empty when it did
    bool ok = false;
    int records = 0;
    int columns = 0;
    long peakKb = 0;
    qint64 ms = 0;        // processor time
    QString message;
};

ChildReading readInChild(const QString &file)
{
    ChildReading r;
    QProcess p;
    p.setChildProcessModifier([] {
        // Room for the reader several times over; one that would take gigabytes fails at once.
        const rlim_t cap = rlim_t(1) << 30;
        const rlimit limit{cap, cap};
        setrlimit(RLIMIT_AS, &limit);
    });
    p.start(QStringLiteral(SHEETREAD_CHILD), {file});
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        r.failure = QStringLiteral("the reading did not end within 60 s");
        return r;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        r.failure = QStringLiteral("the reading ended abnormally: ") + QString::fromUtf8(p.readAllStandardError()).right(300);
        return r;
    }
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    const QStringList f = lines.value(0).split(QLatin1Char(' '));
    r.ok = f.value(0) == QLatin1String("ok");
    if (r.ok) {
        r.records = f.value(1).toInt();
        r.columns = f.value(2).toInt();
        r.peakKb = f.value(3).toLong();
        r.ms = f.value(4).toLongLong();
    } else {
        r.peakKb = f.value(1).toLong();
        r.ms = f.value(2).toLongLong();
        r.message = lines.mid(1).join(QLatin1Char('\n'));
    }
    return r;
}

QByteArray repeated(const QByteArray &piece, int times)
{
    QByteArray out;
    out.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

// A product sheet of ten rows whose texts are in the table of texts: the names
// and codes, then the numbers. `texts` replaces the table's items when given.
QList<CraftedBook::Part> tenProducts(const QByteArray &texts = QByteArray(), const QByteArray &extraRow = QByteArray())
{
    using namespace CraftedBook;
    QStringList strings{"商品编码", "商品名称", "采购单价", "销售单价", "库存数量", "商品分类", "规格", "单位", "备注"};
    QByteArray rows = "<row r=\"1\">";
    for (int c = 0; c < 9; ++c)
        rows += "<c r=\"" + QByteArray(1, char('A' + c)) + "1\" t=\"s\"><v>" + QByteArray::number(c) + "</v></c>";
    rows += "</row>";
    for (int r = 2; r <= 11; ++r) {
        const QByteArray n = QByteArray::number(r);
        rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"s\"><v>" + QByteArray::number(strings.size()) + "</v></c>";
        strings << QStringLiteral("坏%1").arg(r);
        rows += "<c r=\"B" + n + "\" t=\"s\"><v>" + QByteArray::number(strings.size()) + "</v></c>";
        strings << QStringLiteral("商品 %1").arg(r);
        rows += "<c r=\"C" + n + "\"><v>2.5</v></c><c r=\"D" + n + "\"><v>3</v></c><c r=\"E" + n + "\"><v>1</v></c></row>";
    }
    return xlsx(rows + extraRow, texts.isEmpty() ? stringItems(strings) : texts);
}

// The crafted workbooks of the reading's limits, by name; the file written.
QString writeLimitCase(const QString &kind, const QString &folder)
{
    using namespace CraftedBook;
    const QByteArray header = inlineRow(1, {"商品名称", "商品编码"});
    const QByteArray cell = "<c r=\"%1\" t=\"inlineStr\"><is><t>x</t></is></c>";
    auto one = [&](const char *ref, int row) {
        return header + "<row r=\"" + QByteArray::number(row) + "\">" + QByteArray(cell).replace("%1", ref) + "</row>";
    };
    QList<Part> parts;
    QString file = folder + QStringLiteral("/book.xlsx");
    if (kind == QLatin1String("far column")) {
        parts = xlsx(one("XFD1048576", 1048576));
    } else if (kind == QLatin1String("far row")) {
        parts = xlsx(one("A1048576", 1048576));
    } else if (kind == QLatin1String("many cells")) {
        // 4 300 rows of 256 numbers.
        parts = xlsx(header + repeated("<row>" + repeated("<c><v>1</v></c>", 256) + "</row>", 4300));
    } else if (kind == QLatin1String("many texts")) {
        parts = xlsx(header, repeated("<si><t>a</t></si>", SheetFile::MaxSharedStrings + 1));
    } else if (kind == QLatin1String("much text")) {
        parts = xlsx(header, repeated("<si><t>" + QByteArray(1000000, 'a') + "</t></si>", 11));
    } else if (kind == QLatin1String("big part")) {
        parts = xlsx(header + repeated("<row/>", int(SheetFile::MaxPartBytes / 6) + 1));
    } else if (kind == QLatin1String("big part, size understated")) {
        parts = xlsx(header + repeated("<row/>", int(SheetFile::MaxPartBytes / 6) + 1));
        if (!writeZip(file, parts)) return QString();
        return understateSize(file, QStringLiteral("xl/worksheets/sheet1.xml"), 1000) ? file : QString();
    } else if (kind == QLatin1String("long CDATA section")) {
        // '<' throughout, so that no stretch goes without one.
        parts = xlsx(header + "<row r=\"2\"><c r=\"A2\" t=\"str\"><v><![CDATA[" + QByteArray(60 << 20, '<') + "]]></v></c></row>");
    } else if (kind == QLatin1String("long comment")) {
        parts = xlsx(header + "<!--" + QByteArray(60 << 20, '<') + "-->");
    } else if (kind == QLatin1String("text between comments")) {
        parts = xlsx(header + "<row r=\"2\"><c r=\"A2\" t=\"str\"><v>" + repeated(QByteArray(1000000, 'a') + "<!---->", 60)
                     + "</v></c></row>");
    } else if (kind == QLatin1String("long format code")) {
        // Every cell format shows in the one format of 20 000 characters.
        const QByteArray styles = "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"" + QByteArray(20000, '0')
                                  + "\"/></numFmts><cellXfs>" + repeated("<xf numFmtId=\"164\"/>", 65536) + "</cellXfs></styleSheet>";
        parts = xlsx(header, {}, {{"xl/styles.xml", styles}});
    } else if (kind == QLatin1String("long text")) {
        parts = xlsx(header + "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>" + QByteArray(2 << 20, 'a') + "</t></is></c></row>");
    } else {
        file = folder + QStringLiteral("/book.xls");
        QList<Cell> cells{{0, 0, QStringLiteral("商品名称")}, {0, 1, QStringLiteral("采购单价")}};
        qint64 claimed = -1;
        QByteArray globals;
        if (kind == QLatin1String("xls far cell")) {
            cells << Cell{65535, 255, QStringLiteral("x")};
        } else if (kind == QLatin1String("xls 1 MB")) {
            for (int r = 1; r <= 15000; ++r)
                cells << Cell{r, 0, QStringLiteral("商品%1").arg(r)} << Cell{r, 1, 2.5 + r} << Cell{r, 2, double(r)};
        } else if (kind == QLatin1String("xls texts claimed")) {
            claimed = 0x7FFFFFFF;
        } else if (kind == QLatin1String("xls long format code")) {
            // 20 000 numbers in the cell format 0, of a number format of 65 000 characters.
            QByteArray format("\xA4\x00\xE8\xFD\x00", 5);
            format += QByteArray(65000, '0');
            QByteArray xf(20, '\0');
            xf[2] = '\xA4';
            globals = biffRecord(0x041E, format) + biffRecord(0x00E0, xf);
            for (int r = 1; r <= 20000; ++r) cells << Cell{r, 0, double(r)};
        }
        if (!writeFile(file, compoundDocument(biffWorkbook(cells, QStringLiteral("Sheet1"), claimed, globals)))) return QString();
        return file;
    }
    return writeZip(file, parts) ? file : QString();
}

} // namespace

Q_DECLARE_METATYPE(QList<CraftedBook::Part>)

class tst_import : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        G = AppGlobals();
        setSession();
        G.ShopKCMin = QStringLiteral("5");
        G.ShopKCMax = QStringLiteral("500");
    }

    void readsTheWorkbooks_data();
    void readsTheWorkbooks();
    void bothFormatsReadAlike();
    void readsSheet1ByName();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void readsInBoundedMemory_data();
    void readsInBoundedMemory();
    void refusesDamagedParts_data();
    void refusesDamagedParts();
    void damagedWorkbookImportsNothing();
    void importsProducts_data();
    void importsProducts();
    void numbersAreNumbers_data();
    void numbersAreNumbers();
    void zeroStockForNoQuantity_data();
    void zeroStockForNoQuantity();
    void failedWriteLeavesNothing_data();
    void failedWriteLeavesNothing();
    void noStockWithoutSaveStock();
    void refusalsImportNothing_data();
    void refusalsImportNothing();
    void stockNeedsAWarehouse();
    void importsPartners();
    void partnerImportRunsToTheEnd();
    void productScreen();
    void partnerScreenRealModalLoop();
};

void tst_import::readsTheWorkbooks_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xls") << data("import_products.xls");
    QTest::newRow("xlsx") << data("import_products.xlsx");
}

void tst_import::readsTheWorkbooks()
{
    QFETCH(QString, file);
    const Sheet s = readOrFail(file);
    QCOMPARE(s.columns, (QStringList{"商品名称", "商品编码", "商品分类", "规格", "单位", "采购单价", "销售单价", "库存数量",
                                     "备注", "产地"}));
    QCOMPARE(s.rowCount(), 7);
    QCOMPARE(s.sheetRows, (QVector<int>{2, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(s.missing(SheetImport::productColumns()), QStringList());
    const int code = s.column("商品编码"), price = s.column("采购单价"), sales = s.column("销售单价"),
              count = s.column("库存数量"), remark = s.column("备注");
    QCOMPARE(s.value(0, code), QStringLiteral("P001"));
    QCOMPARE(s.value(0, price), QStringLiteral("2.5"));
    QCOMPARE(s.value(0, sales), QStringLiteral("3"));
    // Empty cells are empty texts; a date shows as a date; a number as its digits.
    QCOMPARE(s.value(1, code), QString());
    QCOMPARE(s.value(1, remark), QStringLiteral("2012-11-16"));
    QCOMPARE(s.value(4, 0), QString());
    QCOMPARE(s.value(5, code), QStringLiteral("6901234567890"));
    QCOMPARE(s.value(5, price), QString());
    QCOMPARE(s.value(6, count), QStringLiteral("0.5"));
    QCOMPARE(s.value(6, 0).size(), 56);
}

void tst_import::bothFormatsReadAlike()
{
    const Sheet a = readOrFail(data("import_products.xls"));
    const Sheet b = readOrFail(data("import_products.xlsx"));
    QCOMPARE(a.columns, b.columns);
    QCOMPARE(a.rows, b.rows);
    QCOMPARE(a.sheetRows, b.sheetRows);
}

void tst_import::readsSheet1ByName()
{
    // The first sheet of this workbook is "说明"; the rows come from "Sheet1".
    const Sheet s = readOrFail(data("import_partners.xls"), QStringLiteral("sheet1"));
    QCOMPARE(s.columns, (QStringList{"单位名称", "联系人", "联系电话", "地址", "备注"}));
    QCOMPARE(s.rowCount(), 5);
    QCOMPARE(s.value(0, 2), QStringLiteral("13800000000"));
    QCOMPARE(s.value(3, 0), QString());
}

void tst_import::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("message");
    QTest::newRow("text file") << "商品编码,商品名称\n" << "Sheet1" << "不是 Excel 文件";
    QTest::newRow("empty file") << "" << "Sheet1" << "不是 Excel 文件";
    QTest::newRow("zip without workbook") << "zip" << "Sheet1" << "无法读取 Excel 文件";
    QTest::newRow("cut .xls") << "cut-xls" << "Sheet1" << "无法读取 Excel 文件";
    QTest::newRow("no such sheet in .xls") << "xls" << "Sheet9" << "没有名为 Sheet9 的工作表";
    QTest::newRow("no such sheet in .xlsx") << "xlsx" << "Sheet9" << "没有名为 Sheet9 的工作表";
}

void tst_import::refusesWhatItCannotRead()
{
    QFETCH(QString, content);
    QFETCH(QString, sheet);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QString file = dir.filePath("book.xlsx");
    if (content == "xls") {
        file = data("import_products.xls");
    } else if (content == "xlsx") {
        file = data("import_products.xlsx");
    } else {
        QByteArray bytes = content.toUtf8();
        if (content == "zip") {
            // An archive with a stray part only (made from the fixture's own bytes would need a zip writer).
            bytes = QByteArray("PK\x03\x04", 4) + QByteArray(60, '\0');
        } else if (content == "cut-xls") {
            QFile f(data("import_products.xls"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            bytes = f.read(1024);
        }
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    Sheet s;
    s.columns << "untouched";
    QString error;
    QVERIFY(!SheetFile::read(file, sheet, &s, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(s.columns, QStringList{"untouched"});
}

void tst_import::readsInBoundedMemory_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("told");   // the refusal names the limit
    QTest::addColumn<int>("records");
    QTest::newRow("xlsx: a value at XFD1048576") << "far column" << false << "超过了导入的上限 256 列（A 到 IV 列）" << 0;
    QTest::newRow("xlsx: a value at A1048576") << "far row" << false << "超过了导入的上限 100000 行" << 0;
    QTest::newRow("xlsx: 1.1 million numbers") << "many cells" << false << "单元格超过了导入的上限 1000000 个" << 0;
    QTest::newRow("xlsx: a table of 1 000 001 texts") << "many texts" << false << "文字表超过了导入的上限 1000000 条" << 0;
    QTest::newRow("xlsx: 11 million characters") << "much text" << false << "文字超过了导入的上限 10000000 个字符" << 0;
    QTest::newRow("xlsx: a sheet of 64 MB unpacked") << "big part" << false
                                                     << "xl/worksheets/sheet1.xml：解压后的内容超过了导入的上限 64 MB" << 0;
    QTest::newRow("xlsx: a sheet of 64 MB unpacked said to be 1000 bytes")
        << "big part, size understated" << false << "xl/worksheets/sheet1.xml：解压后的内容超过了导入的上限 64 MB" << 0;
    QTest::newRow("xlsx: 2 MB in one cell") << "long text" << false << "xl/worksheets/sheet1.xml：内容有误" << 0;
    QTest::newRow("xlsx: a CDATA section of 60 MB") << "long CDATA section" << false
                                                   << "xl/worksheets/sheet1.xml：内容有误：有一段内容超过 1024 KB 仍未结束" << 0;
    QTest::newRow("xlsx: a comment of 60 MB") << "long comment" << false
                                             << "xl/worksheets/sheet1.xml：内容有误：有一段内容超过 1024 KB 仍未结束" << 0;
    QTest::newRow("xlsx: 60 MB of a cell's text between comments")
        << "text between comments" << false << "xl/worksheets/sheet1.xml：内容有误：元素 v 的文字超过 1024 KB" << 0;
    QTest::newRow("xls: a value at IV65536") << "xls far cell" << true << "" << 65535;
    QTest::newRow("xls: 1 MB of cells") << "xls 1 MB" << true << "" << 15000;
    QTest::newRow("xlsx: 65 536 cell formats of a format code of 20 000 characters") << "long format code" << true << "" << 0;
    QTest::newRow("xls: 20 000 numbers in a format code of 65 000 characters") << "xls long format code" << true << "" << 20000;
    QTest::newRow("xls: a table claiming 2^31 texts") << "xls texts claimed" << false << "文字表超过了导入的上限 1000000 条" << 0;
}

void tst_import::readsInBoundedMemory()
{
    QFETCH(QString, kind);
    QFETCH(bool, readable);
    QFETCH(QString, told);
    QFETCH(int, records);
    QTemporaryDir dir;
    const QString file = writeLimitCase(kind, dir.path());
    QVERIFY(!file.isEmpty());
    QVERIFY2(QFileInfo(file).size() <= 1024 * 1024, qPrintable(QString::number(QFileInfo(file).size())));

    const ChildReading r = readInChild(file);
    QVERIFY2(r.failure.isEmpty(), qPrintable(r.failure));
    QVERIFY2(r.ok == readable, qPrintable(r.message));
    if (readable) QCOMPARE(r.records, records);
    else QVERIFY2(r.message.contains(told), qPrintable(r.message));
    // A file of a megabyte at most takes less than 200 MB and a few seconds of the processor, or is refused in them.
    QVERIFY2(r.peakKb > 0 && r.peakKb < 200 * 1024, qPrintable(QStringLiteral("peak %1 KB").arg(r.peakKb)));
    QVERIFY2(r.ms < 5000, qPrintable(QStringLiteral("%1 ms").arg(r.ms)));
    qInfo("%s: %ld KB, %lld ms", qPrintable(kind), r.peakKb, r.ms);
}

void tst_import::refusesDamagedParts_data()
{
    using namespace CraftedBook;
    QTest::addColumn<QList<Part>>("parts");
    QTest::addColumn<QString>("damage");   // "crc": a byte of the part changed; "inflate": its data cannot unpack
    QTest::addColumn<QString>("told");
    QList<Part> good = tenProducts();
    QByteArray texts;
    for (const Part &p : good)
        if (p.name == QLatin1String("xl/sharedStrings.xml")) texts = p.data;
    const QByteArray items = texts.mid(texts.indexOf("<si>"), texts.lastIndexOf("</sst>") - texts.indexOf("<si>"));

    // The fifth row's name holds a bare "&": the table of texts is no XML from there on.
    QByteArray ampersand = items;
    ampersand.replace("商品 6", "A & B");
    QTest::newRow("a bare & in the table of texts")
        << tenProducts(ampersand) << "" << "xl/sharedStrings.xml：XML 内容有误";
    QTest::newRow("workbook cut off")
        << xlsx({}, {}, {{"xl/workbook.xml", "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                                             "relationships\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"}})
        << "" << "xl/workbook.xml：XML 内容有误";
    QList<Part> rels = good;
    for (Part &p : rels)
        if (p.name == QLatin1String("xl/_rels/workbook.xml.rels")) p.data.replace("</Relationships>", "<Relationship Id=\"rId9\" </Relationships>");
    QTest::newRow("relationships not XML") << rels << "" << "xl/_rels/workbook.xml.rels：XML 内容有误";
    QTest::newRow("sheet not XML") << tenProducts({}, "<row r=\"12\"><c r=\"A12\"><v>1</v></row>") << ""
                                   << "xl/worksheets/sheet1.xml：XML 内容有误";
    QList<Part> styles = good;
    for (Part &p : styles)
        if (p.name == QLatin1String("xl/styles.xml")) p.data.replace("</cellXfs>", "</cellXf>");
    QTest::newRow("styles not XML") << styles << "" << "xl/styles.xml：XML 内容有误";
    QTest::newRow("a cell refers to a text the table lacks")
        << tenProducts({}, "<row r=\"12\"><c r=\"B12\" t=\"s\"><v>99</v></c></row>") << ""
        << "xl/worksheets/sheet1.xml：内容有误：单元格 B12 引用的第 99 条文字在文字表中不存在";
    // Letters and digits to Unicode, but no part of a reference (not column KZ, not row 1587).
    QTest::newRow("a cell position of other letters") << tenProducts({}, "<row r=\"12\"><c r=\"\xC3\xBF" "12\"><v>1</v></c></row>") << ""
                                                      << "xl/worksheets/sheet1.xml：内容有误：单元格位置 ÿ12 不存在";
    QTest::newRow("a cell position of other digits")
        << tenProducts({}, "<row r=\"12\"><c r=\"A\xD9\xA3\"><v>1</v></c></row>") << ""
        << "xl/worksheets/sheet1.xml：内容有误：单元格位置 A٣ 不存在";
    QTest::newRow("elements nested 100 deep")
        << tenProducts({}, "<row r=\"12\"><c r=\"B12\"><v>1</v>" + repeated("<x>", 100) + repeated("</x>", 100) + "</c></row>")
        << "" << "xl/worksheets/sheet1.xml：内容有误：元素嵌套超过 64 层";
    QTest::newRow("a document type in the table of texts")
        << tenProducts("<!DOCTYPE sst [<!ENTITY a \"aaaaaaaa\">]>" + items) << ""
        << "xl/sharedStrings.xml：内容有误：含有文档类型定义";

    QList<Part> stored = good;
    for (Part &p : stored) p.stored = true;
    QTest::newRow("table of texts fails its CRC") << stored << "crc xl/sharedStrings.xml"
                                                  << "xl/sharedStrings.xml：数据已损坏（CRC 校验不符）";
    QTest::newRow("sheet fails its CRC") << stored << "crc xl/worksheets/sheet1.xml"
                                         << "xl/worksheets/sheet1.xml：数据已损坏（CRC 校验不符）";
    QTest::newRow("table of texts does not unpack") << good << "inflate xl/sharedStrings.xml"
                                                    << "xl/sharedStrings.xml：数据已损坏（压缩的数据无法解开）";
    QTest::newRow("relationships do not unpack") << good << "inflate xl/_rels/workbook.xml.rels"
                                                 << "xl/_rels/workbook.xml.rels：数据已损坏（压缩的数据无法解开）";
}

void tst_import::refusesDamagedParts()
{
    QFETCH(QList<CraftedBook::Part>, parts);
    QFETCH(QString, damage);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString file = dir.filePath("book.xlsx");
    QVERIFY(CraftedBook::writeZip(file, parts));
    if (!damage.isEmpty()) QVERIFY(CraftedBook::damagePart(file, damage.section(' ', 1), damage.startsWith("inflate")));
    Sheet s;
    s.columns << "untouched";
    QString error;
    QVERIFY2(!SheetFile::read(file, "Sheet1", &s, &error), qPrintable(QString::number(s.rowCount())));
    QVERIFY2(error.contains(told), qPrintable(error));
    QCOMPARE(s.columns, QStringList{"untouched"});
}

void tst_import::damagedWorkbookImportsNothing()
{
    // One bare "&" in the table of texts: neither screen shows a row of the file or imports any.
    QByteArray texts;
    for (const CraftedBook::Part &p : tenProducts())
        if (p.name == QLatin1String("xl/sharedStrings.xml")) texts = p.data;
    texts = texts.mid(texts.indexOf("<si>"), texts.lastIndexOf("</sst>") - texts.indexOf("<si>")).replace("商品 6", "A & B");
    QTemporaryDir dir;
    const QString products = dir.filePath("products.xlsx");
    QVERIFY(CraftedBook::writeZip(products, tenProducts(texts)));
    QList<CraftedBook::Part> partnerParts = tenProducts(texts);
    for (CraftedBook::Part &p : partnerParts)
        if (p.name == QLatin1String("xl/sharedStrings.xml"))
            p.data.replace("<t>商品名称</t>", "<t>单位名称</t>").replace("<t>商品分类</t>", "<t>联系人</t>")
                .replace("<t>规格</t>", "<t>联系电话</t>").replace("<t>单位</t>", "<t>地址</t>");
    const QString partners = dir.filePath("partners.xlsx");
    QVERIFY(CraftedBook::writeZip(partners, partnerParts));

    Shop shop;
    MsgSpy msgs;
    frmShop_D p;
    QVERIFY(!p.openFile(products));
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Error);
    QVERIFY2(msgs.lastText().contains("xl/sharedStrings.xml"), qPrintable(msgs.lastText()));
    QCOMPARE(p.grid()->model()->rowCount(), 0);
    QVERIFY(!p.importButton()->isEnabled());
    p.BitBtn1Click();
    QCOMPARE(shop.n("select count(*) from SShop"), 2);

    frmUnits_D u;
    QVERIFY(!u.openFile(partners));
    QVERIFY2(msgs.lastText().contains("xl/sharedStrings.xml"), qPrintable(msgs.lastText()));
    QVERIFY(!u.importButton()->isEnabled());
    u.BitBtn1Click();
    QCOMPARE(shop.n("select count(*) from SUnits"), 0);
    for (const Msg::Shown &m : msgs.shown) QVERIFY2(!m.text.contains("成功"), qPrintable(m.text));
}

void tst_import::importsProducts_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xls") << data("import_products.xls");
    QTest::newRow("xlsx") << data("import_products.xlsx");
}

void tst_import::importsProducts()
{
    QFETCH(QString, file);
    Shop shop;
    const int typesBefore = shop.n("select count(*) from SType");
    const SheetImport::Outcome o = SheetImport::importProducts(shop.dm(), readOrFail(file), true, "一号库");
    QVERIFY2(o.ok, qPrintable(o.message));
    QCOMPARE(o.imported, 5);
    QCOMPARE(o.skipped, 1);     // the row without a name
    QCOMPARE(o.categories, 1);  // 饮料, named twice, created once

    // A new category: enabled, discount 100, once; the existing one untouched.
    QCOMPARE(shop.n("select count(*) from SType"), typesBefore + 1);
    QCOMPARE(shop.dm().rows("select theState,theZK,Remark from SType where theName='饮料'"),
             (QVector<QVariantList>{{"启用", 100, ""}}));
    QCOMPARE(shop.n("select count(*) from SType where theName='零食'"), 1);

    const QVariantList cola = shop.product("P001");
    QCOMPARE(cola.mid(0, 4), (QVariantList{"饮料", "可口可乐", "500ml", "瓶"}));
    QCOMPARE(Money::fromVariant(cola[4]).toString(), QStringLiteral("2.5"));
    QCOMPARE(Money::fromVariant(cola[5]).toString(), QStringLiteral("3"));
    QCOMPARE(Money::fromVariant(cola[6]).toString(), QStringLiteral("2.5"));   // cost = purchase price
    QCOMPARE(cola[7].toString(), QStringLiteral("冷藏"));
    QCOMPARE(cola[8].toString(), QStringLiteral("KKKL"));
    QCOMPARE(cola[9].toInt(), 100);
    QCOMPARE(Money::fromVariant(cola[10]).toString(), QStringLiteral("5"));
    QCOMPARE(Money::fromVariant(cola[11]).toString(), QStringLiteral("500"));
    QCOMPARE(cola.mid(12, 3), (QVariantList{"2012-11-16", "启用", "否"}));
    QCOMPARE(shop.stock(cola[15].toInt()), QStringLiteral("10"));

    // A row without a code gets the next product number of the business date.
    const QVariantList sprite = shop.product("1211160002");
    QCOMPARE(sprite.value(1).toString(), QStringLiteral("雪碧"));
    QCOMPARE(sprite.value(7).toString(), QStringLiteral("2012-11-16"));
    QCOMPARE(shop.stock(sprite.value(15).toInt()), QStringLiteral("5"));

    // The code of a deleted product makes a new product; the deleted one stays as it was.
    const QVariantList chips = shop.product("P100");
    QCOMPARE(chips.value(1).toString(), QStringLiteral("薯片"));
    QVERIFY(chips.value(15).toInt() != shop.p100);
    QCOMPARE(chips.value(9).toInt(), 90);   // the discount of the existing category
    QCOMPARE(shop.n("select count(*) from SShop where theNum='P100'"), 2);
    QCOMPARE(shop.stock(shop.p100), QStringLiteral("none"));

    // The code of a live product: nothing of it changes, its stock grows at its own purchase price.
    const QVariantList old = shop.product("P200");
    QCOMPARE(old.mid(0, 2), (QVariantList{"零食", "老商品"}));
    QCOMPARE(Money::fromVariant(old[4]).toString(), QStringLiteral("8"));
    QCOMPARE(old[7].toString(), QStringLiteral("老备注"));
    QCOMPARE(shop.stock(shop.p200), QStringLiteral("7"));
    QCOMPARE(shop.dm().rows("select theType,theNum,ICount,OCount,SPrice,WCount,theDate,UName from SList where SID=?",
                            {shop.p200}),
             (QVector<QVariantList>{{"商品导入", "", 7, 0, 8, 7, "2012-11-16", "系统管理员"}}));

    // A number as code, empty prices as 0, no quantity: a stock row of 0.
    const QVariantList biscuit = shop.product("6901234567890");
    QCOMPARE(biscuit.value(1).toString(), QStringLiteral("饼干"));
    QCOMPARE(Money::fromVariant(biscuit.value(4)).toString(), QStringLiteral("0"));
    QCOMPARE(shop.stock(biscuit.value(15).toInt()), QStringLiteral("0"));

    // Texts cut to the field's length; the input code from the cut name.
    const QVariantList longOne = shop.product("P005");
    QCOMPARE(longOne.value(1).toString().size(), 50);
    QCOMPARE(longOne.value(0).toString(), QString());
    QCOMPARE(longOne.value(9).toInt(), 100);
    QCOMPARE(shop.stock(longOne.value(15).toInt()), QStringLiteral("0.5"));

    // The row without a name made nothing.
    QCOMPARE(shop.n("select count(*) from SShop where theNum='P300'"), 0);
    QCOMPARE(shop.n("select count(*) from SList where theType='商品导入' and theNum=''"), 6);

    // The stock is booked at every run: a second import doubles it.
    const SheetImport::Outcome again = SheetImport::importProducts(shop.dm(), readOrFail(file), true, "一号库");
    QVERIFY(again.ok);
    QCOMPARE(again.categories, 0);
    QCOMPARE(shop.stock(cola[15].toInt()), QStringLiteral("20"));
}

void tst_import::noStockWithoutSaveStock()
{
    Shop shop;
    const SheetImport::Outcome o =
        SheetImport::importProducts(shop.dm(), readOrFail(data("import_products.xlsx")), false, QString());
    QVERIFY(o.ok);
    QCOMPARE(o.imported, 5);
    QCOMPARE(o.stockRows, 0);
    QCOMPARE(shop.n("select count(*) from UKC"), 0);
    QCOMPARE(shop.n("select count(*) from SList"), 0);
    // The row with a live product's code is passed over entirely.
    QCOMPARE(shop.product("P200").value(1).toString(), QStringLiteral("老商品"));
    QCOMPARE(shop.n("select count(*) from SShop where theNum='P200'"), 1);
}

void tst_import::refusalsImportNothing_data()
{
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("badRow");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("column");
    const QStringList h = productHeader();
    QTest::newRow("price not a number")
        << h << QStringList{"B2", "新分类", "坏价格", "", "个", "abc", "2", "1", ""}
        << "表格第 3 行的 采购单价 “abc”不是有效的数值" << 3 << "采购单价";
    QTest::newRow("grouped digits") << h << QStringList{"B2", "", "坏价格", "", "个", "1", "1,200", "1", ""}
                                    << "表格第 3 行的 销售单价 “1,200”不是有效的数值" << 3 << "销售单价";
    QTest::newRow("five decimals") << h << QStringList{"B2", "", "坏价格", "", "个", "1.23456", "2", "1", ""}
                                   << "表格第 3 行的 采购单价 最多只能有四位小数" << 3 << "采购单价";
    QTest::newRow("negative quantity") << h << QStringList{"B2", "", "坏数量", "", "个", "1", "2", "-3", ""}
                                       << "表格第 3 行的 库存数量 不能小于零" << 3 << "库存数量";
    QTest::newRow("quantity too large") << h << QStringList{"B2", "", "坏数量", "", "个", "1", "2", "1000000000", ""}
                                        << "表格第 3 行的 库存数量 “1000000000”超出允许的范围" << 3 << "库存数量";
    QStringList noRemark = h;
    noRemark.removeLast();
    QStringList noCount = h;
    noCount.removeAt(7);
    QTest::newRow("missing column") << noRemark << QStringList{"B2", "", "好", "", "个", "1", "2", "1"}
                                    << "Sheet1 的表头缺少以下列：备注" << 0 << "";
    QTest::newRow("missing columns before any row") << noCount << QStringList{"B2", "", "坏", "", "个", "x", "y", ""}
                                                    << "缺少以下列：库存数量" << 0 << "";
}

void tst_import::refusalsImportNothing()
{
    QFETCH(QStringList, header);
    QFETCH(QStringList, badRow);
    QFETCH(QString, message);
    QFETCH(int, row);
    QFETCH(QString, column);
    Shop shop;
    // The first row alone would create a product, a category and stock.
    const QStringList good{"A1", "新分类", "好商品", "", "个", "1", "2", "3", ""};
    const Sheet s = sheetOf({header, good, badRow});
    const int products = shop.n("select count(*) from SShop"), types = shop.n("select count(*) from SType");

    const SheetImport::Outcome o = SheetImport::importProducts(shop.dm(), s, true, "一号库");
    QVERIFY(!o.ok);
    QVERIFY2(o.message.contains(message), qPrintable(o.message));
    if (row) {
        QCOMPARE(o.failedRow, row);
        QVERIFY(o.message.contains(QStringLiteral("没有导入")));
        QCOMPARE(o.failedColumn, column);
    }
    QCOMPARE(shop.n("select count(*) from SShop"), products);
    QCOMPARE(shop.n("select count(*) from SType"), types);
    QCOMPARE(shop.n("select count(*) from UKC"), 0);
    QCOMPARE(shop.n("select count(*) from SList"), 0);
}

void tst_import::numbersAreNumbers_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QByteArray>("value");   // as the workbook holds it
    QTest::addColumn<QString>("shown");      // as the refusal shows it; empty when the number is taken
    QTest::newRow("xlsx NaN price") << "xlsx" << "采购单价" << QByteArray("NaN") << "NaN";
    QTest::newRow("xlsx nan sales price") << "xlsx" << "销售单价" << QByteArray("nan") << "nan";
    QTest::newRow("xlsx inf quantity") << "xlsx" << "库存数量" << QByteArray("inf") << "inf";
    QTest::newRow("xlsx -INF price") << "xlsx" << "采购单价" << QByteArray("-INF") << "-INF";
    QTest::newRow("xlsx Infinity quantity") << "xlsx" << "库存数量" << QByteArray("Infinity") << "Infinity";
    QTest::newRow("xlsx 1e999 price") << "xlsx" << "采购单价" << QByteArray("1e999") << "1e999";
    QTest::newRow("xlsx 1E5 quantity is 100000") << "xlsx" << "库存数量" << QByteArray("1E5") << "";
    QTest::newRow("xls NaN price") << "xls" << "采购单价" << QByteArray("nan") << "#NUM!";
    QTest::newRow("xls infinite sales price") << "xls" << "销售单价" << QByteArray("inf") << "#NUM!";
    QTest::newRow("xls -infinite quantity") << "xls" << "库存数量" << QByteArray("-inf") << "#NUM!";
}

void tst_import::numbersAreNumbers()
{
    QFETCH(QString, format);
    QFETCH(QString, column);
    QFETCH(QByteArray, value);
    QFETCH(QString, shown);
    const QStringList header = productHeader();
    const int at = int(header.indexOf(column));
    QTemporaryDir dir;
    QString file;
    if (format == "xlsx") {
        // A number cell (no type) holding the text.
        QByteArray row = CraftedBook::inlineRow(2, {"N1", "", "新商品", "", "个", "1", "2", "3", ""});
        const QByteArray ref = QByteArray(1, char('A' + at)) + "2";
        const qsizetype from = row.indexOf("<c r=\"" + ref + "\"");
        row.replace(from, row.indexOf("</c>", from) + 4 - from, "<c r=\"" + ref + "\"><v>" + value + "</v></c>");
        file = dir.filePath("book.xlsx");
        QVERIFY(CraftedBook::writeZip(file, CraftedBook::xlsx(CraftedBook::inlineRow(1, header) + row)));
    } else {
        QList<CraftedBook::Cell> cells;
        for (int c = 0; c < header.size(); ++c) cells << CraftedBook::Cell{0, c, header[c]};
        cells << CraftedBook::Cell{1, 0, QStringLiteral("N1")} << CraftedBook::Cell{1, 2, QStringLiteral("新商品")}
              << CraftedBook::Cell{1, 5, 1.0} << CraftedBook::Cell{1, 6, 2.0} << CraftedBook::Cell{1, 7, 3.0};
        const double d = value == "nan" ? std::numeric_limits<double>::quiet_NaN()
                                        : (value.startsWith('-') ? -1 : 1) * std::numeric_limits<double>::infinity();
        for (CraftedBook::Cell &c : cells)
            if (c.row == 1 && c.column == at) c.value = d;
        file = dir.filePath("book.xls");
        QVERIFY(CraftedBook::writeXls(file, cells));
    }
    Shop shop;
    const SheetImport::Outcome o = SheetImport::importProducts(shop.dm(), readOrFail(file), true, "一号库");
    if (shown.isEmpty()) {
        QVERIFY2(o.ok, qPrintable(o.message));
        QCOMPARE(shop.stock(shop.product("N1").value(15).toInt()), QStringLiteral("100000"));
        return;
    }
    QVERIFY(!o.ok);
    QCOMPARE(o.failedRow, 2);
    QCOMPARE(o.failedColumn, column);
    QVERIFY2(o.message.contains(QStringLiteral("表格第 2 行的 %1 “%2”不是有效的数值").arg(column, shown)), qPrintable(o.message));
    QCOMPARE(shop.n("select count(*) from SShop"), 2);
    QCOMPARE(shop.n("select count(*) from UKC"), 0);
}

void tst_import::zeroStockForNoQuantity_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::newRow("0") << "0";
    QTest::newRow("empty") << "";
    QTest::newRow("0.0000") << "0.0000";
}

void tst_import::zeroStockForNoQuantity()
{
    // With "保存库存", a row without a quantity still books the product into the
    // warehouse with 0, so it is listed under 零库存 there; a stock row the
    // product already has keeps its quantity. Each booking has its ledger row.
    QFETCH(QString, quantity);
    Shop shop;
    shop.dm().KC_Up("一号库", shop.p200, Money::fromString("6"));
    const Sheet s = sheetOf({productHeader(),
                             {"N1", "", "新商品", "", "个", "1", "2", quantity, ""},
                             {"P200", "", "老商品", "", "个", "1", "2", quantity, ""},
                             {"N2", "", "有库存的新商品", "", "个", "1", "2", "4", ""}});
    const SheetImport::Outcome o = SheetImport::importProducts(shop.dm(), s, true, "一号库");
    QVERIFY2(o.ok, qPrintable(o.message));
    QCOMPARE(o.imported, 2);
    QCOMPARE(o.stockRows, 3);
    const int n1 = shop.product("N1").value(15).toInt();
    QCOMPARE(shop.stock(n1), QStringLiteral("0"));
    QCOMPARE(shop.stock(shop.p200), QStringLiteral("6"));
    QCOMPARE(shop.stock(shop.product("N2").value(15).toInt()), QStringLiteral("4"));
    QCOMPARE(shop.n("select count(*) from UKC where theCount=0 and WName='一号库' and SID=?", {n1}), 1);
    QCOMPARE(shop.n("select count(*) from SList"), 3);

    // Without "保存库存" the same sheet books nothing.
    Shop other;
    const SheetImport::Outcome none = SheetImport::importProducts(other.dm(), s, false, QString());
    QVERIFY2(none.ok, qPrintable(none.message));
    QCOMPARE(other.n("select count(*) from UKC"), 0);
    QCOMPARE(other.n("select count(*) from SList"), 0);
}

void tst_import::failedWriteLeavesNothing_data()
{
    QTest::addColumn<bool>("products");
    QTest::newRow("partners") << false;
    QTest::newRow("products with stock") << true;
}

void tst_import::failedWriteLeavesNothing()
{
    // The engine refuses the third new row: nothing of the file stays, and the screen says so.
    QFETCH(bool, products);
    Shop shop;
    shop.t.addPartner(QStringLiteral("老单位"));
    const QString table = products ? QStringLiteral("SShop") : QStringLiteral("SUnits");
    const int before = shop.n("select count(*) from " + table);
    QTemporaryDir dir;
    const QString file = dir.filePath("book.xlsx");
    QByteArray rows;
    if (products) {
        rows = CraftedBook::inlineRow(1, productHeader());
        for (int r = 2; r <= 6; ++r)
            rows += CraftedBook::inlineRow(r, {QStringLiteral("N%1").arg(r), QStringLiteral("新分类%1").arg(r),
                                               QStringLiteral("新商品%1").arg(r), "", "个", "1", "2", "3", ""});
    } else {
        rows = CraftedBook::inlineRow(1, {"单位名称", "联系人", "联系电话", "地址", "备注"});
        for (int r = 2; r <= 6; ++r) rows += CraftedBook::inlineRow(r, {QStringLiteral("新单位%1").arg(r), "张三"});
    }
    QVERIFY(CraftedBook::writeZip(file, CraftedBook::xlsx(rows)));
    shop.t.failInserts(table, QStringLiteral("refused by the test"), before + 2);

    MsgSpy msgs;
    std::unique_ptr<frmImport> w;
    if (products) w = std::make_unique<frmShop_D>();
    else w = std::make_unique<frmUnits_D>();
    QVERIFY(w->openFile(file));
    QCOMPARE(w->grid()->model()->rowCount(), 5);
    if (products) {
        w->warehouse()->setCurrentIndex(0);
        w->saveStock()->setChecked(true);
    }
    w->BitBtn1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Error);
    QVERIFY2(msgs.lastText().contains("refused by the test") && msgs.lastText().contains("本文件的数据都没有导入"),
             qPrintable(msgs.lastText()));
    QCOMPARE(w->result(), 0);
    shop.t.stopFailing(table);
    QCOMPARE(shop.n("select count(*) from " + table), before);
    QCOMPARE(shop.n("select count(*) from SShop where theName like '新商品%'"), 0);
    QCOMPARE(shop.n("select count(*) from SUnits where theName like '新单位%'"), 0);
    QCOMPARE(shop.n("select count(*) from SType where theName like '新分类%'"), 0);
    QCOMPARE(shop.n("select count(*) from UKC"), 0);
    QCOMPARE(shop.n("select count(*) from SList"), 0);
}

void tst_import::stockNeedsAWarehouse()
{
    Shop shop;
    const SheetImport::Outcome o =
        SheetImport::importProducts(shop.dm(), readOrFail(data("import_products.xls")), true, QString());
    QVERIFY(!o.ok);
    QCOMPARE(o.message, QStringLiteral("请选择 仓库名称！"));
    QCOMPARE(shop.n("select count(*) from SShop"), 2);
}

void tst_import::importsPartners()
{
    TestDb t;
    const int existing = t.addPartner(QStringLiteral("已有单位"), QStringLiteral("供应商"));
    t.dm().mySQL("update SUnits set thePro='原联系人' where ID=?", {existing});
    const int deleted = t.addPartner(QStringLiteral("大华批发"));
    t.dm().mySQL("update SUnits set theDel='是' where ID=?", {deleted});

    const SheetImport::Outcome o = SheetImport::importPartners(t.dm(), readOrFail(data("import_partners.xls")));
    QVERIFY(o.ok);
    QCOMPARE(o.imported, 2);
    QCOMPARE(o.skipped, 1);
    QCOMPARE(o.stoppedAtRow, 5);   // the row without a name ends the import
    QCOMPARE(t.dm().rows("select thePro,thePho,theAdd,Remark,thePY,theType,theState,theDel,theYS,theYF from SUnits "
                         "where theName='华联超市'"),
             (QVector<QVariantList>{{"张三", "13800000000", "北京", "", "HLCS", "两者皆是", "启用", "否", 0, 0}}));
    // The live partner of that name is left as it was; the deleted one does not count.
    QCOMPARE(t.dm().value("select thePro from SUnits where ID=?", {existing}).toString(), QStringLiteral("原联系人"));
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName='已有单位'").toInt(), 1);
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName='大华批发' and theDel='否'").toInt(), 1);
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName='不会导入'").toInt(), 0);
}

void tst_import::partnerImportRunsToTheEnd()
{
    TestDb t;
    const QString longName = QString(60, QChar(0x5E97));
    const Sheet s = sheetOf({{"备注", "地址", "联系电话", "联系人", "单位名称"},
                             {"r", "a", "1", "p", longName},
                             {"", "", "", "", "  空格单位  "},
                             {"", "", "", "", "空格单位"}});
    const SheetImport::Outcome o = SheetImport::importPartners(t.dm(), s);
    QVERIFY(o.ok);
    QCOMPARE(o.stoppedAtRow, 0);
    QCOMPARE(o.imported, 2);
    QCOMPARE(o.skipped, 1);  // the same name once its blanks are trimmed
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName=?", {longName.left(50)}).toInt(), 1);
    // A missing column is told before any row.
    const SheetImport::Outcome m = SheetImport::importPartners(t.dm(), sheetOf({{"单位名称", "联系人"}, {"新单位", "x"}}));
    QVERIFY(!m.ok);
    QVERIFY(m.message.contains(QStringLiteral("联系电话、地址、备注")));
    QCOMPARE(t.dm().value("select count(*) from SUnits where theName='新单位'").toInt(), 0);
}

// The texts a label shows each time it is painted.
class PaintedTexts : public QObject {
public:
    QStringList seen;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const QString text = static_cast<QLabel *>(watched)->text();
            if (!text.isEmpty()) seen << text;
        }
        return false;
    }
};

void tst_import::productScreen()
{
    Shop shop;
    MsgSpy msgs;
    frmShop_D w;
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("商品导入"));
    QCOMPARE(w.focusWidget(), w.openButton());
    QVERIFY(!w.importButton()->isEnabled());
    QCOMPARE(w.findChild<QLabel *>("Label1")->text(),
             QStringLiteral("打开的EXCEL文件的底部一定是Sheet1，表格头部顺序为商品编码、商品分类、商品名称、规格、单位、采购单价、"
                            "销售单价、库存数量、备注"));
    QCOMPARE(w.warehouse()->currentIndex(), -1);
    QCOMPARE(w.warehouse()->count(), 1);

    msgs.answer = true;
    Msg::setAnswerText(data("import_products.xlsx"));
    w.Button1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::FileOpen);
    QVERIFY(msgs.shown.last().text.contains("*.xls") && msgs.shown.last().text.contains("*.xlsx"));
    QCOMPARE(w.dataGroup()->title(), QStringLiteral("EXCEL数据  共有 7 条数据"));
    QCOMPARE(w.grid()->model()->rowCount(), 7);
    QCOMPARE(w.grid()->columnWidth(2), 200);
    QCOMPARE(w.grid()->model()->headerData(0, Qt::Vertical).toInt(), 2);
    QCOMPARE(w.grid()->model()->index(0, 1).data().toString(), QStringLiteral("P001"));
    QVERIFY(w.importButton()->isEnabled());

    // A file that cannot be read is told; the grid keeps the sheet.
    Msg::setAnswerText(data("tst_import.nothing"));
    w.Button1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Error);
    QCOMPARE(w.grid()->model()->rowCount(), 7);

    // Stock asked for without a warehouse.
    w.saveStock()->setChecked(true);
    w.BitBtn1Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("请选择 仓库名称！"));
    QCOMPARE(w.focusWidget(), w.warehouse());
    QCOMPARE(shop.n("select count(*) from SShop"), 2);

    // Choosing a warehouse ticks "保存库存".
    w.saveStock()->setChecked(false);
    w.warehouse()->setCurrentIndex(0);
    emit w.warehouse()->activated(0);
    QVERIFY(w.saveStock()->isChecked());
    // While it runs the import says that the other seats' saves wait for it.
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    PaintedTexts painted;
    w.statusLabel()->installEventFilter(&painted);
    w.BitBtn1Click();
    QCOMPARE(painted.seen, QStringList{QStringLiteral("正在导入，导入完成前其他电脑不能保存单据…")});
    QCOMPARE(w.statusLabel()->text(), QString());
    QCOMPARE(msgs.lastText(), QStringLiteral("成功导入数据 5 条！"));
    QVERIFY(!w.isVisible());
    QCOMPARE(shop.stock(shop.p200), QStringLiteral("7"));
}

void tst_import::partnerScreenRealModalLoop()
{
    TestDb t;
    Msg::setHandler(nullptr);
    frmUnits_D w;
    QStringList shown;
    auto closeBox = [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->accept();
        }
    };
    QTimer::singleShot(0, &w, [&] {
        QVERIFY(w.openFile(data("import_partners.xls")));
        QCOMPARE(w.dataGroup()->title(), QStringLiteral("EXCEL数据  共有 5 条数据"));
        QCOMPARE(w.grid()->columnWidth(0), 120);
        QTimer::singleShot(50, &w, closeBox);
        w.importButton()->click();
        // The import stopped at the row without a name: the screen stays open.
        QTimer::singleShot(0, &w, [&] { w.reject(); });
    });
    QTimer guard;
    connect(&guard, &QTimer::timeout, [] {
        if (QWidget *m = QApplication::activeModalWidget()) m->close();
    });
    guard.start(3000);
    w.exec();
    QCOMPARE(shown, QStringList{QStringLiteral("表格第 5 行的 单位名称 为空，导入到此为止。\n此前的 3 条新单位已保存。")});
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QCOMPARE(t.dm().value("select count(*) from SUnits").toInt(), 3);
}

QTEST_MAIN(tst_import)
#include "tst_import.moc"
