// The day, month and year reports: how many periods a range has, the figures
// of each period under the filters each source takes, the grouped queries
// giving exactly the rows of the period-by-period ones, UBB refilled in one
// transaction, and the screens.
#include "data/dberror.h"
#include "data/globals.h"
#include "data/engine.h"
#include "data/transaction.h"
#include "money/periodreport.h"
#include "money/periodreportscreen.h"
#include "ui/exportopen.h"
#include "chartread.h"
#include "shellspy.h"
#include "xlsxread.h"
#include "testdb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

Q_DECLARE_METATYPE(PeriodUnit)

namespace {

QDate d(const char *s) { return QDate::fromString(QString::fromLatin1(s), Qt::ISODate); }

// The figures of a row by UBB column name ("CG1" …), as text.
QString figure(const ReportRow &r, const char *column)
{
    return r.figures[reportColumns().indexOf(QLatin1String(column))].toString();
}

} // namespace

class TstPeriodReport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { Msg::setHandler(nullptr); }
    void periods_data();
    void periods();
    void figuresOfOnePeriod();
    void whatIsLeftOut();
    void filtersBySource_data();
    void filtersBySource();
    void groupedEqualsPerPeriod_data();
    void groupedEqualsPerPeriod();
    void storedInOneTransaction();
    void reportScreen();
    void reportWhileAnotherSeatWrites();
    void monthChart();
    void tenYearChartSpeed();

private:
    struct Fixture;
};

// A small shop: documents of every kind on a few business dates, two
// warehouses, two handlers, two users, two accounts; some deleted or pre-saved.
struct TstPeriodReport::Fixture {
    TestDb t;
    frmDM &dm() { return t.dm(); }

    void trade(const char *table, const char *date, const char *hj, const char *sj, const char *owed, const char *count,
               const char *ware = "一号库", const char *handler = "张三", const char *user = "系统管理员",
               const char *account = "现金", const char *del = "否", const char *yc = "否")
    {
        const QString t = QLatin1String(table);
        const bool payable = t == "UJH" || t == "UXS_O";
        const bool preSave = t == "UJH" || t == "UXS";
        QString cols = QString("theNum,theDate,myDate,UID,WName,UName,IName,AName,theHJ,theSJ,%1,theCount,theDel")
                           .arg(payable ? "theYF" : "theYS");
        QVariantList v{QString("%1-%2").arg(t).arg(++serial), date, "2000-01-01", 1, ware, handler, user, account,
                       Money::fromString(hj).toVariant(), Money::fromString(sj).toVariant(),
                       Money::fromString(owed).toVariant(), Money::fromString(count).toVariant(), del};
        if (preSave) {
            cols += ",theYC";
            v << yc;
        }
        dm().mySQL(QString("insert into %1(%2) values(%3)").arg(t, cols, QStringList(v.size(), "?").join(',')), v);
    }
    void stock(const char *table, const char *date, const char *sum, const char *count, const char *ware = "一号库",
               const char *handler = "张三", const char *del = "否")
    {
        dm().mySQL(QString("insert into %1(theNum,theDate,myDate,WName,UName,IName,theSum,theCount,theDel) "
                           "values(?,?,?,?,?,'系统管理员',?,?,?)").arg(table),
                   {QString("%1-%2").arg(table).arg(++serial), date, "2000-01-01", ware, handler,
                    Money::fromString(sum).toVariant(), Money::fromString(count).toVariant(), del});
    }
    void voucher(const char *table, const char *date, const char *amount, const char *account = "现金",
                 const char *handler = "张三", const char *del = "否")
    {
        const bool pay = QLatin1String(table) == "UFK";
        dm().mySQL(QString("insert into %1(theNum,theDate,myDate,UID,AName,UName,IName,theDel,%2) "
                           "values(?,?,?,1,?,?,'系统管理员',?,?)").arg(table, pay ? "theFK" : "theSK"),
                   {QString("%1-%2").arg(table).arg(++serial), date, "2000-01-01", account, handler, del,
                    Money::fromString(amount).toVariant()});
    }
    // Documents spread over two years, with every kind of exclusion.
    void spread()
    {
        trade("UJH", "2012-02-28", "100.1", "60", "40.1", "3");
        trade("UJH", "2012-02-29", "0.2", "0.2", "0", "1", "二号库", "李四", "小王", "银行");
        trade("UJH", "2012-03-01", "999", "0", "999", "9", "一号库", "张三", "系统管理员", "现金", "是");
        trade("UJH", "2012-03-01", "50", "50", "0", "5", "一号库", "张三", "系统管理员", "现金", "否", "是");
        trade("UCG_O", "2012-02-29", "30", "30", "0", "2", "二号库");
        trade("UXS", "2012-02-29", "0.1", "0.1", "0", "1");
        trade("UXS", "2012-12-31", "80", "20", "60", "4", "一号库", "李四", "小王", "银行");
        trade("UXS", "2013-01-01", "70", "70", "0", "7", "一号库", "张三", "系统管理员", "现金", "否", "是");
        trade("UXS_O", "2013-01-01", "12.3456", "2.3456", "10", "1");
        stock("UBS", "2012-02-29", "8.5", "2");
        stock("UBS", "2012-03-15", "1", "1", "二号库", "李四");
        stock("UBY", "2013-01-01", "3", "3", "一号库", "张三", "是");
        stock("UBY", "2013-01-01", "4", "1", "二号库");
        voucher("UFK", "2012-02-29", "500", "银行");
        voucher("UFK", "2012-02-29", "7", "现金", "张三", "是");
        voucher("USK", "2012-12-31", "0.3");
        voucher("USK", "2012-12-31", "0.3", "现金", "李四");
    }
    // Business dates as no program writes them: no day's key, though the first
    // holds a month's and both a year's.
    void oddDates()
    {
        trade("UJH", "2012-02-29x", "1", "1", "0", "1");
        trade("UJH", "2012-2-29", "1", "1", "0", "1");
    }
    Fixture()
    {
        t.addWarehouse("一号库");
        t.addWarehouse("二号库");
    }
    int serial = 0;
};

