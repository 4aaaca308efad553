// Deleting trade documents and settling them: the exact reversal of every
// kind, what is refused, and that an error part-way leaves nothing behind.
#include "data/dberror.h"
#include "data/globals.h"
#include "money/settle.h"
#include "testdb.h"
#include "trade/tradedelete.h"
#include "trade/tradedoc.h"

#include <QtTest>

class TstTradeDelete : public QObject {
    Q_OBJECT
private slots:
    void init();
    void netEffect_data();
    void netEffect();
    void shortStockRefusesDeletion_data();
    void shortStockRefusesDeletion();
    void failurePartWayLeavesNothing_data();
    void failurePartWayLeavesNothing();

    void settlementEdges_data();
    void settlementEdges();
    void settlementIsExactMoney();
    void settlementChecksInOrder_data();
    void settlementChecksInOrder();
    void owedIsReadAgainInsideTheSettlement();
    void preSavedAndDeletedAreNotSettled();
    void settlementFailurePartWayLeavesNothing();

private:
    struct Fixture;
};

struct TstTradeDelete::Fixture {
    TestDb t;
    int supplier = t.addPartner("大华商行", "供应商");
    int customer = t.addPartner("顺发超市", "客户");
    int cola = t.addProduct("可乐", Money::fromString("2.5"), Money::fromString("3.5"));
    frmDM &dm() { return t.dm(); }

    Fixture()
    {
        dm().mySQL("update SShop set theNum='P001' where ID=?", {cola});
        // Stock to sell and send back from.
        dm().KC_Up("一号库", cola, Money::fromString("100"));
    }
    static bool purchaseSide(TradeKind k) { return k == TradeKind::Purchase || k == TradeKind::PurchaseReturn; }
    int partner(TradeKind k) const { return purchaseSide(k) ? supplier : customer; }

    // A document of 3 cola at 10, `paid` paid at entry.
    TradeDoc doc(TradeKind kind, const QString &paid, bool preSave = false)
    {
        TradeDoc d;
        d.kind = kind;
        d.uid = partner(kind);
        d.partnerName = "伙伴";
        d.myDate = "2012-11-17";
        d.warehouse = "一号库";
        d.handler = "张三";
        d.account = "现金";
        d.person = "李四";
        d.paidText = paid;
        d.preSave = preSave;
        TradeLine l;
        l.sid = cola;
        l.code = "P001";
        l.name = "可乐";
        l.price = Money::fromString("10");
        l.count = Money::fromString("3");
        d.lines << l;
        return d;
    }
    int save(const TradeDoc &d)
    {
        const QString num = saveTradeDoc(dm(), d);
        return dm().value(QString("select ID from %1 where theNum=?").arg(tradeKind(d.kind).head), {num}).toInt();
    }
    SettleCheck settle(TradeKind k, int id, const QString &amount, const QString &date = "2012-11-20")
    {
        return settleTradeDoc(dm(), k, id, Settlement{date, amount, "银行", "王五"});
    }
    Money m(const QString &sql, const QVariantList &b = {}) { return Money::fromVariant(dm().value(sql, b)); }
    int n(const QString &sql, const QVariantList &b = {}) { return dm().value(sql, b).toInt(); }
    Money stock() { return dm().myRetKC("一号库", cola); }
    Money balance(const char *column, int uid) { return m(QString("select %1 from SUnits where ID=?").arg(column), {uid}); }

    // Everything a posting touches, to compare before and after.
    QStringList books()
    {
        QStringList out;
        for (const char *t : {"UJH", "UXS", "UCG_O", "UXS_O", "SUnits", "UKC", "SList", "UList", "UJH_FK", "UXS_SK",
                              "UCG_O_SK", "UXS_O_FK", "UXS_List"}) {
            for (const auto &r : dm().rows(QString("select * from %1 order by ID").arg(t))) {
                QStringList cells;
                for (const QVariant &v : r) cells << v.toString();
                out << QString(t) + ": " + cells.join('|');
            }
        }
        return out;
    }
};

void TstTradeDelete::init()
{
    setSession("2012-11-16");
    G.ShopFKC = false;
    G.ShopJH = G.ShopXS = false;
    G.ShopCB = "采购单价";
}

