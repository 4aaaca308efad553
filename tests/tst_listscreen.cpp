// The list-screen frame, driven through a small screen made only for this test:
// filters tick their boxes, the kept condition binds its values, Ref re-runs it,
// title clicks sort without a query, totals, and the "Excel" export in view order.
#include "data/dberror.h"
#include "data/globals.h"
#include "data/transaction.h"
#include "ui/exportopen.h"
#include "ui/daterange.h"
#include "ui/listscreen.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "ui/sortheader.h"
#include "testdb.h"
#include "xlsxread.h"

#include <QAction>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A list screen over a table of its own: everything a real screen declares.
class ItemList : public ListScreen {
public:
    explicit ItemList(QWidget *parent = nullptr) : ListScreen(parent)
    {
        setWindowTitle(QStringLiteral("测试管理"));
        setColumns({
            ListColumn("theDate", "日期").asText(),
            ListColumn("theCode", "商品编码").w(100).asText(),
            ListColumn("theName", "名称").w(200),
            ListColumn("theType", "分类"),
            ListColumn("theQty", "数量").num().w(60).sum("数量："),
            ListColumn("theMoney", "金额").num().w(80).sum("合计金额："),
            ListColumn("ID").hide(),
        });
        setQuery(QStringLiteral("select ID, theCode, theName, theDate, theType, theQty, theMoney from TItem"),
                 QStringLiteral("order by ID"));
        date = addDateFilter(QStringLiteral("日期"), QStringLiteral("theDate"));
        name = addTextFilter(QStringLiteral("名称"), {QStringLiteral("theName"), QStringLiteral("theCode")});
        type = addChoiceFilter(QStringLiteral("分类"), QStringLiteral("theType"),
                               QStringList{QStringLiteral("甲类"), QStringLiteral("乙类")});
        deleted = addFlagFilter(QStringLiteral("已删除"), QStringLiteral("theDel = ?"), {QStringLiteral("是")},
                                QStringLiteral("theDel = ?"), {QStringLiteral("否")});
        setCountLabel(QStringLiteral("商品数量："));
        setExport(QStringLiteral("测试表"), {4, 10, 12, 20, 8});
        exportLayout().restWidth = 8;
        popupMenu()->addAction(QStringLiteral("删除 &D"));
    }
    FilterRow *date, *name, *type, *deleted;
    int refs = 0;

protected:
    void afterRef() override { ++refs; }
};

// Types any text as keystrokes (QTest::keyClicks takes ASCII only).
void typeInto(QWidget *w, const QString &text)
{
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class TestListScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsEmptyWithoutMenuOrExcel();
    void dateRangeDefaults_data();
    void dateRangeDefaults();
    void editingTicksOnlyItsBox_data();
    void editingTicksOnlyItsBox();
    void conditionBindsValues();
    void dateAndChoiceFilters();
    void refRerunsKeptCondition();
    void titleClicksSortFetchedRows();
    void sortFollowsLocaleOrderAndRefresh_data();
    void sortFollowsLocaleOrderAndRefresh();
    void totalsAndCount();
    void firstQueryAttachesMenuAndExcel();
    void failedQueryLeavesScreenUnqueried();
    void exportFollowsSortedView();
    void pagedListFetchesAsItScrolls();
    void pagesNeitherRepeatNorSkip_data();
    void pagesNeitherRepeatNorSkip();
    void nothingStaysOpenBetweenPages();
    void pagedOrderOfQualifiedFields();
    void enterInAFilterQueries_data();
    void enterInAFilterQueries();

private:
    void addItem(const QString &code, const QString &name, const QString &date, const QString &type,
                 const QVariant &qty, const QVariant &money, const QString &del = QStringLiteral("否"));
    std::unique_ptr<TestDb> m_db;
    QTemporaryDir m_dir;
    QStringList m_shown;
};

void TestListScreen::initTestCase()
{
    G.AppPath = m_dir.path() + QLatin1Char('/');
    G.ShopName = QStringLiteral("测试商店");
}

void TestListScreen::init()
{
    m_db = std::make_unique<TestDb>();
    m_db->dm().mySQL(QStringLiteral("create table TItem(ID integer primary key autoincrement, theCode text, "
                                    "theName text, theDate text, theType text, theQty numeric, theMoney numeric, "
                                    "theDel text)"));
    m_shown.clear();
    Msg::setHandler([this](const Msg::Shown &s) { m_shown << s.text; return 0; });
}

void TestListScreen::cleanup()
{
    Msg::setHandler(nullptr);
    ExportOpen::setOpener(nullptr);
    m_db.reset();
}