void TstPeriodReport::init()
{
    setSession("2013-01-02");
}

void TstPeriodReport::periods_data()
{
    QTest::addColumn<PeriodUnit>("unit");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("day: same day") << PeriodUnit::Day << d("2013-03-05") << d("2013-03-05") << QStringList{"2013-03-05"};
    QTest::newRow("day: over the month end") << PeriodUnit::Day << d("2012-02-28") << d("2012-03-01")
                                             << QStringList{"2012-02-28", "2012-02-29", "2012-03-01"};
    // The default month range, a year back without 29 February: 13 months.
    QTest::newRow("month: a year, 365 days")
        << PeriodUnit::Month << d("2013-05-10") << d("2014-05-10")
        << QStringList{"2013-05", "2013-06", "2013-07", "2013-08", "2013-09", "2013-10", "2013-11", "2013-12",
                       "2014-01", "2014-02", "2014-03", "2014-04", "2014-05"};
    // With 29 February inside, 366 days: 14, the last one next month.
    QTest::newRow("month: a year, 366 days")
        << PeriodUnit::Month << d("2011-05-10") << d("2012-05-10")
        << QStringList{"2011-05", "2011-06", "2011-07", "2011-08", "2011-09", "2011-10", "2011-11", "2011-12",
                       "2012-01", "2012-02", "2012-03", "2012-04", "2012-05", "2012-06"};
    // 89 days are 2 whole months: January to April.
    QTest::newRow("month: 1 January to 31 March") << PeriodUnit::Month << d("2013-01-01") << d("2013-03-31")
                                                  << QStringList{"2013-01", "2013-02", "2013-03", "2013-04"};
    QTest::newRow("month: same day") << PeriodUnit::Month << d("2013-01-31") << d("2013-01-31")
                                     << QStringList{"2013-01", "2013-02"};
    // 60 days, 1 whole month: stepping from the 31st keeps to consecutive months.
    QTest::newRow("month: from a 31st") << PeriodUnit::Month << d("2012-01-31") << d("2012-03-31")
                                        << QStringList{"2012-01", "2012-02", "2012-03"};
    QTest::newRow("year: 365 days") << PeriodUnit::Year << d("2013-05-10") << d("2014-05-10") << QStringList{"2013", "2014"};
    QTest::newRow("year: 366 days") << PeriodUnit::Year << d("2011-05-10") << d("2012-05-10")
                                    << QStringList{"2011", "2012", "2013"};
    QTest::newRow("year: from 29 February") << PeriodUnit::Year << d("2012-02-29") << d("2013-02-28")
                                            << QStringList{"2012", "2013"};
    QTest::newRow("first date after the second") << PeriodUnit::Day << d("2013-03-06") << d("2013-03-05") << QStringList{};
}