void TstTradeDelete::netEffect_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("state");       // posted, presaved, deleted
    QTest::addColumn<QString>("stockChange"); // of the product in the warehouse
    QTest::addColumn<QString>("ledger");      // the stock ledger rows written: word:in:out
    QTest::addColumn<QString>("balance");     // SUnits column
    QTest::addColumn<QString>("balanceChange");
    QTest::addColumn<QStringList>("cash");    // the cash-log rows written: word:in:out
    QTest::addColumn<int>("outcome");

    const int del = int(DeleteOutcome::Deleted), already = int(DeleteOutcome::AlreadyDeleted);
    // 3 at 10 = 30, 10 paid at entry, 5 settled later: 15 owed.
    QTest::newRow("purchase receipt") << int(TradeKind::Purchase) << "posted" << "-3" << "采购入库删除:0:3" << "theYF"
                                      << "-15" << QStringList{"采购入库删除:10:0", "采购入库删除:5:0"} << del;
    QTest::newRow("sales delivery") << int(TradeKind::Sales) << "posted" << "3" << "销售出库删除:3:0" << "theYS"
                                    << "-15" << QStringList{"销售出库删除:0:10", "销售出库删除:0:5"} << del;
    QTest::newRow("purchase return") << int(TradeKind::PurchaseReturn) << "posted" << "3" << "采购退货删除:3:0"
                                     << "theYF" << "15" << QStringList{"采购退货删除:0:10", "采购退货删除:0:5"} << del;
    QTest::newRow("sales return") << int(TradeKind::SalesReturn) << "posted" << "-3" << "销售退货删除:0:3" << "theYS"
                                  << "15" << QStringList{"销售退货删除:10:0", "销售退货删除:5:0"} << del;
    // A pre-saved document posted nothing: only its mark changes.
    QTest::newRow("pre-saved receipt") << int(TradeKind::Purchase) << "presaved" << "0" << "" << "theYF" << "0"
                                       << QStringList{} << del;
    QTest::newRow("pre-saved delivery") << int(TradeKind::Sales) << "presaved" << "0" << "" << "theYS" << "0"
                                        << QStringList{} << del;
    // Deleted once already (another window, a second click): nothing again.
    QTest::newRow("receipt deleted twice") << int(TradeKind::Purchase) << "deleted" << "0" << "" << "theYF" << "0"
                                           << QStringList{} << already;
    QTest::newRow("sales return deleted twice") << int(TradeKind::SalesReturn) << "deleted" << "0" << "" << "theYS"
                                                << "0" << QStringList{} << already;
}

void TstTradeDelete::netEffect()
{
    QFETCH(int, kind);
    QFETCH(QString, state);
    QFETCH(QString, stockChange);
    QFETCH(QString, ledger);
    QFETCH(QString, balance);
    QFETCH(QString, balanceChange);
    QFETCH(QStringList, cash);
    QFETCH(int, outcome);
    Fixture f;
    const TradeKind k = TradeKind(kind);
    const TradeKindInfo &info = tradeKind(k);
    const int id = f.save(f.doc(k, "10", state == "presaved"));
    if (state == "posted") QVERIFY(f.settle(k, id, "5").ok());
    if (state == "deleted") QCOMPARE(deleteTradeDoc(f.dm(), k, id).outcome, DeleteOutcome::Deleted);

    const Money stockBefore = f.stock();
    const Money balanceBefore = f.balance(qPrintable(balance), f.partner(k));
    const int lastStock = f.n("select coalesce(max(ID),0) from SList");
    const int lastCash = f.n("select coalesce(max(ID),0) from UList");

    QCOMPARE(int(deleteTradeDoc(f.dm(), k, id).outcome), outcome);

    QCOMPARE((f.stock() - stockBefore).toString(), stockChange);
    QStringList ledgerRows;
    for (const auto &r : f.dm().rows("select theType, ICount, OCount, theNum from SList where ID>? order by ID", {lastStock}))
        ledgerRows << QStringList{r[0].toString(), Money::fromVariant(r[1]).toString(), Money::fromVariant(r[2]).toString()}.join(':');
    QCOMPARE(ledgerRows.join(','), ledger);
    QCOMPARE((f.balance(qPrintable(balance), f.partner(k)) - balanceBefore).toString(), balanceChange);
    QStringList cashRows;
    for (const auto &r : f.dm().rows("select theType, theIn, theOut, MName, UName, IName from UList where ID>? order by ID",
                                     {lastCash})) {
        cashRows << QStringList{r[0].toString(), Money::fromVariant(r[1]).toString(), Money::fromVariant(r[2]).toString()}.join(':');
        // Each settlement comes back with its own account and person.
        QCOMPARE(r[5].toString(), QString("系统管理员"));
    }
    QCOMPARE(cashRows, cash);
    QCOMPARE(f.dm().value(QString("select theDel from %1 where ID=?").arg(info.head), {id}).toString(), QString("是"));
    // Balance and cash end where they were before the document.
    if (state == "posted") {
        QCOMPARE(f.balance(qPrintable(balance), f.partner(k)).toString(), QString("0"));
        QCOMPARE(f.m("select coalesce(sum(theIn),0)-coalesce(sum(theOut),0) from UList").toString(), QString("0"));
        QCOMPARE(f.stock().toString(), QString("100"));
    }
}