void TestListScreen::addItem(const QString &code, const QString &name, const QString &date, const QString &type,
                             const QVariant &qty, const QVariant &money, const QString &del)
{
    m_db->dm().mySQL(QStringLiteral("insert into TItem(theCode,theName,theDate,theType,theQty,theMoney,theDel) "
                                    "values(?,?,?,?,?,?,?)"),
                     {code, name, date, type, qty, money, del});
}

void TestListScreen::startsEmptyWithoutMenuOrExcel()
{
    addItem("1", "甲", QDate::currentDate().toString("yyyy-MM-dd"), "甲类", 1, 1);
    ItemList s;
    QCOMPARE(s.rowCount(), 0);
    QVERIFY(!s.queried());
    QVERIFY(!s.excelButton()->isEnabled());
    QCOMPARE(s.findChild<QPushButton *>("BitBtn3"), s.excelButton());
    QCOMPARE(s.excelButton()->text(), QStringLiteral("Excel"));
    QVERIFY(s.grid()->contextMenuPolicy() != Qt::CustomContextMenu);
    // Ref before the first query shows nothing.
    QVERIFY(!s.Ref());
    QCOMPARE(s.rowCount(), 0);
    QCOMPARE(s.refs, 0);
    for (FilterRow *f : s.filters()) QVERIFY(!f->isTicked());
}

void TestListScreen::dateRangeDefaults_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("span");
    QTest::addColumn<QDate>("from");
    QTest::newRow("month") << QDate(2012, 11, 16) << int(DateSpan::Month) << QDate(2012, 10, 16);
    QTest::newRow("month, short month before") << QDate(2012, 3, 31) << int(DateSpan::Month) << QDate(2012, 2, 29);
    QTest::newRow("year") << QDate(2012, 11, 16) << int(DateSpan::Year) << QDate(2011, 11, 16);
    QTest::newRow("year from leap day") << QDate(2012, 2, 29) << int(DateSpan::Year) << QDate(2011, 2, 28);
    QTest::newRow("month across new year") << QDate(2013, 1, 5) << int(DateSpan::Month) << QDate(2012, 12, 5);
}

void TestListScreen::dateRangeDefaults()
{
    QFETCH(QDate, today);
    QFETCH(int, span);
    QFETCH(QDate, from);

    QDateEdit a, b;
    setDateRange(&a, &b, DateSpan(span), today);
    QCOMPARE(a.date(), from);
    QCOMPARE(b.date(), today);

    // A screen's date filter starts on the month ending today, box not ticked.
    ItemList s;
    QCOMPARE(s.date->dateFrom()->date(), QDate::currentDate().addMonths(-1));
    QCOMPARE(s.date->dateTo()->date(), QDate::currentDate());
    QCOMPARE(s.date->dateFrom()->displayFormat(), QStringLiteral("yyyy-MM-dd"));
    QVERIFY(!s.date->isTicked());
}

void TestListScreen::editingTicksOnlyItsBox_data()
{
    QTest::addColumn<QString>("which");
    QTest::newRow("typing into a text field") << "name";
    QTest::newRow("choosing from a pick list") << "type";
    QTest::newRow("clicking a pick list") << "typeClick";
    QTest::newRow("changing a date") << "date";
}

void TestListScreen::editingTicksOnlyItsBox()
{
    QFETCH(QString, which);
    ItemList s;
    s.show();
    FilterRow *edited = nullptr;
    if (which == "name") {
        typeInto(s.name->lineEdit(), QStringLiteral("甲"));
        edited = s.name;
    } else if (which == "type") {
        s.type->comboBox()->setFocus();
        QTest::keyClick(s.type->comboBox(), Qt::Key_Down);
        QVERIFY(!s.type->comboBox()->currentText().isEmpty());
        edited = s.type;
    } else if (which == "typeClick") {
        QTest::mousePress(s.type->comboBox(), Qt::LeftButton);
        s.type->comboBox()->hidePopup();
        edited = s.type;
    } else {
        s.date->dateTo()->setDate(QDate(2012, 12, 1));
        edited = s.date;
    }
    for (FilterRow *f : s.filters()) QCOMPARE(f->isTicked(), f == edited);
}