void TstPeriodReport::periods()
{
    QFETCH(PeriodUnit, unit);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, keys);
    QCOMPARE(periodKeys(unit, from, to), keys);
    QCOMPARE(periodCount(unit, from, to), keys.size());
    TestDb t;
    QCOMPARE(computeReport(t.dm(), unit, from, to, {}).size(), keys.size());
}

void TstPeriodReport::figuresOfOnePeriod()
{
    Fixture f;
    f.spread();
    const QVector<ReportRow> rows = computeReport(f.dm(), PeriodUnit::Day, d("2012-02-28"), d("2012-03-02"), {});
    QCOMPARE(rows.size(), 4);
    const ReportRow &feb29 = rows[1];
    QCOMPARE(feb29.key, QString("2012-02-29"));
    QStringList all;
    for (const Money &m : feb29.figures) all << m.toString();
    // Purchase 0.2; purchase return 30; payment 500 (the deleted 7 left out);
    // sales 0.1; loss 8.5; nothing else that day.
    QCOMPARE(all.join(','), QString("0.2,0.2,0,1,1,30,30,0,2,1,500,1,0.1,0.1,0,1,1,0,0,0,0,0,0,0,8.5,2,1,0,0,0"));
    // A period without any document: a row of zeros, not a missing row.
    QCOMPARE(rows[3].key, QString("2012-03-02"));
    QCOMPARE(rows[3].figures, QVector<Money>(ReportFigures));

    const QVector<ReportRow> months = computeReport(f.dm(), PeriodUnit::Month, d("2012-12-01"), d("2013-01-31"), {});
    QCOMPARE(months.size(), 4);
    QCOMPARE(figure(months[0], "XS1"), QString("80"));
    QCOMPARE(figure(months[0], "SK1"), QString("0.6"));
    QCOMPARE(figure(months[0], "SK2"), QString("2"));
    QCOMPARE(figure(months[1], "XT1"), QString("12.3456"));
    QCOMPARE(figure(months[1], "XT2"), QString("2.3456"));
    QCOMPARE(figure(months[1], "XT3"), QString("10"));
    QCOMPARE(figure(months[1], "BY1"), QString("4"));
    QCOMPARE(months[3].key, QString("2013-03"));
    QCOMPARE(months[3].figures, QVector<Money>(ReportFigures));

    const QVector<ReportRow> years = computeReport(f.dm(), PeriodUnit::Year, d("2012-01-01"), d("2012-12-31"), {});
    QCOMPARE(years.size(), 2);
    QCOMPARE(figure(years[0], "CG1"), QString("100.3"));
    QCOMPARE(figure(years[0], "CG5"), QString("2"));
    QCOMPARE(figure(years[0], "BS1"), QString("9.5"));
    QCOMPARE(figure(years[0], "BS3"), QString("2"));
}

// Deleted documents and vouchers, pre-saved receipts and deliveries, and
// business dates that are no day's key are not counted.
void TstPeriodReport::whatIsLeftOut()
{
    Fixture f;
    f.spread();
    f.oddDates();
    const QVector<ReportRow> march = computeReport(f.dm(), PeriodUnit::Day, d("2012-03-01"), d("2012-03-01"), {});
    QCOMPARE(figure(march[0], "CG1"), QString("0"));
    QCOMPARE(figure(march[0], "CG5"), QString("0"));
    const QVector<ReportRow> jan = computeReport(f.dm(), PeriodUnit::Day, d("2013-01-01"), d("2013-01-01"), {});
    QCOMPARE(figure(jan[0], "XS5"), QString("0"));
    QCOMPARE(figure(jan[0], "BY3"), QString("1"));
    const QVector<ReportRow> feb = computeReport(f.dm(), PeriodUnit::Day, d("2012-02-29"), d("2012-02-29"), {});
    QCOMPARE(figure(feb[0], "FK2"), QString("1"));
    QCOMPARE(figure(feb[0], "CG5"), QString("1"));
}

