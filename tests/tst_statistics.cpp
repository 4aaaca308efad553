// The purchase and sales statistics: what each grouping item groups by, the
// filters (bound, never pasted into the statement), deleted and pre-saved
// documents, the four kinds, the export.
#include "data/globals.h"
#include "ui/exportopen.h"
#include "money/statisticsscreen.h"
#include "chartread.h"
#include "shellspy.h"
#include "testdb.h"
#include "xlsxread.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(TradeKind)

namespace {

std::unique_ptr<StatisticsScreen> screen(TradeKind kind)
{
    switch (kind) {
    case TradeKind::Purchase: return std::make_unique<frmBB_CG>();
    case TradeKind::PurchaseReturn: return std::make_unique<frmBB_CT>();
    case TradeKind::Sales: return std::make_unique<frmBB_XS>();
    case TradeKind::SalesReturn: break;
    }
    return std::make_unique<frmBB_XT>();
}

// The rows as "group=quantity/amount", sorted by group.
QString rowsOf(ListScreen &s)
{
    QStringList out;
    for (int r = 0; r < s.rowCount(); ++r)
        out << s.valueAt(r, "theGroup").toString() + "=" + s.valueAt(r, "theCount").toString() + "/"
                   + s.valueAt(r, "theSum").toString();
    out.sort();
    return out.join(' ');
}

FilterRow *filterNamed(ListScreen &s, const QString &caption)
{
    for (FilterRow *f : s.filters())
        if (f->box()->text() == caption) return f;
    return nullptr;
}

} // namespace

class TstStatistics : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { setSession(); }
    void cleanup() { ExportOpen::setOpener(nullptr); }
    void byPartnerWithNoFilter();
    void groupings_data();
    void groupings();
    void filters_data();
    void filters();
    void productItemUnderFilters();
    void fourKinds_data();
    void fourKinds();
    void exported();
    void chartOfTheLargestAmounts();

private:
    struct Fixture;
    QTemporaryDir m_dir;
};

struct TstStatistics::Fixture {
    TestDb t;
    int dahua = t.addPartner("大华商行", "供应商");
    int wantong = t.addPartner("万通'贸易", "两者皆是");
    int cola = t.addProduct("可乐");
    int tea = t.addProduct("茶叶");
    int serial = 0;
    frmDM &dm() { return t.dm(); }

    Fixture()
    {
        dm().mySQL("update SUnits set thePro='王经理', thePho='0571-1', theAdd='杭州' where ID=?", {dahua});
        dm().mySQL("update SShop set theNum='P001', theType='饮料', theStand='500ml', theUnit='瓶' where ID=?", {cola});
        dm().mySQL("update SShop set theNum='P002', theType='茶', theStand='250g', theUnit='盒' where ID=?", {tea});
        t.addWarehouse("一号库");
        t.addWarehouse("二号库");
    }

    // A document of `kind` with lines (product, price, quantity, amount).
    QString doc(TradeKind kind, int uid, const char *myDate, QVector<std::tuple<int, const char *, const char *, const char *>> lines,
                const char *ware = "一号库", const char *del = "否", const char *yc = "否", const char *user = "系统管理员")
    {
        const TradeKindInfo &k = tradeKind(kind);
        const QString num = QString("%1-%2").arg(k.prefix).arg(++serial);
        QString cols = "theNum,theDate,myDate,UID,WName,UName,IName,theDel";
        QVariantList v{num, "2012-11-16", myDate, uid, ware, "张三", user, del};
        if (k.canPreSave) {
            cols += ",theYC";
            v << yc;
        }
        dm().mySQL(QString("insert into %1(%2) values(%3)").arg(k.head, cols, QStringList(v.size(), "?").join(',')), v);
        int bh = 0;
        for (const auto &[sid, price, count, sum] : lines)
            dm().mySQL(QString("insert into %1(theNum,theBH,SID,thePrice,theCount,theSum) values(?,?,?,?,?,?)").arg(k.lines),
                       {num, ++bh, sid, Money::fromString(price).toVariant(), Money::fromString(count).toVariant(),
                        Money::fromString(sum).toVariant()});
        return num;
    }
    // Purchase receipts: two live, one pre-saved (counted), one deleted (not).
    void receipts()
    {
        doc(TradeKind::Purchase, dahua, "2012-11-01", {{cola, "2.5", "3", "7.5"}, {tea, "10", "0.1", "1"}});
        doc(TradeKind::Purchase, wantong, "2012-11-05", {{cola, "2.5", "1", "2.5"}, {cola, "2", "0.2", "0.4"}}, "二号库");
        doc(TradeKind::Purchase, dahua, "2012-11-09", {{tea, "10", "0.2", "2"}}, "一号库", "否", "是", "小王");
        doc(TradeKind::Purchase, dahua, "2012-11-09", {{tea, "99", "99", "9801"}}, "一号库", "是");
    }
};