void TestListScreen::conditionBindsValues()
{
    addItem("A1", "O'Brien 扳手", "2012-11-16", "甲类", 1, 1);
    addItem("A2", "OBrien", "2012-11-16", "甲类", 1, 1);
    addItem("A3", "O'Brien", "2012-11-16", "甲类", 1, 1, "是");

    ItemList s;
    typeInto(s.name->lineEdit(), QStringLiteral("O'Brien"));
    const SqlCondition c = s.composeCondition();
    QCOMPARE(c.sql, QStringLiteral("(theName like ? or theCode like ?) and (theDel = ?)"));
    QCOMPARE(c.binds, (QVariantList{"%O'Brien%", "%O'Brien%", "否"}));
    QVERIFY(!c.sql.contains("Brien"));

    s.BitBtn1Click();
    QVERIFY(m_shown.isEmpty());
    QCOMPARE(s.rowCount(), 1);
    QCOMPARE(s.valueAt(0, "theCode").toString(), QStringLiteral("A1"));
    QCOMPARE(s.findChild<QLabel *>("Lab_where")->text(), c.sql);

    // The flag's own condition while ticked: only the deleted one.
    s.deleted->box()->setChecked(true);
    s.BitBtn1Click();
    QCOMPARE(s.rowCount(), 1);
    QCOMPARE(s.valueAt(0, "theCode").toString(), QStringLiteral("A3"));
}

void TestListScreen::dateAndChoiceFilters()
{
    addItem("D1", "一", "2012-10-15", "甲类", 1, 1);
    addItem("D2", "二", "2012-10-16", "甲类", 1, 1);
    addItem("D3", "三", "2012-11-16", "乙类", 1, 1);
    addItem("D4", "四", "2012-11-17", "甲类", 1, 1);

    ItemList s;
    setDateRange(s.date->dateFrom(), s.date->dateTo(), DateSpan::Month, QDate(2012, 11, 16));
    s.date->tick();
    s.BitBtn1Click();
    QStringList codes;
    for (int r = 0; r < s.rowCount(); ++r) codes << s.valueAt(r, "theCode").toString();
    QCOMPARE(codes, (QStringList{"D2", "D3"}));   // both ends included

    s.type->comboBox()->setCurrentText(QStringLiteral("甲类"));
    s.type->tick();
    s.BitBtn1Click();
    QCOMPARE(s.rowCount(), 1);
    QCOMPARE(s.valueAt(0, "theCode").toString(), QStringLiteral("D2"));
    QCOMPARE(s.keptCondition().binds, (QVariantList{"2012-10-16", "2012-11-16", "甲类", "否"}));
}

void TestListScreen::refRerunsKeptCondition()
{
    addItem("R1", "螺丝", "2012-11-16", "甲类", 1, 1);
    addItem("R2", "螺母", "2012-11-16", "甲类", 1, 1);

    ItemList s;
    typeInto(s.name->lineEdit(), QStringLiteral("螺丝"));
    s.BitBtn1Click();
    QCOMPARE(s.rowCount(), 1);
    QCOMPARE(s.refs, 1);

    // The field changes but "查询" is not pressed: Ref keeps the old condition,
    // and shows rows added since.
    s.name->lineEdit()->setText(QStringLiteral("螺母"));
    addItem("R3", "长螺丝", "2012-11-16", "甲类", 1, 1);
    QVERIFY(s.Ref());
    QCOMPARE(s.refs, 2);
    QStringList codes;
    for (int r = 0; r < s.rowCount(); ++r) codes << s.valueAt(r, "theCode").toString();
    QCOMPARE(codes, (QStringList{"R1", "R3"}));
    QCOMPARE(s.keptCondition().binds.first(), QVariant("%螺丝%"));
    QCOMPARE(s.countLabel()->text(), QStringLiteral("商品数量：2"));
}

