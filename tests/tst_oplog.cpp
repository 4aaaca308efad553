// The operation log: one row written with every change, in the change's own
// transaction; rows that cannot be changed or removed; restores and imports
// named with the file's SHA-256; the log's list screen and its menu right.
#include "craftedbook.h"
#include "data/connection.h"
#include "data/dberror.h"
#include "data/dbfile.h"
#include "data/engine.h"
#include "data/globals.h"
#include "data/menutable.h"
#include "data/oplog.h"
#include "master/sheet.h"
#include "master/sheetimport.h"
#include "money/settle.h"
#include "money/voucher.h"
#include "shell/accounts.h"
#include "shell/shopinfo.h"
#include "stock/salescost.h"
#include "stock/stockdoc.h"
#include "stock/stockedits.h"
#include "shell/frmoplog.h"
#include "ui/resultmodel.h"
#include "shell/main.h"
#include "shell/screens.h"
#include "shellspy.h"
#include "testdb.h"
#include "testreceipt.h"
#include "trade/tradedelete.h"
#include "trade/tradedoc.h"

#include <QAction>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTableView>
#include <QtTest>

namespace {

struct LogRow {
    QString user, host, kind, num;
    Money amount, count;
    QString remark;
};

QVector<LogRow> logRows(frmDM &dm)
{
    QVector<LogRow> out;
    for (const auto &r : dm.rows(QStringLiteral("select UName,theHost,theKind,theNum,theAmount,theCount,Remark,theTime "
                                                "from SOpLog order by ID")))
        out << LogRow{r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString(),
                      Money::fromVariant(r[4]), Money::fromVariant(r[5]), r[6].toString()};
    return out;
}

int logCount(frmDM &dm) { return dm.value(QStringLiteral("select count(*) from SOpLog")).toInt(); }

QString sha256Of(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
}

Money m(const char *text) { return Money::fromString(QString::fromUtf8(text)); }

} // namespace

class TstOpLog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void eachChangeWritesItsRow();
    void failedChangeLeavesNoRow_data();
    void failedChangeLeavesNoRow();
    void logThatCannotBeWrittenStopsTheChange();
    void rowsCannotBeChangedOrRemoved_data();
    void rowsCannotBeChangedOrRemoved();
    void loginsAndUsersAreLogged();
    void loginWhileAnotherSeatWritesIsLoggedLater();
    void importNamesTheFileAndItsHash();
    void restoreKeepsTheBackupsLogAndNamesTheFile();
    void upgradeGrantsTheLogToTheAdministratorOnly();
    void screenListsAndFilters_data();
    void screenListsAndFilters();
    void screenPagesNewestFirstByTime();
    void menuItemForTheAdministratorOnly();

private:
    struct Fixture;
};

struct TstOpLog::Fixture {
    TestDb t;
    int supplier = t.addPartner("大华商行", "供应商");
    int customer = t.addPartner("顺发超市", "客户");
    int cola = t.addProduct("可乐", m("2.5"), m("3.5"));
    frmDM &dm() { return t.dm(); }

    TradeDoc trade(TradeKind kind, const char *price, const char *count, const char *paid, bool preSave = false)
    {
        const bool bought = kind == TradeKind::Purchase || kind == TradeKind::PurchaseReturn;
        TradeDoc d = oneLineTradeDoc(kind, bought ? supplier : customer, "伙伴", cola, count, paid, price);
        d.preSave = preSave;
        return d;
    }
    int idOf(const QString &table, const QString &num)
    {
        return dm().value(QStringLiteral("select ID from %1 where theNum=?").arg(table), {num}).toInt();
    }
};

void TstOpLog::init()
{
    setSession(QStringLiteral("2012-11-16"), QStringLiteral("系统管理员"));
    G.ShopFKC = false;
    G.ShopJH = G.ShopXS = false;
    G.ShopCB = "采购单价";
}

