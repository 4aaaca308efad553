// The trade document management screens and the settlement queries: lists,
// filters, the detail grids, the pop-up commands with their refusals, deletion
// with its question, settling through the real dialog, sorting and export.
#include "data/globals.h"
#include "screenkeys.h"
#include "ui/exportopen.h"
#include "money/frmsettle.h"
#include "money/settle.h"
#include "money/settlequery.h"
#include "shell/main.h"
#include "ui/msg.h"
#include "ui/resultmodel.h"
#include "shell/screens.h"
#include "ui/sortheader.h"
#include "testdb.h"
#include "trade/frmjh_in.h"
#include "trade/frmtrade_m.h"
#include "trade/tradedelete.h"
#include "trade/tradedoc.h"
#include "trade/tradeentry.h"
#include "xlsxread.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

QVector<Msg::Shown> g_shown;
int g_answer = 0;

QStringList shownTexts()
{
    QStringList out;
    for (const Msg::Shown &s : g_shown) out << s.text;
    return out;
}

TradeManageScreen *makeScreen(TradeKind kind)
{
    switch (kind) {
    case TradeKind::Purchase: return new frmJH_M;
    case TradeKind::Sales: return new frmXS_M;
    case TradeKind::PurchaseReturn: return new frmCG_O_M;
    case TradeKind::SalesReturn: break;
    }
    return new frmXS_O_M;
}

QStringList visibleCaptions(ListScreen *s)
{
    QStringList out;
    for (int c = 0; c < s->resultModel()->columnCount(); ++c)
        if (!s->grid()->isColumnHidden(c)) out << s->resultModel()->headerData(c, Qt::Horizontal).toString();
    return out;
}

QStringList column(ListScreen *s, const QString &field)
{
    QStringList out;
    for (int r = 0; r < s->grid()->model()->rowCount(); ++r) out << s->valueAt(r, field).toString();
    return out;
}

QStringList detailColumn(ResultModel *m, const QString &field)
{
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) out << m->text(r, m->columnOf(field));
    return out;
}

QAction *action(QWidget *s, const char *name) { return s->findChild<QAction *>(name); }

// Runs `act` on the modal window that `trigger` opens, from inside its own
// event loop; returns what `act` saw (empty when nothing modal opened).
QString onModal(const std::function<void()> &trigger, const std::function<QString(QWidget *)> &act)
{
    QString seen;
    QPointer<QWidget> opened;
    bool acting = false;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (acting) return;
        QWidget *w = QApplication::activeModalWidget();
        if (!w) return;
        if (opened) {
            // Left open by a step that did not work: closed, so that the test fails instead of waiting.
            if (w == opened) {
                qWarning("%s left open", w->metaObject()->className());
                w->close();
            }
            return;
        }
        opened = w;
        acting = true;
        // Shown is not yet active: the window takes the focus when the window
        // system activates it, later on a loaded machine.
        QPointer<QWidget> guard(w);
        const bool active = QTest::qWaitForWindowActive(w)
                            && QTest::qWaitFor([&] { return guard && guard->isAncestorOf(QApplication::focusWidget()); });
        if (!guard) {
            seen = QStringLiteral("closed before it was active");
        } else if (!active) {
            seen = QStringLiteral("never took the focus");
            w->close();
        } else {
            seen = act(w);
        }
        acting = false;
    });
    timer.start();
    trigger();
    timer.stop();
    return seen;
}

} // namespace

class TstTradeManage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsByKind_data();
    void listsByKind();
    void filters_data();
    void filters();
    void detailsFollowTheCurrentRow();
    void popupItems_data();
    void popupItems();
    void settleRefusedBeforeTheDialog();
    void settleThroughTheDialog();
    void settleTheWholeOwedAmount_data();
    void settleTheWholeOwedAmount();
    void keyboardOnly();
    void reopenOnlyPreSaved();
    void printOnlyPosted();
    void deleteAsksAndReverses();
    void deleteWithTheRealQuestion();
    void refusedDeletionIsTold();
    void titleSortsAllRows();
    void refreshKeepsEveryPageRead();
    void partnerFilterOverManyPartners_data();
    void partnerFilterOverManyPartners();
    void refreshLooksThePartnerFilterUpAgain();
    void manyRowsAreWalkedFewAreSought();
    void exportLayout();
    void settlementQuery();
    void menuOpensTheScreens_data();
    void menuOpensTheScreens();

private:
    struct Fixture;
    QTemporaryDir m_dir;
};

struct TstTradeManage::Fixture {
    TestDb t;
    int supplier = t.addPartner("大华商行", "供应商");
    int customer = t.addPartner("顺发超市", "客户");
    int other = t.addPartner("远方贸易", "两者皆是");
    int cola = t.addProduct("可乐", Money::fromString("2.5"), Money::fromString("3.5"));
    int tea = t.addProduct("茶叶", Money::fromString("10"), Money::fromString("15"));
    frmDM &dm() { return t.dm(); }
    std::unique_ptr<TradeManageScreen> screen;

