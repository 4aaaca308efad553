// The columns of every list, query and report screen on books with long
// document numbers, big amounts and long remarks, in a window as wide as a
// 1366-pixel screen:
//   - every shown column is as wide as its bold title and every text it shows
//     (free text stops at its cap), in the list and the grids under it;
//   - a width the user drags is kept for the screen and column, and
//     "恢复默认列宽" gives the worked-out width back;
//   - the pop-up menu opens from the keyboard with its first item lit, every
//     item has its key, "按此列排序" sorts by the current column, ascending and
//     then descending, and Ctrl+C still copies the current cell.
#include "data/globals.h"
#include "money/voucher.h"
#include "shell/screens.h"
#include "stock/frmslist.h"
#include "stock/stockdoc.h"
#include "testdb.h"
#include "testreceipt.h"
#include "trade/tradedoc.h"
#include "ui/columnwidths.h"
#include "ui/docmanage.h"
#include "ui/listscreen.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "ui/sortheader.h"

#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString LongRemark = QStringLiteral("这位客户要求周末送货到仓库后门，并且需要开具增值税专用发票，联系人电话已经变更请注意核对");

struct Books {
    TestDb t;
    int supplier = t.addPartner(QStringLiteral("杭州市西湖区大华食品批发商行有限公司"), QStringLiteral("两者皆是"));
    int cola = t.addProduct(QStringLiteral("可口可乐经典装碳酸饮料"), Money::fromString("123456.7891"),
                            Money::fromString("199999.9999"));
    int tea = t.addProduct(QStringLiteral("西湖龙井"), Money::fromString("10"), Money::fromString("15"));

    Books()
    {
        t.addWarehouse(QStringLiteral("一号库"));
        t.addWarehouse(QStringLiteral("二号库"));
        t.dm().mySQL(QStringLiteral("insert into SStaff(theName,Remark,theState) values('张三','','启用'),('李四','','启用')"));
        t.dm().mySQL(QStringLiteral("update SShop set theNum='P' || ID, Remark=?"), {LongRemark});
        t.dm().mySQL(QStringLiteral("update SUnits set thePro='陈经理', thePho='0571-88886666', theAdd=?, Remark=?"),
                     {LongRemark, LongRemark});
        trade(TradeKind::Purchase, cola, "54321.9876", "123456.7891", "1000000.5");
        trade(TradeKind::Purchase, tea, "3", "10", "1");
        trade(TradeKind::Sales, cola, "1234.5678", "199999.9999", "2000000.25");
        trade(TradeKind::Sales, tea, "1", "15", "1");
        trade(TradeKind::PurchaseReturn, cola, "10.5", "123456.7891", "100.5");
        trade(TradeKind::SalesReturn, cola, "2.25", "199999.9999", "100.5");
        for (StockKind k : {StockKind::Loss, StockKind::Overage, StockKind::Transfer}) {
            StockDoc d = oneLineStockDoc(k, cola, QStringLiteral("99.9999"), QStringLiteral("123456.7891"));
            if (k == StockKind::Transfer) {
                d.issuing = QStringLiteral("一号库");
                d.warehouse = QStringLiteral("二号库");
            }
            d.remark = LongRemark;
            StockCheck refused;
            QVERIFY2(!saveStockDoc(t.dm(), d, &refused).isEmpty(), qPrintable(refused.message));
        }
        StockDoc cz = oneLineStockDoc(StockKind::Assembly, cola, QStringLiteral("99.9999"), QStringLiteral("123456.7891"));
        cz.issuing = QStringLiteral("一号库");
        cz.sides[1] << oneLine<StockLine>(tea, QStringLiteral("1"), QStringLiteral("99999.9999"));
        cz.remark = LongRemark;
        StockCheck refused;
        QVERIFY2(!saveStockDoc(t.dm(), cz, &refused).isEmpty(), qPrintable(refused.message));
        for (VoucherKind k : {VoucherKind::Payment, VoucherKind::Receipt}) {
            Voucher v;
            v.kind = k;
            v.uid = supplier;
            v.partnerName = QStringLiteral("大华");
            v.myDate = G.WorkDate;
            v.amountText = QStringLiteral("98765432.1234");
            v.account = QStringLiteral("现金");
            v.handler = QStringLiteral("张三");
            v.remark = LongRemark;
            VoucherCheck refused;
            QVERIFY2(!saveVoucher(t.dm(), v, &refused).isEmpty(), qPrintable(refused.message));
        }
    }

    void trade(TradeKind k, int sid, const char *count, const char *price, const char *paid)
    {
        TradeDoc d = oneLineTradeDoc(k, supplier, QStringLiteral("大华"), sid, QLatin1String(count),
                                     QLatin1String(paid), QLatin1String(price));
        d.remark = LongRemark;
        d.lines[0].remark = LongRemark;
        TradeCheck refused;
        QVERIFY2(!saveTradeDoc(t.dm(), d, &refused).isEmpty(), qPrintable(refused.message));
    }
};

