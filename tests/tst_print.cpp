// Printed documents: each operation writes a PDF that is read back as text.
#include "data/dm.h"
#include "data/globals.h"
#include "print/doclayouts.h"
#include "print/printops.h"
#include "print/reportoutput.h"
#include "ui/msg.h"
#include "stock/stockdoc.h"
#include "testdb.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QToolBar>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

using PrintOp = bool (*)(frmDM &, const QString &, const Print::Target &);

PrintOp opByName(const QString &name)
{
    static const QHash<QString, PrintOp> ops{
        {"PrintIn_CG", Print::PrintIn_CG},   {"PrintIn_CT", Print::PrintIn_CT},   {"PrintIn_FK", Print::PrintIn_FK},
        {"PrintOut_XS", Print::PrintOut_XS}, {"PrintOut_XS1", Print::PrintOut_XS1}, {"PrintOut_XT", Print::PrintOut_XT},
        {"PrintOut_SK", Print::PrintOut_SK}, {"PrintDB", Print::PrintDB},         {"PrintBS", Print::PrintBS},
        {"PrintBY", Print::PrintBY}};
    return ops.value(name);
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF, or of one of its pages (from 1), laid out as printed.
QString pdfText(const QString &file, int page = 0)
{
    QStringList args{"-layout", "-enc", "UTF-8"};
    if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
    return run("pdftotext", args << file << "-");
}

int pdfPages(const QString &file)
{
    const auto m = QRegularExpression("^Pages:\\s+(\\d+)", QRegularExpression::MultilineOption)
                       .match(run("pdfinfo", {file}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pdfPageSize(const QString &file)
{
    const auto m = QRegularExpression("^Page size:\\s+(\\S+ x \\S+) pts", QRegularExpression::MultilineOption)
                       .match(run("pdfinfo", {file}));
    return m.captured(1);
}

QStringList textLines(const QString &text) { return text.split('\n'); }

// The printed line rows: each split into its words (sequence, product number, ...).
QVector<QStringList> lineRows(const QString &text)
{
    static const QRegularExpression lineRow("^\\s*\\d+\\s+SP\\d+\\s");
    QVector<QStringList> out;
    for (const QString &l : textLines(text))
        if (lineRow.match(l).hasMatch()) out << l.simplified().split(' ');
    return out;
}

// Index of the first text line containing `what` at or after `from`, or -1.
int lineIndex(const QStringList &lines, const QString &what, int from = 0)
{
    for (int i = from; i < lines.size(); ++i)
        if (lines[i].contains(what)) return i;
    return -1;
}

QString today() { return QDate::currentDate().toString("yyyy-MM-dd"); }

void insertRow(frmDM &dm, const QString &table, const QVariantMap &values)
{
    QStringList marks;
    for (int i = 0; i < values.size(); ++i) marks << "?";
    dm.mySQL(QString("insert into %1(%2) values(%3)").arg(table, values.keys().join(','), marks.join(',')),
             values.values());
}

const QStringList ShopLines{"电话：0571-1234567", "地址：杭州市文三路88号", "经营：五金交电", "账号：6222-0001", "税号：330100123"};

void setShop(frmDM &dm, const QString &name, const QStringList &lines)
{
    dm.mySQL("update SDept set theName=?, thePhone=?, theAdd=?, theGG=?, theZH=?, theSW=?",
             {name, lines[0], lines[1], lines[2], lines[3], lines[4]});
}

// A product whose number is "SP" + three digits.
int product(TestDb &t, int n)
{
    const int sid = t.addProduct(QString("商品%1").arg(n));
    t.dm().mySQL("update SShop set theNum=?, theStand=?, theUnit='箱' where ID=?",
                 {QString("SP%1").arg(n, 3, 10, QChar('0')), QString("规格%1").arg(n), sid});
    return sid;
}

} // namespace

class TstPrint : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void purchaseReceiptLinesTotalAndShopLines();
    void salesPricesAndQuantities_data();
    void salesPricesAndQuantities();
    void pagesRepeatHeaderAndKeepFooterTogether_data();
    void pagesRepeatHeaderAndKeepFooterTogether();
    void shopLinesChangeTheNextPrint();
    void unknownNumberPrintsEmptyForm_data();
    void unknownNumberPrintsEmptyForm();
    void eachKindPrintsItsHeaderAndFooter_data();
    void eachKindPrintsItsHeaderAndFooter();
    void assemblyPrintsBothSides();
    void voucherBlock_data();
    void voucherBlock();
    void ticketIsHalfPageAndCancelledTicketHasNoHeader();
    void previewSavesPdf();
    void unwritableFileIsReported();
    void ticketWithoutPrinterIsReported();
    void picturePagesFollowTheReport();

private:
    QString pdf(const QString &name) const { return m_dir.filePath(name + ".pdf"); }
    QTemporaryDir m_dir;
    QStringList m_messages;
};

void TstPrint::init()
{
    setSession();
    m_messages.clear();
    Msg::setHandler([this](const Msg::Shown &s) {
        m_messages << s.text;
        return 1;
    });
}

void TstPrint::cleanup() { Msg::setHandler(nullptr); }

void TstPrint::purchaseReceiptLinesTotalAndShopLines()
{
    TestDb t;
    auto &dm = t.dm();
    setShop(dm, "宏达五金", ShopLines);
    const int uid = t.addPartner("甲供应商");
    const Money total = Money::fromString("12345.67");
    insertRow(dm, "UJH", {{"theNum", "CG121116-0003"}, {"theDate", "2012-11-16"}, {"myDate", "2012-11-15"},
                          {"UID", uid}, {"MName", "甲供应商"}, {"WName", "一号库"}, {"AName", "现金"},
                          {"UName", "李四"}, {"IName", "系统管理员"}, {"Remark", "月底结清"},
                          {"theHJ", total.toVariant()}, {"theSJ", 10000}, {"theYF", 2345.67}, {"theCount", 78},
                          {"theDX", NumToChar(total)}, {"theYC", "否"}, {"theDel", "否"}});
    dm.mySQL("update SUnits set thePro='张三', thePho='13800000000', theAdd='北京路1号' where ID=?", {uid});
    // Products created in one order, lines stored in another, numbered in a third.
    QHash<int, int> sidOfBH;
    for (int n : {5, 12, 1, 9, 3, 7, 11, 2, 8, 4, 10, 6}) sidOfBH[n] = product(t, n);
    for (int bh : {7, 3, 12, 1, 10, 5, 2, 11, 8, 4, 6, 9})
        insertRow(dm, "UJH_List", {{"theNum", "CG121116-0003"}, {"theBH", bh}, {"SID", sidOfBH[bh]},
                                   {"thePrice", 1000.5 * bh}, {"theCount", bh}, {"theSum", 1000.5 * bh * bh},
                                   {"Remark", QString("备%1").arg(bh)}});
    // Another document's lines do not print.
    insertRow(dm, "UJH_List", {{"theNum", "CG121116-0004"}, {"theBH", 13}, {"SID", sidOfBH[1]}, {"thePrice", 1},
                               {"theCount", 1}, {"theSum", 1}});

    QVERIFY(Print::PrintIn_CG(dm, "CG121116-0003", Print::Target::pdfFile(pdf("cg"))));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(pdfPages(pdf("cg")), 1);
    const QString text = pdfText(pdf("cg"));
    const QStringList lines = textLines(text);

    QCOMPARE(lines[0].trimmed(), QString("宏达五金采购入库单"));
    QVERIFY(text.contains("供应商：甲供应商"));
    QVERIFY(text.contains("联系人：张三"));
    QVERIFY(text.contains("电话：13800000000"));
    QVERIFY(text.contains("地址：北京路1号"));
    QVERIFY(text.contains("采购日期：2012-11-15"));
    QVERIFY(text.contains("仓库名称：一号库"));
    QVERIFY(text.contains("经手人：李四"));
    QVERIFY(text.contains("单号：CG121116-0003"));
    QCOMPARE(lines[lineIndex(lines, "序号")].simplified(),
             QString("序号 商品编码 商品名称 规格 单位 单价 数量 金额 备注"));

    const auto rows = lineRows(text);
    QCOMPARE(rows.size(), 12);
    for (int i = 0; i < 12; ++i) {
        const int bh = i + 1;
        const Money price = Money::fromDouble(1000.5 * bh);
        QCOMPARE(rows[i], (QStringList{QString::number(bh), QString("SP%1").arg(bh, 3, 10, QChar('0')),
                                       QString("商品%1").arg(bh), QString("规格%1").arg(bh), "箱",
                                       price.toPrintString(), QString::number(bh),
                                       (price * Money::fromUnits(bh * Money::Scale)).toPrintString(),
                                       QString("备%1").arg(bh)}));
    }
    QCOMPARE(rows[9][5], QString("10,005.00"));

    // After the last line: the total row, the kind's rows and the five shop lines.
    const int last = lineIndex(lines, "SP012");
    const int totalRow = lineIndex(lines, "合计");
    QVERIFY(totalRow > last);
    QCOMPARE(lines[totalRow].simplified(), QString("合计 大写：壹万贰仟叁佰肆拾伍元陆角柒分 78 12,345.67"));
    const int paid = lineIndex(lines, "付款金额：10,000.00", totalRow);
    QVERIFY(paid > totalRow);
    QVERIFY(lines[paid].contains("付款方式：现金"));
    QVERIFY(lines[paid].contains("录单人：系统管理员"));
    QVERIFY(lines[paid].contains("打印：" + today()));
    QVERIFY(lineIndex(lines, "应付金额：2,345.67", paid) > paid);
    QVERIFY(lineIndex(lines, "备注：月底结清", paid) > paid);
    int at = paid;
    for (const QString &shopLine : ShopLines) {
        const int next = lineIndex(lines, shopLine, at + 1);
        QVERIFY2(next > at, qPrintable(shopLine));
        QCOMPARE(lines[next].trimmed(), shopLine);
        at = next;
    }
}

void TstPrint::salesPricesAndQuantities_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<int>("discount");
    QTest::addColumn<double>("count");
    QTest::addColumn<QString>("deliveryPrice");
    QTest::addColumn<QString>("ticketPrice");
    QTest::addColumn<QString>("quantity");

    QTest::newRow("discount 90") << 10.0 << 90 << 3.0 << "9.00" << "10.00" << "3.00";
    // A whole price with a discount that leaves cents must not be divided as integers.
    QTest::newRow("discount 95, whole price") << 10.0 << 95 << 2.5 << "9.50" << "10.00" << "2.50";
    QTest::newRow("no discount, thousands") << 1234.5 << 100 << 100.0 << "1,234.50" << "1,234.50" << "100.00";
    QTest::newRow("discount 85, cents") << 19.99 << 85 << 1.0 << "16.99" << "19.99" << "1.00";
}

void TstPrint::salesPricesAndQuantities()
{
    QFETCH(double, price);
    QFETCH(int, discount);
    QFETCH(double, count);
    QFETCH(QString, deliveryPrice);
    QFETCH(QString, ticketPrice);
    QFETCH(QString, quantity);

    TestDb t;
    auto &dm = t.dm();
    const int uid = t.addPartner("乙客户");
    const int sid = product(t, 1);
    const Money sum = Money::fromDouble(price * discount / 100) * Money::fromDouble(count);
    insertRow(dm, "UXS", {{"theNum", "XS121116-0001"}, {"theDate", "2012-11-16"}, {"myDate", "2012-11-16"},
                          {"UID", uid}, {"MName", "乙客户"}, {"WName", "一号库"}, {"AName", "现金"}, {"UName", "李四"},
                          {"IName", "系统管理员"}, {"theHJ", sum.toVariant()}, {"theSJ", 0}, {"theYS", sum.toVariant()},
                          {"theCount", count}, {"theDX", NumToChar(sum)}, {"theYC", "否"}, {"theDel", "否"}});
    insertRow(dm, "UXS_List", {{"theNum", "XS121116-0001"}, {"theBH", 1}, {"SID", sid}, {"thePrice", price},
                               {"theCount", count}, {"theSum", sum.toVariant()}, {"theZK", discount}, {"theJJ", 0}});

    QVERIFY(Print::PrintOut_XS(dm, "XS121116-0001", Print::Target::pdfFile(pdf("xs"))));
    QVERIFY(Print::PrintOut_XS1(dm, "XS121116-0001", Print::Target::pdfFile(pdf("xs1"))));
    const QString delivery = pdfText(pdf("xs"));
    const QString ticket = pdfText(pdf("xs1"));
    const auto d = lineRows(delivery);
    const auto k = lineRows(ticket);
    QCOMPARE(d.size(), 1);
    QCOMPARE(k.size(), 1);
    QCOMPARE(d[0][5], deliveryPrice);
    QCOMPARE(k[0][5], ticketPrice);
    QCOMPARE(d[0][6], quantity);
    QCOMPARE(k[0][6], quantity);
    // The total quantity prints with two decimals too.
    const QStringList dl = textLines(delivery);
    QCOMPARE(dl[lineIndex(dl, "合计")].simplified().split(' ').value(2), quantity);
    QVERIFY(delivery.contains("销售出库单"));
    QVERIFY(ticket.contains("销售出库单"));
}

void TstPrint::pagesRepeatHeaderAndKeepFooterTogether_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("linesOnLastPage"); // -1: not checked

    QTest::newRow("one page") << 12 << 1 << 12;
    // The lines fill the first page so far that the footer no longer fits
    // below them: it moves, whole, to a page of its own.
    QTest::newRow("footer alone on page 2") << 45 << 2 << 0;
    QTest::newRow("lines over two pages") << 70 << 2 << -1;
    QTest::newRow("three pages") << 130 << 3 << -1;
}

