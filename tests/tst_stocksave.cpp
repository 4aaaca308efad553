// Saving and deleting the stock documents: the worked examples through the
// save and delete functions, the checks, the stock tests and the all-or-nothing rule.
#include "data/dberror.h"
#include "data/globals.h"
#include "stock/stockdoc.h"
#include "testdb.h"
#include "trade/tradedoc.h"

#include <QtTest>

namespace {
using Rows = QVector<QVariantList>;
}

class TstStockSave : public QObject {
    Q_OBJECT
private slots:
    void init();
    void transferAndItsDeletion();
    void lossAndOverage_data();
    void lossAndOverage();
    void assemblyOfOneFromTwoParts();
    void sameProductOnBothSides();
    void stockTest_data();
    void stockTest();
    void checksInOrder_data();
    void checksInOrder();
    void deletionBelowZero_data();
    void deletionBelowZero();
    void assemblyWhoseProductWasSold_data();
    void assemblyWhoseProductWasSold();
    void deletedTwiceOnlyOnce();
    void fullGridsSavedAndDeleted_data();
    void fullGridsSavedAndDeleted();
    void failurePartWayLeavesNothing_data();
    void failurePartWayLeavesNothing();
    void deletionFailurePartWayLeavesNothing();

private:
    struct Fixture;
};

struct TstStockSave::Fixture {
    TestDb t;
    int a = t.addProduct("A", Money::fromString("2.5"));
    int b = t.addProduct("B", Money::fromString("4"));
    int p = t.addProduct("P", Money::fromString("20"));
    frmDM &dm() { return t.dm(); }

    static StockLine line(int sid, const char *name, const char *price, const char *count)
    {
        StockLine l;
        l.sid = sid;
        l.code = QString::fromUtf8(name);
        l.name = QString::fromUtf8(name);
        l.price = Money::fromString(QString::fromUtf8(price));
        l.count = Money::fromString(QString::fromUtf8(count));
        return l;
    }
    StockDoc doc(StockKind kind, QVector<StockLine> out, QVector<StockLine> in = {})
    {
        StockDoc d;
        d.kind = kind;
        d.myDate = "2012-11-17";
        d.issuing = kind == StockKind::Transfer || kind == StockKind::Assembly ? "A库" : QString();
        d.warehouse = kind == StockKind::Transfer ? "B库" : "A库";
        d.handler = "张三";
        d.remark = "备注";
        d.sides[0] = out;
        d.sides[1] = in;
        return d;
    }
    QString stock(const QString &wh, int sid)
    {
        const auto r = dm().rows("select theCount from UKC where WName=? and SID=?", {wh, sid});
        return r.isEmpty() ? QString("no row") : Money::fromVariant(r[0][0]).toString();
    }
    int idOf(const QString &head, const QString &num) { return dm().value(QString("select ID from %1 where theNum=?").arg(head), {num}).toInt(); }
    int n(const QString &sql) { return dm().value(sql).toInt(); }
    Rows ledger() { return dm().rows("select theType, theNum, WName, SID, ICount, OCount, SPrice, WCount from SList order by ID"); }
};

void TstStockSave::init()
{
    setSession("2012-11-16");
    G.ShopFKC = false;
}