    Fixture()
    {
        t.addWarehouse("一号库");
        t.addWarehouse("二号库");
        dm().mySQL("insert into SStaff(theName,Remark,theState) values('王五','','启用'),('张三','','启用')");
        dm().mySQL("update SShop set theNum='P' || ID");
        dm().mySQL("update SUnits set thePY='DHSH', thePro='陈经理', thePho='0571-1', theAdd='城东' where ID=?", {supplier});
        dm().KC_Up("一号库", cola, Money::fromString("100"));
        dm().KC_Up("一号库", tea, Money::fromString("100"));
    }
    int partner(TradeKind k) const
    {
        return k == TradeKind::Purchase || k == TradeKind::PurchaseReturn ? supplier : customer;
    }
    // 3 cola at 10 (and 1 tea at 5 when asked); `paid` at entry.
    // A document without lines, `paid` at entry.
    TradeDoc doc(TradeKind k, const QString &paid, const QString &date = "2012-11-17", int uid = 0,
                 const QString &ware = "一号库")
    {
        TradeDoc d;
        d.kind = k;
        d.uid = uid ? uid : partner(k);
        d.partnerName = "伙伴";
        d.myDate = date;
        d.warehouse = ware;
        d.handler = "张三";
        d.account = "现金";
        d.person = "王五";
        d.paidText = paid;
        return d;
    }
    QString save(TradeKind k, const QString &paid, bool preSave = false, const QString &date = "2012-11-17",
                 int uid = 0, const QString &ware = "一号库", bool tea2 = false)
    {
        TradeDoc d = doc(k, paid, date, uid, ware);
        d.preSave = preSave;
        TradeLine l;
        l.sid = cola;
        l.price = Money::fromString("10");
        l.count = Money::fromString("3");
        d.lines << l;
        if (tea2) {
            l.sid = tea;
            l.price = Money::fromString("5");
            l.count = Money::fromString("1");
            d.lines << l;
        }
        return saveTradeDoc(dm(), d);
    }
    // Receipts "CG0001" to "CG<n>" of the supplier, headers only, each for
    // the amount `amount` (an expression of their number i), all of it owed.
    void receipts(int n, const char *amount)
    {
        dm().mySQL(QString("with recursive n(i) as (select 1 union all select i+1 from n where i<?) "
                           "insert into UJH(theNum,theDate,myDate,UID,WName,UName,IName,theHJ,theSJ,theYF,theYC,theDel) "
                           "select 'CG' || substr('0000' || i, length('0000' || i) - 3), '2012-11-16', '2012-11-16', ?, "
                           "'一号库', '张三', '系统管理员', %1, 0, %1, '否', '否' from n").arg(QString::fromLatin1(amount)),
                   {n, supplier});
    }
    int idOf(TradeKind k, const QString &num)
    {
        return dm().value(QString("select ID from %1 where theNum=?").arg(tradeKind(k).head), {num}).toInt();
    }
    TradeManageScreen *open(TradeKind k)
    {
        screen.reset(makeScreen(k));
        screen->show();
        return screen.get();
    }
    FilterRow *filter(ListScreen *s, const QString &caption)
    {
        for (FilterRow *f : s->filters())
            if (f->box()->text() == caption) return f;
        qFatal("no filter %s", qPrintable(caption));
    }
    // The receipts of the suppliers whose name contains `text`, as "查询" lists them.
    TradeManageScreen *receiptsOfSuppliers(const QString &text)
    {
        TradeManageScreen *s = open(TradeKind::Purchase);
        FilterRow *partner = filter(s, "供  应  商");
        partner->lineEdit()->setText(text);
        partner->box()->setChecked(true);
        s->queryButton()->click();
        return s;
    }
};

void TstTradeManage::initTestCase()
{
    G.AppPath = m_dir.path() + QLatin1Char('/');
}

void TstTradeManage::init()
{
    setSession("2012-11-16");
    G.ShopName = "测试商店";
    G.ShopFKC = false;
    G.ShopJH = G.ShopXS = false;
    G.ShopCB = "采购单价";
    G.UserZH = "现金";
    G.UserSFKR = "王五";
    g_shown.clear();
    g_answer = 0;
    Msg::setHandler([](const Msg::Shown &s) {
        g_shown << s;
        return g_answer;
    });
}

void TstTradeManage::cleanup()
{
    Msg::setHandler(nullptr);
    TradeEntryScreen::setPrintHook(nullptr);
    TradeManageScreen::setTicketHook(nullptr);
    ExportOpen::setOpener(nullptr);
}

void TstTradeManage::listsByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("totals");
    QTest::newRow("purchase receipts") << int(TradeKind::Purchase) << "采购入库管理"
        << QStringList{"采购日期", "单号", "供应商", "联系人", "联系电话", "地址", "合计金额", "付款金额", "应付金额",
                       "仓库名称", "经手人", "录入人", "备注", "预存"}
        << "采购数量：3|合计金额：90|付款金额：40|应付金额：50";
    QTest::newRow("sales deliveries") << int(TradeKind::Sales) << "销售出库管理"
        << QStringList{"销售日期", "单号", "客户名称", "联系人", "联系电话", "地址", "合计金额", "收款金额", "应收金额",
                       "仓库名称", "经手人", "录入人", "备注", "预存"}
        << "销售数量：3|合计金额：90|收款金额：40|应收金额：50";
    QTest::newRow("purchase returns") << int(TradeKind::PurchaseReturn) << "采购退货管理"
        << QStringList{"退货日期", "单号", "供应商", "联系人", "联系电话", "地址", "合计金额", "收款金额", "应收金额",
                       "仓库名称", "经手人", "录入人", "备注"}
        << "采购退货数量：2|合计金额：60|收款金额：40|应收金额：20";
    QTest::newRow("sales returns") << int(TradeKind::SalesReturn) << "销售退货管理"
        << QStringList{"退货日期", "单号", "客户名称", "联系人", "联系电话", "地址", "合计金额", "付款金额", "应付金额",
                       "仓库名称", "经手人", "录入人", "备注"}
        << "销售退货数量：2|合计金额：60|付款金额：40|应付金额：20";
}

