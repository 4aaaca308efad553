// The money log screen: filters, the count and the three totals over every
// matching row (exact, whatever the length of the log, read a page at a time),
// the type words, and the export with its totals row.
#include "data/globals.h"
#include "data/transaction.h"
#include "ui/exportopen.h"
#include "money/frmlist.h"
#include "money/voucher.h"
#include "ui/resultmodel.h"
#include "shellspy.h"
#include "testdb.h"
#include "xlsxread.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

class TstCashLog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { setSession("2012-11-16"); }
    void cleanup() { ExportOpen::setOpener(nullptr); }
    void typeWords();
    void totals_data();
    void totals();
    void longLogReadByPages();
    void voucherSavedAndDeleted();
    void exportWithTotals();

private:
    QTemporaryDir m_dir;
};

namespace {

void logRow(frmDM &dm, const char *date, const char *type, const char *in, const char *out,
            const char *account = "现金", const char *person = "张三", const char *user = "系统管理员")
{
    dm.mySQL("insert into UList(theDate,theType,theNum,theIn,theOut,MName,UName,IName) values(?,?,?,?,?,?,?,?)",
             {date, type, "N", Money::fromString(in).toVariant(), Money::fromString(out).toVariant(), account, person, user});
}

QString labelText(ListScreen &s, const char *name) { return s.findChild<QLabel *>(name)->text(); }

// count | in | out | balance, as the four labels show them.
QString shownTotals(frmList &s)
{
    return QStringList{s.countLabel()->text(), s.totalLabel("theIn")->text(), s.totalLabel("theOut")->text(),
                       labelText(s, "Lab_JY")}
        .join('|');
}

} // namespace

void TstCashLog::initTestCase()
{
    G.AppPath = m_dir.path() + QLatin1Char('/');
    G.ShopName = QStringLiteral("测试商店");
}

// Exactly the words the program writes, entry, deletion and later settlement
// of each trade document, then the vouchers.
void TstCashLog::typeWords()
{
    TestDb t;
    frmList s;
    const QStringList expected{"采购入库录入", "采购入库删除", "采购入库付款", "采购退货录入", "采购退货删除", "采购退货收款",
                               "销售出库录入", "销售出库删除", "销售出库收款", "销售退货录入", "销售退货删除", "销售退货付款",
                               "付款单录入", "付款单删除", "收款单录入", "收款单删除"};
    QCOMPARE(frmList::typeWords(), expected);
    QComboBox *type = s.filters()[1]->comboBox();
    QStringList items;
    for (int i = 0; i < type->count(); ++i) items << type->itemText(i);
    QCOMPARE(items, expected);
    QVERIFY(type->isEditable());
    QCOMPARE(type->currentText(), QString());
}

void TstCashLog::totals_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no filter") << "" << "" << "日志数量：6|收入合计：0.3|支出合计：1000.0001|结余合计：-999.7001";
    // A typed word: the later payments against purchase receipts.
    QTest::newRow("typed type") << "type" << "采购入库付款" << "日志数量：2|收入合计：0|支出合计：1000.0001|结余合计：-1000.0001";
    QTest::newRow("business dates") << "date" << "2012-11-02" << "日志数量：3|收入合计：0.3|支出合计：0|结余合计：0.3";
    QTest::newRow("account") << "account" << "银行" << "日志数量：1|收入合计：0|支出合计：0.0001|结余合计：-0.0001";
    QTest::newRow("person") << "person" << "李四" << "日志数量：2|收入合计：0.2|支出合计：0.0001|结余合计：0.1999";
    QTest::newRow("user") << "user" << "小王" << "日志数量：1|收入合计：0.1|支出合计：0|结余合计：0.1";
    // Nothing matches: every label ends in 0.
    QTest::newRow("nothing matches") << "type" << "不存在'的类型" << "日志数量：0|收入合计：0|支出合计：0|结余合计：0";
}

