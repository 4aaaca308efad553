// The spreadsheet export: what the written workbook holds when read back, and
// how the "Excel" button's work reports a file that cannot be made or opened.
#include "data/globals.h"
#include "ui/exportopen.h"
#include "export/xlsxexport.h"
#include "ui/msg.h"
#include "xlsxread.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStandardItemModel *tableModel(const QList<QStringList> &rows, QObject *parent)
{
    auto *m = new QStandardItemModel(0, rows.isEmpty() ? 0 : int(rows.first().size()), parent);
    for (const QStringList &r : rows) {
        QList<QStandardItem *> items;
        for (const QString &s : r) items << new QStandardItem(s);
        m->appendRow(items);
    }
    return m;
}

ExportColumn col(const QString &header, int column, bool asText = false, bool number = false)
{
    ExportColumn c;
    c.header = header;
    c.column = column;
    c.asText = asText;
    c.number = number;
    return c;
}

// A purchase-list-like layout: date (text), number, code (text), phone, amount,
// paid, remark; totals under the two amounts.
ExportLayout docLayout()
{
    ExportLayout l;
    l.shopName = QStringLiteral("测试商店");
    l.titleWord = QStringLiteral("采购入库表");
    l.columns = {col(QStringLiteral("采购日期"), 0, true), col(QStringLiteral("单号"), 1),
                 col(QStringLiteral("商品编码"), 2, true), col(QStringLiteral("联系电话"), 3),
                 col(QStringLiteral("合计金额"), 4, false, true), col(QStringLiteral("付款金额"), 5, false, true),
                 col(QStringLiteral("备注"), 6)};
    l.widths = {4, 10, 12, 0};
    l.restWidth = 8;
    l.totals = true;
    l.totalCells = {{5, QStringLiteral("13.1")}, {6, QString()}};
    return l;
}

QList<QStringList> docRows()
{
    return {
        {"2012-11-16", "CG121116-0001", "000123", "0571888", "12.5", "", "首单"},
        {"2012-11-17", "CG121117-0001", "A-7", "42", "0.6", "3", ""},
    };
}

} // namespace

class TestXlsxExport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void writesTitleHeaderRecordsAndTotals();
    void keepsTextAndConvertsOnlyPlainNumbers();
    void bordersAndBodyFontCoverHeaderToLastRow();
    void pageSetup_data();
    void pageSetup();
    void emptyResultBorderEnd_data();
    void emptyResultBorderEnd();
    void blockBetweenTitleAndHeader();
    void blockCellsInAnyOrder();
    void longListReportsProgressAndEndsWithTotals();
    void fileNamesNeverCollide();

    void opensWrittenFileInExportFolder();
    void reportsFileThatNothingOpens();
    void reportsFileThatCannotBeWritten();

private:
    QString writeFile(const ExportLayout &l, const QList<QStringList> &rows);
    QTemporaryDir m_dir;
    QStringList m_shown;
};

void TestXlsxExport::init()
{
    m_shown.clear();
    Msg::setHandler([this](const Msg::Shown &s) { m_shown << s.text; return 0; });
    G.AppPath = m_dir.path() + QLatin1Char('/');
    G.ShopName = QStringLiteral("测试商店");
}

void TestXlsxExport::cleanup()
{
    Msg::setHandler(nullptr);
    ExportOpen::setOpener(nullptr);
}

QString TestXlsxExport::writeFile(const ExportLayout &l, const QList<QStringList> &rows)
{
    QStandardItemModel *m = tableModel(rows, this);
    const QString path = XlsxExport::fileName(m_dir.path(), l.titleWord, QDateTime::currentDateTime());
    QString err;
    const bool ok = XlsxExport::write(path, l, m, &err);
    delete m;
    if (!ok) qWarning() << err;
    return ok ? path : QString();
}