void TestListScreen::titleClicksSortFetchedRows()
{
    addItem("S1", "b", "2012-11-16", "甲类", 10, 1);
    addItem("S2", "c", "2012-11-16", "甲类", 9, 2);
    addItem("S3", "a", "2012-11-16", "甲类", 100, 3);
    addItem("S4", "d", "2012-11-16", "甲类", QVariant(), 4);

    ItemList s;
    s.show();
    s.BitBtn1Click();
    const int qty = s.resultModel()->columnOf("theQty");
    const int name = s.resultModel()->columnOf("theName");
    auto order = [&s] {
        QStringList out;
        for (int r = 0; r < s.rowCount(); ++r) out << s.valueAt(r, "theCode").toString();
        return out;
    };
    auto font = [&s](int c) { return s.sortProxy()->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>(); };
    auto colour = [&s](int c) {
        const QVariant v = s.sortProxy()->headerData(c, Qt::Horizontal, Qt::ForegroundRole);
        return v.isValid() ? v.value<QBrush>().color() : QColor();
    };

    // A row added now must not appear: sorting runs no query.
    addItem("S5", "e", "2012-11-16", "甲类", 5, 5);

    // First click on a title: ascending by value (not as text), empty first; bold red.
    QTest::mouseClick(s.grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(s.grid()->horizontalHeader()->sectionViewportPosition(qty) + 5, 5));
    QCOMPARE(order(), (QStringList{"S4", "S2", "S1", "S3"}));
    QVERIFY(font(qty).bold());
    QCOMPARE(colour(qty), QColor(Qt::red));
    QVERIFY(!font(name).bold());
    QCOMPARE(colour(name), QColor());

    // Second click: descending, bold blue.
    s.sortProxy()->clickTitle(qty);
    QCOMPARE(order(), (QStringList{"S3", "S1", "S2", "S4"}));
    QVERIFY(font(qty).bold());
    QCOMPARE(colour(qty), QColor(Qt::blue));

    // Another title: that one ascending and red, the first back to normal.
    s.sortProxy()->clickTitle(name);
    QCOMPARE(order(), (QStringList{"S3", "S1", "S2", "S4"}));
    QCOMPARE(colour(name), QColor(Qt::red));
    QVERIFY(!font(qty).bold());
    QCOMPARE(colour(qty), QColor());

    // A third click on a title sorted descending sorts ascending again.
    s.sortProxy()->clickTitle(name);
    s.sortProxy()->clickTitle(name);
    QCOMPARE(colour(name), QColor(Qt::red));
    QCOMPARE(order().first(), QStringLiteral("S3"));

    QCOMPARE(s.rowCount(), 4);
    QCOMPARE(s.refs, 1);

    // The grid's current row reads the row it shows, whatever the order.
    s.grid()->setCurrentIndex(s.sortProxy()->index(0, name));
    QCOMPARE(s.currentValue("theCode").toString(), QStringLiteral("S3"));
}

void TestListScreen::sortFollowsLocaleOrderAndRefresh_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("descending");
    for (const char *f : {"theName", "theType", "theQty", "theMoney"}) {
        QTest::addRow("%s ascending", f) << QString::fromLatin1(f) << false;
        QTest::addRow("%s descending", f) << QString::fromLatin1(f) << true;
    }
}

void TestListScreen::sortFollowsLocaleOrderAndRefresh()
{
    QFETCH(QString, field);
    QFETCH(bool, descending);

    // Equal values, empty and missing ones, Chinese and Latin texts, numbers
    // written as text in a number column.
    addItem("R1", "b", "2012-11-16", "乙类", 10, 1);
    addItem("R2", "张三", "2012-11-16", "甲类", 9, QVariant());
    addItem("R3", "", "2012-11-16", "", QVariant(), 2.5);
    addItem("R4", "B", "2012-11-16", "乙类", 10, "2.50");
    addItem("R5", "李四", "2012-11-16", "甲类", 2.5, 0);
    addItem("R6", "a", "2012-11-16", "丙类", -1, "-3");
    addItem("R7", "b", "2012-11-16", "乙类", "", 1);
    addItem("R8", "10", "2012-11-16", "甲类", 0.0001, 100);
    addItem("R9", "9", "2012-11-16", "甲类", 9, 1);
    m_db->dm().mySQL(QStringLiteral("update TItem set theName=null, theType=null where theCode='R9'"));

    ItemList s;
    s.BitBtn1Click();
    const int column = s.resultModel()->columnOf(field);
    s.sortProxy()->clickTitle(column);
    if (descending) s.sortProxy()->clickTitle(column);

    // What the grid shows must be the fetched rows ordered as described: empty
    // first, numbers by value, texts as QString::localeAwareCompare puts them,
    // equal values in the order fetched; descending the reverse, equal values
    // still in the order fetched.
    auto expected = [&s, column, descending] {
        const ResultModel *m = s.resultModel();
        QVector<int> rows(m->rowCount());
        for (int r = 0; r < rows.size(); ++r) rows[r] = r;
        auto less = [m, column](int a, int b) {
            const QVariant x = m->raw(a, column), y = m->raw(b, column);
            const bool xn = !x.isValid() || x.isNull(), yn = !y.isValid() || y.isNull();
            if (xn || yn) return xn && !yn;
            Money mx, my;
            const bool xNum = m->columns()[column].isNumber() && numberOf(x, &mx);
            const bool yNum = m->columns()[column].isNumber() && numberOf(y, &my);
            if (xNum != yNum) return xNum;
            if (xNum) return mx < my;
            return QString::localeAwareCompare(m->text(a, column), m->text(b, column)) < 0;
        };
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return descending ? less(b, a) : less(a, b); });
        QStringList codes;
        for (int r : rows) codes << m->raw(r, QStringLiteral("theCode")).toString();
        return codes;
    };
    auto shown = [&s] {
        QStringList codes;
        for (int r = 0; r < s.rowCount(); ++r) codes << s.valueAt(r, "theCode").toString();
        return codes;
    };
    QCOMPARE(shown(), expected());

    // A refresh while sorted fetches new rows and orders them too.
    addItem("R10", "阿", "2012-11-16", "丙类", 9.5, 0.5);
    addItem("R11", "c", "2012-11-16", "乙类", -2, 7);
    m_db->dm().mySQL(QStringLiteral("update TItem set theName='Z', theType='丁类', theQty=11, theMoney=-9 where theCode='R1'"));
    QVERIFY(s.Ref());
    QCOMPARE(s.rowCount(), 11);
    QCOMPARE(shown(), expected());
}