void TstPrint::pagesRepeatHeaderAndKeepFooterTogether()
{
    QFETCH(int, lineCount);
    QFETCH(int, pages);
    QFETCH(int, linesOnLastPage);

    TestDb t;
    auto &dm = t.dm();
    setShop(dm, "宏达五金", ShopLines);
    const int uid = t.addPartner("甲供应商");
    insertRow(dm, "UJH", {{"theNum", "CG121116-0001"}, {"theDate", "2012-11-16"}, {"myDate", "2012-11-16"},
                          {"UID", uid}, {"MName", "甲供应商"}, {"WName", "一号库"}, {"theHJ", lineCount},
                          {"theCount", lineCount}, {"theDX", NumToChar(Money::fromUnits(lineCount * Money::Scale))},
                          {"theDel", "否"}});
    const int sid = product(t, 1);
    for (int bh = lineCount; bh >= 1; --bh)
        insertRow(dm, "UJH_List", {{"theNum", "CG121116-0001"}, {"theBH", bh}, {"SID", sid}, {"thePrice", 1},
                                   {"theCount", 1}, {"theSum", 1}});

    QVERIFY(Print::PrintIn_CG(dm, "CG121116-0001", Print::Target::pdfFile(pdf("long"))));
    QCOMPARE(pdfPages(pdf("long")), pages);
    int expectedBH = 1;
    for (int page = 1; page <= pages; ++page) {
        const QString text = pdfText(pdf("long"), page);
        const QStringList lines = textLines(text);
        QCOMPARE(lines[0].trimmed(), QString("宏达五金采购入库单"));
        QVERIFY(text.contains("供应商：甲供应商"));
        QVERIFY(text.contains("单号：CG121116-0001"));
        QVERIFY(lineIndex(lines, "序号") >= 0);
        const auto rows = lineRows(text);
        for (const QStringList &r : rows) QCOMPARE(r[0], QString::number(expectedBH++));
        const bool lastPage = page == pages;
        if (lastPage && linesOnLastPage >= 0) QCOMPARE(rows.size(), linesOnLastPage);
        if (!lastPage) QVERIFY(!rows.isEmpty());
        // The footer prints once, whole, on the last page.
        QCOMPARE(text.contains("合计"), lastPage);
        for (const QString &shopLine : ShopLines) QCOMPARE(text.contains(shopLine), lastPage);
    }
    QCOMPARE(expectedBH, lineCount + 1);
}