void TstTradeManage::listsByKind()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QStringList, captions);
    QFETCH(QString, totals);
    Fixture f;
    const TradeKind k = TradeKind(kind);
    const bool preSaves = tradeKind(k).canPreSave;
    const QString first = f.save(k, "10");
    const QString gone = f.save(k, "30");
    QCOMPARE(deleteTradeDoc(f.dm(), k, f.idOf(k, gone)).outcome, DeleteOutcome::Deleted);
    const QString second = f.save(k, "30");
    const QString pre = preSaves ? f.save(k, "0", true) : QString();

    TradeManageScreen *s = f.open(k);
    QCOMPARE(s->windowTitle(), caption);
    QVERIFY(s->resultModel()->rowCount() == 0);
    s->queryButton()->click();
    QCOMPARE(visibleCaptions(s), captions);
    // Newest first; the deleted one is not listed.
    QStringList expected{second, first};
    if (preSaves) expected.prepend(pre);
    QCOMPARE(column(s, "theNum"), expected);
    QStringList labels{s->countLabel()->text()};
    for (const char *field : {"theHJ", "theSJ", tradeKind(k).owedColumn.toLatin1().constData()})
        labels << s->totalLabel(QLatin1String(field))->text();
    // Totals over the same filter: the pre-saved one counts as it is stored.
    QCOMPARE(labels.join('|'), totals);

    if (!preSaves) {
        QVERIFY(s->filters().size() == 11);
        return;
    }
    // Deleted receipts and deliveries are listed with "已删除", and only then.
    f.filter(s, "已删除")->box()->setChecked(true);
    s->queryButton()->click();
    QCOMPARE(column(s, "theNum"), QStringList{gone});
    QCOMPARE(s->valueAt(0, "theDel").toString(), QString("是"));
}

void TstTradeManage::filters_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");   // indexes of the saved documents, newest first
    QTest::newRow("partner by input code") << "供  应  商" << "dhsh" << QStringList{"2", "1", "0"};
    QTest::newRow("partner by name") << "供  应  商" << "远方" << QStringList{"3"};
    QTest::newRow("contact") << "联  系  人" << "陈" << QStringList{"2", "1", "0"};
    QTest::newRow("number") << "单        号" << "0002" << QStringList{"1"};
    QTest::newRow("warehouse") << "仓库名称" << "二号库" << QStringList{"3"};
    QTest::newRow("open balance") << "应付单" << "" << QStringList{"3", "0"};
    QTest::newRow("pre-saved") << "预存单" << "" << QStringList{"2"};
    QTest::newRow("date range, both ends included") << "采购日期" << "2012-11-17" << QStringList{"2", "1", "0"};
}

void TstTradeManage::filters()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    Fixture f;
    const TradeKind k = TradeKind::Purchase;
    const QStringList nums{f.save(k, "10"), f.save(k, "30"), f.save(k, "30", true),
                           f.save(k, "0", false, "2012-11-18", f.other, "二号库")};
    TradeManageScreen *s = f.open(k);
    FilterRow *row = f.filter(s, box);
    if (row->lineEdit()) {
        row->lineEdit()->setText(text);
        emit row->lineEdit()->textEdited(text);
    } else if (row->comboBox()) {
        row->comboBox()->setCurrentIndex(row->comboBox()->findText(text));
        emit row->comboBox()->activated(row->comboBox()->currentIndex());
    } else if (row->dateFrom()) {
        row->dateFrom()->setDate(QDate::fromString(text, Qt::ISODate));
        row->dateTo()->setDate(QDate::fromString(text, Qt::ISODate));
    } else {
        row->box()->setChecked(true);
    }
    QVERIFY(row->isTicked());
    s->queryButton()->click();
    QStringList want;
    for (const QString &i : expected) want << nums[i.toInt()];
    QCOMPARE(column(s, "theNum"), want);
}

void TstTradeManage::detailsFollowTheCurrentRow()
{
    Fixture f;
    const QString a = f.save(TradeKind::Sales, "10", false, "2012-11-17", 0, "一号库", true);
    settleTradeDoc(f.dm(), TradeKind::Sales, f.idOf(TradeKind::Sales, a), Settlement{"2012-11-20", "5", "现金", "王五"});
    const QString b = f.save(TradeKind::Sales, "0");
    TradeManageScreen *s = f.open(TradeKind::Sales);
    s->queryButton()->click();
    auto *lines = s->detailModel(0);
    auto *settled = s->detailModel(1);
    QCOMPARE(detailColumn(lines, "theNum"), QStringList{b});
    QCOMPARE(detailColumn(settled, "theMoney"), QStringList{});
    // The keyboard moves the list and the details follow.
    s->grid()->setFocus();
    QTest::keyClick(s->grid(), Qt::Key_Down);
    QCOMPARE(s->currentValue("theNum").toString(), a);
    QCOMPARE(detailColumn(lines, "SPName"), (QStringList{"可乐", "茶叶"}));
    QCOMPARE(detailColumn(lines, "theZK"), (QStringList{"100", "100"}));
    QCOMPARE(detailColumn(settled, "theMoney"), (QStringList{"10", "5"}));
    QCOMPARE(detailColumn(settled, "SKDate"), (QStringList{"2012-11-16", "2012-11-20"}));
    QStringList captions;
    for (int c = 0; c < settled->columnCount(); ++c) captions << settled->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(captions, (QStringList{"单号", "收款日期", "收款金额", "收款方式", "收款人"}));
}

void TstTradeManage::popupItems_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("purchase receipts") << int(TradeKind::Purchase)
        << QStringList{"打印采购入库单 &P", "查看供应商信息 &V", "付款 &F", "修改 &M", "删除 &D"};
    QTest::newRow("sales deliveries") << int(TradeKind::Sales)
        << QStringList{"打印销售出库单 &P", "打印全部销售出库单 &A", "查看客户信息 &V", "收款 &S", "修改 &M", "删除 &D"};
    QTest::newRow("purchase returns") << int(TradeKind::PurchaseReturn)
        << QStringList{"打印采购退货单 &P", "查看供应商信息 &V", "收款 &S", "删除 &D"};
    QTest::newRow("sales returns") << int(TradeKind::SalesReturn)
        << QStringList{"打印销售退货单 &P", "查看客户信息 &V", "付款 &F", "删除 &D"};
}