void TestListScreen::totalsAndCount()
{
    addItem("T1", "x", "2012-11-16", "甲类", 1, 0.1);
    addItem("T2", "y", "2012-11-16", "甲类", 2.5, 0.2);
    addItem("T3", "z", "2012-11-16", "甲类", QVariant(), 0.7);
    addItem("T4", "w", "2012-11-16", "甲类", 1000000, 1234567.8901);

    ItemList s;
    s.BitBtn1Click();
    QCOMPARE(s.countLabel()->text(), QStringLiteral("商品数量：4"));
    QCOMPARE(s.totalLabel("theMoney")->text(), QStringLiteral("合计金额：1234568.8901"));
    QCOMPARE(s.totalLabel("theQty")->text(), QStringLiteral("数量：1000003.5"));
    // Number cells show the shortest form.
    QCOMPARE(s.grid()->model()->index(1, s.resultModel()->columnOf("theQty")).data().toString(), QStringLiteral("2.5"));
    QCOMPARE(s.grid()->model()->index(2, s.resultModel()->columnOf("theQty")).data().toString(), QString());

    // No rows: the count reads 0 and the sums show nothing.
    typeInto(s.name->lineEdit(), QStringLiteral("没有"));
    s.BitBtn1Click();
    QCOMPARE(s.countLabel()->text(), QStringLiteral("商品数量：0"));
    QCOMPARE(s.totalLabel("theMoney")->text(), QStringLiteral("合计金额："));
    QCOMPARE(s.totalText("theMoney"), QString());
}