void TestXlsxExport::writesTitleHeaderRecordsAndTotals()
{
    const QString path = writeFile(docLayout(), docRows());
    QVERIFY(!path.isEmpty());
    XlsxRead x;
    QVERIFY2(x.load(path), qPrintable(x.error()));

    // Title: shop name + title word over A1 to the last column (A + 7 = H).
    QCOMPARE(x.text("A1"), QStringLiteral("测试商店采购入库表"));
    QCOMPARE(x.merged(), QStringList{QStringLiteral("A1:H1")});
    QCOMPARE(x.fontName("A1"), QStringLiteral("宋体"));
    QCOMPARE(x.fontSize("A1"), 16.0);
    QVERIFY(x.bold("A1"));
    QCOMPARE(x.hAlign("A1"), QStringLiteral("center"));
    QCOMPARE(x.vAlign("A1"), QStringLiteral("center"));
    QCOMPARE(x.title(), QStringLiteral("测试商店采购入库表"));

    // Header row: "序号" then the captions, bold and centred.
    const QStringList header{"序号", "采购日期", "单号", "商品编码", "联系电话", "合计金额", "付款金额", "备注"};
    for (int i = 0; i < header.size(); ++i) {
        const QString ref = QChar('A' + i) + QStringLiteral("2");
        QCOMPARE(x.text(ref), header[i]);
        QVERIFY(x.bold(ref));
        QCOMPARE(x.hAlign(ref), QStringLiteral("center"));
    }

    // Records with running numbers from row 3, centred.
    QCOMPARE(x.value("A3").toInt(), 1);
    QCOMPARE(x.type("A3"), QStringLiteral("n"));
    QCOMPARE(x.value("A4").toInt(), 2);
    QCOMPARE(x.hAlign("A4"), QStringLiteral("center"));
    QCOMPARE(x.text("C3"), QStringLiteral("CG121116-0001"));
    QCOMPARE(x.text("H3"), QStringLiteral("首单"));
    QVERIFY(!x.bold("C3"));

    // Totals row right after the last record.
    QCOMPARE(x.text("A5"), QStringLiteral("合计"));
    QCOMPARE(x.hAlign("A5"), QStringLiteral("center"));
    QCOMPARE(x.type("F5"), QStringLiteral("n"));
    QCOMPARE(x.value("F5").toDouble(), 13.1);
    QCOMPARE(x.type("G5"), QString());   // an empty sum stays empty
    QCOMPARE(x.maxRow(), 5);

    // Widths: A, B, C as given, D hidden by width 0, the rest 8.
    QVERIFY(qAbs(x.width("A") - 4) < 1);
    QVERIFY(qAbs(x.width("B") - 10) < 1);
    QVERIFY(qAbs(x.width("C") - 12) < 1);
    QVERIFY(x.hidden("D"));
    QVERIFY(qAbs(x.width("G") - 8) < 1);
    QVERIFY(!x.hidden("G"));
}

void TestXlsxExport::keepsTextAndConvertsOnlyPlainNumbers()
{
    const QString path = writeFile(docLayout(), docRows());
    XlsxRead x;
    QVERIFY2(x.load(path), qPrintable(x.error()));

    // Text columns keep what was shown, as text cells.
    QCOMPARE(x.type("D3"), QStringLiteral("s"));
    QCOMPARE(x.text("D3"), QStringLiteral("000123"));
    QCOMPARE(x.numberFormat("D3"), QStringLiteral("@"));
    QCOMPARE(x.type("B3"), QStringLiteral("s"));
    QCOMPARE(x.text("B3"), QStringLiteral("2012-11-16"));

    // Number columns are numbers; an empty amount stays empty.
    QCOMPARE(x.type("F3"), QStringLiteral("n"));
    QCOMPARE(x.value("F3").toDouble(), 12.5);
    QCOMPARE(x.value("F4").toDouble(), 0.6);
    QCOMPARE(x.type("G3"), QString());
    QCOMPARE(x.value("G4").toDouble(), 3.0);

    // Other columns: a plain number becomes a number, a leading zero keeps the text.
    QCOMPARE(x.type("E3"), QStringLiteral("s"));
    QCOMPARE(x.text("E3"), QStringLiteral("0571888"));
    QCOMPARE(x.type("E4"), QStringLiteral("n"));
    QCOMPARE(x.value("E4").toInt(), 42);
}