void TstTradeManage::popupItems()
{
    QFETCH(int, kind);
    QFETCH(QStringList, items);
    Fixture f;
    TradeManageScreen *s = f.open(TradeKind(kind));
    QStringList texts;
    for (QAction *a : s->popupMenu()->actions()) texts << a->text();
    QCOMPARE(texts, items);
    // No menu before the first query; on an empty list the items do nothing.
    QCOMPARE(s->grid()->contextMenuPolicy(), Qt::NoContextMenu);
    s->queryButton()->click();
    QCOMPARE(s->grid()->contextMenuPolicy(), Qt::CustomContextMenu);
    for (QAction *a : s->popupMenu()->actions()) a->trigger();
    QVERIFY(g_shown.isEmpty());
}

void TstTradeManage::settleRefusedBeforeTheDialog()
{
    Fixture f;
    const QString paid = f.save(TradeKind::Purchase, "30");
    const QString pre = f.save(TradeKind::Purchase, "0", true);
    TradeManageScreen *s = f.open(TradeKind::Purchase);
    s->queryButton()->click();
    auto trySettle = [&](int row) {
        s->grid()->setCurrentIndex(s->grid()->model()->index(row, 0));
        g_shown.clear();
        return onModal([&] { action(s, "F1")->trigger(); }, [](QWidget *w) {
            w->close();
            return QString(w->metaObject()->className());
        });
    };
    QCOMPARE(trySettle(1), QString());
    QCOMPARE(shownTexts(), QStringList{"单号 " + paid + " 应付金额 为零，不能付款！"});
    QCOMPARE(trySettle(0), QString());
    QCOMPARE(shownTexts(), QStringList{"单号 " + pre + " 是预存单，不能付款！"});
}

void TstTradeManage::settleThroughTheDialog()
{
    Fixture f;
    const QString num = f.save(TradeKind::Sales, "10");
    TradeManageScreen *s = f.open(TradeKind::Sales);
    s->queryButton()->click();
    // The real dialog in its own event loop: captions, defaults, an amount typed, "保存".
    const QString seen = onModal([&] { action(s, "S1")->trigger(); }, [](QWidget *w) {
        auto *d = qobject_cast<SettleDialog *>(w);
        if (!d) return QString("not a settlement dialog");
        const QString state = QStringList{d->metaObject()->className(), d->windowTitle(), d->amountEdit()->text(),
                                          d->dateEdit()->date().toString(Qt::ISODate), d->accountList()->currentText(),
                                          d->personList()->currentText()}.join('|');
        d->amountEdit()->clear();
        QTest::keyClicks(d->amountEdit(), "12.5x");
        d->findChild<QPushButton *>("BitBtn1")->click();
        return state;
    });
    QCOMPARE(seen, "frmXS_SK|" + num + " 收款|20|2012-11-16|现金|王五");
    QVERIFY(g_shown.isEmpty());
    // The list is refreshed with the new figures.
    QCOMPARE(s->valueAt(0, "theYS").toString(), QString("7.5"));
    QCOMPARE(s->totalLabel("theSJ")->text(), QString("收款金额：22.5"));
    QCOMPARE(f.dm().value("select theYS from SUnits where ID=?", {f.customer}).toString(), QString("7.5"));
}

void TstTradeManage::settleTheWholeOwedAmount_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("owed");
    QTest::addColumn<bool>("typed");   // typed anew over the preset, or left as preset
    QTest::newRow("receipt, four decimals, preset") << int(TradeKind::Purchase) << "123456.7891" << false;
    QTest::newRow("receipt, four decimals, typed") << int(TradeKind::Purchase) << "123456.7891" << true;
    QTest::newRow("delivery, the largest amount, preset") << int(TradeKind::Sales) << "99999999999.9999" << false;
    QTest::newRow("sales return, the largest amount, typed") << int(TradeKind::SalesReturn) << "99999999999.9999" << true;
}

void TstTradeManage::settleTheWholeOwedAmount()
{
    // Whatever the books owe on a document is offered whole and can be typed
    // whole: saving it leaves nothing owed.
    QFETCH(int, kind);
    QFETCH(QString, owed);
    QFETCH(bool, typed);
    Fixture f;
    const TradeKind k = TradeKind(kind);
    TradeDoc d = f.doc(k, "0");
    TradeLine l;
    l.sid = f.cola;
    l.price = Money::fromString(owed);
    l.count = Money::fromString("1");
    d.lines << l;
    const QString num = saveTradeDoc(f.dm(), d);
    const QString owedColumn = tradeKind(k).owedColumn;
    TradeManageScreen *s = f.open(k);
    s->queryButton()->click();
    QCOMPARE(s->valueAt(0, owedColumn).toString(), owed);

    QStringList seen;
    onModal([&] { action(s, settleKind(k).pay ? "F1" : "S1")->trigger(); },
            [&](QWidget *w) {
                auto *dlg = qobject_cast<SettleDialog *>(w);
                if (!dlg) return QString();
                seen << dlg->amountEdit()->text();
                if (typed) {
                    dlg->amountEdit()->clear();
                    QTest::keyClicks(dlg->amountEdit(), owed);
                    seen << dlg->amountEdit()->text();
                }
                dlg->findChild<QPushButton *>("BitBtn1")->click();
                return QString();
            });
    QCOMPARE(seen, typed ? (QStringList{owed, owed}) : QStringList{owed});
    QVERIFY2(g_shown.isEmpty(), qPrintable(shownTexts().join('|')));
    const QString table = tradeKind(k).head;
    QCOMPARE(Money::fromVariant(f.dm().value(QString("select %1 from %2 where theNum=?").arg(owedColumn, table), {num}))
                 .toString(),
             QString("0"));
    QCOMPARE(Money::fromVariant(f.dm().value(QString("select theSJ from %1 where theNum=?").arg(table), {num})).toString(),
             owed);
    QCOMPARE(Money::fromVariant(f.dm().value(QString("select sum(theMoney) from %1 where theNum=?").arg(tradeKind(k).settleTable),
                                             {num}))
                 .toString(),
             owed);
}