void TstOpLog::eachChangeWritesItsRow()
{
    Fixture f;
    storeShopOptions(f.dm());
    f.t.addWarehouse("一号库");
    const QString cg = saveTradeDoc(f.dm(), f.trade(TradeKind::Purchase, "2.5", "10", "5"));
    const QString pre = saveTradeDoc(f.dm(), f.trade(TradeKind::Sales, "3.5", "2", "0", true));
    TradeDoc change = f.trade(TradeKind::Sales, "3.5", "4", "0");
    change.num = pre;
    saveTradeDoc(f.dm(), change);
    QCOMPARE(settleTradeDoc(f.dm(), TradeKind::Purchase, f.idOf("UJH", cg),
                            Settlement{"2012-11-18", "7.5", "现金", "李四"}).ok(), true);
    const QString bs = saveStockDoc(f.dm(), oneLineStockDoc(StockKind::Loss, f.cola, "1"));
    QCOMPARE(deleteStockDoc(f.dm(), StockKind::Loss, f.idOf("UBS", bs)).outcome, DeleteOutcome::Deleted);
    Voucher v;
    v.kind = VoucherKind::Receipt;
    v.uid = f.customer;
    v.partnerName = "顺发超市";
    v.myDate = "2012-11-18";
    v.amountText = "6";
    v.account = "现金";
    v.handler = "张三";
    const QString sk = saveVoucher(f.dm(), v);
    QVERIFY(deleteVoucher(f.dm(), VoucherKind::Receipt, f.idOf("USK", sk)));
    QCOMPARE(deleteTradeDoc(f.dm(), TradeKind::Sales, f.idOf("UXS", pre)).outcome, DeleteOutcome::Deleted);
    const int ukc = f.dm().value("select ID from UKC where SID=?", {f.cola}).toInt();
    QVERIFY(setStockCount(f.dm(), ukc, m("20")));
    setCostPrice(f.dm(), f.cola, m("2.6"));
    const QString xs = saveTradeDoc(f.dm(), f.trade(TradeKind::Sales, "3.5", "3", "10.5"));
    setSalesLineCost(f.dm(), f.dm().value("select ID from UXS_List where theNum=?", {xs}).toInt(), m("2.4"));
    ShopInfo shop = ShopInfoData::read(f.dm());
    shop.name = "新店名";
    QVERIFY(ShopInfoData::save(f.dm(), shop).saved);
    StockDoc assembly = oneLineStockDoc(StockKind::Assembly, f.cola, "1");
    assembly.issuing = "一号库";
    assembly.sides[1] = assembly.sides[0];
    const QString cz = saveStockDoc(f.dm(), assembly);

    struct Want { const char *kind; QString num; const char *amount, *count; const char *remark; };
    const QVector<Want> want{
        {"采购入库保存", cg, "25", "10", ""},
        {"销售出库预存", pre, "7", "2", ""},
        {"销售出库修改", pre, "14", "4", ""},
        {"结算", cg, "7.5", "0", "采购入库单"},
        {"商品报损保存", bs, "2.5", "1", ""},
        {"删除", bs, "2.5", "1", "商品报损单"},
        {"收款单保存", sk, "6", "0", ""},
        {"删除", sk, "6", "0", "收款单"},
        {"删除", pre, "14", "4", "销售出库单"},
        // The stock was 10 - 1 + 1 - 4 + 4 = 10 before it was set to 20, at the cost price 2.5.
        {"库存修改", QString(), "25", "10", nullptr},
        {"成本价修改", QString(), "2.6", "0", nullptr},
        {"销售出库保存", xs, "10.5", "3", ""},
        {"销售成本修改", xs, "2.4", "3", ""},
        {"本店信息修改", QString(), "0", "0", "新店名"},
        {"拆装保存", cz, "5", "2", ""},
    };
    const QVector<LogRow> rows = logRows(f.dm());
    QCOMPARE(rows.size(), want.size());
    for (int i = 0; i < want.size(); ++i) {
        const QByteArray at = QByteArray::number(i) + ": " + want[i].kind;
        QVERIFY2(rows[i].kind == QString::fromUtf8(want[i].kind), at + " got " + rows[i].kind.toUtf8());
        QVERIFY2(rows[i].num == want[i].num, at);
        QVERIFY2(rows[i].amount == m(want[i].amount), at + " amount " + rows[i].amount.toString().toUtf8());
        QVERIFY2(rows[i].count == m(want[i].count), at + " count " + rows[i].count.toString().toUtf8());
        if (want[i].remark) QVERIFY2(rows[i].remark == QString::fromUtf8(want[i].remark), at);
        QCOMPARE(rows[i].user, QStringLiteral("系统管理员"));
        QCOMPARE(rows[i].host, QSysInfo::machineHostName());
        // The log screen offers every kind a change writes.
        QVERIFY2(frmOpLog::kindWords().contains(rows[i].kind), at);
    }
    const QString time = f.dm().value("select max(theTime) from SOpLog").toString();
    QVERIFY(QDateTime::fromString(time, "yyyy-MM-dd hh:mm:ss").isValid());
}