void TstStockSave::transferAndItsDeletion()
{
    Fixture f;
    f.dm().KC_Up("A库", f.a, Money::fromString("5"));
    const QString num = saveStockDoc(f.dm(), f.doc(StockKind::Transfer, {Fixture::line(f.a, "A", "2.5", "3")}));
    QCOMPARE(num, QString("DB121116-0001"));
    QCOMPARE(f.dm().rows("select theDate, theNum, theDel, DName, WName, UName, IName, Remark, theSum, theDX, myDate, theCount from UDB"),
             (Rows{{"2012-11-16", num, "否", "A库", "B库", "张三", "系统管理员", "备注", 7.5, "柒元伍角", "2012-11-17", 3}}));
    QCOMPARE(f.dm().rows("select theNum, SID, thePrice, theCount, theSum, theBH from UDB_List"), (Rows{{num, f.a, 2.5, 3, 7.5, 1}}));
    QCOMPARE(f.stock("A库", f.a), QString("2"));
    QCOMPARE(f.stock("B库", f.a), QString("3"));
    QCOMPARE(f.ledger(), (Rows{{"调拨出库", num, "A库", f.a, 0, 3, 2.5, 2}, {"调拨入库", num, "B库", f.a, 3, 0, 2.5, 3}}));

    const DeleteResult r = deleteStockDoc(f.dm(), StockKind::Transfer, f.idOf("UDB", num));
    QCOMPARE(int(r.outcome), int(DeleteOutcome::Deleted));
    QCOMPARE(f.stock("A库", f.a), QString("5"));
    QCOMPARE(f.stock("B库", f.a), QString("0"));
    QCOMPARE(f.dm().value("select theDel from UDB").toString(), QString("是"));
    // The lines stay; the ledger keeps both the save and its reversal.
    QCOMPARE(f.n("select count(*) from UDB_List"), 1);
    QCOMPARE(f.ledger().mid(2), (Rows{{"调拨出库删除", num, "A库", f.a, 3, 0, 2.5, 5}, {"调拨入库删除", num, "B库", f.a, 0, 3, 2.5, 0}}));
    // A new transfer takes the next number: the deleted one still counts.
    QCOMPARE(saveStockDoc(f.dm(), f.doc(StockKind::Transfer, {Fixture::line(f.a, "A", "2.5", "1")})), QString("DB121116-0002"));
}

void TstStockSave::lossAndOverage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("start");   // stock before, "" for no row
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("in");
    QTest::addColumn<QString>("deletedWord");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("loss of 2 from 5") << int(StockKind::Loss) << "5" << "3" << "商品报损" << 0 << "商品报损删除" << "BS";
    QTest::newRow("overage of 2 onto 5") << int(StockKind::Overage) << "5" << "7" << "商品报溢" << 1 << "商品报溢删除" << "BY";
    // An overage of a product never held in the warehouse makes its stock row.
    QTest::newRow("overage without a stock row") << int(StockKind::Overage) << "" << "2" << "商品报溢" << 1 << "商品报溢删除" << "BY";
}

void TstStockSave::lossAndOverage()
{
    QFETCH(int, kind);
    QFETCH(QString, start);
    QFETCH(QString, after);
    QFETCH(QString, word);
    QFETCH(int, in);
    QFETCH(QString, deletedWord);
    QFETCH(QString, prefix);
    Fixture f;
    if (!start.isEmpty()) f.dm().KC_Up("A库", f.a, Money::fromString(start));
    const QString num = saveStockDoc(f.dm(), f.doc(StockKind(kind), {Fixture::line(f.a, "A", "2.5", "2")}));
    QCOMPARE(num, prefix + "121116-0001");
    const QString head = prefix == "BS" ? "UBS" : "UBY";
    QCOMPARE(f.dm().rows(QString("select WName, UName, theSum, theCount, theDX from %1").arg(head)),
             (Rows{{"A库", "张三", 5, 2, "伍元整"}}));
    QCOMPARE(f.stock("A库", f.a), after);
    QCOMPARE(f.ledger(), (Rows{{word, num, "A库", f.a, in ? 2 : 0, in ? 0 : 2, 2.5, Money::fromString(after).toDouble()}}));

    QCOMPARE(int(deleteStockDoc(f.dm(), StockKind(kind), f.idOf(head, num)).outcome), int(DeleteOutcome::Deleted));
    QCOMPARE(f.stock("A库", f.a), start.isEmpty() ? QString("0") : start);
    QCOMPARE(f.ledger().last(), (QVariantList{deletedWord, num, "A库", f.a, in ? 0 : 2, in ? 2 : 0, 2.5,
                                              Money::fromString(start).toDouble()}));
}