void TstCashLog::totals()
{
    QFETCH(QString, filter);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    TestDb t;
    t.dm().mySQL("insert into SAccount(theName,Remark,theState) values('银行','','启用')");
    for (const char *p : {"张三", "李四"})
        t.dm().mySQL("insert into SStaff(theName,Remark,theState) values(?,'','启用')", {QString::fromUtf8(p)});
    t.asOwner("insert into SUser(theName,thePass,theState) values('小王','','启用')");
    logRow(t.dm(), "2012-11-01", "采购入库付款", "0", "1000");
    logRow(t.dm(), "2012-11-02", "销售出库收款", "0.1", "0", "现金", "张三", "小王");
    logRow(t.dm(), "2012-11-02", "销售出库收款", "0.2", "0", "现金", "李四");
    logRow(t.dm(), "2012-11-02", "销售出库收款", "0", "0");
    logRow(t.dm(), "2012-11-03", "采购入库付款", "0", "0.0001", "银行", "李四");
    logRow(t.dm(), "2012-11-03", "采购入库付款X", "0", "0");
    t.dm().mySQL("delete from UList where theType='采购入库付款X'");
    logRow(t.dm(), "2012-11-04", "付款单录入", "0", "0");

    frmList s;
    s.show();
    QCOMPARE(s.countLabel()->text(), QString("日志数量："));
    if (filter == "type") {
        QLineEdit *typed = s.filters()[1]->comboBox()->lineEdit();
        QTest::keyClicks(typed, "x");   // typing ticks the box
        typed->setText(value);
        QVERIFY(s.filters()[1]->isTicked());
    } else if (filter == "date") {
        s.filters()[0]->dateFrom()->setDate(QDate::fromString(value, Qt::ISODate));
        s.filters()[0]->dateTo()->setDate(QDate::fromString(value, Qt::ISODate));
        QVERIFY(s.filters()[0]->isTicked());
    } else if (!filter.isEmpty()) {
        FilterRow *f = s.filters()[filter == "account" ? 2 : filter == "person" ? 3 : 4];
        f->comboBox()->setCurrentIndex(f->comboBox()->findText(value));
        f->tick();
    }
    s.BitBtn1Click();
    QCOMPARE(shownTotals(s), shown);
    QCOMPARE(s.rowCount(), s.foundCount());
}

// More rows than a page: the first screen has part of them, the labels count
// and sum them all; scrolling reads on; sorted by a title, the whole log is in
// that order.
void TstCashLog::longLogReadByPages()
{
    TestDb t;
    {
        Transaction tx(t.db());
        for (int i = 1; i <= 1234; ++i)
            logRow(t.dm(), i % 2 ? "2012-11-01" : "2012-11-02", i % 3 ? "销售出库收款" : "采购入库付款", i % 3 ? "0.1" : "0",
                   i % 3 ? "0" : "0.7");
        tx.commit();
    }
    frmList s;
    s.resize(900, 600);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    s.BitBtn1Click();
    // 823 receipts of 0.1 and 411 payments of 0.7, summed exactly.
    const QString all("日志数量：1234|收入合计：82.3|支出合计：287.7|结余合计：-205.4");
    QCOMPARE(shownTotals(s), all);
    const int firstPage = s.rowCount();
    QVERIFY(firstPage > 0 && firstPage < 1234);
    for (int r = 0; r < firstPage; ++r) QCOMPARE(s.valueAt(r, "ID").toInt(), 1234 - r);

    s.grid()->scrollToBottom();
    QTRY_VERIFY(s.rowCount() > firstPage);
    for (int r = 0; r < s.rowCount(); ++r) QCOMPARE(s.valueAt(r, "ID").toInt(), 1234 - r);
    // Ref starts again and keeps the labels.
    QVERIFY(s.Ref());
    QCOMPARE(shownTotals(s), all);

    // Sorted by the money in, ascending: the whole log in that order.
    const int inColumn = s.resultModel()->columnOf("theIn");
    QHeaderView *header = s.grid()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(inColumn) + 5, header->height() / 2));
    QCOMPARE(s.valueAt(0, "theIn").toString(), QString("0"));
    QVERIFY(s.fetchAll());
    QCOMPARE(s.rowCount(), 1234);
    QCOMPARE(s.valueAt(410, "theIn").toString(), QString("0"));
    QCOMPARE(s.valueAt(411, "theIn").toString(), QString("0.1"));
    QCOMPARE(s.valueAt(1233, "theIn").toString(), QString("0.1"));
    // Queried again while sorted: still in that order from the first row.
    s.BitBtn1Click();
    QCOMPARE(s.valueAt(0, "theIn").toString(), QString("0"));
    QCOMPARE(shownTotals(s), all);

    // Under a filter the pages follow the filter.
    s.filters()[0]->dateFrom()->setDate(QDate(2012, 11, 2));
    s.filters()[0]->dateTo()->setDate(QDate(2012, 11, 2));
    s.BitBtn1Click();
    QCOMPARE(s.countLabel()->text(), QString("日志数量：617"));
    QVERIFY(s.fetchAll());
    QCOMPARE(s.rowCount(), 617);
    for (int r = 0; r < s.rowCount(); ++r) QCOMPARE(s.valueAt(r, "theDate").toString(), QString("2012-11-02"));
}