void TstPrint::shopLinesChangeTheNextPrint()
{
    TestDb t;
    auto &dm = t.dm();
    setShop(dm, "宏达五金", ShopLines);
    insertRow(dm, "UBS", {{"theNum", "BS121116-0001"}, {"theDate", "2012-11-16"}, {"myDate", "2012-11-16"},
                          {"WName", "一号库"}, {"theDel", "否"}});
    QVERIFY(Print::PrintBS(dm, "BS121116-0001", Print::Target::pdfFile(pdf("before"))));
    const QStringList changed{"电话：010-7654321", "地址：北京市海淀区", "经营：日用百货", "账号：9555-0002", "税号：110100999"};
    setShop(dm, "新华百货", changed);
    QVERIFY(Print::PrintBS(dm, "BS121116-0001", Print::Target::pdfFile(pdf("after"))));

    const QString before = pdfText(pdf("before"));
    const QString after = pdfText(pdf("after"));
    QCOMPARE(textLines(before)[0].trimmed(), QString("宏达五金商品报损单"));
    QCOMPARE(textLines(after)[0].trimmed(), QString("新华百货商品报损单"));
    for (int i = 0; i < 5; ++i) {
        QVERIFY(before.contains(ShopLines[i]));
        QVERIFY(!before.contains(changed[i]));
        QVERIFY(after.contains(changed[i]));
        QVERIFY(!after.contains(ShopLines[i]));
    }
}