void TestXlsxExport::bordersAndBodyFontCoverHeaderToLastRow()
{
    const QString path = writeFile(docLayout(), docRows());
    XlsxRead x;
    QVERIFY2(x.load(path), qPrintable(x.error()));

    // Every cell from A2 to H5 (the totals row), filled or empty.
    for (int row = 2; row <= 5; ++row)
        for (char c = 'A'; c <= 'H'; ++c) {
            const QString ref = QChar(c) + QString::number(row);
            QVERIFY2(x.has(ref), qPrintable(ref));
            QCOMPARE(x.border(ref), QStringLiteral("thin"));
            QCOMPARE(x.fontSize(ref), 9.0);
        }
    QCOMPARE(x.border("A1"), QString());
    QVERIFY(!x.has("A6") || x.border("A6").isEmpty());
    QVERIFY(!x.has("I3") || x.border("I3").isEmpty());
}

void TestXlsxExport::pageSetup_data()
{
    QTest::addColumn<bool>("portrait");
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<QString>("footer");
    QTest::newRow("landscape") << false << QStringLiteral("Tavrel进销存") << QStringLiteral("landscape")
                               << QStringLiteral("Tavrel进销存 共&N页，第&P页");
    QTest::newRow("portrait, own product name") << true << QStringLiteral("Tavrel进销存软件") << QString()
                                                << QStringLiteral("Tavrel进销存软件 共&N页，第&P页");
}

void TestXlsxExport::pageSetup()
{
    QFETCH(bool, portrait);
    QFETCH(QString, product);
    QFETCH(QString, orientation);
    QFETCH(QString, footer);

    ExportLayout l = docLayout();
    l.portrait = portrait;
    l.footerProduct = product;
    XlsxRead x;
    QVERIFY2(x.load(writeFile(l, docRows())), qPrintable(x.error()));
    if (orientation.isEmpty()) QVERIFY(x.orientation() != QStringLiteral("landscape"));
    else QCOMPARE(x.orientation(), orientation);
    QCOMPARE(x.footerCentre(), footer);
}

void TestXlsxExport::emptyResultBorderEnd_data()
{
    QTest::addColumn<bool>("totals");
    QTest::addColumn<int>("lastRow");
    QTest::newRow("no totals row") << false << 2;
    QTest::newRow("totals row") << true << 3;
}

void TestXlsxExport::emptyResultBorderEnd()
{
    QFETCH(bool, totals);
    QFETCH(int, lastRow);

    ExportLayout l = docLayout();
    l.totals = totals;
    l.totalCells = {{5, QString()}, {6, QString()}};
    XlsxRead x;
    QVERIFY2(x.load(writeFile(l, {})), qPrintable(x.error()));
    QCOMPARE(x.text("A2"), QStringLiteral("序号"));
    QCOMPARE(x.maxRow(), lastRow);
    QCOMPARE(x.border(QStringLiteral("H%1").arg(lastRow)), QStringLiteral("thin"));
    if (totals) {
        QCOMPARE(x.text("A3"), QStringLiteral("合计"));
        QCOMPARE(x.type("F3"), QString());
    }
}