void TestListScreen::firstQueryAttachesMenuAndExcel()
{
    ItemList s;
    QVERIFY(s.grid()->contextMenuPolicy() != Qt::CustomContextMenu);
    s.BitBtn1Click();   // an empty result still counts as the first query
    QCOMPARE(s.rowCount(), 0);
    QVERIFY(s.excelButton()->isEnabled());
    QCOMPARE(s.grid()->contextMenuPolicy(), Qt::CustomContextMenu);
    // The screen's item, then after a separator the frame's own two.
    QStringList texts;
    for (QAction *a : s.popupMenu()->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(texts.size(), 4);
    QCOMPARE(texts.mid(1), (QStringList{"-", "按此列排序 &O", "恢复默认列宽 &W"}));
    QCOMPARE(s.grid()->toolTip(), QStringLiteral("亲，鼠标右键 有惊喜哟！"));
}

void TestListScreen::failedQueryLeavesScreenUnqueried()
{
    ItemList s;
    s.setQuery(QStringLiteral("select ID, theCode from TNoSuchTable"));
    s.BitBtn1Click();
    QCOMPARE(m_shown.size(), 1);
    QVERIFY(!s.queried());
    QVERIFY(!s.excelButton()->isEnabled());
    QVERIFY(s.grid()->contextMenuPolicy() != Qt::CustomContextMenu);

    // A statement missing a column of the table is refused as well.
    s.setQuery(QStringLiteral("select ID, theCode, theName, theDate, theType, theQty from TItem"));
    s.BitBtn1Click();
    QCOMPARE(m_shown.size(), 2);
    QVERIFY(m_shown.last().contains("theMoney"));
    QVERIFY(!s.queried());
}

void TestListScreen::exportFollowsSortedView()
{
    addItem("000123", "螺丝", "2012-11-16", "甲类", 3, 12.5);
    addItem("000045", "螺母", "2012-11-17", "乙类", 1, 0.25);
    addItem("9", "垫片", "2012-11-18", "甲类", 2, 100);

    QString opened;
    ExportOpen::setOpener([&opened](const QString &p) { opened = p; return true; });
    ItemList s;
    s.show();
    s.BitBtn1Click();
    s.setColumnVisible("theMoney", false);   // hidden on screen, still exported
    s.sortProxy()->clickTitle(s.resultModel()->columnOf("theMoney"));
    s.sortProxy()->clickTitle(s.resultModel()->columnOf("theMoney"));   // descending
    QTest::mouseClick(s.excelButton(), Qt::LeftButton);
    QVERIFY(m_shown.isEmpty());
    QVERIFY(!opened.isEmpty());
    QCOMPARE(s.lastExportFile(), opened);

    XlsxRead x;
    QVERIFY2(x.load(opened), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), QStringLiteral("测试商店测试表"));
    QCOMPARE(x.merged(), QStringList{QStringLiteral("A1:G1")});   // the hidden ID is not exported
    const QStringList header{"序号", "日期", "商品编码", "名称", "分类", "数量", "金额"};
    for (int i = 0; i < header.size(); ++i) QCOMPARE(x.text(QChar('A' + i) + QStringLiteral("2")), header[i]);
    QCOMPARE(x.text("H2"), QString());

    // Rows in the order shown: amount descending.
    QCOMPARE(x.text("C3"), QStringLiteral("9"));
    QCOMPARE(x.type("C3"), QStringLiteral("s"));
    QCOMPARE(x.text("C4"), QStringLiteral("000123"));
    QCOMPARE(x.type("C4"), QStringLiteral("s"));
    QCOMPARE(x.text("C5"), QStringLiteral("000045"));
    QCOMPARE(x.value("A5").toInt(), 3);
    QCOMPARE(x.type("G4"), QStringLiteral("n"));
    QCOMPARE(x.value("G4").toDouble(), 12.5);
    QCOMPARE(x.text("B5"), QStringLiteral("2012-11-17"));

    // Totals row with the two sums under their columns.
    QCOMPARE(x.text("A6"), QStringLiteral("合计"));
    QCOMPARE(x.value("F6").toDouble(), 6.0);
    QCOMPARE(x.value("G6").toDouble(), 112.75);
    QCOMPARE(x.border("G6"), QStringLiteral("thin"));
    QCOMPARE(x.orientation(), QStringLiteral("landscape"));
    QVERIFY(qAbs(x.width("D") - 20) < 1);
    QVERIFY(qAbs(x.width("G") - 8) < 1);
}

void TestListScreen::pagedListFetchesAsItScrolls()
{
    // 450 rows of 0.1 each, amounts out of order.
    m_db->dm().mySQL(QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<450) "
                                    "insert into TItem(theCode,theName,theDate,theType,theQty,theMoney,theDel) "
                                    "select printf('%04d', i), '件' || i, '2012-11-16', '甲类', 0.1, (i*37)%451, '否' from n"));
    QString opened;
    ExportOpen::setOpener([&opened](const QString &p) { opened = p; return true; });
    ItemList s;
    s.setPaged(true);
    s.show();
    s.BitBtn1Click();
    // One batch fetched; the count and the totals are over all the rows, exactly.
    const int first = s.rowCount();
    QVERIFY(first > 0 && first < 450);
    QCOMPARE(s.countLabel()->text(), QStringLiteral("商品数量：450"));
    QCOMPARE(s.totalLabel("theQty")->text(), QStringLiteral("数量：45"));
    QCOMPARE(s.totalLabel("theMoney")->text(), QStringLiteral("合计金额：101475"));
    // Scrolling to the end fetches the next batch.
    s.grid()->scrollToBottom();
    QCoreApplication::processEvents();
    QVERIFY(s.rowCount() > first || s.sortProxy()->canFetchMore(QModelIndex()));
    // A title sorts every row, not only the fetched ones.
    s.sortProxy()->clickTitle(s.resultModel()->columnOf("theMoney"));
    QCOMPARE(s.valueAt(0, "theMoney").toInt(), 1);
    s.sortProxy()->clickTitle(s.resultModel()->columnOf("theMoney"));
    QCOMPARE(s.valueAt(0, "theMoney").toInt(), 450);
    QVERIFY(s.lastStatement().contains(QStringLiteral("order by theMoney desc nulls last, ID")));
    // "Excel" writes all of them, in the order shown.
    s.BitBtn3Click();
    XlsxRead x;
    QVERIFY2(x.load(opened), qPrintable(x.error()));
    QCOMPARE(x.maxRow(), 2 + 450 + 1);
    QCOMPARE(x.value("G3").toInt(), 450);
    QCOMPARE(x.value("G452").toInt(), 1);
    QCOMPARE(x.value("F453").toDouble(), 45.0);
    QVERIFY(m_shown.isEmpty());
}