void TstPrint::unknownNumberPrintsEmptyForm_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption"); // a header caption the form shows, empty

    QTest::newRow("PrintIn_CG") << "PrintIn_CG" << "采购入库单" << "供应商：";
    QTest::newRow("PrintIn_CT") << "PrintIn_CT" << "采购退货单" << "退货日期：";
    QTest::newRow("PrintIn_FK") << "PrintIn_FK" << "付款单" << "付款日期";
    QTest::newRow("PrintOut_XS") << "PrintOut_XS" << "销售出库单" << "客户地址：";
    QTest::newRow("PrintOut_XS1") << "PrintOut_XS1" << "销售出库单" << "客户名称：";
    QTest::newRow("PrintOut_XT") << "PrintOut_XT" << "销售退货单" << "退货日期：";
    QTest::newRow("PrintOut_SK") << "PrintOut_SK" << "收款单" << "收款日期";
    QTest::newRow("PrintDB") << "PrintDB" << "商品调拨单" << "调出仓库：";
    QTest::newRow("PrintBS") << "PrintBS" << "商品报损单" << "报损日期：";
    QTest::newRow("PrintBY") << "PrintBY" << "商品报溢单" << "报溢日期：";
}

void TstPrint::unknownNumberPrintsEmptyForm()
{
    QFETCH(QString, op);
    QFETCH(QString, title);
    QFETCH(QString, caption);

    TestDb t;
    auto &dm = t.dm();
    setShop(dm, "宏达五金", ShopLines);
    // A document of every kind exists, under another number.
    const int uid = t.addPartner("甲供应商");
    const int sid = product(t, 1);
    for (const char *table : {"UJH", "UCG_O", "UXS", "UXS_O"})
        insertRow(dm, table, {{"theNum", "XX0001"}, {"UID", uid}, {"MName", "甲供应商"}, {"theDel", "否"}});
    for (const char *table : {"UFK", "USK"})
        insertRow(dm, table, {{"theNum", "XX0001"}, {"UID", uid}, {"MName", "甲供应商"}, {"theDel", "否"}});
    for (const char *table : {"UDB", "UBS", "UBY"})
        insertRow(dm, table, {{"theNum", "XX0001"}, {"WName", "一号库"}, {"theDel", "否"}});
    for (const char *table : {"UJH_List", "UCG_O_List", "UXS_List", "UXS_O_List", "UDB_List", "UBS_List", "UBY_List"})
        insertRow(dm, table, {{"theNum", "XX0001"}, {"theBH", 1}, {"SID", sid}, {"thePrice", 5}, {"theCount", 1}});

    for (const QString &number : {QString("CG999999-9999"), QString("x' or '1'='1")}) {
        QVERIFY(opByName(op)(dm, number, Print::Target::pdfFile(pdf("empty"))));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(pdfPages(pdf("empty")), 1);
        const QString text = pdfText(pdf("empty"));
        QCOMPARE(textLines(text)[0].trimmed(), "宏达五金" + title);
        QVERIFY(text.contains(caption));
        QVERIFY(!text.contains("甲供应商"));
        QVERIFY(!text.contains("一号库"));
        QVERIFY(QRegularExpression("单号：\\s*$", QRegularExpression::MultilineOption).match(text).hasMatch());
        QVERIFY(lineRows(text).isEmpty());
        QVERIFY(text.contains(ShopLines[4]));
    }
}