void TstTradeManage::keyboardOnly()
{
    Fixture f;
    const QString older = f.save(TradeKind::Purchase, "0", false, "2012-11-17", 0, "一号库", true);
    f.save(TradeKind::Purchase, "30");
    TradeManageScreen *s = f.open(TradeKind::Purchase);
    QVERIFY(QTest::qWaitForWindowActive(s));
    // The screen opens in its first filter; Tab runs along the filters, the
    // buttons, the list and on into the lines and the settlements.
    QCOMPARE(Keys::nameOf(Keys::focus()), QString("DateTimePicker1"));
    s->BitBtn1Click();
    const QStringList walk = Keys::tabWalk(80);
    QCOMPARE(walk.mid(walk.indexOf("BitBtn1")), (QStringList{"BitBtn1", "BitBtn2", "BitBtn3", "DBGrid1", "DBGrid2",
                                                              "DBGrid5", "CheckBox1", "DateTimePicker1"}));
    // Down to the older receipt: its two lines below.
    s->grid()->setFocus();
    Keys::press(Qt::Key_Down);
    QCOMPARE(s->currentValue("theNum").toString(), older);
    QCOMPARE(s->detailModel(0)->rowCount(), 2);

    // Paying 5 from the keyboard: the dialog opens in its date, Tab to the
    // amount (selected, so typing replaces it), on to "保存", Enter.
    QStringList seen;
    onModal([&] { action(s, "F1")->trigger(); }, [&](QWidget *w) {
        seen << Keys::nameOf(Keys::focus());
        // Tab walks the date's parts, then leaves it.
        for (int i = 0; i < 5 && Keys::nameOf(Keys::focus()) == "DateTimePicker1"; ++i) Keys::press(Qt::Key_Tab);
        seen << Keys::nameOf(Keys::focus());
        Keys::type("5");
        Keys::press(Qt::Key_Return);   // Enter in the amount does nothing more
        seen << QString::number(w->isVisible());
        for (int i = 0; i < 3; ++i) Keys::press(Qt::Key_Tab);
        seen << Keys::nameOf(Keys::focus());
        Keys::press(Qt::Key_Return);
        return QString();
    });
    QCOMPARE(seen, (QStringList{"DateTimePicker1", "Edit1", "1", "BitBtn1"}));
    QCOMPARE(s->currentValue("theYF").toString(), QString("30"));
    QCOMPARE(f.dm().value("select theMoney from UJH_FK where theNum=?", {older}).toString(), QString("5"));
}

void TstTradeManage::reopenOnlyPreSaved()
{
    Fixture f;
    f.save(TradeKind::Purchase, "30");
    const QString pre = f.save(TradeKind::Purchase, "0", true);
    TradeManageScreen *s = f.open(TradeKind::Purchase);
    s->queryButton()->click();
    auto reopen = [&](int row) {
        s->grid()->setCurrentIndex(s->grid()->model()->index(row, 0));
        return onModal([&] { action(s, "M1")->trigger(); }, [](QWidget *w) {
            auto *e = qobject_cast<frmJH_In *>(w);
            const QString seen = e ? e->myDJNum + "|" + e->findChild<QLineEdit *>("Edit1")->text() : "other";
            w->close();
            return seen;
        });
    };
    QCOMPARE(reopen(0), pre + "|大华商行");
    // A posted document is not reopened.
    QCOMPARE(reopen(1), QString());
    // Nor a deleted one.
    deleteTradeDoc(f.dm(), TradeKind::Purchase, f.idOf(TradeKind::Purchase, pre));
    f.filter(s, "已删除")->box()->setChecked(true);
    s->queryButton()->click();
    QCOMPARE(reopen(0), QString());
}

void TstTradeManage::printOnlyPosted()
{
    Fixture f;
    const QString a = f.save(TradeKind::Sales, "30");
    const QString pre = f.save(TradeKind::Sales, "0", true);
    const QString b = f.save(TradeKind::Sales, "30");
    QStringList printed, tickets;
    TradeEntryScreen::setPrintHook([&](TradeKind k, const QString &num, QWidget *) {
        printed << QString::number(int(k)) + ":" + num;
    });
    TradeManageScreen::setTicketHook([&](const QString &num) { tickets << num; });
    TradeManageScreen *s = f.open(TradeKind::Sales);
    s->queryButton()->click();
    for (int row = 0; row < 3; ++row) {
        s->grid()->setCurrentIndex(s->grid()->model()->index(row, 0));
        action(s, "P1")->trigger();
    }
    // The pre-saved one prints nothing.
    QCOMPARE(printed, (QStringList{"1:" + b, "1:" + a}));
    // Every listed delivery as a ticket, in the list's order.
    action(s, "A1")->trigger();
    QCOMPARE(tickets, (QStringList{b, pre, a}));
}