void TstStockSave::assemblyOfOneFromTwoParts()
{
    Fixture f;
    f.dm().KC_Up("A库", f.a, Money::fromString("10"));
    f.dm().KC_Up("A库", f.b, Money::fromString("10"));
    const QString num = saveStockDoc(f.dm(), f.doc(StockKind::Assembly,
                                                   {Fixture::line(f.a, "A", "2.5", "2"), Fixture::line(f.b, "B", "4", "3")},
                                                   {Fixture::line(f.p, "P", "20", "1")}));
    QCOMPARE(num, QString("CZ121116-0001"));
    QCOMPARE(f.dm().rows("select theNum, DName, WName, UName, IName, Remark, myDate, theDel from UCZ"),
             (Rows{{num, "A库", "A库", "张三", "系统管理员", "备注", "2012-11-17", "否"}}));
    QCOMPARE(f.dm().rows("select theNum, SID, theCount, theBH from UCZ_O_List order by ID"),
             (Rows{{num, f.a, 2, 1}, {num, f.b, 3, 2}}));
    QCOMPARE(f.dm().rows("select theNum, SID, theCount, theSum, theBH from UCZ_I_List"), (Rows{{num, f.p, 1, 20, 1}}));
    QCOMPARE(f.stock("A库", f.a), QString("8"));
    QCOMPARE(f.stock("A库", f.b), QString("7"));
    QCOMPARE(f.stock("A库", f.p), QString("1"));
    QCOMPARE(f.ledger(), (Rows{{"拆装出库", num, "A库", f.a, 0, 2, 2.5, 8},
                               {"拆装出库", num, "A库", f.b, 0, 3, 4, 7},
                               {"拆装入库", num, "A库", f.p, 1, 0, 20, 1}}));

    // Deleting it brings A and B back and takes P out again, below zero when
    // negative stock is allowed and P was sold meanwhile.
    G.ShopFKC = true;
    storeShopOptions(f.dm());
    f.dm().KC_Do("A库", f.p, Money::fromString("1"));
    QCOMPARE(int(deleteStockDoc(f.dm(), StockKind::Assembly, f.idOf("UCZ", num)).outcome), int(DeleteOutcome::Deleted));
    QCOMPARE(f.stock("A库", f.a), QString("10"));
    QCOMPARE(f.stock("A库", f.b), QString("10"));
    QCOMPARE(f.stock("A库", f.p), QString("-1"));
    QCOMPARE(f.ledger().mid(3), (Rows{{"拆装出库删除", num, "A库", f.a, 2, 0, 2.5, 10},
                                      {"拆装出库删除", num, "A库", f.b, 3, 0, 4, 10},
                                      {"拆装入库删除", num, "A库", f.p, 0, 1, 20, -1}}));
}

void TstStockSave::sameProductOnBothSides()
{
    // Taken out and put back in the same warehouse: the stock nets out, the
    // ledger shows both movements.
    Fixture f;
    f.dm().KC_Up("A库", f.a, Money::fromString("5"));
    const QString num = saveStockDoc(f.dm(), f.doc(StockKind::Assembly, {Fixture::line(f.a, "A", "2.5", "5")},
                                                   {Fixture::line(f.a, "A", "2.5", "5")}));
    QCOMPARE(f.stock("A库", f.a), QString("5"));
    QCOMPARE(f.ledger(), (Rows{{"拆装出库", num, "A库", f.a, 0, 5, 2.5, 0}, {"拆装入库", num, "A库", f.a, 5, 0, 2.5, 5}}));
}

void TstStockSave::stockTest_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("negativeAllowed");
    QTest::addColumn<QStringList>("out");    // quantities of A on the first side
    QTest::addColumn<QStringList>("in");     // quantities of A on the second side (assembly)
    QTest::addColumn<bool>("accepted");
    const int T = int(StockKind::Transfer), L = int(StockKind::Loss), O = int(StockKind::Overage), C = int(StockKind::Assembly);
    // The stock of A in A库 is 5.
    QTest::newRow("transfer of exactly the stock") << T << false << QStringList{"5"} << QStringList{} << true;
    QTest::newRow("transfer of one more") << T << false << QStringList{"6"} << QStringList{} << false;
    QTest::newRow("transfer of one more, negative allowed") << T << true << QStringList{"6"} << QStringList{} << true;
    // Two lines of 3 each draw on the same 5.
    QTest::newRow("two transfer lines of 3") << T << false << QStringList{"3", "3"} << QStringList{} << false;
    QTest::newRow("loss of exactly the stock") << L << false << QStringList{"5"} << QStringList{} << true;
    QTest::newRow("loss of one more") << L << false << QStringList{"5.0001"} << QStringList{} << false;
    QTest::newRow("two loss lines of 3") << L << false << QStringList{"3", "3"} << QStringList{} << false;
    QTest::newRow("overage is never tested") << O << false << QStringList{"1000"} << QStringList{} << true;
    QTest::newRow("assembly takes out the stock") << C << false << QStringList{"5"} << QStringList{"1"} << true;
    QTest::newRow("assembly takes out one more") << C << false << QStringList{"6"} << QStringList{"1"} << false;
    // What goes in is never tested, and never counts towards what comes out.
    QTest::newRow("assembly puts in any amount") << C << false << QStringList{"1"} << QStringList{"900"} << true;
    QTest::newRow("assembly: putting back does not cover taking out") << C << false << QStringList{"6"} << QStringList{"6"} << false;
}