// Shows `name` as a list screen in a 1366-pixel wide window, queried.
std::unique_ptr<ListScreen> openQueried(const QString &name)
{
    std::unique_ptr<QWidget> w(Screens::create(name, nullptr));
    auto *s = qobject_cast<ListScreen *>(w.get());
    if (!s) return nullptr;
    w.release();
    s->resize(1366, 680);
    s->show();
    s->BitBtn1Click();
    return std::unique_ptr<ListScreen>(s);
}

int columnOf(const ResultModel *m, const QString &caption)
{
    for (int i = 0; i < m->columns().size(); ++i)
        if (m->columns()[i].caption == caption) return i;
    return -1;
}

// What the grid needs to show a column whole: the bold title within the
// header's margins, each text within the delegate's margins. Texts wider
// than the cap of free text are left out; so is a capped column's title check
// of its texts.
QString tooNarrow(const QString &where, QTableView *view, const ResultModel *m)
{
    QHeaderView *h = view->horizontalHeader();
    QFont bold = h->font();
    bold.setBold(true);
    const QFontMetrics titleFm(bold), cellFm(view->font());
    const int headerMargin = 2 * view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
    const int cellMargin = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    for (int c = 0; c < m->columns().size(); ++c) {
        if (view->isColumnHidden(c)) continue;
        const ListColumn &col = m->columns()[c];
        const int size = h->sectionSize(c);
        if (size < titleFm.horizontalAdvance(col.caption) + headerMargin)
            return QStringLiteral("%1 %2: title needs more than %3").arg(where, col.caption).arg(size);
        for (int r = 0; r < qMin(m->rowCount(), 200); ++r) {
            const QString text = m->text(r, c);
            const int need = cellFm.horizontalAdvance(text) + cellMargin;
            if (!col.isNumber() && need > ColumnWidths::TextCap) continue;
            if (size < need) return QStringLiteral("%1 %2: \"%3\" needs %4, has %5").arg(where, col.caption, text).arg(need).arg(size);
        }
    }
    return QString();
}

} // namespace

class TstListColumns : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everyColumnShowsItsTexts();
    void draggedWidthKeptAndRestored();
    void keyboardMenuSortsAndCopies();

private:
    QTemporaryDir m_dir;
};

void TstListColumns::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    G.AppPath = m_dir.path() + QLatin1Char('/');
    Screens::registerAll();
}