void TestListScreen::pagesNeitherRepeatNorSkip_data()
{
    QTest::addColumn<QString>("title");   // empty: the list's own order
    QTest::addColumn<bool>("descending");
    QTest::newRow("own order") << "" << false;
    QTest::newRow("amount ascending") << "theMoney" << false;
    QTest::newRow("amount descending") << "theMoney" << true;
    QTest::newRow("name ascending") << "theName" << false;
    QTest::newRow("name descending") << "theName" << true;
}

// Page after page, by the scrolling grid's request, in the list's own order or
// a title's: every row once, in order, ties in the list's own order, empty
// values first ascending and last descending; rows written by another copy of
// the program between two pages neither repeat a row nor make one be skipped.
void TestListScreen::pagesNeitherRepeatNorSkip()
{
    QFETCH(QString, title);
    QFETCH(bool, descending);
    // 500 rows: 9 amounts and 7 names, every 11th row without either.
    m_db->dm().mySQL(QStringLiteral(
        "with recursive n(i) as (select 1 union all select i+1 from n where i<500) "
        "insert into TItem(theCode,theName,theDate,theType,theQty,theMoney,theDel) "
        "select printf('%04d', i), case when i % 11 = 0 then null else '件' || (i % 7) end, '2012-11-16', '甲类', 1, "
        "case when i % 11 = 0 then null else (i % 9) * 1.25 end, '否' from n"));
    ItemList s;
    s.setPaged(true);
    s.show();
    if (!title.isEmpty()) {
        const int col = s.resultModel()->columnOf(title);
        s.sortProxy()->clickTitle(col);
        if (descending) s.sortProxy()->clickTitle(col);
    }
    s.BitBtn1Click();
    QCOMPARE(s.foundCount(), 500);
    QVERIFY(s.rowCount() < 500);

    // Another copy of the program adds rows that sort anywhere and changes
    // none of those read; they may or may not be met further down.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(m_db->file());
        QVERIFY(other.open());
        QSqlQuery q(other);
        QVERIFY2(q.exec(QStringLiteral("insert into TItem(theCode,theName,theDate,theType,theQty,theMoney,theDel) "
                                       "values('new1','件0','2012-11-16','甲类',1,0,'否'),"
                                       "('new2',null,'2012-11-16','甲类',1,null,'否'),"
                                       "('new3','件9','2012-11-16','甲类',1,99,'否')")),
                 qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));

    int pages = 1;
    while (s.sortProxy()->canFetchMore(QModelIndex())) {
        const int before = s.rowCount();
        s.sortProxy()->fetchMore(QModelIndex());
        QVERIFY(s.rowCount() > before);
        ++pages;
    }
    QVERIFY(pages >= 3);
    QVERIFY(m_shown.isEmpty());

    QSet<int> seen;
    for (int r = 0; r < s.rowCount(); ++r) {
        const int id = s.valueAt(r, "ID").toInt();
        QVERIFY2(!seen.contains(id), qPrintable(QStringLiteral("row %1 twice").arg(id)));
        seen.insert(id);
    }
    for (int id = 1; id <= 500; ++id) QVERIFY2(seen.contains(id), qPrintable(QStringLiteral("row %1 skipped").arg(id)));

    // In order: by the title's value (empty ones first ascending, last
    // descending), ties by ID as the list's own order has it.
    auto key = [&](int r) { return s.valueAt(r, title.isEmpty() ? QStringLiteral("ID") : title); };
    for (int r = 1; r < s.rowCount(); ++r) {
        const QVariant a = key(r - 1), b = key(r);
        const int idA = s.valueAt(r - 1, "ID").toInt(), idB = s.valueAt(r, "ID").toInt();
        int cmp = 0;   // a against b in ascending order, empty first
        if (a.isNull() || b.isNull()) cmp = a.isNull() == b.isNull() ? 0 : a.isNull() ? -1 : 1;
        else if (title == "theName") cmp = a.toString().compare(b.toString());
        else cmp = a.toDouble() < b.toDouble() ? -1 : a.toDouble() > b.toDouble() ? 1 : 0;
        if (descending) cmp = -cmp;
        QVERIFY2(cmp < 0 || (cmp == 0 && idA < idB),
                 qPrintable(QStringLiteral("rows %1 and %2 out of order").arg(idA).arg(idB)));
    }
}