void TstTradeDelete::shortStockRefusesDeletion_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("negativeAllowed");
    QTest::newRow("receipt whose goods were sold") << int(TradeKind::Purchase) << false;
    QTest::newRow("sales return whose goods were sold") << int(TradeKind::SalesReturn) << false;
    QTest::newRow("receipt, negative stock allowed") << int(TradeKind::Purchase) << true;
}

void TstTradeDelete::shortStockRefusesDeletion()
{
    QFETCH(int, kind);
    QFETCH(bool, negativeAllowed);
    Fixture f;
    const TradeKind k = TradeKind(kind);
    const int id = f.save(f.doc(k, "0"));
    // All but one of the 103 units are sold since.
    f.dm().KC_Do("一号库", f.cola, Money::fromString("101"));
    G.ShopFKC = negativeAllowed;
    storeShopOptions(f.dm());
    const QStringList before = f.books();
    const DeleteResult r = deleteTradeDoc(f.dm(), k, id);
    if (negativeAllowed) {
        QCOMPARE(r.outcome, DeleteOutcome::Deleted);
        QCOMPARE(f.stock().toString(), QString("-1"));
        return;
    }
    QCOMPARE(r.outcome, DeleteOutcome::Refused);
    QCOMPARE(r.message, QString("商品 P001 可乐 在仓库 一号库 的库存为 2，减少 3 后将小于零，不能删除！"));
    QCOMPARE(f.books(), before);
}

void TstTradeDelete::failurePartWayLeavesNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("failingTable");
    QTest::newRow("receipt, cash log") << int(TradeKind::Purchase) << "UList";
    QTest::newRow("delivery, stock ledger") << int(TradeKind::Sales) << "SList";
    QTest::newRow("purchase return, cash log") << int(TradeKind::PurchaseReturn) << "UList";
    QTest::newRow("sales return, stock ledger") << int(TradeKind::SalesReturn) << "SList";
}

void TstTradeDelete::failurePartWayLeavesNothing()
{
    QFETCH(int, kind);
    QFETCH(QString, failingTable);
    Fixture f;
    const TradeKind k = TradeKind(kind);
    const int id = f.save(f.doc(k, "10"));
    QVERIFY(f.settle(k, id, "5").ok());
    // The next row written to that table fails, after the mark, the balance and the stock.
    f.t.failInserts(failingTable, "disk full");
    const QStringList before = f.books();
    QVERIFY_THROWS_EXCEPTION(DbError, deleteTradeDoc(f.dm(), k, id));
    QCOMPARE(f.books(), before);
    f.t.stopFailing(failingTable);
    QCOMPARE(deleteTradeDoc(f.dm(), k, id).outcome, DeleteOutcome::Deleted);
}