void TstListColumns::init()
{
    QSettings(QStringLiteral("jxc"), QStringLiteral("jxc")).clear();
    setSession(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    Msg::setHandler([](const Msg::Shown &s) {
        qWarning("message: %s", qPrintable(s.text));
        return 0;
    });
}

void TstListColumns::cleanup()
{
    Msg::setHandler(nullptr);
    QSettings(QStringLiteral("jxc"), QStringLiteral("jxc")).clear();
}

void TstListColumns::everyColumnShowsItsTexts()
{
    Books b;
    QStringList names = Screens::names();
    names.sort();
    int lists = 0;
    for (const QString &name : names) {
        std::unique_ptr<ListScreen> s = openQueried(name);
        if (!s) continue;
        ++lists;
        QVERIFY2(s->rowCount() > 0, qPrintable(name + QStringLiteral(" lists nothing")));
        const QString narrow = tooNarrow(name, s->grid(), s->resultModel());
        QVERIFY2(narrow.isEmpty(), qPrintable(narrow));
        if (auto *d = qobject_cast<DocManageScreen *>(s.get())) {
            for (int i = 0; d->detailGrid(i); ++i) {
                QVERIFY2(d->detailModel(i)->rowCount() > 0, qPrintable(name + QStringLiteral(" detail empty")));
                const QString n = tooNarrow(name + QLatin1Char('/') + d->detailGrid(i)->objectName(), d->detailGrid(i),
                                            d->detailModel(i));
                QVERIFY2(n.isEmpty(), qPrintable(n));
            }
        }
        for (QAction *a : s->popupMenu()->actions())
            if (!a->isSeparator())
                QVERIFY2(a->text().contains(QLatin1Char('&')), qPrintable(name + QLatin1Char(' ') + a->text()));
    }
    QVERIFY(lists >= 30);

    // The movement ledger of one product, a window of its own.
    frmSList ledger;
    ledger.setProduct(b.cola);
    ledger.resize(1000, 500);
    ledger.show();
    QVERIFY(ledger.model()->rowCount() > 0);
    const QString narrow = tooNarrow(QStringLiteral("frmSList"), ledger.grid(), ledger.model());
    QVERIFY2(narrow.isEmpty(), qPrintable(narrow));
}

void TstListColumns::draggedWidthKeptAndRestored()
{
    Books b;
    std::unique_ptr<ListScreen> s = openQueried(QStringLiteral("frmJH_M"));
    QVERIFY(s);
    const int num = columnOf(s->resultModel(), QStringLiteral("单号"));
    QVERIFY(num >= 0);
    QHeaderView *h = s->grid()->horizontalHeader();
    const int fitted = h->sectionSize(num);
    // A drag of the divider is a resize of the section.
    h->resizeSection(num, fitted + 77);
    auto *detail = qobject_cast<DocManageScreen *>(s.get())->detailGrid(0);
    const int detailNum = columnOf(qobject_cast<DocManageScreen *>(s.get())->detailModel(0), QStringLiteral("单号"));
    const int detailFitted = detail->columnWidth(detailNum);
    detail->horizontalHeader()->resizeSection(detailNum, detailFitted + 33);
    s.reset();

    s = openQueried(QStringLiteral("frmJH_M"));
    h = s->grid()->horizontalHeader();
    QCOMPARE(h->sectionSize(num), fitted + 77);
    detail = qobject_cast<DocManageScreen *>(s.get())->detailGrid(0);
    QCOMPARE(detail->columnWidth(detailNum), detailFitted + 33);
    // Another query keeps it too; another screen has its own.
    s->BitBtn1Click();
    QCOMPARE(h->sectionSize(num), fitted + 77);
    std::unique_ptr<ListScreen> other = openQueried(QStringLiteral("frmXS_M"));
    QVERIFY(other->grid()->horizontalHeader()->sectionSize(num) < fitted + 77);
    other.reset();

    s->widthsItem()->trigger();
    QCOMPARE(h->sectionSize(num), fitted);
    QCOMPARE(detail->columnWidth(detailNum), detailFitted);
    // Queries and moves in the list change widths without keeping any.
    s->BitBtn1Click();
    QTest::keyClick(s->grid(), Qt::Key_Down);
    QCOMPARE(QSettings(QStringLiteral("jxc"), QStringLiteral("jxc")).allKeys(), QStringList());
    QCOMPARE(h->sectionSize(num), fitted);
    s.reset();
    s = openQueried(QStringLiteral("frmJH_M"));
    QCOMPARE(s->grid()->horizontalHeader()->sectionSize(num), fitted);
}

void TstListColumns::keyboardMenuSortsAndCopies()
{
    Books b;
    std::unique_ptr<ListScreen> s = openQueried(QStringLiteral("frmJH_MX"));
    QVERIFY(s);
    QVERIFY(QTest::qWaitForWindowActive(s.get()));
    QCOMPARE(s->rowCount(), 2);
    QTableView *g = s->grid();
    g->setFocus();
    const int count = columnOf(s->resultModel(), QStringLiteral("数量"));
    QVERIFY(count > 0);
    // Newest line first: the tea (3) before the cola (54321.9876).
    QCOMPARE(s->valueAt(0, QStringLiteral("theCount")).toString().left(1), QStringLiteral("3"));
    g->setCurrentIndex(g->model()->index(0, 0));
    while (g->currentIndex().column() < count) QTest::keyClick(g, Qt::Key_Right);
    QCOMPARE(g->currentIndex().column(), count);

    const auto chooseSort = [&](bool menuKey) {
        if (menuKey) QTest::keyClick(g, Qt::Key_Menu);
        else QTest::keyClick(g, Qt::Key_F10, Qt::ShiftModifier);
        QMenu *m = s->popupMenu();
        QTRY_VERIFY(m->isVisible());
        QCOMPARE(m->activeAction(), m->actions().first());
        QTest::keyClick(m, Qt::Key_O);
        QTRY_VERIFY(!m->isVisible());
    };
    chooseSort(true);
    QCOMPARE(s->sortProxy()->sortedColumn(), count);
    QCOMPARE(s->sortProxy()->sortedOrder(), Qt::AscendingOrder);
    QCOMPARE(s->valueAt(0, QStringLiteral("theCount")).toString().left(1), QStringLiteral("3"));
    QCOMPARE(g->currentIndex().column(), count);
    chooseSort(false);
    QCOMPARE(s->sortProxy()->sortedColumn(), count);
    QCOMPARE(s->sortProxy()->sortedOrder(), Qt::DescendingOrder);
    QVERIFY(s->valueAt(0, QStringLiteral("theCount")).toString().startsWith(QLatin1String("54321")));

    // Ctrl+C copies the current cell as shown.
    g->setCurrentIndex(g->model()->index(0, count));
    QApplication::clipboard()->clear();
    QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("54321.9876"));
}

QTEST_MAIN(TstListColumns)
#include "tst_listcolumns.moc"