void TstOpLog::failedChangeLeavesNoRow_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("failingTable");
    QTest::newRow("receipt: ledger") << "receipt" << "SList";
    QTest::newRow("receipt: money log") << "receipt" << "UList";
    QTest::newRow("loss: ledger") << "loss" << "SList";
    QTest::newRow("voucher: money log") << "voucher" << "UList";
    QTest::newRow("settlement: money log") << "settle" << "UList";
}

void TstOpLog::failedChangeLeavesNoRow()
{
    QFETCH(QString, what);
    QFETCH(QString, failingTable);
    Fixture f;
    G.ShopFKC = true;
    storeShopOptions(f.dm());
    const QString cg = saveTradeDoc(f.dm(), f.trade(TradeKind::Purchase, "2.5", "10", "0"));
    const int before = logCount(f.dm());
    f.t.failInserts(failingTable, "disk full");
    try {
        if (what == "receipt") {
            saveTradeDoc(f.dm(), f.trade(TradeKind::Purchase, "2.5", "10", "5"));
        } else if (what == "loss") {
            saveStockDoc(f.dm(), oneLineStockDoc(StockKind::Loss, f.cola, "1"));
        } else if (what == "voucher") {
            Voucher v;
            v.kind = VoucherKind::Payment;
            v.uid = f.supplier;
            v.partnerName = "大华商行";
            v.myDate = "2012-11-18";
            v.amountText = "6";
            v.account = "现金";
            v.handler = "张三";
            saveVoucher(f.dm(), v);
        } else {
            settleTradeDoc(f.dm(), TradeKind::Purchase, f.idOf("UJH", cg), Settlement{"2012-11-18", "5", "现金", "李四"});
        }
        QFAIL("the change should have failed");
    } catch (const DbError &e) {
        QVERIFY(e.text().contains("disk full"));
    }
    QCOMPARE(logCount(f.dm()), before);
}

void TstOpLog::logThatCannotBeWrittenStopsTheChange()
{
    // The row is part of the change: when it cannot be written, nothing of the change stays.
    Fixture f;
    storeShopOptions(f.dm());
    f.t.failInserts("SOpLog", "log full");
    try {
        saveTradeDoc(f.dm(), f.trade(TradeKind::Purchase, "2.5", "10", "5"));
        QFAIL("the save should have failed");
    } catch (const DbError &e) {
        QVERIFY(e.text().contains("log full"));
    }
    QCOMPARE(f.dm().value("select count(*) from UJH").toInt(), 0);
    QCOMPARE(f.dm().value("select count(*) from UKC").toInt(), 0);
    QCOMPARE(f.dm().value("select count(*) from UList").toInt(), 0);
}

void TstOpLog::rowsCannotBeChangedOrRemoved_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("update") << "update SOpLog set theAmount=0, UName='别人'";
    QTest::newRow("delete one") << "delete from SOpLog where theKind='采购入库保存'";
    QTest::newRow("delete all") << "delete from SOpLog";
}

void TstOpLog::rowsCannotBeChangedOrRemoved()
{
    QFETCH(QString, sql);
    Fixture f;
    storeShopOptions(f.dm());
    saveTradeDoc(f.dm(), f.trade(TradeKind::Purchase, "2.5", "10", "5"));
    const auto before = f.dm().rows("select * from SOpLog order by ID");
    QCOMPARE(before.size(), 1);
    try {
        f.dm().mySQL(sql);
        QFAIL("the log took the change");
    } catch (const DbError &e) {
        // On a server the seats' role has no right to it at all.
        if (f.t.onServer())
            QVERIFY2(e.kind() == DbError::Kind::ReadOnly && e.text().contains("permission denied"), e.text().toUtf8());
        else
            QVERIFY2(e.text().contains("操作日志只能添加"), e.text().toUtf8());
    }
    // Nor may the books' owner.
    QSqlQuery owner(f.t.ownerDb());
    QVERIFY(!owner.exec(sql));
    QVERIFY2(owner.lastError().text().contains("操作日志只能添加"), owner.lastError().text().toUtf8());
    QCOMPARE(f.dm().rows("select * from SOpLog order by ID"), before);
    // Rows are still added.
    OpLog::write(f.dm(), "测试");
    QCOMPARE(logCount(f.dm()), 2);
}