void TstTradeDelete::settlementEdges_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("paidAtEntry");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("refusal");       // empty: accepted
    QTest::addColumn<QString>("owedAfter");
    QTest::addColumn<QString>("balanceColumn");
    QTest::addColumn<QString>("balanceChange");
    QTest::addColumn<QString>("cash");          // word:in:out

    // 30 owed on each: 3 at 10, nothing paid at entry.
    QTest::newRow("equal amount") << int(TradeKind::Purchase) << "0" << "30" << "" << "0" << "theYF" << "-30"
                                  << "采购入库付款:0:30";
    QTest::newRow("one cent more") << int(TradeKind::Purchase) << "0" << "30.01" << "付款金额 大于 应付金额，请重新录入！"
                                   << "30" << "theYF" << "0" << "";
    QTest::newRow("zero") << int(TradeKind::Sales) << "0" << "0" << "" << "30" << "theYS" << "0" << "销售出库收款:0:0";
    QTest::newRow("part received") << int(TradeKind::Sales) << "10" << "12.5" << "" << "7.5" << "theYS" << "-12.5"
                                   << "销售出库收款:12.5:0";
    QTest::newRow("more than received owed") << int(TradeKind::Sales) << "10" << "20.5"
                                             << "收款金额 大于 应收金额，请重新录入！" << "20" << "theYS" << "0" << "";
    // A refund of 100 from the supplier raises what is owed to them again.
    QTest::newRow("purchase return refund") << int(TradeKind::PurchaseReturn) << "-" << "100" << "" << "0" << "theYF"
                                            << "100" << "采购退货收款:100:0";
    QTest::newRow("sales return refund") << int(TradeKind::SalesReturn) << "0" << "30" << "" << "0" << "theYS" << "30"
                                         << "销售退货付款:0:30";
}

void TstTradeDelete::settlementEdges()
{
    QFETCH(int, kind);
    QFETCH(QString, paidAtEntry);
    QFETCH(QString, amount);
    QFETCH(QString, refusal);
    QFETCH(QString, owedAfter);
    QFETCH(QString, balanceColumn);
    QFETCH(QString, balanceChange);
    QFETCH(QString, cash);
    Fixture f;
    const TradeKind k = TradeKind(kind);
    const TradeKindInfo &info = tradeKind(k);
    TradeDoc d = f.doc(k, paidAtEntry);
    if (paidAtEntry == "-") {
        // A return of 10 at 10 refunded with nothing: 100 owed back.
        d.lines[0].count = Money::fromString("10");
        d.paidText = "0";
    }
    const int id = f.save(d);
    const Money balanceBefore = f.balance(qPrintable(balanceColumn), f.partner(k));
    const Money paidBefore = f.m(QString("select theSJ from %1 where ID=?").arg(info.head), {id});
    const int lastCash = f.n("select coalesce(max(ID),0) from UList");
    const int settlementsBefore = f.n(QString("select count(*) from %1").arg(info.settleTable));

    // Settled on the 20th; the working date is the 16th.
    const SettleCheck c = f.settle(k, id, amount, "2012-11-20");
    QCOMPARE(c.message, refusal);
    QCOMPARE(f.m(QString("select %1 from %2 where ID=?").arg(info.owedColumn, info.head), {id}).toString(), owedAfter);
    QCOMPARE((f.balance(qPrintable(balanceColumn), f.partner(k)) - balanceBefore).toString(), balanceChange);
    QStringList cashRows;
    for (const auto &r : f.dm().rows("select theType, theIn, theOut, theDate, MName, UName, IName from UList where ID>?", {lastCash})) {
        cashRows << QStringList{r[0].toString(), Money::fromVariant(r[1]).toString(), Money::fromVariant(r[2]).toString()}.join(':');
        // The cash log is dated with the working date, the settlement with the picked one.
        QCOMPARE(r.mid(3), (QVariantList{"2012-11-16", "银行", "王五", "系统管理员"}));
    }
    QCOMPARE(cashRows.join(','), cash);
    if (!refusal.isEmpty()) {
        QCOMPARE(f.n(QString("select count(*) from %1").arg(info.settleTable)), settlementsBefore);
        return;
    }
    QCOMPARE(f.dm().rows(QString("select theMoney, AName, %1, %2 from %3 order by ID desc limit 1")
                             .arg(info.settlePerson, info.settleDate, info.settleTable)),
             (QVector<QVariantList>{{Money::fromString(amount).toVariant(), "银行", "王五", "2012-11-20"}}));
    QCOMPARE(f.m(QString("select theSJ from %1 where ID=?").arg(info.head), {id}) - paidBefore, Money::fromString(amount));
}