void TstPeriodReport::filtersBySource_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");   // column=value pairs over the year 2012
    // The account does not narrow losses; the warehouse does not narrow vouchers.
    QTest::newRow("account 银行") << "account" << "银行" << "CG5=1,XS5=1,FK1=500,BS3=2,BS1=9.5,SK2=0,CT5=0";
    QTest::newRow("warehouse 二号库") << "warehouse" << "二号库" << "CG5=1,CT5=1,BS3=1,BS1=1,FK1=500,FK2=1,SK2=2,XS5=0";
    QTest::newRow("handler 李四") << "handler" << "李四" << "CG5=1,XS5=1,BS3=1,SK1=0.3,FK2=0";
    QTest::newRow("user 小王") << "user" << "小王" << "CG5=1,XS1=80,BS3=0,SK2=0";
    QTest::newRow("a name no row has") << "warehouse" << "无'此库" << "CG5=0,FK2=1,SK2=2";
}

void TstPeriodReport::filtersBySource()
{
    QFETCH(QString, filter);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    Fixture f;
    f.spread();
    ReportFilters r;
    if (filter == "account") r.account = value;
    else if (filter == "warehouse") r.warehouse = value;
    else if (filter == "handler") r.handler = value;
    else r.user = value;
    const QVector<ReportRow> rows = computeReport(f.dm(), PeriodUnit::Year, d("2012-06-01"), d("2012-06-01"), r);
    QCOMPARE(rows.size(), 2);
    for (const QString &pair : expected.split(',')) {
        const QStringList kv = pair.split('=');
        QCOMPARE(kv[0] + "=" + figure(rows[0], kv[0].toLatin1().constData()), pair);
    }
    QCOMPARE(computeReportPerPeriod(f.dm(), PeriodUnit::Year, d("2012-06-01"), d("2012-06-01"), r), rows);
}

void TstPeriodReport::groupedEqualsPerPeriod_data()
{
    QTest::addColumn<PeriodUnit>("unit");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("filters");
    QTest::newRow("days over the fixture") << PeriodUnit::Day << d("2012-02-20") << d("2013-01-05") << "";
    QTest::newRow("days, warehouse and handler") << PeriodUnit::Day << d("2012-02-27") << d("2013-01-02") << "二号库,李四,,";
    QTest::newRow("months") << PeriodUnit::Month << d("2011-12-31") << d("2013-02-28") << "";
    QTest::newRow("months, account") << PeriodUnit::Month << d("2012-02-29") << d("2013-02-28") << ",,,银行";
    QTest::newRow("years") << PeriodUnit::Year << d("2010-02-28") << d("2014-02-28") << "";
    QTest::newRow("years, user and account") << PeriodUnit::Year << d("2012-01-01") << d("2012-01-01") << ",,小王,现金";
}

void TstPeriodReport::groupedEqualsPerPeriod()
{
    QFETCH(PeriodUnit, unit);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QString, filters);
    Fixture f;
    f.spread();
    f.oddDates();
    // Many documents on many days, with amounts whose binary sums would drift.
    Transaction tx(f.dm().db());
    for (int i = 0; i < 300; ++i) {
        const QByteArray date = d("2012-02-01").addDays(i * 37 % 400).toString(Qt::ISODate).toLatin1();
        const QByteArray amount = QByteArray::number(i % 7) + ".1";
        f.trade(i % 2 ? "UJH" : "UXS", date.constData(), amount.constData(), "0.1", "0.2", "0.3", i % 3 ? "一号库" : "二号库",
                i % 5 ? "张三" : "李四");
        f.voucher(i % 2 ? "UFK" : "USK", date.constData(), "0.7", i % 4 ? "现金" : "银行");
        f.stock(i % 2 ? "UBS" : "UBY", date.constData(), "1.0001", "0.1");
    }
    tx.commit();
    ReportFilters r;
    const QStringList parts = filters.split(',');
    if (parts.size() == 4) {
        if (!parts[0].isEmpty()) r.warehouse = parts[0];
        if (!parts[1].isEmpty()) r.handler = parts[1];
        if (!parts[2].isEmpty()) r.user = parts[2];
        if (!parts[3].isEmpty()) r.account = parts[3];
    }
    const QVector<ReportRow> grouped = computeReport(f.dm(), unit, from, to, r);
    const QVector<ReportRow> perPeriod = computeReportPerPeriod(f.dm(), unit, from, to, r);
    QCOMPARE(grouped.size(), periodCount(unit, from, to));
    for (int i = 0; i < grouped.size(); ++i) QCOMPARE(grouped[i], perPeriod[i]);

    // Stored, both give the same UBB rows.
    storeReport(f.dm(), grouped);
    const auto a = f.dm().rows("select * from UBB order by theDate");
    storeReport(f.dm(), perPeriod);
    QCOMPARE(f.dm().rows("select * from UBB order by theDate").size(), a.size());
    const auto b = f.dm().rows("select * from UBB order by theDate");
    for (int i = 0; i < a.size(); ++i) QCOMPARE(a[i].mid(1), b[i].mid(1));   // all but the row ID
}