void TstPrint::eachKindPrintsItsHeaderAndFooter_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("linesTable");
    QTest::addColumn<QStringList>("expected"); // texts that print, in this order

    const QString now = "打印：" + today();
    QTest::newRow("purchase return")
        << "PrintIn_CT" << "UCG_O" << "UCG_O_List"
        << QStringList{"采购退货单", "供应商：甲伙伴", "退货日期：2012-11-10", "仓库名称：一号库", "经手人：李四",
                       "单号：N0001", "SP001", "合计", "1,500.00", "收款金额：1,000.00", "收款方式：现金",
                       "录单人：王五", now, "应收金额：500.00", "备注：整单备注", ShopLines[0]};
    QTest::newRow("sales delivery")
        << "PrintOut_XS" << "UXS" << "UXS_List"
        << QStringList{"销售出库单", "客户名称：甲伙伴", "联系人：赵六", "电话：021-888", "客户地址：南京路2号",
                       "销售日期：2012-11-10", "单号：N0001", "SP001", "合计", "收款金额：1,000.00", "收款方式：现金",
                       now, "应收金额：500.00", "备注：整单备注"};
    QTest::newRow("sales ticket")
        << "PrintOut_XS1" << "UXS" << "UXS_List"
        << QStringList{"销售出库单", "客户名称：甲伙伴 赵六 021-888 南京路2号", "销售日期：2012-11-10", "单号：N0001",
                       "SP001", "合计", "收款金额：1,000.00", "收款方式：现金", now, "备注：整单备注"};
    QTest::newRow("sales return")
        << "PrintOut_XT" << "UXS_O" << "UXS_O_List"
        << QStringList{"销售退货单", "客户名称：甲伙伴", "退货日期：2012-11-10", "单号：N0001", "SP001", "合计",
                       "付款金额：1,000.00", "付款方式：现金", now, "应付金额：500.00", "备注：整单备注"};
    QTest::newRow("transfer")
        << "PrintDB" << "UDB" << "UDB_List"
        << QStringList{"商品调拨单", "调拨日期：2012-11-10", "调出仓库：二号库", "调入仓库：一号库", "单号：N0001",
                       "SP001", "合计", "1,500.00", "经手人：李四", "录单人：王五", now, "备注：整单备注"};
    QTest::newRow("loss")
        << "PrintBS" << "UBS" << "UBS_List"
        << QStringList{"商品报损单", "报损日期：2012-11-10", "仓库名称：一号库", "经手人：李四", "单号：N0001", "SP001",
                       "合计", "1,500.00", "录单人：王五", "备注：整单备注", now};
    QTest::newRow("overage")
        << "PrintBY" << "UBY" << "UBY_List"
        << QStringList{"商品报溢单", "报溢日期：2012-11-10", "仓库名称：一号库", "经手人：李四", "单号：N0001", "SP001",
                       "合计", "1,500.00", "录单人：王五", "备注：整单备注", now};
}