void TestXlsxExport::blockBetweenTitleAndHeader()
{
    // The stock movement sheet: a product block in rows 2 to 4, header in row 5.
    ExportLayout l;
    l.shopName = QStringLiteral("测试商店");
    l.titleWord = QStringLiteral("商品流动表");
    l.columns = {col(QStringLiteral("营业日期"), 0), col(QStringLiteral("入库数量"), 1, false, true)};
    l.serialCentred = false;
    l.footerProduct = QStringLiteral("Tavrel进销存软件");
    l.blockRows = 3;
    l.block = {{0, 0, QStringLiteral("商品编码"), 1, false}, {0, 2, QStringLiteral("000123"), -1, true},
               {2, 0, QStringLiteral("备注"), 1, false}};
    XlsxRead x;
    QVERIFY2(x.load(writeFile(l, {{"2012-11-16", "5"}})), qPrintable(x.error()));

    QVERIFY(x.merged().contains(QStringLiteral("A1:C1")));
    QVERIFY(x.merged().contains(QStringLiteral("A2:B2")));
    QVERIFY(x.merged().contains(QStringLiteral("A4:B4")));
    QCOMPARE(x.text("A2"), QStringLiteral("商品编码"));
    QCOMPARE(x.type("C2"), QStringLiteral("s"));
    QCOMPARE(x.text("C2"), QStringLiteral("000123"));
    QVERIFY(!x.bold("A2"));
    QCOMPARE(x.border("C3"), QStringLiteral("thin"));   // blank block cells are bordered too

    QCOMPARE(x.text("A5"), QStringLiteral("序号"));
    QVERIFY(x.bold("A5"));
    QVERIFY(x.hAlign("A5") != QStringLiteral("center"));
    QCOMPARE(x.value("A6").toInt(), 1);
    QVERIFY(x.hAlign("A6") != QStringLiteral("center"));
    QCOMPARE(x.value("C6").toDouble(), 5.0);
    QCOMPARE(x.maxRow(), 6);
}

void TestXlsxExport::blockCellsInAnyOrder()
{
    // The sheet is written row after row; cells of the block given out of
    // row order still land where they belong.
    ExportLayout l;
    l.shopName = QStringLiteral("测试商店");
    l.titleWord = QStringLiteral("商品流动表");
    l.columns = {col(QStringLiteral("营业日期"), 0), col(QStringLiteral("入库数量"), 1, false, true),
                 col(QStringLiteral("单价"), 2, false, true), col(QStringLiteral("库存数量"), 3, false, true)};
    l.blockRows = 3;
    l.block = {{2, 0, QStringLiteral("备注"), 1, false}, {2, 2, QStringLiteral("常备"), 4, false},
               {0, 2, QStringLiteral("000123"), -1, true}, {1, 0, QStringLiteral("规格"), 1, false},
               {0, 0, QStringLiteral("商品编码"), 1, false}};
    XlsxRead x;
    QVERIFY2(x.load(writeFile(l, {{"2012-11-16", "5", "2.5", "7"}})), qPrintable(x.error()));
    QCOMPARE(x.text("A2"), QStringLiteral("商品编码"));
    QCOMPARE(x.text("C2"), QStringLiteral("000123"));
    QCOMPARE(x.text("A3"), QStringLiteral("规格"));
    QCOMPARE(x.text("A4"), QStringLiteral("备注"));
    QCOMPARE(x.text("C4"), QStringLiteral("常备"));
    for (const char *m : {"A1:E1", "A2:B2", "A3:B3", "A4:B4", "C4:E4"})
        QVERIFY2(x.merged().contains(QLatin1String(m)), m);
    QCOMPARE(x.text("A5"), QStringLiteral("序号"));
    QCOMPARE(x.value("E6").toDouble(), 7.0);
}

void TestXlsxExport::longListReportsProgressAndEndsWithTotals()
{
    const int records = 1234;
    QList<QStringList> rows;
    for (int i = 1; i <= records; ++i)
        rows << QStringList{QStringLiteral("2012-11-16"), QStringLiteral("CG%1").arg(i), QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')),
                            QString(), QString::number(i), QStringLiteral("0.5"), QString()};
    QStandardItemModel *m = tableModel(rows, this);
    const QString path = XlsxExport::fileName(m_dir.path(), QStringLiteral("长表"), QDateTime::currentDateTime());
    QList<QPair<int, int>> heard;
    QVERIFY(XlsxExport::write(path, docLayout(), m, nullptr, [&heard](int done, int total) { heard << qMakePair(done, total); }));
    delete m;

    // Now and then while the rows are written, and once at the end.
    QVERIFY(heard.size() >= 3);
    QCOMPARE(heard.first(), qMakePair(0, records));
    QCOMPARE(heard.last(), qMakePair(records, records));
    for (int i = 1; i < heard.size(); ++i) QVERIFY(heard[i].first > heard[i - 1].first);

    XlsxRead x;
    QVERIFY2(x.load(path), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), QStringLiteral("测试商店采购入库表"));
    QCOMPARE(x.value("A3").toInt(), 1);
    QCOMPARE(x.text("D3"), QStringLiteral("000001"));
    const QString last = QString::number(records + 2);
    QCOMPARE(x.value("A" + last).toInt(), records);
    QCOMPARE(x.text("C" + last), QStringLiteral("CG%1").arg(records));
    QCOMPARE(x.text("D" + last), QStringLiteral("001234"));
    QCOMPARE(x.value("F" + last).toInt(), records);
    const QString total = QString::number(records + 3);
    QCOMPARE(x.text("A" + total), QStringLiteral("合计"));
    QCOMPARE(x.value("F" + total).toDouble(), 13.1);
    QCOMPARE(x.border("H" + total), QStringLiteral("thin"));
    QCOMPARE(x.maxRow(), records + 3);
}