void TstStockSave::stockTest()
{
    QFETCH(int, kind);
    QFETCH(bool, negativeAllowed);
    QFETCH(QStringList, out);
    QFETCH(QStringList, in);
    QFETCH(bool, accepted);
    Fixture f;
    G.ShopFKC = negativeAllowed;
    storeShopOptions(f.dm());
    f.dm().KC_Up("A库", f.a, Money::fromString("5"));
    QVector<StockLine> outLines, inLines;
    for (const QString &q : out) outLines << Fixture::line(f.a, "A", "1", q.toUtf8().constData());
    for (const QString &q : in) inLines << Fixture::line(f.a, "A", "1", q.toUtf8().constData());
    if (StockKind(kind) == StockKind::Assembly && inLines.isEmpty()) inLines << Fixture::line(f.p, "P", "1", "1");
    StockCheck refused;
    const QString num = saveStockDoc(f.dm(), f.doc(StockKind(kind), outLines, inLines), &refused);
    QCOMPARE(!num.isEmpty(), accepted);
    if (!accepted) {
        QCOMPARE(refused.message, QString("商品 A A 库存不足，不能出库！"));
        QCOMPARE(int(refused.field), int(StockField::Grid));
        QCOMPARE(refused.side, 0);
        QCOMPARE(refused.line, out.size() - 1);
        QCOMPARE(f.stock("A库", f.a), QString("5"));
        QCOMPARE(f.n("select count(*) from SList"), 0);
    }
}

void TstStockSave::checksInOrder_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("broken");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("message");
    const int T = int(StockKind::Transfer), L = int(StockKind::Loss), O = int(StockKind::Overage), C = int(StockKind::Assembly);
    const int Grid = int(StockField::Grid), Iss = int(StockField::Issuing), Rec = int(StockField::Receiving),
              Hand = int(StockField::Handler);
    QTest::newRow("transfer without lines") << T << "lines" << Grid << 0 << "商品信息 不能为空！ 请重新选择！";
    QTest::newRow("loss without lines") << L << "lines" << Grid << 0 << "商品信息 不能为空！ 请重新选择！";
    QTest::newRow("assembly without goods taken out") << C << "lines" << Grid << 0 << "出库商品信息 不能为空！ 请重新选择！";
    QTest::newRow("assembly without goods put in") << C << "in" << Grid << 1 << "入库商品信息 不能为空！ 请重新选择！";
    // A cell that could not be read or lies out of range is named, before the stock test.
    QTest::newRow("empty quantity") << T << "unread" << Grid << 0 << "第 1 行的 数量 不能为空，请重新录入！";
    QTest::newRow("unread cell on the side put in") << C << "unread-in" << Grid << 1 << "第 1 行的 单价 “.”不是有效的数值，请重新录入！";
    QTest::newRow("negative quantity") << O << "count:-1" << Grid << 0
                                       << "第 1 行的 数量 超出允许的范围（0 到 999999999.9999），请重新录入！";
    QTest::newRow("line amount beyond the range") << L << "price:99999999999;count:2" << Grid << 0
                                                  << "第 1 行的 金额 超出允许的范围（最大 99999999999.9999），请检查单价和数量！";
    QTest::newRow("no issuing warehouse, negative allowed") << T << "issuing+fkc" << Iss << 0 << "请选择 调出仓库！";
    QTest::newRow("no issuing warehouse") << T << "issuing" << Grid << 0 << "商品 A A 库存不足，不能出库！";
    QTest::newRow("no receiving warehouse") << T << "receiving" << Rec << 0 << "请选择 调入仓库！";
    QTest::newRow("same warehouse") << T << "same" << Rec << 0 << "不能在同一仓库里进行商品调拨！";
    QTest::newRow("loss: no warehouse, negative allowed") << L << "receiving+fkc" << Rec << 0 << "请选择 仓库名称！";
    // Without a warehouse the stock read is 0: the stock test speaks first.
    QTest::newRow("loss: no warehouse") << L << "receiving" << Grid << 0 << "商品 A A 库存不足，不能出库！";
    QTest::newRow("overage: no warehouse") << O << "receiving" << Rec << 0 << "请选择 仓库名称！";
    QTest::newRow("assembly: no warehouse to take out of") << C << "issuing+fkc" << Iss << 0 << "请选择 出库仓库！";
    QTest::newRow("assembly: no warehouse to put in") << C << "receiving" << Rec << 0 << "请选择 入库名称！";
    QTest::newRow("assembly: one warehouse for both is fine") << C << "same" << int(StockField::None) << 0 << "";
    QTest::newRow("transfer: no handler") << T << "handler" << Hand << 0 << "请选择 经手人！";
    QTest::newRow("overage: no handler") << O << "handler" << Hand << 0 << "请选择 经手人！";
}