void TstStatistics::initTestCase()
{
    G.AppPath = m_dir.path() + QLatin1Char('/');
    G.ShopName = QStringLiteral("测试商店");
}

void TstStatistics::byPartnerWithNoFilter()
{
    Fixture f;
    f.receipts();
    frmBB_CG s;
    s.show();
    QCOMPARE(s.windowTitle(), QString("采购入库统计"));
    QCOMPARE(s.queryButton()->text(), QString("统计"));
    QCOMPARE(s.groupChoice()->currentText(), QString("供应商"));
    QStringList items;
    for (int i = 0; i < s.groupChoice()->count(); ++i) items << s.groupChoice()->itemText(i);
    QCOMPARE(items, (QStringList{"采购日期", "单号", "供应商", "联系人", "联系电话", "地址", "商品分类", "商品编码", "商品名称",
                                 "规格", "单位", "单价", "仓库名称", "经手人"}));
    for (FilterRow *r : s.filters().mid(1)) QVERIFY(!r->isTicked());
    QCOMPARE(s.rowCount(), 0);
    s.BitBtn1Click();
    QCOMPARE(rowsOf(s), QString("万通'贸易=1.2/2.9 大华商行=3.3/10.5"));
    QCOMPARE(s.grid()->model()->headerData(0, Qt::Horizontal).toString(), QString("供应商"));
    QCOMPARE(s.grid()->model()->headerData(1, Qt::Horizontal).toString(), QString("数量"));
    QCOMPARE(s.grid()->model()->headerData(2, Qt::Horizontal).toString(), QString("金额"));
    QVERIFY(s.excelButton()->isEnabled());
}

void TstStatistics::groupings_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("rows");
    QTest::newRow("date") << "采购日期" << "采购日期" << "2012-11-01=3.1/8.5 2012-11-05=1.2/2.9 2012-11-09=0.2/2";
    QTest::newRow("number") << "单号" << "单号" << "CG-1=3.1/8.5 CG-2=1.2/2.9 CG-3=0.2/2";
    QTest::newRow("contact") << "联系人" << "联系人" << "=1.2/2.9 王经理=3.3/10.5";
    QTest::newRow("category") << "商品分类" << "商品分类" << "茶=0.3/3 饮料=4.2/10.4";
    QTest::newRow("product name") << "商品名称" << "商品名称" << "可乐=4.2/10.4 茶叶=0.3/3";
    QTest::newRow("size") << "规格" << "规格" << "250g=0.3/3 500ml=4.2/10.4";
    // One row per distinct line price.
    QTest::newRow("price") << "单价" << "单价" << "10=0.3/3 2.5=4/10 2=0.2/0.4";
    QTest::newRow("warehouse") << "仓库名称" << "仓库名称" << "一号库=3.3/10.5 二号库=1.2/2.9";
    QTest::newRow("handler") << "经手人" << "经手人" << "张三=4.5/13.4";
    // Typed by hand: the entry clerk.
    QTest::newRow("entry clerk, typed") << "录入人" << "录入人" << "小王=0.2/2 系统管理员=4.3/11.4";
    // Any other text: the partner.
    QTest::newRow("anything else") << "随便写" << "供应商" << "万通'贸易=1.2/2.9 大华商行=3.3/10.5";
}

void TstStatistics::groupings()
{
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QString, rows);
    Fixture f;
    f.receipts();
    frmBB_CG s;
    s.groupChoice()->setCurrentText(item);
    s.BitBtn1Click();
    QCOMPARE(rowsOf(s), rows);
    QCOMPARE(s.grid()->model()->headerData(0, Qt::Horizontal).toString(), caption);
}