// A payment voucher of 100 saved, then deleted: two rows, nothing left over.
void TstCashLog::voucherSavedAndDeleted()
{
    TestDb t;
    const int supplier = t.addPartner("大华商行", "供应商");
    t.dm().mySQL("insert into SStaff(theName,Remark,theState) values('张三','','启用')");
    Voucher v;
    v.uid = supplier;
    v.partnerName = "大华商行";
    v.myDate = "2012-11-10";
    v.amountText = "100";
    v.account = "现金";
    v.handler = "张三";
    const QString num = saveVoucher(t.dm(), v);
    setSession("2012-11-18");
    QVERIFY(deleteVoucher(t.dm(), VoucherKind::Payment, t.dm().value("select ID from UFK").toInt()));
    frmList s;
    s.BitBtn1Click();
    QCOMPARE(shownTotals(s), QString("日志数量：2|收入合计：100|支出合计：100|结余合计：0"));
    QCOMPARE(s.valueAt(0, "theType").toString(), QString("付款单删除"));
    QCOMPARE(s.valueAt(0, "theDate").toString(), QString("2012-11-18"));
    QCOMPARE(s.valueAt(1, "theType").toString(), QString("付款单录入"));
    QCOMPARE(s.valueAt(1, "theDate").toString(), QString("2012-11-16"));
    QCOMPARE(s.valueAt(1, "theNum").toString(), num);
}

void TstCashLog::exportWithTotals()
{
    TestDb t;
    for (int i = 0; i < 600; ++i) logRow(t.dm(), "2012-11-01", "销售出库收款", "0.5", "0");
    logRow(t.dm(), "2012-11-02", "付款单录入", "0", "400.25");
    QString opened;
    ExportOpen::setOpener([&opened](const QString &p) { opened = p; return true; });
    frmList s;
    s.BitBtn1Click();
    QVERIFY(s.excelButton()->isEnabled());
    s.BitBtn3Click();
    XlsxRead x;
    QVERIFY2(x.load(opened), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), QString("测试商店资金流动日志表"));
    const QStringList header{"序号", "营业日期", "日志类型", "单号", "收入金额", "支出金额", "收付款方式", "收付款人", "录入人"};
    for (int i = 0; i < header.size(); ++i) QCOMPARE(x.text(QChar('A' + i) + QString("2")), header[i]);
    // Every row, not only the first page, then the totals.
    QCOMPARE(x.text("B3"), QString("2012-11-02"));
    QCOMPARE(x.type("B3"), QString("s"));
    QCOMPARE(x.text("B603"), QString("2012-11-01"));
    QCOMPARE(x.text("A604"), QString("合计"));
    QCOMPARE(x.value("E604").toDouble(), 300.0);
    QCOMPARE(x.value("F604").toDouble(), 400.25);
    QCOMPARE(x.text("G604"), QString("结余"));
    QCOMPARE(x.value("H604").toDouble(), -100.25);
}

QTEST_MAIN(TstCashLog)
#include "tst_cashlog.moc"