void TstStockSave::checksInOrder()
{
    QFETCH(int, kind);
    QFETCH(QString, broken);
    QFETCH(int, field);
    QFETCH(int, side);
    QFETCH(QString, message);
    Fixture f;
    f.dm().KC_Up("A库", f.a, Money::fromString("5"));
    StockDoc d = f.doc(StockKind(kind), {Fixture::line(f.a, "A", "2.5", "1")}, {Fixture::line(f.p, "P", "20", "1")});
    if (broken.contains("fkc")) G.ShopFKC = true;
    storeShopOptions(f.dm());
    if (broken == "lines") d.sides[0].clear();
    if (broken == "in") d.sides[1].clear();
    if (broken == "unread") d.sides[0][0].unread = "第 1 行的 数量 不能为空，请重新录入！";
    if (broken == "unread-in") d.sides[1][0].unread = "第 1 行的 单价 “.”不是有效的数值，请重新录入！";
    if (broken.startsWith("issuing")) d.issuing.clear();
    if (broken.startsWith("receiving")) d.warehouse.clear();
    if (broken == "same") d.warehouse = d.issuing;
    if (broken == "handler") d.handler.clear();
    for (const QString &part : broken.split(';')) {
        if (part.startsWith("count:")) d.sides[0][0].count = Money::fromString(part.mid(6));
        if (part.startsWith("price:")) d.sides[0][0].price = Money::fromString(part.mid(6));
    }
    const StockCheck c = checkStockDoc(f.dm(), d);
    QCOMPARE(int(c.field), field);
    QCOMPARE(c.message, message);
    QCOMPARE(c.side, side);
    // The save refuses the same way and writes nothing.
    StockCheck refused;
    const QString num = saveStockDoc(f.dm(), d, &refused);
    QCOMPARE(num.isEmpty(), field != int(StockField::None));
    if (!num.isEmpty()) return;
    QCOMPARE(refused.message, message);
    QCOMPARE(f.n("select count(*) from SList"), 0);
    QCOMPARE(f.n("select count(*) from UKC"), 1);
}

void TstStockSave::deletionBelowZero_data()
{
    QTest::addColumn<bool>("negativeAllowed");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("negative stock not allowed: refused") << false << false;
    QTest::newRow("negative stock allowed: goes through") << true << true;
}

void TstStockSave::deletionBelowZero()
{
    // A transfer of 3 from A库 to B库, whose goods then left B库 (2 of them lost).
    QFETCH(bool, negativeAllowed);
    QFETCH(bool, deleted);
    Fixture f;
    f.dm().KC_Up("A库", f.a, Money::fromString("5"));
    const QString num = saveStockDoc(f.dm(), f.doc(StockKind::Transfer, {Fixture::line(f.a, "A", "2.5", "3")}));
    StockDoc loss = f.doc(StockKind::Loss, {Fixture::line(f.a, "A", "2.5", "2")});
    loss.warehouse = "B库";
    saveStockDoc(f.dm(), loss);
    const Rows before = f.ledger();

    G.ShopFKC = negativeAllowed;
    storeShopOptions(f.dm());
    const DeleteResult r = deleteStockDoc(f.dm(), StockKind::Transfer, f.idOf("UDB", num));
    if (!deleted) {
        QCOMPARE(int(r.outcome), int(DeleteOutcome::Refused));
        QCOMPARE(r.message, QString("商品 A A 在仓库 B库 的库存为 1，减少 3 后将小于零，不能删除！"));
        QCOMPARE(f.dm().value("select theDel from UDB").toString(), QString("否"));
        QCOMPARE(f.ledger(), before);
        QCOMPARE(f.stock("A库", f.a), QString("2"));
        QCOMPARE(f.stock("B库", f.a), QString("1"));
    } else {
        QCOMPARE(int(r.outcome), int(DeleteOutcome::Deleted));
        QCOMPARE(f.stock("A库", f.a), QString("5"));
        QCOMPARE(f.stock("B库", f.a), QString("-2"));
        QCOMPARE(f.ledger().last(), (QVariantList{"调拨入库删除", num, "B库", f.a, 0, 3, 2.5, -2}));
    }
}