void TstStatistics::filters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("rows");
    // A quote in the text is a character like any other.
    QTest::newRow("partner with a quote") << "供  应  商" << "万通'" << "万通'贸易=1.2/2.9";
    QTest::newRow("partner, no match") << "供  应  商" << "' or 1=1 --" << "";
    QTest::newRow("contact") << "联  系  人" << "王" << "大华商行=3.3/10.5";
    QTest::newRow("number") << "单        号" << "CG-2" << "万通'贸易=1.2/2.9";
    QTest::newRow("product code") << "商品编码" << "P002" << "大华商行=0.3/3";
    QTest::newRow("product name") << "商品名称" << "可" << "万通'贸易=1.2/2.9 大华商行=3/7.5";
    QTest::newRow("unit") << "单        位" << "盒" << "大华商行=0.3/3";
    QTest::newRow("warehouse") << "仓库名称" << "二号库" << "万通'贸易=1.2/2.9";
    QTest::newRow("entry clerk") << "录  入  人" << "小王" << "大华商行=0.2/2";
    QTest::newRow("date") << "采购日期" << "2012-11-05" << "万通'贸易=1.2/2.9";
}

void TstStatistics::filters()
{
    QFETCH(QString, filter);
    QFETCH(QString, value);
    QFETCH(QString, rows);
    Fixture f;
    f.receipts();
    f.t.asOwner("insert into SUser(theName,thePass,theState) values('小王','','启用')");
    frmBB_CG s;
    FilterRow *row = filterNamed(s, filter);
    QVERIFY(row);
    if (row->dateFrom()) {
        // Changing a date ticks the box.
        row->dateFrom()->setDate(QDate::fromString(value, Qt::ISODate));
        row->dateTo()->setDate(QDate::fromString(value, Qt::ISODate));
    } else if (row->lineEdit()) {
        QTest::keyClicks(row->lineEdit(), "x");
        row->lineEdit()->setText(value);
    } else {
        row->comboBox()->setCurrentIndex(row->comboBox()->findText(value));
        row->tick();
    }
    QVERIFY(row->isTicked());
    s.BitBtn1Click();
    QCOMPARE(rowsOf(s), rows);
    QVERIFY(!s.keptCondition().sql.contains(value));
}

// A product item with partner and product filters: the lines are narrowed
// before they are totalled per product.
void TstStatistics::productItemUnderFilters()
{
    Fixture f;
    f.receipts();
    frmBB_CG s;
    s.groupChoice()->setCurrentText("商品名称");
    filterNamed(s, "供  应  商")->lineEdit()->setText("大华");
    filterNamed(s, "供  应  商")->tick();
    s.BitBtn1Click();
    QCOMPARE(rowsOf(s), QString("可乐=3/7.5 茶叶=0.3/3"));
    filterNamed(s, "商品编码")->lineEdit()->setText("P001");
    filterNamed(s, "商品编码")->tick();
    s.BitBtn1Click();
    QCOMPARE(rowsOf(s), QString("可乐=3/7.5"));
}

void TstStatistics::fourKinds_data()
{
    QTest::addColumn<TradeKind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("partnerWord");
    QTest::addColumn<QString>("dateWord");
    QTest::newRow("purchase returns") << TradeKind::PurchaseReturn << "采购退货统计" << "供应商" << "退货日期";
    QTest::newRow("sales deliveries") << TradeKind::Sales << "销售出库统计" << "客户名称" << "销售日期";
    QTest::newRow("sales returns") << TradeKind::SalesReturn << "销售退货统计" << "客户名称" << "退货日期";
}