void TstTradeManage::deleteAsksAndReverses()
{
    Fixture f;
    const QString num = f.save(TradeKind::Purchase, "10");
    TradeManageScreen *s = f.open(TradeKind::Purchase);
    s->queryButton()->click();
    g_answer = 0;
    action(s, "D1")->trigger();
    QCOMPARE(g_shown.size(), 1);
    QCOMPARE(g_shown[0].kind, Msg::Kind::Question);
    QCOMPARE(g_shown[0].caption, QString("删除"));
    QCOMPARE(g_shown[0].text, QString("确认要删除吗？该删除将不可恢复！"));
    QVERIFY(g_shown[0].defaultNo);
    QCOMPARE(column(s, "theNum"), QStringList{num});
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("103"));

    g_answer = 1;
    action(s, "D1")->trigger();
    QCOMPARE(column(s, "theNum"), QStringList{});
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("100"));
    // Listed again with "已删除": the item leaves it alone, without a question.
    f.filter(s, "已删除")->box()->setChecked(true);
    s->queryButton()->click();
    g_shown.clear();
    action(s, "D1")->trigger();
    QVERIFY(g_shown.isEmpty());
    QCOMPARE(f.dm().value("select count(*) from SList where theType='采购入库删除'").toInt(), 1);
}

void TstTradeManage::deleteWithTheRealQuestion()
{
    Fixture f;
    f.save(TradeKind::SalesReturn, "0");
    TradeManageScreen *s = f.open(TradeKind::SalesReturn);
    s->queryButton()->click();
    Msg::setHandler(nullptr);
    // The real question box, answered by its Yes button.
    const QString seen = onModal([&] { action(s, "D1")->trigger(); }, [](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box) return QString("no box");
        const QString state = box->windowTitle() + "|" + box->text() + "|"
                            + (box->defaultButton() == box->button(QMessageBox::No) ? "No" : "Yes");
        box->button(QMessageBox::Yes)->click();
        return state;
    });
    QCOMPARE(seen, QString("删除|确认要删除吗？该删除将不可恢复！|No"));
    QCOMPARE(s->resultModel()->rowCount(), 0);
    QCOMPARE(f.dm().value("select theDel from UXS_O").toString(), QString("是"));
}

void TstTradeManage::refusedDeletionIsTold()
{
    Fixture f;
    f.save(TradeKind::Purchase, "0");
    f.dm().KC_Do("一号库", f.cola, Money::fromString("102"));
    TradeManageScreen *s = f.open(TradeKind::Purchase);
    s->queryButton()->click();
    g_answer = 1;
    action(s, "D1")->trigger();
    QCOMPARE(shownTexts().last(), QString("商品 P1 可乐 在仓库 一号库 的库存为 1，减少 3 后将小于零，不能删除！"));
    QCOMPARE(s->resultModel()->rowCount(), 1);
    QCOMPARE(f.dm().value("select theDel from UJH").toString(), QString("否"));
}