void TstStockSave::assemblyWhoseProductWasSold_data()
{
    QTest::addColumn<QString>("sold");   // of the 2 P put in
    QTest::newRow("all of it sold") << "2";
    QTest::newRow("half of it sold") << "1";
}

void TstStockSave::assemblyWhoseProductWasSold()
{
    // P assembled from A, then sold: deleting the assembly would put A back and
    // take P out of a warehouse that no longer holds enough of it. The goods
    // put in are tested as well as the goods taken out.
    QFETCH(QString, sold);
    Fixture f;
    f.dm().KC_Up("A库", f.a, Money::fromString("10"));
    const QString num = saveStockDoc(f.dm(), f.doc(StockKind::Assembly, {Fixture::line(f.a, "A", "2.5", "4")},
                                                   {Fixture::line(f.p, "P", "5", "2")}));
    TradeDoc sale;
    sale.kind = TradeKind::Sales;
    sale.uid = f.t.addPartner("顾客", "客户");
    sale.partnerName = "顾客";
    sale.myDate = "2012-11-17";
    sale.warehouse = "A库";
    sale.handler = "张三";
    sale.account = "现金";
    sale.person = "张三";
    sale.paidText = "0";
    TradeLine l;
    l.sid = f.p;
    l.price = Money::fromString("30");
    l.count = Money::fromString(sold);
    sale.lines << l;
    QVERIFY(!saveTradeDoc(f.dm(), sale).isEmpty());
    const QString left = (Money::fromString("2") - Money::fromString(sold)).toString();
    QCOMPARE(f.stock("A库", f.p), left);
    const Rows stock = f.dm().rows("select WName, SID, theCount from UKC order by ID");
    const Rows ledger = f.ledger();

    const DeleteResult r = deleteStockDoc(f.dm(), StockKind::Assembly, f.idOf("UCZ", num));
    QCOMPARE(int(r.outcome), int(DeleteOutcome::Refused));
    QCOMPARE(r.message, QString("商品 P P 在仓库 A库 的库存为 %1，减少 2 后将小于零，不能删除！").arg(left));
    QCOMPARE(f.dm().value("select theDel from UCZ").toString(), QString("否"));
    QCOMPARE(f.dm().rows("select WName, SID, theCount from UKC order by ID"), stock);
    QCOMPARE(f.ledger(), ledger);
    QCOMPARE(f.stock("A库", f.a), QString("6"));
}

void TstStockSave::deletedTwiceOnlyOnce()
{
    Fixture f;
    const QString num = saveStockDoc(f.dm(), f.doc(StockKind::Overage, {Fixture::line(f.a, "A", "1", "4")}));
    const int id = f.idOf("UBY", num);
    QCOMPARE(int(deleteStockDoc(f.dm(), StockKind::Overage, id).outcome), int(DeleteOutcome::Deleted));
    // A second deletion (another window, another seat) takes nothing back again.
    const DeleteResult again = deleteStockDoc(f.dm(), StockKind::Overage, id);
    QCOMPARE(int(again.outcome), int(DeleteOutcome::AlreadyDeleted));
    QCOMPARE(f.stock("A库", f.a), QString("0"));
    QCOMPARE(f.n("select count(*) from SList"), 2);
    QCOMPARE(int(deleteStockDoc(f.dm(), StockKind::Overage, 999).outcome), int(DeleteOutcome::NotFound));
}

void TstStockSave::fullGridsSavedAndDeleted_data()
{
    QTest::addColumn<int>("kind");
    // A grid holds 99 lines: a transfer moves each line twice, an assembly
    // has a grid of 99 on each side; the deletion takes back all of it at once.
    QTest::newRow("transfer of 99 lines") << int(StockKind::Transfer);
    QTest::newRow("assembly of 99 lines out and 99 in") << int(StockKind::Assembly);
}