void TstOpLog::loginsAndUsersAreLogged()
{
    Fixture f;
    QVERIFY(!Accounts::checkLogin(f.dm(), "系统管理员", "wrong"));
    QVERIFY(Accounts::checkLogin(f.dm(), "系统管理员", ""));
    QVERIFY(Accounts::addUser(f.dm(), "小王", "收银"));
    const int id = f.dm().value("select ID from SUser where theName='小王'").toInt();
    Accounts::saveRights(f.dm(), id, {"100", "101"});
    Accounts::setUserState(f.dm(), id, false);
    Accounts::deleteUser(f.dm(), id);
    Accounts::logout(f.dm());
    const QVector<LogRow> rows = logRows(f.dm());
    QStringList kinds, remarks;
    for (const LogRow &r : rows) {
        kinds << r.kind;
        remarks << r.remark;
        QCOMPARE(r.user, QStringLiteral("系统管理员"));
    }
    QCOMPARE(kinds, QStringList({"登录失败", "登录", "用户新增", "权限修改", "用户停用", "用户删除", "退出"}));
    QCOMPARE(remarks.mid(2, 4), QStringList({"小王", "小王 100,101", "小王", "小王"}));
}

void TstOpLog::loginWhileAnotherSeatWritesIsLoggedLater()
{
    Fixture f;
    storeShopOptions(f.dm());
    QSqlDatabase other = f.t.openSeat(QStringLiteral("other-seat"));
    {
        QSqlQuery q(other);
        for (const QString &sql : EngineInfo::beginWrite(EngineInfo::of(other))) QVERIFY(q.exec(sql));
        QVERIFY(q.exec("update SShop set theName=theName"));
    }
    QElapsedTimer timer;
    timer.start();
    QVERIFY(Accounts::checkLogin(f.dm(), "系统管理员", ""));
    QVERIFY2(timer.elapsed() < EngineInfo::LockWaitMs / 2, qPrintable(QString::number(timer.elapsed())));
    {
        QSqlQuery q(other);
        QVERIFY(q.exec("COMMIT"));
    }
    TestDb::closeSeat(QStringLiteral("other-seat"));
    // The login is told before the next change of this seat, with its own time.
    const QString cg = saveTradeDoc(f.dm(), f.trade(TradeKind::Purchase, "2.5", "10", "5"));
    const QVector<LogRow> rows = logRows(f.dm());
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].kind, QStringLiteral("登录"));
    QCOMPARE(rows[1].kind, QStringLiteral("采购入库保存"));
    QCOMPARE(rows[1].num, cg);
}

void TstOpLog::importNamesTheFileAndItsHash()
{
    Fixture f;
    QTemporaryDir dir;
    const QString file = dir.filePath("单位.xlsx");
    QVERIFY(CraftedBook::writeZip(file, CraftedBook::xlsx(CraftedBook::inlineRow(1, {"单位名称", "联系人", "联系电话", "地址", "备注"})
                                                          + CraftedBook::inlineRow(2, {"新单位甲", "王"})
                                                          + CraftedBook::inlineRow(3, {"新单位乙", "李"}))));
    Sheet sheet;
    QString error;
    QVERIFY2(SheetFile::read(file, "Sheet1", &sheet, &error), error.toUtf8());
    QVERIFY(SheetImport::importPartners(f.dm(), sheet).ok);
    const QVector<LogRow> rows = logRows(f.dm());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].kind, QStringLiteral("往来单位导入"));
    QVERIFY2(rows[0].remark.contains("单位.xlsx"), rows[0].remark.toUtf8());
    QVERIFY2(rows[0].remark.contains("SHA-256:" + sha256Of(file)), rows[0].remark.toUtf8());
}

void TstOpLog::restoreKeepsTheBackupsLogAndNamesTheFile()
{
    if (testsOnServer()) QSKIP("the server's restore is tested with its own backups (tst_serverbackup)");
    Fixture f;
    storeShopOptions(f.dm());
    const QString cg = saveTradeDoc(f.dm(), f.trade(TradeKind::Purchase, "2.5", "10", "5"));
    const QString backup = f.t.folder() + "2012-11-16.edb";
    QCOMPARE(DbFile::backup(f.t.db().connectionName(), backup), QString());
    saveTradeDoc(f.dm(), f.trade(TradeKind::Purchase, "2.5", "1", "0"));
    const DbFile::RestoreResult r = DbFile::restore(f.dm(), f.t.db().connectionName(), backup);
    QVERIFY2(r.ok, r.message.toUtf8());
    const QVector<LogRow> rows = logRows(f.dm());
    // The backup's own row, then the restore told in the restored books.
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].kind, QStringLiteral("采购入库保存"));
    QCOMPARE(rows[0].num, cg);
    QCOMPARE(rows[1].kind, QStringLiteral("数据恢复"));
    QCOMPARE(rows[1].user, QStringLiteral("系统管理员"));
    QCOMPARE(rows[1].remark, "2012-11-16.edb  SHA-256:" + sha256Of(backup));
    // The restored log refuses changes as the old one did.
    try {
        f.dm().mySQL("delete from SOpLog");
        QFAIL("the restored log took a deletion");
    } catch (const DbError &) {
    }
    QCOMPARE(logCount(f.dm()), 2);
}