void TstTradeManage::titleSortsAllRows()
{
    Fixture f;
    // More documents than one batch of the list, with amounts out of order.
    f.receipts(450, "(i*37)%451 + 0.5");
    TradeManageScreen *s = f.open(TradeKind::Purchase);
    s->queryButton()->click();
    QVERIFY(s->resultModel()->rowCount() < 450);   // a batch, not all
    QCOMPARE(s->countLabel()->text(), QString("采购数量：450"));
    const int col = s->resultModel()->columnOf("theHJ");
    s->grid()->horizontalHeader()->sectionClicked(col);
    QCOMPARE(s->valueAt(0, "theHJ").toDouble(), 1.5);
    QCOMPARE(s->grid()->model()->headerData(col, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
             QColor(Qt::red));
    s->grid()->horizontalHeader()->sectionClicked(col);
    QCOMPARE(s->valueAt(0, "theHJ").toDouble(), 450.5);
    QCOMPARE(s->grid()->model()->headerData(col, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
             QColor(Qt::blue));
    QVERIFY(s->grid()->model()->headerData(col, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    // A refresh keeps the order.
    s->Ref();
    QCOMPARE(s->valueAt(0, "theHJ").toDouble(), 450.5);
}

// A list read page after page to its end: after a deletion and after a
// settlement it shows again as far as it was read, not only its first page.
void TstTradeManage::refreshKeepsEveryPageRead()
{
    Fixture f;
    // 450 receipts owing 10 each: three pages of the list.
    f.receipts(450, "10");
    TradeManageScreen *s = f.open(TradeKind::Purchase);
    s->queryButton()->click();
    int pages = 1;
    while (s->sortProxy()->canFetchMore(QModelIndex())) {
        s->sortProxy()->fetchMore(QModelIndex());
        ++pages;
    }
    QVERIFY(pages >= 3);
    QCOMPARE(s->rowCount(), 450);

    // Deleting a receipt of the last page.
    s->grid()->setCurrentIndex(s->grid()->model()->index(420, 0));
    const QString gone = s->currentValue("theNum").toString();
    g_answer = 1;
    action(s, "D1")->trigger();
    QCOMPARE(f.dm().value("select theDel from UJH where theNum=?", {gone}).toString(), QString("是"));
    QCOMPARE(s->rowCount(), 449);
    QCOMPARE(s->countLabel()->text(), QString("采购数量：449"));
    QStringList expected;
    for (int i = 450; i >= 1; --i)
        if (QString("CG%1").arg(i, 4, 10, QChar('0')) != gone) expected << QString("CG%1").arg(i, 4, 10, QChar('0'));
    QCOMPARE(column(s, "theNum"), expected);

    // Paying 4 on another receipt of the last page through the dialog.
    s->grid()->setCurrentIndex(s->grid()->model()->index(430, 0));
    const QString paid = s->currentValue("theNum").toString();
    const QString seen = onModal([&] { action(s, "F1")->trigger(); }, [](QWidget *w) {
        auto *d = qobject_cast<SettleDialog *>(w);
        if (!d) return QString("not a settlement dialog");
        d->amountEdit()->setText("4");
        d->findChild<QPushButton *>("BitBtn1")->click();
        return d->num();
    });
    QCOMPARE(seen, paid);
    QCOMPARE(s->rowCount(), 449);
    QCOMPARE(column(s, "theNum"), expected);
    QCOMPARE(s->valueAt(expected.indexOf(paid), "theYF").toString(), QString("6"));
    QCOMPARE(s->currentValue("theNum").toString(), paid);
}

void TstTradeManage::partnerFilterOverManyPartners_data()
{
    QTest::addColumn<int>("matching");
    // On a server the matching partners are read first and given as values
    // while they are few; past that the filter stays a sub-select.
    QTest::newRow("500 matching partners") << 500;
    QTest::newRow("501 matching partners") << 501;
    QTest::newRow("502 matching partners") << 502;
}

// Every matching partner counts, however many match: the documents of the
// first and the last of them are listed.
void TstTradeManage::partnerFilterOverManyPartners()
{
    QFETCH(int, matching);
    Fixture f;
    f.dm().mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<?) "
                 "insert into SUnits(theName,thePY,thePro,thePho,theAdd,Remark,theType,theYS,theYF,theState,theDel) "
                 "select '联华分店' || i, '', '', '', '', '', '供应商', 0, 0, '启用', '否' from n", {matching});
    const auto ids = f.dm().rows("select min(ID), max(ID) from SUnits where theName like '联华分店%'");
    const QString first = f.save(TradeKind::Purchase, "0", false, "2012-11-17", ids[0][0].toInt());
    const QString last = f.save(TradeKind::Purchase, "0", false, "2012-11-17", ids[0][1].toInt());
    f.save(TradeKind::Purchase, "0");   // 大华商行's: not listed
    TradeManageScreen *s = f.receiptsOfSuppliers("联华");
    QCOMPARE(column(s, "theNum"), (QStringList{last, first}));
    QCOMPARE(s->countLabel()->text(), QString("采购数量：2"));
}

// A refresh (after a settlement, a deletion or a save) lists what the
// filters find now: a partner another seat added since "查询" is found, with
// its documents, as a new "查询" would find it.
void TstTradeManage::refreshLooksThePartnerFilterUpAgain()
{
    Fixture f;
    const int first = f.t.addPartner("联华一店", "供应商");
    const QString firstDoc = f.save(TradeKind::Purchase, "0", false, "2012-11-17", first);
    f.save(TradeKind::Purchase, "0");   // 大华商行's: not listed
    TradeManageScreen *s = f.receiptsOfSuppliers("联华");
    QCOMPARE(column(s, "theNum"), QStringList{firstDoc});

    // Another seat adds a second 联华 and a receipt of it.
    QSqlDatabase seat = f.t.openSeat("counter-2");
    {
        QSqlQuery q(seat);
        QVERIFY(q.exec("insert into SUnits(theName,thePY,thePro,thePho,theAdd,Remark,theType,theYS,theYF,theState,theDel) "
                       "values('联华二店','','','','','','供应商',0,0,'启用','否')"));
        QVERIFY(q.exec("select ID from SUnits where theName='联华二店'") && q.next());
        const int second = q.value(0).toInt();
        q.prepare("insert into UJH(theNum,theDate,myDate,UID,WName,UName,IName,theHJ,theSJ,theYF,theYC,theDel) "
                  "values('CG121118-0001','2012-11-18','2012-11-18',?,'一号库','张三','系统管理员',7,0,7,'否','否')");
        q.addBindValue(second);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    seat = QSqlDatabase();
    TestDb::closeSeat("counter-2");

    QVERIFY(s->Ref());
    QCOMPARE(column(s, "theNum"), (QStringList{"CG121118-0001", firstDoc}));
    QCOMPARE(s->countLabel()->text(), QString("采购数量：2"));
}

void TstTradeManage::manyRowsAreWalkedFewAreSought()
{
    Fixture f;
    // 21 000 receipts of the supplier, and 3 of another partner among them.
    f.dm().mySQL("with recursive n(i) as (select 1 union all select i+1 from n where i<21003) "
                 "insert into UJH(theNum,theDate,myDate,UID,WName,UName,IName,theHJ,theSJ,theYF,theYC,theDel) "
                 "select 'CG' || substr('000000' || i, length('000000' || i) - 5), '2012-11-16', '2012-11-16', cast(case when i % 7000 = 0 then ? else ? end as integer), "
                 "'一号库', '张三', '系统管理员', 1.25, 0, 1.25, '否', '否' from n", {f.other, f.supplier});
    TradeManageScreen *s = f.open(TradeKind::Purchase);
    FilterRow *partner = f.filter(s, "供  应  商");
    partner->lineEdit()->setText("大华");
    partner->box()->setChecked(true);
    s->queryButton()->click();
    // Many rows: walked in the list's order, the partner checked row by row.
    // (On a server the partner's ID is read first and given as a value.)
    QVERIFY(s->lastStatement().contains(f.t.onServer() ? "+H.UID in (?)" : "+H.UID in (select ID from SUnits"));
    QCOMPARE(s->countLabel()->text(), QString("采购数量：21000"));
    QCOMPARE(s->totalLabel("theHJ")->text(), QString("合计金额：26250"));
    QCOMPARE(s->valueAt(0, "theNum").toString(), QString("CG021003"));
    partner->lineEdit()->setText("远方");
    s->queryButton()->click();
    // Few rows: found through the partner index.
    QVERIFY(!s->lastStatement().contains("+H.UID"));
    QCOMPARE(s->countLabel()->text(), QString("采购数量：3"));
    QCOMPARE(column(s, "theNum"), (QStringList{"CG021000", "CG014000", "CG007000"}));
}

void TstTradeManage::exportLayout()
{
    Fixture f;
    f.save(TradeKind::Purchase, "10");
    f.save(TradeKind::Purchase, "0", true);
    QString written;
    ExportOpen::setOpener([&](const QString &p) { written = p; return true; });
    TradeManageScreen *s = f.open(TradeKind::Purchase);
    s->queryButton()->click();
    s->excelButton()->click();
    XlsxRead x;
    QVERIFY2(x.load(written), qPrintable(x.error()));
    QCOMPARE(x.text("A1"), QString("测试商店采购入库表"));
    QStringList header;
    for (const char *c : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O"})
        header << x.text(QString(c) + "2");
    QCOMPARE(header, (QStringList{"序号", "采购日期", "单号", "供应商", "联系人", "联系电话", "地址", "合计金额",
                                  "付款金额", "应付金额", "仓库名称", "经手人", "录入人", "备注", ""}));
    QCOMPARE(x.type("B3"), QString("s"));
    QCOMPARE(x.text("A5"), QString("合计"));
    QCOMPARE(x.value("H5").toDouble(), 60.0);
    QCOMPARE(x.value("I5").toDouble(), 10.0);
    QCOMPARE(x.value("J5").toDouble(), 50.0);
    // Widths as set, within the padding the file format adds.
    QVERIFY(qAbs(x.width("D") - 18) < 1);
    QVERIFY(qAbs(x.width("N") - 10) < 1);
}

void TstTradeManage::settlementQuery()
{
    Fixture f;
    const QString three = f.save(TradeKind::Purchase, "10");
    const int id = f.idOf(TradeKind::Purchase, three);
    settleTradeDoc(f.dm(), TradeKind::Purchase, id, Settlement{"2012-11-20", "5", "现金", "张三"});
    settleTradeDoc(f.dm(), TradeKind::Purchase, id, Settlement{"2012-11-21", "7", "现金", "王五"});
    f.save(TradeKind::Purchase, "0");                       // no settlement: not listed
    const QString gone = f.save(TradeKind::Purchase, "30");  // deleted: not listed
    deleteTradeDoc(f.dm(), TradeKind::Purchase, f.idOf(TradeKind::Purchase, gone));

    frmJH_FKQ q;
    q.show();
    QCOMPARE(q.windowTitle(), QString("采购入库付款查询"));
    q.queryButton()->click();
    QCOMPARE(column(&q, "theNum"), (QStringList{three, three, three}));
    QCOMPARE(column(&q, "theMoney"), (QStringList{"10", "5", "7"}));
    QCOMPARE(column(&q, "setPerson"), (QStringList{"王五", "张三", "王五"}));
    QCOMPARE(q.countLabel()->text(), QString("采购入库付款数量：3"));
    QCOMPARE(q.totalLabel("theMoney")->text(), QString("付款金额：22"));

    // Both date ranges together, each inclusive at both ends.
    for (FilterRow *r : q.filters()) {
        if (!r->dateFrom()) continue;
        const bool settled = r->box()->text() == "付款日期";
        r->dateFrom()->setDate(QDate(2012, 11, settled ? 16 : 17));
        r->dateTo()->setDate(QDate(2012, 11, settled ? 20 : 17));
    }
    q.queryButton()->click();
    QCOMPARE(column(&q, "theMoney"), (QStringList{"10", "5"}));
    for (FilterRow *r : q.filters())
        if (r->box()->text() == "付款日期") r->dateFrom()->setDate(QDate(2012, 11, 22));
    q.queryButton()->click();
    QCOMPARE(q.countLabel()->text(), QString("采购入库付款数量：0"));
    QCOMPARE(q.totalLabel("theMoney")->text(), QString("付款金额："));
}

void TstTradeManage::menuOpensTheScreens_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("screen");
    const char *rows[][2] = {
        {"采购入库管理 &B", "frmJH_M"}, {"采购入库明细查询 &C", "frmJH_MX"}, {"采购入库付款查询 &D", "frmJH_FKQ"},
        {"采购退货管理 &F", "frmCG_O_M"}, {"采购退货明细查询 &G", "frmCG_O_MX"}, {"采购退货收款查询 &H", "frmCG_O_SKQ"},
        {"销售出库管理 &B", "frmXS_M"}, {"销售出库明细查询 &C", "frmXS_MX"}, {"销售出库收款查询 &D", "frmXS_SKQ"},
        {"销售退货管理 &F", "frmXS_O_M"}, {"销售退货明细查询 &G", "frmXS_O_MX"}, {"销售退货付款查询 &H ", "frmXS_O_FKQ"},
    };
    for (const auto &r : rows) QTest::newRow(r[1]) << QString(r[0]) << QString(r[1]);
}

void TstTradeManage::menuOpensTheScreens()
{
    QFETCH(QString, item);
    QFETCH(QString, screen);
    Fixture f;
    Screens::registerAll();
    frmMain main;
    main.applyRights(1);
    QAction *a = nullptr;
    for (int top = 0; top < main.topCount() && !a; ++top)
        for (QAction *i : main.topMenu(top)->actions())
            if (i->text() == item) a = i;
    QVERIFY(a);
    // Purchase items share their captions with sales items: take the right menu.
    if (screen.startsWith("frmXS")) {
        for (QAction *i : main.topMenu(2)->actions())
            if (i->text() == item) a = i;
    }
    a->trigger();
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
    QWidget *w = main.mdiArea()->subWindowList().first()->widget();
    QCOMPARE(w->objectName(), screen);
    QVERIFY(main.mdiArea()->subWindowList().first()->isMaximized());
}

QTEST_MAIN(TstTradeManage)
#include "tst_trademanage.moc"