void TstTradeDelete::settlementIsExactMoney()
{
    Fixture f;
    TradeDoc d = f.doc(TradeKind::Purchase, "0");
    d.lines[0].count = Money::fromString("1");
    d.lines[0].price = Money::fromString("0.3");
    const int id = f.save(d);
    QVERIFY(f.settle(TradeKind::Purchase, id, "0.1").ok());
    QVERIFY(f.settle(TradeKind::Purchase, id, "0.2").ok());
    // 0.3 - 0.1 - 0.2 is 0, not a trace above or below it.
    QCOMPARE(f.dm().value("select theYF from UJH where ID=?", {id}).toString(), QString("0"));
    QCOMPARE(f.dm().value("select theYF from SUnits where ID=?", {f.supplier}).toString(), QString("0"));
    QCOMPARE(f.m("select theSJ from UJH where ID=?", {id}).toString(), QString("0.3"));
    QCOMPARE(f.settle(TradeKind::Purchase, id, "0.0001").message, QString("付款金额 大于 应付金额，请重新录入！"));
}

void TstTradeDelete::settlementChecksInOrder_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("person");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty amount first") << " " << "" << "" << int(SettleField::Amount) << "收款金额 不能为空，请录入 收款金额！";
    QTest::newRow("then the account") << "1.2.3" << "" << "" << int(SettleField::Account) << "请选择 收款方式！";
    QTest::newRow("then the person") << "1.2.3" << "银行" << "" << int(SettleField::Person) << "请选择 收款人！";
    QTest::newRow("then the number") << "1.2.3" << "银行" << "王五" << int(SettleField::Amount)
                                     << "收款金额 “1.2.3”不是有效的数值，请重新录入！";
    QTest::newRow("a pasted minus") << "-5" << "银行" << "王五" << int(SettleField::Amount)
                                    << "收款金额 不能小于零，请重新录入！";
}

void TstTradeDelete::settlementChecksInOrder()
{
    QFETCH(QString, amount);
    QFETCH(QString, account);
    QFETCH(QString, person);
    QFETCH(int, field);
    QFETCH(QString, message);
    Fixture f;
    const int id = f.save(f.doc(TradeKind::Sales, "0"));
    const QStringList before = f.books();
    const SettleCheck c = settleTradeDoc(f.dm(), TradeKind::Sales, id, Settlement{"2012-11-16", amount, account, person});
    QCOMPARE(int(c.field), field);
    QCOMPARE(c.message, message);
    QCOMPARE(f.books(), before);
}

void TstTradeDelete::owedIsReadAgainInsideTheSettlement()
{
    Fixture f;
    const int id = f.save(f.doc(TradeKind::Purchase, "0"));
    // Two dialogs opened on the same document, each showing 30 owed: the
    // first pays 20, the second cannot pay another 20.
    QVERIFY(f.settle(TradeKind::Purchase, id, "20").ok());
    QCOMPARE(f.settle(TradeKind::Purchase, id, "20").message, QString("付款金额 大于 应付金额，请重新录入！"));
    QVERIFY(f.settle(TradeKind::Purchase, id, "10").ok());
    QCOMPARE(f.m("select theYF from UJH where ID=?", {id}).toString(), QString("0"));
    QCOMPARE(f.n("select count(*) from UJH_FK"), 2);
}

void TstTradeDelete::preSavedAndDeletedAreNotSettled()
{
    Fixture f;
    const int preSaved = f.save(f.doc(TradeKind::Purchase, "0", true));
    const int deleted = f.save(f.doc(TradeKind::SalesReturn, "0"));
    deleteTradeDoc(f.dm(), TradeKind::SalesReturn, deleted);
    const QString preNum = f.dm().value("select theNum from UJH where ID=?", {preSaved}).toString();
    const QString delNum = f.dm().value("select theNum from UXS_O where ID=?", {deleted}).toString();
    const QStringList before = f.books();
    QCOMPARE(f.settle(TradeKind::Purchase, preSaved, "5").message, QString("单号 %1 是预存单，不能付款！").arg(preNum));
    QCOMPARE(f.settle(TradeKind::SalesReturn, deleted, "5").message, QString("单号 %1 已删除，不能付款！").arg(delNum));
    QCOMPARE(f.books(), before);
}

void TstTradeDelete::settlementFailurePartWayLeavesNothing()
{
    Fixture f;
    const int id = f.save(f.doc(TradeKind::Sales, "0"));
    // The cash-log row, third of the four writes, fails.
    f.t.failInserts("UList", "disk full");
    const QStringList before = f.books();
    QVERIFY_THROWS_EXCEPTION(DbError, f.settle(TradeKind::Sales, id, "12"));
    QCOMPARE(f.books(), before);
}

QTEST_GUILESS_MAIN(TstTradeDelete)
#include "tst_tradedelete.moc"