void TstOpLog::upgradeGrantsTheLogToTheAdministratorOnly()
{
    if (testsOnServer()) QSKIP("upgrade steps are the same statements on the server");
    QTemporaryDir dir;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old-books");
        db.setDatabaseName(dir.filePath("old.edb"));
        QVERIFY(db.open());
        createSchema(db, 5);
        QSqlQuery q(db);
        QVERIFY(q.exec("delete from SMenu where MNum='015'"));
        QVERIFY(q.exec("delete from SLevel where MNum='015'"));
        QVERIFY(q.exec("insert into SUser(theName,thePass,theState) values('小王','','启用')"));
        QVERIFY(q.exec("insert into SLevel(UID,MNum) select ID,'014' from SUser where theName='小王'"));
        upgradeSchema(db);
        QCOMPARE(schemaVersion(db), currentSchemaVersion());
        QVERIFY(q.exec("select MName from SMenu where MNum='015'") && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("操作日志 "));
        QVERIFY(q.exec("select U.theName from SLevel L join SUser U on U.ID=L.UID where L.MNum='015'"));
        QStringList granted;
        while (q.next()) granted << q.value(0).toString();
        QCOMPARE(granted, QStringList{"系统管理员"});
        // The codes users held stay where they were.
        const MenuEntry *exit = menuEntryByCode("014");
        QVERIFY(exit);
        QCOMPARE(exit->caption, QStringLiteral("退出 &X"));
        QCOMPARE(menuEntryByCode(QString::fromLatin1(OpLogMenuCode))->screen, QStringLiteral("frmOpLog"));
    }
    QSqlDatabase::removeDatabase("old-books");
}

namespace {
void addLogRow(frmDM &dm, const char *time, const char *user, const char *kind, const char *num, const char *amount,
               const char *count)
{
    dm.mySQL("insert into SOpLog(theTime,UName,theHost,theKind,theNum,theAmount,theCount,Remark) values(?,?,'柜台',?,?,?,?,'')",
             {time, user, kind, num, m(amount).toVariant(), m(count).toVariant()});
}
} // namespace

void TstOpLog::screenListsAndFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<QString>("amount");
    QTest::newRow("all, newest first") << "" << "" << QStringList{"2012-11-03 08:00:00", "2012-11-02 23:30:00", "2012-11-01 09:00:00"} << "50";
    // The last day of the range counts to its end.
    QTest::newRow("one day") << "date" << "2012-11-02" << QStringList{"2012-11-02 23:30:00"} << "25";
    QTest::newRow("user") << "user" << "小王" << QStringList{"2012-11-03 08:00:00", "2012-11-02 23:30:00"} << "25";
    QTest::newRow("kind") << "kind" << "删除" << QStringList{"2012-11-02 23:30:00"} << "25";
    QTest::newRow("number") << "num" << "1101-0001" << QStringList{"2012-11-02 23:30:00", "2012-11-01 09:00:00"} << "50";
}