void TstPrint::eachKindPrintsItsHeaderAndFooter()
{
    QFETCH(QString, op);
    QFETCH(QString, table);
    QFETCH(QString, linesTable);
    QFETCH(QStringList, expected);

    TestDb t;
    auto &dm = t.dm();
    setShop(dm, "宏达五金", ShopLines);
    const int uid = t.addPartner("甲伙伴");
    dm.mySQL("update SUnits set thePro='赵六', thePho='021-888', theAdd='南京路2号' where ID=?", {uid});
    QVariantMap header{{"theNum", "N0001"}, {"theDate", "2012-11-16"}, {"myDate", "2012-11-10"}, {"WName", "一号库"},
                       {"UName", "李四"}, {"IName", "王五"}, {"Remark", "整单备注"}, {"theCount", 3},
                       {"theDX", NumToChar(Money::fromString("1500"))}, {"theDel", "否"}};
    const bool stock = table == "UDB" || table == "UBS" || table == "UBY";
    if (stock) {
        header["theSum"] = 1500;
        if (table == "UDB") header["DName"] = "二号库";
    } else {
        header["UID"] = uid;
        header["MName"] = "甲伙伴";
        header["AName"] = "现金";
        header["theHJ"] = 1500;
        header["theSJ"] = 1000;
        header[table == "UJH" || table == "UXS_O" ? "theYF" : "theYS"] = 500;
    }
    insertRow(dm, table, header);
    QVariantMap line{{"theNum", "N0001"}, {"theBH", 1}, {"SID", product(t, 1)}, {"thePrice", 500}, {"theCount", 3},
                     {"theSum", 1500}};
    if (linesTable == "UXS_List") line["theZK"] = 100;
    insertRow(dm, linesTable, line);

    QVERIFY(opByName(op)(dm, "N0001", Print::Target::pdfFile(pdf("kind"))));
    const QString text = pdfText(pdf("kind")).simplified();
    qsizetype at = 0;
    for (const QString &e : expected) {
        const qsizetype found = text.indexOf(e, at);
        QVERIFY2(found >= 0, qPrintable(e + " in " + text));
        at = found + e.size();
    }
}

void TstPrint::assemblyPrintsBothSides()
{
    // An assembly saved the program's way: two parts taken out of 二号库, the
    // assembled product put into 一号库.
    TestDb t;
    auto &dm = t.dm();
    setShop(dm, "宏达五金", ShopLines);
    G.ShopFKC = true;
    storeShopOptions(t.dm());
    StockDoc d;
    d.kind = StockKind::Assembly;
    d.myDate = "2012-11-10";
    d.issuing = "二号库";
    d.warehouse = "一号库";
    d.handler = "李四";
    d.remark = "组装";
    auto line = [&](int n, const char *price, const char *count) {
        StockLine l;
        l.sid = product(t, n);
        l.price = Money::fromString(price);
        l.count = Money::fromString(count);
        l.remark = QString("备%1").arg(n);
        return l;
    };
    d.sides[0] = {line(1, "1250.5", "2"), line(2, "4", "3")};
    d.sides[1] = {line(3, "2600", "1")};
    const QString num = saveStockDoc(dm, d);
    G.ShopFKC = false;
    storeShopOptions(t.dm());

    QVERIFY(Print::PrintCZ(dm, num, Print::Target::pdfFile(pdf("cz"))));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(pdfPages(pdf("cz")), 1);
    const QString text = pdfText(pdf("cz"));
    const QStringList lines = textLines(text);
    QCOMPARE(lines[0].trimmed(), QString("宏达五金商品拆装单"));
    const QString flat = text.simplified();
    const QStringList expected{"拆装日期：2012-11-10", "出库仓库：二号库", "入库仓库：一号库", "单号：" + num,
                               "出库商品", "序号 商品编码 商品名称 规格 单位 单价 数量 金额 备注",
                               "1 SP001 商品1 规格1 箱 1,250.50 2 2,501.00 备1",
                               "2 SP002 商品2 规格2 箱 4.00 3 12.00 备2",
                               "小计 5 2,513.00",
                               "入库商品", "序号 商品编码 商品名称 规格 单位 单价 数量 金额 备注",
                               "1 SP003 商品3 规格3 箱 2,600.00 1 2,600.00 备3",
                               "小计 1 2,600.00",
                               "经手人：李四", "录单人：系统管理员", "打印：" + today(), "备注：组装", ShopLines[0], ShopLines[4]};
    qsizetype at = 0;
    for (const QString &e : expected) {
        const qsizetype found = flat.indexOf(e, at);
        QVERIFY2(found >= 0, qPrintable(e + " in " + flat));
        at = found + e.size();
    }
    // The lines print once each: three rows in all.
    QCOMPARE(lineRows(text).size(), 3);
}