void TstPeriodReport::storedInOneTransaction()
{
    Fixture f;
    f.spread();
    storeReport(f.dm(), computeReport(f.dm(), PeriodUnit::Year, d("2012-01-01"), d("2012-01-01"), {}));
    const auto before = f.dm().rows("select * from UBB");
    QCOMPARE(before.size(), 2);
    // The third row of a new run fails: UBB keeps the last run whole.
    f.t.failInserts("UBB", "disk full", 2);
    QVector<int> progress;
    try {
        storeReport(f.dm(), computeReport(f.dm(), PeriodUnit::Day, d("2012-02-28"), d("2012-03-01"), {}),
                    [&](int n) { progress << n; });
        QFAIL("the store should have failed");
    } catch (const DbError &e) {
        QVERIFY(e.text().contains("disk full"));
    }
    QCOMPARE(progress, (QVector<int>{1, 2}));
    QCOMPARE(f.dm().rows("select * from UBB"), before);
}

void TstPeriodReport::reportScreen()
{
    Fixture f;
    f.spread();
    MsgSpy spy;
    frmBB_M s;
    s.show();
    QCOMPARE(s.rowCount(), 0);
    QCOMPARE(s.queryButton()->text(), QString("统计"));
    FilterRow *dates = s.filters()[0];
    QVERIFY(dates->box()->isChecked());
    // The default range: a year back to today.
    QCOMPARE(dates->dateTo()->date(), QDate::currentDate());
    QCOMPARE(dates->dateFrom()->date(), QDate::currentDate().addYears(-1));

    dates->dateFrom()->setDate(d("2013-02-01"));
    dates->dateTo()->setDate(d("2013-01-31"));
    s.BitBtn1Click();
    QCOMPARE(spy.lastText(), QString("营业日期 选择错误，请重新选择！"));
    QCOMPARE(f.dm().value("select count(*) from UBB").toInt(), 0);
    QVERIFY(!s.excelButton()->isEnabled());

    dates->dateFrom()->setDate(d("2012-01-01"));
    dates->dateTo()->setDate(d("2012-03-31"));
    // The warehouse filter: the vouchers stay whole.
    FilterRow *ware = s.filters()[1];
    ware->comboBox()->setCurrentIndex(ware->comboBox()->findText("二号库"));
    ware->tick();
    s.BitBtn1Click();
    QCOMPARE(spy.shown.size(), 1);
    QVERIFY(s.excelButton()->isEnabled());
    QCOMPARE(s.progressBar()->maximum(), 4);
    QCOMPARE(s.progressBar()->value(), 4);
    // Newest period first, every period there.
    QStringList keys;
    for (int r = 0; r < s.rowCount(); ++r) keys << s.valueAt(r, "theDate").toString();
    QCOMPARE(keys, (QStringList{"2012-04", "2012-03", "2012-02", "2012-01"}));
    QCOMPARE(s.valueAt(2, "CG1").toString(), QString("0.2"));
    QCOMPARE(s.valueAt(2, "FK1").toString(), QString("500"));
    QCOMPARE(s.valueAt(1, "BS1").toString(), QString("1"));
    QCOMPARE(s.valueAt(0, "CG5").toString(), QString("0"));
    QCOMPARE(f.dm().value("select count(*) from UBB").toInt(), 4);
    QCOMPARE(s.grid()->model()->headerData(1, Qt::Horizontal).toString(), QString("采购合计"));

    // The export: the month as text under "月份", then the thirty captions.
    QTemporaryDir dir;
    G.AppPath = dir.path() + '/';
    G.ShopName = "测试商店";
    QString opened;
    ExportOpen::setOpener([&opened](const QString &p) { opened = p; return true; });
    s.BitBtn3Click();
    ExportOpen::setOpener(nullptr);
    XlsxRead x;
    QVERIFY2(x.load(opened), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), QString("测试商店月报表"));
    QCOMPARE(x.text("B2"), QString("月份"));
    QCOMPARE(x.text("C2"), QString("采购合计"));
    QCOMPARE(x.text("AF2"), QString("报溢单"));
    QCOMPARE(x.text("B3"), QString("2012-04"));
    QCOMPARE(x.type("B3"), QString("s"));
    QCOMPARE(x.value("C5").toDouble(), 0.2);
    QCOMPARE(x.maxRow(), 6);
}