void TstStatistics::fourKinds()
{
    QFETCH(TradeKind, kind);
    QFETCH(QString, caption);
    QFETCH(QString, partnerWord);
    QFETCH(QString, dateWord);
    Fixture f;
    f.receipts();   // purchase receipts: not counted here
    f.doc(kind, f.wantong, "2012-11-03", {{f.cola, "3", "2", "6"}, {f.tea, "1.5", "1", "1.35"}});
    f.doc(kind, f.wantong, "2012-11-04", {{f.cola, "3", "5", "15"}}, "一号库", "是");
    std::unique_ptr<StatisticsScreen> s = screen(kind);
    QCOMPARE(s->windowTitle(), caption);
    QCOMPARE(s->groupChoice()->currentText(), partnerWord);
    QCOMPARE(s->groupChoice()->itemText(0), dateWord);
    QVERIFY(filterNamed(*s, dateWord));
    s->BitBtn1Click();
    QCOMPARE(rowsOf(*s), QString("万通'贸易=3/7.35"));
    QCOMPARE(s->grid()->model()->headerData(0, Qt::Horizontal).toString(), partnerWord);
}

void TstStatistics::exported()
{
    Fixture f;
    f.receipts();
    QString opened;
    ExportOpen::setOpener([&opened](const QString &p) { opened = p; return true; });
    frmBB_XT s;
    f.doc(TradeKind::SalesReturn, f.wantong, "2012-11-03", {{f.cola, "3", "2", "6"}});
    s.groupChoice()->setCurrentText("商品编码");
    s.BitBtn1Click();
    s.BitBtn3Click();
    XlsxRead x;
    QVERIFY2(x.load(opened), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), QString("测试商店销售退货统计表"));
    QCOMPARE(x.text("B2"), QString("商品编码"));
    QCOMPARE(x.text("C2"), QString("数量"));
    QCOMPARE(x.text("D2"), QString("金额"));
    QCOMPARE(x.text("B3"), QString("P001"));
    QCOMPARE(x.value("D3").toDouble(), 6.0);
    QVERIFY(qAbs(x.width("B") - 20) < 1);
    QVERIFY(x.orientation() != "landscape");
}

// The chart: at most the 20 largest amounts of the list, largest at the top,
// following the filters.
void TstStatistics::chartOfTheLargestAmounts()
{
    Fixture f;
    // 25 suppliers "商行1" … "商行25", supplier i bought for i × 1.5.
    for (int i = 1; i <= 25; ++i) {
        const QByteArray amount = QByteArray::number(i * 1.5);
        f.doc(TradeKind::Purchase, f.t.addPartner(QString("商行%1").arg(i), "供应商"), "2012-11-01",
              {{f.cola, "1.5", QByteArray::number(i).constData(), amount.constData()}});
    }
    frmBB_CG s;
    s.resize(1366, 700);
    s.show();
    // The table's amounts by group, largest first.
    auto expected = [&s](int most) {
        QList<QPair<double, QString>> rows;
        for (int r = 0; r < s.rowCount(); ++r)
            rows << qMakePair(Money::fromString(s.valueAt(r, "theSum").toString()).toDouble(),
                              s.valueAt(r, "theGroup").toString());
        std::sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
        return rows.mid(0, most);
    };
    auto drawn = [&s] {
        // Drawn from the bottom up: read from the top.
        const DrawnBars d = drawnBars(s.chartPanel());
        QList<QPair<double, QString>> rows;
        for (int i = d.labels.size() - 1; i >= 0; --i) rows << qMakePair(d.values[0][i], d.labels[i]);
        return rows;
    };

    s.BitBtn1Click();
    QCOMPARE(s.rowCount(), 25);
    QCOMPARE(drawnBars(s.chartPanel()).setNames, QStringList{"金额"});
    QCOMPARE(drawn().size(), 20);
    QCOMPARE(drawn(), expected(20));
    QCOMPARE(drawn().first(), qMakePair(37.5, QString("商行25")));
    QCOMPARE(drawn().last(), qMakePair(9.0, QString("商行6")));

    // A filter leaves eleven suppliers ("商行1", "商行10" … "商行19"): all of them drawn.
    FilterRow *partner = filterNamed(s, "供  应  商");
    partner->lineEdit()->setText("商行1");
    partner->tick();
    s.BitBtn1Click();
    QCOMPARE(s.rowCount(), 11);
    QCOMPARE(drawn(), expected(20));
    QCOMPARE(drawn().last(), qMakePair(1.5, QString("商行1")));
}

QTEST_MAIN(TstStatistics)
#include "tst_statistics.moc"