void TstPrint::voucherBlock_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("amountColumn");
    QTest::addColumn<QStringList>("expected");

    const QString now = "打印时间 " + today();
    QTest::newRow("payment") << "PrintIn_FK" << "UFK" << "theFK"
                             << QStringList{"宏达五金付款单", "供应商：甲伙伴", "单号：FK121116-0002", "付款日期",
                                            "2012-11-12", "付款金额", "1,234.50", "付款方式", "现金", "经手人员", "李四",
                                            "大写金额", "壹仟贰佰叁拾肆元伍角", "录单人员", "王五", "付款备注",
                                            "预付货款", now, ShopLines[0], ShopLines[1], ShopLines[2], ShopLines[3],
                                            ShopLines[4]};
    QTest::newRow("receipt") << "PrintOut_SK" << "USK" << "theSK"
                             << QStringList{"宏达五金收款单", "客户名称：甲伙伴", "单号：FK121116-0002", "收款日期",
                                            "2012-11-12", "收款金额", "1,234.50", "收款方式", "现金", "经手人员", "李四",
                                            "大写金额", "壹仟贰佰叁拾肆元伍角", "录单人员", "王五", "收款备注",
                                            "预付货款", now, ShopLines[0], ShopLines[4]};
}

void TstPrint::voucherBlock()
{
    QFETCH(QString, op);
    QFETCH(QString, table);
    QFETCH(QString, amountColumn);
    QFETCH(QStringList, expected);

    TestDb t;
    auto &dm = t.dm();
    setShop(dm, "宏达五金", ShopLines);
    const int uid = t.addPartner("甲伙伴");
    const Money amount = Money::fromString("1234.5");
    insertRow(dm, table, {{"theNum", "FK121116-0002"}, {"theDate", "2012-11-16"}, {"myDate", "2012-11-12"},
                          {"UID", uid}, {"MName", "甲伙伴"}, {"AName", "现金"}, {"UName", "李四"}, {"IName", "王五"},
                          {"Remark", "预付货款"}, {"theDX", NumToChar(amount)}, {"theDel", "否"},
                          {amountColumn, amount.toVariant()}});

    QVERIFY(opByName(op)(dm, "FK121116-0002", Print::Target::pdfFile(pdf("voucher"))));
    QCOMPARE(pdfPages(pdf("voucher")), 1);
    const QString text = pdfText(pdf("voucher")).simplified();
    qsizetype at = 0;
    for (const QString &e : expected) {
        const qsizetype found = text.indexOf(e, at);
        QVERIFY2(found >= 0, qPrintable(e + " in " + text));
        at = found + e.size();
    }
    QVERIFY(!text.contains("序号"));
    QVERIFY(!text.contains("合计"));
}

void TstPrint::ticketIsHalfPageAndCancelledTicketHasNoHeader()
{
    TestDb t;
    auto &dm = t.dm();
    const int uid = t.addPartner("乙客户");
    insertRow(dm, "UXS", {{"theNum", "XS121116-0001"}, {"UID", uid}, {"MName", "乙客户"}, {"WName", "一号库"},
                          {"myDate", "2012-11-16"}, {"theDel", "否"}});
    insertRow(dm, "UXS_List", {{"theNum", "XS121116-0001"}, {"theBH", 1}, {"SID", product(t, 1)}, {"thePrice", 10},
                               {"theCount", 1}, {"theSum", 10}, {"theZK", 100}});

    QVERIFY(Print::PrintOut_XS1(dm, "XS121116-0001", Print::Target::pdfFile(pdf("ticket"))));
    QCOMPARE(pdfPageSize(pdf("ticket")), QString("595 x 421"));
    QVERIFY(pdfText(pdf("ticket")).contains("单号：XS121116-0001"));
    QVERIFY(Print::PrintOut_XS(dm, "XS121116-0001", Print::Target::pdfFile(pdf("delivery"))));
    QCOMPARE(pdfPageSize(pdf("delivery")), QString("595 x 842"));

    dm.mySQL("update UXS set theDel='是'");
    QVERIFY(Print::PrintOut_XS1(dm, "XS121116-0001", Print::Target::pdfFile(pdf("cancelled"))));
    const QString text = pdfText(pdf("cancelled"));
    QVERIFY(!text.contains("乙客户"));
    QVERIFY(!text.contains("一号库"));
    QVERIFY(QRegularExpression("单号：\\s*$", QRegularExpression::MultilineOption).match(text).hasMatch());
}