void TstOpLog::screenListsAndFilters()
{
    QFETCH(QString, filter);
    QFETCH(QString, value);
    QFETCH(QStringList, times);
    QFETCH(QString, amount);
    TestDb t;
    MsgSpy msgs;
    t.asOwner("insert into SUser(theName,thePass,Remark,theState) values('小王','','','启用')");
    addLogRow(t.dm(), "2012-11-01 09:00:00", "系统管理员", "采购入库保存", "CG121101-0001", "25", "10");
    addLogRow(t.dm(), "2012-11-02 23:30:00", "小王", "删除", "CG121101-0001", "25", "10");
    addLogRow(t.dm(), "2012-11-03 08:00:00", "小王", "登录", "", "0", "0");

    frmOpLog s;
    s.show();
    QVERIFY(!s.excelButton()->isEnabled());
    if (filter == "date") {
        s.filters()[0]->dateFrom()->setDate(QDate::fromString(value, Qt::ISODate));
        s.filters()[0]->dateTo()->setDate(QDate::fromString(value, Qt::ISODate));
        QVERIFY(s.filters()[0]->isTicked());
    } else if (filter == "user") {
        FilterRow *f = s.filters()[1];
        f->comboBox()->setCurrentIndex(f->comboBox()->findText(value));
        f->tick();
    } else if (filter == "kind") {
        QLineEdit *typed = s.filters()[2]->comboBox()->lineEdit();
        QTest::keyClicks(typed, "x");   // typing ticks the box
        typed->setText(value);
        QVERIFY(s.filters()[2]->isTicked());
    } else if (filter == "num") {
        QTest::keyClicks(s.filters()[3]->lineEdit(), value);
        QVERIFY(s.filters()[3]->isTicked());
    }
    s.BitBtn1Click();
    QVERIFY(msgs.shown.isEmpty());
    QStringList shown;
    for (int r = 0; r < s.rowCount(); ++r) shown << s.valueAt(r, "theTime").toString();
    QCOMPARE(shown, times);
    QCOMPARE(s.foundCount(), int(times.size()));
    QCOMPARE(Money::fromString(s.totalText("theAmount")), m(amount.toUtf8().constData()));
    QVERIFY(s.excelButton()->isEnabled());
    // A time is read on one line: its column holds the whole text with the cell's margins.
    const QFontMetrics fm = s.grid()->fontMetrics();
    const int time = fm.horizontalAdvance(QStringLiteral("2012-11-02 23:30:00"));
    QVERIFY2(s.grid()->columnWidth(0) >= time + 2 * fm.averageCharWidth(),
             qPrintable(QStringLiteral("column %1 px, text %2 px").arg(s.grid()->columnWidth(0)).arg(time)));
}

void TstOpLog::screenPagesNewestFirstByTime()
{
    // Two seats whose clocks differ: rows are written out of the order of
    // their times, many in the same second. Page after page, every row comes
    // once, the newest time first and the later row first within a second.
    TestDb t;
    MsgSpy msgs;
    for (int i = 0; i < 450; ++i) {
        const int second = i % 2 ? i / 7 : 100 + i / 7;
        t.dm().mySQL("insert into SOpLog(theTime,UName,theHost,theKind,theNum,theAmount,theCount,Remark) "
                     "values(?,'系统管理员','柜台','登录','',0,0,'')",
                     {QDateTime(QDate(2012, 11, 1), QTime(8, 0)).addSecs(second).toString("yyyy-MM-dd hh:mm:ss")});
    }
    QVariantList want;
    for (const auto &r : t.dm().rows("select ID from SOpLog order by theTime desc, ID desc")) want << r[0];
    frmOpLog s;
    s.show();
    s.BitBtn1Click();
    QVERIFY(s.rowCount() < want.size());
    while (s.resultModel()->canFetchMore({})) s.resultModel()->fetchMore({});
    QVariantList shown;
    for (int r = 0; r < s.rowCount(); ++r) shown << s.valueAt(r, "ID");
    QCOMPARE(shown, want);
    QVERIFY(msgs.shown.isEmpty());
}

void TstOpLog::menuItemForTheAdministratorOnly()
{
    TestDb t;
    MsgSpy msgs;
    Screens::add(QStringLiteral("frmOpLog"), [](QWidget *parent) { return new frmOpLog(parent); });
    QVERIFY(Accounts::addUser(t.dm(), "小王", ""));
    const int clerk = t.dm().value("select ID from SUser where theName='小王'").toInt();
    Accounts::saveRights(t.dm(), clerk, {"000", "014", "100"});
    const int admin = t.dm().value("select ID from SUser where theName='系统管理员'").toInt();

    frmMain forClerk;
    forClerk.applyRights(clerk);
    QVERIFY(forClerk.menuItem("退出 &X")->isVisible());
    QVERIFY(!forClerk.menuItem("操作日志 &L")->isVisible());

    frmMain forAdmin;
    forAdmin.applyRights(admin);
    QAction *item = forAdmin.menuItem("操作日志 &L");
    QVERIFY(item && item->isVisible());
    forAdmin.show();
    item->trigger();
    QCOMPARE(forAdmin.mdiArea()->subWindowList().size(), 1);
    QVERIFY(qobject_cast<frmOpLog *>(forAdmin.mdiArea()->subWindowList().first()->widget()));
    QVERIFY(msgs.shown.isEmpty());
}

QTEST_MAIN(TstOpLog)
#include "tst_oplog.moc"