// Between two pages no statement stays open on the connection: another copy
// of the program writes, and then a save on this one (BEGIN IMMEDIATE) still
// works; an open statement would hold this connection on the snapshot from
// before that write and the save would fail at once.
void TestListScreen::nothingStaysOpenBetweenPages()
{
    m_db->dm().mySQL(QStringLiteral(
        "with recursive n(i) as (select 1 union all select i+1 from n where i<450) "
        "insert into TItem(theCode,theName,theDate,theType,theQty,theMoney,theDel) "
        "select printf('%04d', i), '件' || i, '2012-11-16', '甲类', 1, i, '否' from n"));
    ItemList s;
    s.setPaged(true);
    s.show();
    s.BitBtn1Click();
    s.sortProxy()->fetchMore(QModelIndex());
    QVERIFY(s.sortProxy()->canFetchMore(QModelIndex()));   // more to read: the list is not at its end

    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(m_db->file());
        QVERIFY(other.open());
        QSqlQuery q(other);
        QVERIFY2(q.exec(QStringLiteral("update TItem set theQty=2 where ID=450")), qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));

    try {
        Transaction tx(m_db->db());
        m_db->dm().mySQL(QStringLiteral("update TItem set theDel='是' where ID=1"));
        tx.commit();
    } catch (const DbError &e) {
        QFAIL(qPrintable(e.text()));
    }
    QCOMPARE(m_db->dm().value(QStringLiteral("select theDel from TItem where ID=1")).toString(), QStringLiteral("是"));
    // The next page follows on.
    QVERIFY(s.fetchAll());
    QCOMPARE(s.rowCount(), 450);
    QCOMPARE(s.valueAt(449, "ID").toInt(), 450);
}

// The order may name the fields as the statement does ("T.ID"): a page goes
// on from the key under the select list's name of that field.
void TestListScreen::pagedOrderOfQualifiedFields()
{
    m_db->dm().mySQL(QStringLiteral(
        "with recursive n(i) as (select 1 union all select i+1 from n where i<450) "
        "insert into TItem(theCode,theName,theDate,theType,theQty,theMoney,theDel) "
        "select printf('%04d', i), '件' || i, '2012-11-16', case when i % 2 = 0 then '甲类' else '乙类' end, 1, i, '否' from n"));
    ItemList s;
    s.setQuery(QStringLiteral("select T.ID as ID, T.theCode as theCode, T.theName as theName, T.theDate as theDate, "
                              "T.theType as theType, T.theQty as theQty, T.theMoney as theMoney from TItem T"),
               QStringLiteral("order by T.theType, T.ID desc"));
    s.setPaged(true);
    s.show();
    s.BitBtn1Click();
    while (s.sortProxy()->canFetchMore(QModelIndex())) s.sortProxy()->fetchMore(QModelIndex());
    QVERIFY(m_shown.isEmpty());
    QCOMPARE(s.rowCount(), 450);
    // "乙类" (U+4E59) before "甲类" (U+7532), each newest first.
    for (int r = 0; r < 225; ++r) QCOMPARE(s.valueAt(r, "ID").toInt(), 449 - 2 * r);
    for (int r = 225; r < 450; ++r) QCOMPARE(s.valueAt(r, "ID").toInt(), 450 - 2 * (r - 225));
}

void TestListScreen::enterInAFilterQueries_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("text field") << "name";
    QTest::newRow("pick list") << "type";
    QTest::newRow("date") << "date";
}

// Typing a filter and Enter runs the query, as "查询" does, with the filter ticked.
void TestListScreen::enterInAFilterQueries()
{
    QFETCH(QString, where);
    addItem("1", "甲", QDate::currentDate().toString("yyyy-MM-dd"), "甲类", 1, 1);
    addItem("2", "乙", QDate::currentDate().addYears(-1).toString("yyyy-MM-dd"), "乙类", 1, 1);
    ItemList s;
    s.show();
    QWidget *target = where == "name" ? static_cast<QWidget *>(s.name->lineEdit())
                    : where == "type" ? static_cast<QWidget *>(s.type->comboBox())
                                      : static_cast<QWidget *>(s.date->dateTo());
    if (where == "name") typeInto(s.name->lineEdit(), QStringLiteral("甲"));
    else if (where == "type") { s.type->comboBox()->setCurrentIndex(0); s.type->tick(); }
    else s.date->dateTo()->setDate(QDate::currentDate().addDays(1));
    QTest::keyClick(target, Qt::Key_Return);
    QTRY_VERIFY(s.queried());
    QCOMPARE(s.rowCount(), 1);
    QCOMPARE(s.valueAt(0, "theName").toString(), QStringLiteral("甲"));
}

QTEST_MAIN(TestListScreen)
#include "tst_listscreen.moc"