// Another seat holds the books for writing for long (an import): a report
// run meanwhile neither waits for it nor is told the books are busy, and its
// rows are this seat's own.
void TstPeriodReport::reportWhileAnotherSeatWrites()
{
    Fixture f;
    f.spread();
    QSqlDatabase other = f.t.openSeat(QStringLiteral("writer"));
    {
        QSqlQuery q(other);
        for (const QString &s : EngineInfo::beginWrite(EngineInfo::of(other))) QVERIFY2(q.exec(s), qPrintable(q.lastError().text()));
        QVERIFY(q.exec(QStringLiteral("update SDept set ID=ID")));
    }
    MsgSpy spy;
    frmBB_M s;
    s.show();
    FilterRow *dates = s.filters()[0];
    dates->dateFrom()->setDate(d("2012-01-01"));
    dates->dateTo()->setDate(d("2012-03-31"));
    QElapsedTimer timer;
    timer.start();
    s.BitBtn1Click();
    QVERIFY2(timer.elapsed() < EngineInfo::LockWaitMs / 2, qPrintable(QString::number(timer.elapsed())));
    QVERIFY2(spy.shown.isEmpty(), qPrintable(spy.lastText()));
    QCOMPARE(s.rowCount(), 4);
    QCOMPARE(s.valueAt(2, "CG1").toString(), QString("100.3"));
    QCOMPARE(s.valueAt(2, "FK1").toString(), QString("500"));
    // A second run replaces the rows, still without waiting.
    dates->dateTo()->setDate(d("2012-02-29"));
    timer.restart();
    s.BitBtn1Click();
    QVERIFY(timer.elapsed() < EngineInfo::LockWaitMs / 2);
    QVERIFY2(spy.shown.isEmpty(), qPrintable(spy.lastText()));
    QCOMPARE(s.rowCount(), 3);
    {
        // The other seat ends its save as usual and sees none of these rows.
        QSqlQuery q(other);
        QVERIFY2(q.exec(QStringLiteral("COMMIT")), qPrintable(q.lastError().text()));
        QVERIFY(q.exec(QStringLiteral("select count(*) from UBB")) && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }
    other = QSqlDatabase();
    TestDb::closeSeat(QStringLiteral("writer"));
    QCOMPARE(f.dm().value("select count(*) from UBB").toInt(), 3);
}


namespace {

// The chart against the rows listed: a bar set per series, the periods oldest
// first, purchases and sales as the table's, the difference sales less purchases.
void chartMatchesTable(PeriodReportScreen &s)
{
    const DrawnBars d = drawnBars(s.chartPanel());
    QCOMPARE(d.setNames, (QStringList{"采购合计", "销售合计", "差额（销售－采购）"}));
    const int n = s.rowCount();
    QCOMPARE(d.labels.size(), n);
    for (int i = 0; i < n; ++i) {
        const int row = n - 1 - i;   // the list is newest first
        QCOMPARE(d.labels[i], s.valueAt(row, "theDate").toString());
        const Money cg = Money::fromString(s.valueAt(row, "CG1").toString());
        const Money xs = Money::fromString(s.valueAt(row, "XS1").toString());
        QCOMPARE(d.values[0][i], cg.toDouble());
        QCOMPARE(d.values[1][i], xs.toDouble());
        QCOMPARE(d.values[2][i], (xs - cg).toDouble());
    }
}

} // namespace

void TstPeriodReport::monthChart()
{
    Fixture f;
    f.spread();
    MsgSpy spy;
    spy.answer = true;
    frmBB_M s;
    s.resize(1366, 700);
    s.show();
    QVERIFY(s.chartPanel()->isVisible());
    QVERIFY(drawnBars(s.chartPanel()).labels.isEmpty());
    FilterRow *dates = s.filters()[0];
    dates->dateFrom()->setDate(d("2012-01-01"));
    dates->dateTo()->setDate(d("2012-03-31"));
    s.BitBtn1Click();
    chartMatchesTable(s);
    const DrawnBars all = drawnBars(s.chartPanel());
    QCOMPARE(all.labels, (QStringList{"2012-01", "2012-02", "2012-03", "2012-04"}));
    QCOMPARE(all.values[0], (QList<double>{0, 100.3, 0, 0}));
    QCOMPARE(all.values[2], (QList<double>{0, 0.1 - 100.3, 0, 0}));

    // Another filter, the chart follows: only 二号库's purchase of 0.2 is left in February.
    FilterRow *ware = s.filters()[1];
    ware->comboBox()->setCurrentIndex(ware->comboBox()->findText("二号库"));
    ware->tick();
    s.BitBtn1Click();
    chartMatchesTable(s);
    QCOMPARE(drawnBars(s.chartPanel()).values[0], (QList<double>{0, 0.2, 0, 0}));

    // The amount of a bar as its tool tip, the period and the series named.
    auto *bars = qobject_cast<QAbstractBarSeries *>(s.chartPanel()->chart()->series().value(0));
    QVERIFY(bars);
    emit bars->barSets()[0]->hovered(true, 1);
    QCOMPARE(QToolTip::text(), QString("2012-02\n采购合计：0.2"));
    emit bars->barSets()[0]->hovered(false, 1);

    // Hidden and shown again by "显示图表"; the list stays.
    QCOMPARE(s.chartPanel()->showBox()->text(), QString("显示图表"));
    s.chartPanel()->showBox()->setChecked(false);
    QVERIFY(!s.chartPanel()->isVisible());
    QVERIFY(s.grid()->isVisible());
    s.chartPanel()->showBox()->setChecked(true);
    QVERIFY(s.chartPanel()->isVisible());

    // Saved as a picture through its pop-up menu; ".png" is added to a bare name.
    QTemporaryDir dir;
    spy.clear();
    const QImage img = savedThroughMenu(s.chartPanel(), dir.filePath("月报表"));
    QCOMPARE(spy.shown.size(), 1);
    QCOMPARE(spy.shown[0].kind, Msg::Kind::FileSave);
    QVERIFY(!img.isNull());
    QVERIFY(img.width() > 100 && img.height() > 100);
    // A folder that cannot take the file is said so, not passed over.
    spy.clear();
    savedThroughMenu(s.chartPanel(), dir.filePath("no/such/folder/x.png"));
    QCOMPARE(spy.shown.size(), 2);
    QCOMPARE(spy.shown[1].kind, Msg::Kind::Error);
}

// Ten years of months: the chart is built in well under a third of a second.
void TstPeriodReport::tenYearChartSpeed()
{
    Fixture f;
    f.spread();
    MsgSpy spy;
    frmBB_M s;
    s.resize(1366, 700);
    s.show();
    FilterRow *dates = s.filters()[0];
    dates->dateFrom()->setDate(d("2003-01-01"));
    dates->dateTo()->setDate(d("2012-12-31"));
    s.BitBtn1Click();
    QVERIFY(s.rowCount() >= 120);
    chartMatchesTable(s);
    QElapsedTimer timer;
    timer.start();
    s.chartPanel()->setBars(s.chartPanel()->categories(), s.chartPanel()->series());
    const qint64 build = timer.elapsed();
    // The chart lays itself out when the events are handled, then paints.
    QCoreApplication::processEvents();
    const QImage drawn = s.chartPanel()->image();
    const qint64 withDrawing = timer.elapsed();
    qInfo("chart of %d months: built in %lld ms, built and drawn in %lld ms (first build %lld ms)",
          int(s.chartPanel()->categories().size()), build, withDrawing, s.chartPanel()->lastBuildMs());
    QVERIFY(!drawn.isNull());
    QVERIFY2(withDrawing < 300, qPrintable(QString::number(withDrawing)));
}

QTEST_MAIN(TstPeriodReport)
#include "tst_periodreport.moc"