void TstStockSave::fullGridsSavedAndDeleted()
{
    QFETCH(int, kind);
    const StockKind k = StockKind(kind);
    const bool transfer = k == StockKind::Transfer;
    const int Lines = 99;
    Fixture f;
    // Product i: 1000 in A库; i taken out (to B库 by the transfer), 2i put in
    // by the assembly.
    QList<int> sids;
    QVector<StockLine> out, in;
    for (int i = 1; i <= Lines; ++i) {
        const int sid = f.t.addProduct(QString("G%1").arg(i));
        sids << sid;
        f.dm().KC_Up("A库", sid, Money::fromString("1000"));
        out << Fixture::line(sid, "G", "1.5", QByteArray::number(i).constData());
        in << Fixture::line(sid, "G", "3", QByteArray::number(2 * i).constData());
    }
    const QString num = saveStockDoc(f.dm(), transfer ? f.doc(k, out) : f.doc(k, out, in));
    QVERIFY(!num.isEmpty());

    const StockKindInfo &info = stockKind(k);
    auto lines = [&](int side) {
        QStringList l;
        for (const QVariantList &r : f.dm().rows(QString("select theBH, SID, theCount from %1 where theNum=? order by theBH")
                                                     .arg(info.sides[side].lines),
                                                 {num}))
            l << QString("%1|%2|%3").arg(r[0].toInt()).arg(r[1].toInt()).arg(Money::fromVariant(r[2]).toString());
        return l;
    };
    // The ledger rows of the document from the `from`-th on: word, warehouse, product, in, out, stock after.
    auto ledger = [&](int from) {
        QStringList l;
        for (const QVariantList &r : f.dm().rows("select theType, WName, SID, ICount, OCount, WCount from SList "
                                                 "where theNum=? order by ID", {num}).mid(from))
            l << QStringList{r[0].toString(), r[1].toString(), r[2].toString(), Money::fromVariant(r[3]).toString(),
                             Money::fromVariant(r[4]).toString(), Money::fromVariant(r[5]).toString()}.join('|');
        return l;
    };
    auto row = [](const char *word, const char *wh, int sid, int countIn, int countOut, int after) {
        return QString("%1|%2|%3|%4|%5|%6").arg(QString::fromUtf8(word), QString::fromUtf8(wh)).arg(sid).arg(countIn)
            .arg(countOut).arg(after);
    };
    auto stock = [&](const QString &wh) {
        QStringList l;
        for (int sid : sids) l << f.stock(wh, sid);
        return l;
    };

    QStringList outLines, inLines, saved, deleted, afterSave, inB;
    for (int i = 1; i <= Lines; ++i) {
        const int sid = sids[i - 1];
        outLines << QString("%1|%2|%3").arg(i).arg(sid).arg(i);
        inLines << QString("%1|%2|%3").arg(i).arg(sid).arg(2 * i);
        afterSave << QString::number(transfer ? 1000 - i : 1000 + i);
        inB << QString::number(i);
    }
    if (transfer) {
        for (int i = 1; i <= Lines; ++i) {
            saved << row("调拨出库", "A库", sids[i - 1], 0, i, 1000 - i) << row("调拨入库", "B库", sids[i - 1], i, 0, i);
            deleted << row("调拨出库删除", "A库", sids[i - 1], i, 0, 1000) << row("调拨入库删除", "B库", sids[i - 1], 0, i, 0);
        }
    } else {
        for (int i = 1; i <= Lines; ++i) {
            saved << row("拆装出库", "A库", sids[i - 1], 0, i, 1000 - i);
            deleted << row("拆装出库删除", "A库", sids[i - 1], i, 0, 1000 + 2 * i);
        }
        for (int i = 1; i <= Lines; ++i) {
            saved << row("拆装入库", "A库", sids[i - 1], 2 * i, 0, 1000 + i);
            deleted << row("拆装入库删除", "A库", sids[i - 1], 0, 2 * i, 1000);
        }
    }

    QCOMPARE(lines(0), outLines);
    if (!transfer) QCOMPARE(lines(1), inLines);
    QCOMPARE(saved.size(), 2 * Lines);
    QCOMPARE(ledger(0), saved);
    QCOMPARE(stock("A库"), afterSave);
    if (transfer) QCOMPARE(stock("B库"), inB);

    QCOMPARE(int(deleteStockDoc(f.dm(), k, f.idOf(info.head, num)).outcome), int(DeleteOutcome::Deleted));
    QCOMPARE(ledger(2 * Lines), deleted);
    QCOMPARE(f.n("select count(*) from SList"), 4 * Lines);
    QCOMPARE(stock("A库"), QStringList(Lines, "1000"));
    if (transfer) QCOMPARE(stock("B库"), QStringList(Lines, "0"));
    // The lines stay with the deleted document.
    QCOMPARE(lines(0), outLines);
    if (!transfer) QCOMPARE(lines(1), inLines);
}