void TstPrint::previewSavesPdf()
{
    TestDb t;
    auto &dm = t.dm();
    setShop(dm, "宏达五金", ShopLines);
    insertRow(dm, "UBY", {{"theNum", "BY121116-0001"}, {"WName", "一号库"}, {"theDel", "否"}});
    const int sid = product(t, 1);
    for (int bh = 1; bh <= 60; ++bh)
        insertRow(dm, "UBY_List", {{"theNum", "BY121116-0001"}, {"theBH", bh}, {"SID", sid}, {"thePrice", 1},
                                   {"theCount", 1}, {"theSum", 1}});
    const PrintData data = loadPrintData(dm, DocKind::Overage, "BY121116-0001");
    std::unique_ptr<QPrintPreviewDialog> dialog(
        Print::createPreview(documentTemplate(DocKind::Overage), documentDataSets(data), nullptr));

    // The preview shows the pages of the report.
    auto *preview = dialog->findChild<QPrintPreviewWidget *>();
    QVERIFY(preview);
    preview->updatePreview();
    QCOMPARE(preview->pageCount(), 2);

    QAction *save = dialog->findChild<QAction *>("actSavePdf");
    QVERIFY(save);
    QCOMPARE(save->text(), QString("保存为PDF"));
    QVERIFY(dialog->findChild<QToolBar *>()->actions().contains(save));

    const QString base = m_dir.filePath("saved");
    Msg::setAnswerText(base); // the extension is added
    save->trigger();
    QCOMPARE(m_messages, QStringList{"PDF 文件 (*.pdf)"});
    QCOMPARE(pdfPages(base + ".pdf"), 2);
    const QString text = pdfText(base + ".pdf", 2);
    QVERIFY(text.contains("宏达五金商品报溢单"));
    QVERIFY(text.contains("仓库名称：一号库"));
    QVERIFY(text.contains(ShopLines[4]));

    // Cancelled: nothing written.
    m_messages.clear();
    Msg::setHandler([this](const Msg::Shown &s) {
        m_messages << s.text;
        return 0;
    });
    Msg::setAnswerText(m_dir.filePath("not-saved"));
    save->trigger();
    QVERIFY(!QFileInfo::exists(m_dir.filePath("not-saved.pdf")));
}

void TstPrint::unwritableFileIsReported()
{
    TestDb t;
    const QString path = m_dir.filePath("missing-folder/x.pdf");
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!Print::PrintBS(t.dm(), "BS1", Print::Target::pdfFile(path)));
    QCOMPARE(m_messages, QStringList{"无法写入文件：" + path});
}

void TstPrint::ticketWithoutPrinterIsReported()
{
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a default printer is installed here");
    TestDb t;
    QVERIFY(!Print::PrintOut_XS1(t.dm(), "XS1"));
    QCOMPARE(m_messages, QStringList{"没有可用的默认打印机，无法打印！"});
}

namespace {
// How many pixels of a page (rendered small) are plainly red.
int redPixels(const QString &file, int page)
{
    const QString png = file + QString("-%1").arg(page);
    run("pdftoppm", {"-r", "20", "-png", "-singlefile", "-f", QString::number(page), "-l", QString::number(page), file, png});
    const QImage img(png + ".png");
    int red = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++red;
        }
    return red;
}
} // namespace

// A chart goes after the report on a page of its own, under the page header;
// alone, it fills the one page with its title.
void TstPrint::picturePagesFollowTheReport()
{
    QImage chart(800, 400, QImage::Format_RGB32);
    chart.fill(Qt::red);

    const QString alone = pdf("picture");
    Report::Template t = Report::picturePage("月报表", chart);
    QVERIFY(Print::writePdf(t, {}, alone, Report::pageLayout(t)));
    QCOMPARE(pdfPages(alone), 1);
    QVERIFY(pdfText(alone, 1).contains("月报表"));
    QVERIFY(redPixels(alone, 1) > 1000);

    Report::Band total;
    total.fields << Report::Field{0, 50, "合计", Report::Format::Text, Qt::AlignLeft | Qt::AlignVCenter, false};
    t.footer << total;
    const QString after = pdf("after");
    QVERIFY(Print::writePdf(t, {}, after, Report::pageLayout(t)));
    QCOMPARE(pdfPages(after), 2);
    QVERIFY(pdfText(after, 1).contains("合计"));
    QCOMPARE(redPixels(after, 1), 0);
    QVERIFY(pdfText(after, 2).contains("月报表"));
    QVERIFY(!pdfText(after, 2).contains("合计"));
    QVERIFY(redPixels(after, 2) > 1000);
}

QTEST_MAIN(TstPrint)
#include "tst_print.moc"