void TestXlsxExport::fileNamesNeverCollide()
{
    const QDateTime when(QDate(2012, 11, 16), QTime(9, 30, 12));
    const QString a = XlsxExport::fileName(m_dir.path(), QStringLiteral("付款表"), when);
    QCOMPARE(QFileInfo(a).fileName(), QStringLiteral("付款表_20121116_093012.xlsx"));
    QFile f(a);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    const QString b = XlsxExport::fileName(m_dir.path(), QStringLiteral("付款表"), when);
    QVERIFY(b != a);
    QCOMPARE(QFileInfo(b).fileName(), QStringLiteral("付款表_20121116_093012_2.xlsx"));
    QCOMPARE(QFileInfo(XlsxExport::fileName(m_dir.path(), QStringLiteral("a/b"), when)).fileName(),
             QStringLiteral("a_b_20121116_093012.xlsx"));
    QFile::remove(a);
}

void TestXlsxExport::opensWrittenFileInExportFolder()
{
    QString opened;
    ExportOpen::setOpener([&opened](const QString &p) { opened = p; return true; });
    QStandardItemModel *m = tableModel(docRows(), this);
    const QString path = ExportOpen::run(nullptr, docLayout(), m);
    delete m;

    QVERIFY(!path.isEmpty());
    QCOMPARE(opened, path);
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(G.AppPath + QStringLiteral("Export")).absoluteFilePath());
    QVERIFY(QFileInfo(path).fileName().startsWith(QStringLiteral("采购入库表_")));
    QVERIFY(m_shown.isEmpty());
    XlsxRead x;
    QVERIFY2(x.load(path), qPrintable(x.error()));
    QCOMPARE(x.text("D3"), QStringLiteral("000123"));
}

void TestXlsxExport::reportsFileThatNothingOpens()
{
    QString tried;
    ExportOpen::setOpener([&tried](const QString &p) { tried = p; return false; });
    QStandardItemModel *m = tableModel(docRows(), this);
    const QString path = ExportOpen::run(nullptr, docLayout(), m);
    delete m;

    QVERIFY(path.isEmpty());
    QVERIFY(QFileInfo::exists(tried));
    QCOMPARE(m_shown, QStringList{QStringLiteral("无法创建Xls文件，请确认是否安装EXCEL\n") + QDir::toNativeSeparators(tried)});
}

void TestXlsxExport::reportsFileThatCannotBeWritten()
{
    // A file where the export folder should be: nothing can be written there.
    QTemporaryDir other;
    G.AppPath = other.path() + QLatin1Char('/');
    QFile blocker(G.AppPath + QStringLiteral("Export"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    bool called = false;
    ExportOpen::setOpener([&called](const QString &) { called = true; return true; });
    QStandardItemModel *m = tableModel(docRows(), this);
    const QString path = ExportOpen::run(nullptr, docLayout(), m);
    delete m;

    QVERIFY(path.isEmpty());
    QVERIFY(!called);
    QCOMPARE(m_shown, QStringList{QStringLiteral("无法创建Xls文件，请确认是否安装EXCEL")});
}

QTEST_MAIN(TestXlsxExport)
#include "tst_xlsxexport.moc"