void TstStockSave::failurePartWayLeavesNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("failingTable");
    const int kinds[] = {int(StockKind::Transfer), int(StockKind::Loss), int(StockKind::Overage), int(StockKind::Assembly)};
    const char *names[] = {"transfer", "loss", "overage", "assembly"};
    for (int i = 0; i < 4; ++i) {
        // The second line row, and the second ledger row.
        const char *lines[] = {"UDB_List", "UBS_List", "UBY_List", "UCZ_I_List"};
        QTest::newRow(QByteArray(names[i]) + ": line table") << kinds[i] << lines[i];
        QTest::newRow(QByteArray(names[i]) + ": ledger") << kinds[i] << "SList";
    }
}

void TstStockSave::failurePartWayLeavesNothing()
{
    QFETCH(int, kind);
    QFETCH(QString, failingTable);
    Fixture f;
    f.dm().KC_Up("A库", f.a, Money::fromString("10"));
    f.dm().KC_Up("A库", f.b, Money::fromString("10"));
    const Rows stock = f.dm().rows("select WName, SID, theCount from UKC order by ID");
    // The engine refuses the second row written to that table in this save.
    f.dm().mySQL(QString("insert into %1(theNum) values('old')").arg(failingTable));
    f.t.failInserts(failingTable, "disk full", 2);
    const StockKind k = StockKind(kind);
    const StockDoc d = k == StockKind::Assembly
                           ? f.doc(k, {Fixture::line(f.a, "A", "1", "1")}, {Fixture::line(f.p, "P", "1", "1"), Fixture::line(f.b, "B", "1", "1")})
                           : f.doc(k, {Fixture::line(f.a, "A", "1", "1"), Fixture::line(f.b, "B", "1", "1")});
    try {
        saveStockDoc(f.dm(), d);
        QFAIL("the save should have failed");
    } catch (const DbError &e) {
        QVERIFY(e.text().contains("disk full"));
    }
    const StockKindInfo &info = stockKind(k);
    QCOMPARE(f.n(QString("select count(*) from %1").arg(info.head)), 0);
    for (const StockSide &s : info.sides) QCOMPARE(f.n(QString("select count(*) from %1 where theNum<>'old'").arg(s.lines)), 0);
    QCOMPARE(f.n("select count(*) from SList where theNum<>'old'"), 0);
    QCOMPARE(f.dm().rows("select WName, SID, theCount from UKC order by ID"), stock);
    // The number was not used up.
    f.t.stopFailing(failingTable);
    QCOMPARE(saveStockDoc(f.dm(), d), info.prefix + "121116-0001");
}

void TstStockSave::deletionFailurePartWayLeavesNothing()
{
    Fixture f;
    G.ShopFKC = true;
    storeShopOptions(f.dm());
    const QString num = saveStockDoc(f.dm(), f.doc(StockKind::Assembly,
                                                   {Fixture::line(f.a, "A", "1", "2"), Fixture::line(f.b, "B", "1", "3")},
                                                   {Fixture::line(f.p, "P", "1", "1")}));
    const Rows stock = f.dm().rows("select WName, SID, theCount from UKC order by ID");
    const Rows ledger = f.ledger();
    // The last reversal row is refused.
    f.t.failInserts("SList", "disk full", 0, "new.theType='拆装入库删除'");
    try {
        deleteStockDoc(f.dm(), StockKind::Assembly, f.idOf("UCZ", num));
        QFAIL("the deletion should have failed");
    } catch (const DbError &e) {
        QVERIFY(e.text().contains("disk full"));
    }
    QCOMPARE(f.dm().value("select theDel from UCZ").toString(), QString("否"));
    QCOMPARE(f.dm().rows("select WName, SID, theCount from UKC order by ID"), stock);
    QCOMPARE(f.ledger(), ledger);
}

QTEST_GUILESS_MAIN(TstStockSave)
#include "tst_stocksave.moc"
