// Saving the four trade documents: checks, postings and the all-or-nothing rule.
#include "data/dberror.h"
#include "data/globals.h"
#include "data/words.h"
#include "testdb.h"
#include "trade/tradedoc.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

class TstTradeSave : public QObject {
    Q_OBJECT
private slots:
    void init();
    void purchaseReceiptPostsEverything();
    void sameProductOnTwoLines();
    void paymentVariants_data();
    void paymentVariants();
    void checksInOrder_data();
    void checksInOrder();
    void preSaveAndReopen();
    void purchasePriceWriteBack();
    void salesDeliveryDiscountAndCost();
    void salesStockTest_data();
    void salesStockTest();
    void purchaseReturn();
    void salesReturn();
    void failurePartWayLeavesNothing_data();
    void failurePartWayLeavesNothing();
    void costMovesOnceWhenGoodsArrive_data();
    void costMovesOnceWhenGoodsArrive();
    void refundsMoveMoneyTheRightWay_data();
    void refundsMoveMoneyTheRightWay();
    void balancesStayExactInTheTable();
    void preSavedSalesDelivery();
    void anotherSeatWritingMakesTheSaveWait();
    void stockIsReadAgainUnderTheLock();
    void busyBooksAreToldAndNothingIsWritten();

private:
    struct Fixture;
};

struct TstTradeSave::Fixture {
    TestDb t;
    int supplier = t.addPartner("大华商行", "供应商");
    int customer = t.addPartner("顺发超市", "客户");
    int cola = t.addProduct("可乐", Money::fromString("2.5"), Money::fromString("3.5"));
    int tea = t.addProduct("茶叶", Money::fromString("10"), Money::fromString("15"));
    frmDM &dm() { return t.dm(); }

    TradeDoc doc(TradeKind kind, QVector<std::tuple<int, const char *, const char *>> lines, const QString &paid)
    {
        TradeDoc d;
        d.kind = kind;
        d.uid = (kind == TradeKind::Purchase || kind == TradeKind::PurchaseReturn) ? supplier : customer;
        d.partnerName = "伙伴";
        d.myDate = "2012-11-17";
        d.warehouse = "一号库";
        d.handler = "张三";
        d.account = "现金";
        d.person = "李四";
        d.paidText = paid;
        for (const auto &[sid, price, count] : lines) {
            TradeLine l;
            l.sid = sid;
            l.code = sid == cola ? "P001" : "P002";
            l.name = sid == cola ? "可乐" : "茶叶";
            l.price = Money::fromString(price);
            l.count = Money::fromString(count);
            d.lines << l;
        }
        return d;
    }
    Money m(const QString &sql, const QVariantList &b = {}) { return Money::fromVariant(dm().value(sql, b)); }
    int n(const QString &sql, const QVariantList &b = {}) { return dm().value(sql, b).toInt(); }
};

void TstTradeSave::init()
{
    setSession("2012-11-16");
    G.ShopJH = false;
    G.ShopXS = false;
    G.ShopFKC = false;
    G.ShopCB = "采购单价";
}

void TstTradeSave::purchaseReceiptPostsEverything()
{
    Fixture f;
    TradeDoc d = f.doc(TradeKind::Purchase, {{f.cola, "2.5", "3"}, {f.tea, "10", "1"}}, "10");
    QVERIFY(checkTradeDoc(f.dm(), d).ok());
    const QString num = saveTradeDoc(f.dm(), d);
    QCOMPARE(num, QString("CG121116-0001"));

    const auto h = f.dm().rows("select theDate,myDate,UID,MName,WName,AName,UName,IName,theHJ,theSJ,theYF,theCount,theDX,theYC,theDel from UJH");
    QCOMPARE(h.size(), 1);
    QCOMPARE(h[0], (QVariantList{"2012-11-16", "2012-11-17", f.supplier, "伙伴", "一号库", "现金", "张三", "系统管理员",
                                  17.5, 10, 7.5, 4, "壹拾柒元伍角", "否", "否"}));
    QCOMPARE(f.dm().rows("select theBH, SID, thePrice, theCount, theSum from UJH_List order by ID"),
             (QVector<QVariantList>{{1, f.cola, 2.5, 3, 7.5}, {2, f.tea, 10, 1, 10}}));
    QCOMPARE(f.dm().rows("select theNum, theMoney, AName, theFKR, FKDate from UJH_FK"),
             (QVector<QVariantList>{{num, 10, "现金", "李四", "2012-11-16"}}));
    QCOMPARE(f.m("select theYF from SUnits where ID=?", {f.supplier}).toString(), QString("7.5"));
    QCOMPARE(f.dm().rows("select theType, theNum, SID, ICount, OCount, SPrice, WCount from SList order by ID"),
             (QVector<QVariantList>{{"采购入库", num, f.cola, 3, 0, 2.5, 3}, {"采购入库", num, f.tea, 1, 0, 10, 1}}));
    QCOMPARE(f.dm().rows("select theType, theNum, theIn, theOut, MName, UName, IName from UList"),
             (QVector<QVariantList>{{"采购入库录入", num, 0, 10, "现金", "李四", "系统管理员"}}));
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("3"));
    QCOMPARE(saveTradeDoc(f.dm(), d), QString("CG121116-0002"));
}

void TstTradeSave::sameProductOnTwoLines()
{
    Fixture f;
    G.ShopCB = Words::CostMovingAverage;
    storeShopOptions(f.dm());
    // Each ledger row shows the stock after its own line; the cost moves line by line.
    const QString in = saveTradeDoc(f.dm(), f.doc(TradeKind::Purchase, {{f.cola, "2", "3"}, {f.tea, "10", "1"}, {f.cola, "4", "3"}}, "0"));
    QCOMPARE(f.dm().rows("select SID, ICount, WCount from SList order by ID"),
             (QVector<QVariantList>{{f.cola, 3, 3}, {f.tea, 1, 1}, {f.cola, 3, 6}}));
    QCOMPARE(f.m("select theCB from SShop where ID=?", {f.cola}).toString(), QString("3"));
    // Two lines of 4 and 2 draw on the same 6: one more is refused.
    TradeDoc d = f.doc(TradeKind::Sales, {{f.cola, "8", "4"}, {f.cola, "8", "3"}}, "0");
    const TradeCheck c = checkTradeDoc(f.dm(), d);
    QCOMPARE(c.line, 1);
    d.lines[1].count = Money::fromString("2");
    const QString out = saveTradeDoc(f.dm(), d);
    QCOMPARE(f.dm().rows("select OCount, WCount from SList where theNum=? order by ID", {out}),
             (QVector<QVariantList>{{4, 2}, {2, 0}}));
    QVERIFY(in != out);
}

void TstTradeSave::paymentVariants_data()
{
    QTest::addColumn<QString>("paid");
    QTest::addColumn<int>("settlements");
    QTest::addColumn<int>("cashRows");
    QTest::addColumn<QString>("payable");
    QTest::newRow("paid in full") << "17.5" << 1 << 1 << "0";
    QTest::newRow("nothing paid") << "0" << 0 << 0 << "17.5";
    // "0.0" is not the text "0": a settlement of 0 is written, but no money moved.
    QTest::newRow("zero typed as 0.0") << "0.0" << 1 << 0 << "17.5";
    QTest::newRow("part paid") << "0.3" << 1 << 1 << "17.2";
}

void TstTradeSave::paymentVariants()
{
    QFETCH(QString, paid);
    QFETCH(int, settlements);
    QFETCH(int, cashRows);
    QFETCH(QString, payable);
    Fixture f;
    saveTradeDoc(f.dm(), f.doc(TradeKind::Purchase, {{f.cola, "2.5", "3"}, {f.tea, "10", "1"}}, paid));
    QCOMPARE(f.n("select count(*) from UJH_FK"), settlements);
    QCOMPARE(f.n("select count(*) from UList"), cashRows);
    QCOMPARE(f.m("select theYF from SUnits where ID=?", {f.supplier}).toString(), payable);
    QCOMPARE(f.m("select theYF from UJH").toString(), payable);
}

void TstTradeSave::checksInOrder_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("broken");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");
    const int P = int(TradeKind::Purchase), S = int(TradeKind::Sales), PR = int(TradeKind::PurchaseReturn),
              SR = int(TradeKind::SalesReturn);
    QTest::newRow("no supplier") << P << "partner" << int(TradeField::Partner) << "供应商不能为空！ 请在供应商处 按回车 选择 供应商！";
    QTest::newRow("no customer") << S << "partner" << int(TradeField::Partner) << "客户名称不能为空！ 请在单位名称处 按回车 选择 单位名称！";
    QTest::newRow("return: no supplier") << PR << "partner" << int(TradeField::Partner) << "供应商 不能为空！ 请在供应商处 按回车 选择 供应商！";
    QTest::newRow("return: no customer") << SR << "partner" << int(TradeField::Partner) << "客户名称 不能为空！ 请在客户名称处 按回车 选择 客户名称！";
    QTest::newRow("no warehouse") << P << "warehouse" << int(TradeField::Warehouse) << "请选择 仓库名称！";
    QTest::newRow("no handler") << S << "handler" << int(TradeField::Handler) << "请选择 经手人！";
    QTest::newRow("no lines") << P << "lines" << int(TradeField::Grid) << "商品信息 不能为空！ 请重新选择！";
    QTest::newRow("payment empty") << P << "paid" << int(TradeField::Paid) << "付款金额 不能为空，请录入 付款金额！";
    QTest::newRow("received empty") << S << "paid" << int(TradeField::Paid) << "收款金额 不能为空，请录入 收款金额！";
    QTest::newRow("overpaid") << P << "over" << int(TradeField::Paid) << "付款金额 不能大于合计金额，请重新录入 付款金额！";
    QTest::newRow("over-received") << S << "over" << int(TradeField::Paid) << "实收金额 不能大于 合计金额，请重新录入 实收金额！";
    QTest::newRow("return over-refund") << PR << "over" << int(TradeField::Paid) << "收款金额 不能小于零，请重新录入 收款金额！";
    QTest::newRow("sales return over-refund") << SR << "over" << int(TradeField::Paid) << "付款金额 不能小于零，请重新录入 付款金额！";
    QTest::newRow("lone dot") << P << "dot" << int(TradeField::Paid) << "付款金额 “.”不是有效的数值，请重新录入！";
    // What the payment box's key filter stops is refused again when pasted.
    QTest::newRow("pasted negative payment") << P << "paid:-6" << int(TradeField::Paid) << "付款金额 不能小于零，请重新录入！";
    QTest::newRow("pasted negative receipt") << S << "paid:-0.5" << int(TradeField::Paid) << "收款金额 不能小于零，请重新录入！";
    QTest::newRow("two decimal points") << PR << "paid:1.2.3" << int(TradeField::Paid) << "收款金额 “1.2.3”不是有效的数值，请重新录入！";
    QTest::newRow("five decimals") << SR << "paid:0.00001" << int(TradeField::Paid) << "付款金额 最多只能有四位小数，请重新录入！";
    QTest::newRow("payment beyond the range") << P << "paid:123456789012" << int(TradeField::Paid)
                                              << "付款金额 “123456789012”超出允许的范围（最大 99999999999.9999），请重新录入！";
    // A cell the screen could not read is refused after the header checks …
    QTest::newRow("unread cell") << P << "unread" << int(TradeField::Grid) << "第 1 行的 数量 不能为空，请重新录入！";
    // … so a missing partner is named first.
    QTest::newRow("no supplier before the unread cell") << P << "unread+partner" << int(TradeField::Partner)
                                                        << "供应商不能为空！ 请在供应商处 按回车 选择 供应商！";
    QTest::newRow("no handler before the unread cell") << S << "unread+handler" << int(TradeField::Handler) << "请选择 经手人！";
    // Values out of range, however the document was made.
    QTest::newRow("negative quantity") << P << "count:-5" << int(TradeField::Grid)
                                       << "第 1 行的 数量 超出允许的范围（0 到 999999999.9999），请重新录入！";
    QTest::newRow("quantity of a thousand million") << S << "count:1000000000" << int(TradeField::Grid)
                                                    << "第 1 行的 数量 超出允许的范围（0 到 999999999.9999），请重新录入！";
    QTest::newRow("negative price") << SR << "price:-1" << int(TradeField::Grid)
                                    << "第 1 行的 单价 超出允许的范围（0 到 99999999999.9999），请重新录入！";
    QTest::newRow("line amount beyond the range") << PR << "price:99999999999;count:2" << int(TradeField::Grid)
                                                  << "第 1 行的 金额 超出允许的范围（最大 99999999999.9999），请检查单价和数量！";
    QTest::newRow("discount above 999") << S << "zk:1000" << int(TradeField::Grid)
                                        << "第 1 行的 折扣 超出允许的范围（0 到 999），请重新录入！";
    QTest::newRow("total beyond the range") << P << "twice:60000000000" << int(TradeField::Grid)
                                            << "合计金额 超出允许的范围（最大 99999999999.9999），请检查单价和数量！";
    QTest::newRow("no account") << P << "account" << int(TradeField::Account) << "请选择 付款方式！";
    QTest::newRow("no receiving account") << S << "account" << int(TradeField::Account) << "请选择 收款方式！";
    QTest::newRow("no payer") << P << "person" << int(TradeField::Person) << "请选择 付款人！";
    QTest::newRow("no receiver") << PR << "person" << int(TradeField::Person) << "请选择 收款人！";
}

void TstTradeSave::checksInOrder()
{
    QFETCH(int, kind);
    QFETCH(QString, broken);
    QFETCH(int, field);
    QFETCH(QString, message);
    Fixture f;
    G.ShopFKC = true;
    storeShopOptions(f.dm());
    TradeDoc d = f.doc(TradeKind(kind), {{f.cola, "2", "1"}}, "1");
    if (broken == "partner") d.uid = 0;
    if (broken == "warehouse") d.warehouse.clear();
    if (broken == "handler") d.handler.clear();
    if (broken == "lines") d.lines.clear();
    if (broken == "paid") d.paidText.clear();
    if (broken == "over") d.paidText = "2.0001";
    if (broken == "dot") d.paidText = ".";
    if (broken.startsWith("paid:")) d.paidText = broken.mid(5);
    if (broken.startsWith("unread")) {
        d.lines[0].unread = "第 1 行的 数量 不能为空，请重新录入！";
        d.lines[0].unreadColumn = 6;
        if (broken.endsWith("+partner")) d.uid = 0;
        if (broken.endsWith("+handler")) d.handler.clear();
    }
    for (const QString &part : broken.split(';')) {
        const QString v = part.section(':', 1);
        if (part.startsWith("count:")) d.lines[0].count = Money::fromString(v);
        if (part.startsWith("price:")) d.lines[0].price = Money::fromString(v);
        if (part.startsWith("zk:")) d.lines[0].zk = v.toInt();
    }
    if (broken.startsWith("twice:")) {
        d.lines[0].price = Money::fromString(broken.mid(6));
        d.lines << d.lines[0];
        d.paidText = "0";
    }
    if (broken == "account") d.account.clear();
    if (broken == "person") d.person.clear();
    const TradeCheck c = checkTradeDoc(f.dm(), d);
    QCOMPARE(int(c.field), field);
    QCOMPARE(c.message, message);
    // The save runs the same checks and writes nothing when they refuse.
    TradeCheck refused;
    QCOMPARE(saveTradeDoc(f.dm(), d, &refused), QString());
    QCOMPARE(refused.message, message);
    const TradeKindInfo &k = tradeKind(TradeKind(kind));
    for (const QString &t : {k.head, k.lines, k.settleTable, QString("UKC"), QString("SList"), QString("UList")})
        QCOMPARE(f.n(QString("select count(*) from %1").arg(t)), 0);
}

void TstTradeSave::preSaveAndReopen()
{
    Fixture f;
    G.ShopCB = "移动加权平均";
    storeShopOptions(f.dm());
    f.dm().mySQL("update SShop set theCB=5 where ID=?", {f.cola});
    TradeDoc d = f.doc(TradeKind::Purchase, {{f.cola, "7", "10"}}, "70");
    d.preSave = true;
    const QString num = saveTradeDoc(f.dm(), d);
    QCOMPARE(f.dm().value("select theYC from UJH").toString(), QString("是"));
    QCOMPARE(f.n("select count(*) from UJH_List"), 1);
    for (const char *t : {"UKC", "SList", "UJH_FK", "UList"}) QCOMPARE(f.n(QString("select count(*) from %1").arg(t)), 0);
    QCOMPARE(f.m("select theYF from SUnits where ID=?", {f.supplier}), Money());
    // Nothing arrived in stock, so the cost price stays.
    QCOMPARE(f.m("select theCB from SShop where ID=?", {f.cola}).toString(), QString("5"));

    TradeDoc again;
    QVERIFY(loadTradeDoc(f.dm(), TradeKind::Purchase, num, &again));
    QCOMPARE(again.num, num);
    QCOMPARE(again.lines.size(), 1);
    QCOMPARE(again.lines[0].count.toString(), QString("10"));
    QCOMPARE(again.warehouse, QString("一号库"));
    QCOMPARE(again.myDate, QString("2012-11-17"));
    again.person = "李四";
    again.paidText = "50";
    again.lines[0].count = Money::fromString("12");
    setSession("2012-11-20"); // the entry date and number stay those of the first save
    QCOMPARE(saveTradeDoc(f.dm(), again), num);
    QCOMPARE(f.dm().rows("select theNum, theDate, theYC, theHJ, theYF from UJH"),
             (QVector<QVariantList>{{num, "2012-11-16", "否", 84, 34}}));
    QCOMPARE(f.n("select count(*) from UJH_List"), 1);
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("12"));
    QCOMPARE(f.m("select theYF from SUnits where ID=?", {f.supplier}).toString(), QString("34"));
    // A posted document cannot be saved again.
    QVERIFY_THROWS_EXCEPTION(DbError, saveTradeDoc(f.dm(), again));
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("12"));
}

void TstTradeSave::purchasePriceWriteBack()
{
    Fixture f;
    saveTradeDoc(f.dm(), f.doc(TradeKind::Purchase, {{f.cola, "2.8", "1"}}, "2.8"));
    QCOMPARE(f.m("select theJH from SShop where ID=?", {f.cola}).toString(), QString("2.5"));
    G.ShopJH = true;
    storeShopOptions(f.dm());
    saveTradeDoc(f.dm(), f.doc(TradeKind::Purchase, {{f.cola, "2.8", "1"}}, "2.8"));
    QCOMPARE(f.m("select theJH from SShop where ID=?", {f.cola}).toString(), QString("2.8"));
    // Under the purchase-price method the cost follows the written-back price.
    QCOMPARE(f.m("select theCB from SShop where ID=?", {f.cola}).toString(), QString("2.8"));
}

void TstTradeSave::salesDeliveryDiscountAndCost()
{
    Fixture f;
    G.ShopFKC = true;
    G.ShopXS = true;
    storeShopOptions(f.dm());
    f.dm().mySQL("update SShop set theCB=12.5 where ID=?", {f.tea});
    TradeDoc d = f.doc(TradeKind::Sales, {{f.tea, "10", "3"}}, "20");
    d.lines[0].zk = 90;
    const QString num = saveTradeDoc(f.dm(), d);
    QCOMPARE(num, QString("XS121116-0001"));
    QCOMPARE(f.dm().rows("select theZK, thePrice, theCount, theSum, theJJ, theBH from UXS_List"),
             (QVector<QVariantList>{{90, 10, 3, 27, 12.5, 1}}));
    QCOMPARE(f.dm().rows("select theHJ, theSJ, theYS, theYC from UXS"), (QVector<QVariantList>{{27, 20, 7, "否"}}));
    QCOMPARE(f.m("select theYS from SUnits where ID=?", {f.customer}).toString(), QString("7"));
    QCOMPARE(f.dm().rows("select theType, ICount, OCount, WCount from SList"), (QVector<QVariantList>{{"销售出库", 0, 3, -3}}));
    QCOMPARE(f.dm().rows("select theType, theIn, theOut from UList"), (QVector<QVariantList>{{"销售出库录入", 20, 0}}));
    QCOMPARE(f.dm().rows("select theMoney, theSKR, SKDate from UXS_SK"), (QVector<QVariantList>{{20, "李四", "2012-11-16"}}));
    QCOMPARE(f.m("select theXS from SShop where ID=?", {f.tea}).toString(), QString("10"));

    // No cost price stored: the purchase price is recorded instead.
    f.dm().mySQL("update SShop set theCB=NULL where ID=?", {f.cola});
    saveTradeDoc(f.dm(), f.doc(TradeKind::Sales, {{f.cola, "4", "1"}}, "0"));
    QCOMPARE(f.m("select theJJ from UXS_List where SID=?", {f.cola}).toString(), QString("2.5"));
    QCOMPARE(f.dm().value("select count(*) from UXS_SK").toInt(), 1);
}

void TstTradeSave::salesStockTest_data()
{
    QTest::addColumn<bool>("negativeAllowed");
    QTest::addColumn<QStringList>("counts");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("stockAfter");
    QTest::newRow("all of the stock") << false << QStringList{"5"} << true << "0";
    QTest::newRow("one more than the stock") << false << QStringList{"6"} << false << "5";
    QTest::newRow("negative stock allowed") << true << QStringList{"6"} << true << "-1";
    // Two lines of one product draw on the same five units.
    QTest::newRow("two lines together too many") << false << QStringList{"3", "3"} << false << "5";
    QTest::newRow("two lines within the stock") << false << QStringList{"3", "2"} << true << "0";
}

void TstTradeSave::salesStockTest()
{
    QFETCH(bool, negativeAllowed);
    QFETCH(QStringList, counts);
    QFETCH(bool, accepted);
    QFETCH(QString, stockAfter);
    for (TradeKind kind : {TradeKind::Sales, TradeKind::PurchaseReturn}) {
        Fixture f;
        G.ShopFKC = negativeAllowed;
        storeShopOptions(f.dm());
        f.dm().KC_Up("一号库", f.cola, Money::fromString("5"));
        QVector<std::tuple<int, const char *, const char *>> lines;
        QList<QByteArray> keep;
        for (const QString &c : counts) { keep << c.toUtf8(); lines.append({f.cola, "1", keep.last().constData()}); }
        TradeDoc d = f.doc(kind, lines, "0");
        // A pre-saved delivery is checked the same way.
        TradeDoc pre = d;
        pre.preSave = true;
        QCOMPARE(checkTradeDoc(f.dm(), pre).ok(), accepted);
        const TradeCheck c = checkTradeDoc(f.dm(), d);
        QCOMPARE(c.ok(), accepted);
        if (!accepted) {
            QCOMPARE(c.message, QString("商品 P001 可乐 库存不足，不能出库！"));
            QCOMPARE(c.field, TradeField::Grid);
        } else {
            saveTradeDoc(f.dm(), d);
        }
        QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), stockAfter);
    }
}

void TstTradeSave::purchaseReturn()
{
    Fixture f;
    f.dm().KC_Up("一号库", f.cola, Money::fromString("10"));
    f.dm().YF_Up(f.supplier, Money::fromString("100"));
    const TradeDoc d = f.doc(TradeKind::PurchaseReturn, {{f.cola, "8", "2"}}, "10");
    QVERIFY(checkTradeDoc(f.dm(), d).ok());
    const QString num = saveTradeDoc(f.dm(), d);
    QCOMPARE(num, QString("CT121116-0001"));
    QCOMPARE(f.dm().rows("select theHJ, theSJ, theYS, theCount from UCG_O"), (QVector<QVariantList>{{16, 10, 6, 2}}));
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("8"));
    QCOMPARE(f.dm().rows("select theType, ICount, OCount from SList"), (QVector<QVariantList>{{"采购退货", 0, 2}}));
    QCOMPARE(f.m("select theYF from SUnits where ID=?", {f.supplier}).toString(), QString("94"));
    QCOMPARE(f.dm().rows("select theMoney, theSKR from UCG_O_SK"), (QVector<QVariantList>{{10, "李四"}}));
    QCOMPARE(f.dm().rows("select theType, theIn, theOut from UList"), (QVector<QVariantList>{{"采购退货录入", 10, 0}}));
}

void TstTradeSave::salesReturn()
{
    Fixture f;
    const TradeDoc d = f.doc(TradeKind::SalesReturn, {{f.tea, "50", "1"}}, "0");
    QVERIFY(checkTradeDoc(f.dm(), d).ok()); // never refused for stock
    QCOMPARE(saveTradeDoc(f.dm(), d), QString("XT121116-0001"));
    QCOMPARE(f.dm().rows("select theHJ, theSJ, theYF from UXS_O"), (QVector<QVariantList>{{50, 0, 50}}));
    QCOMPARE(f.dm().myRetKC("一号库", f.tea).toString(), QString("1"));
    QCOMPARE(f.m("select theYS from SUnits where ID=?", {f.customer}).toString(), QString("-50"));
    QCOMPARE(f.n("select count(*) from UXS_O_FK"), 0);
    QCOMPARE(f.n("select count(*) from UList"), 0);
    QCOMPARE(f.dm().rows("select theType, ICount, OCount from SList"), (QVector<QVariantList>{{"销售退货", 1, 0}}));
}

void TstTradeSave::failurePartWayLeavesNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("failingTable");
    QTest::newRow("receipt: ledger") << int(TradeKind::Purchase) << "SList";
    QTest::newRow("receipt: money log") << int(TradeKind::Purchase) << "UList";
    QTest::newRow("delivery: settlement") << int(TradeKind::Sales) << "UXS_SK";
    QTest::newRow("purchase return: money log") << int(TradeKind::PurchaseReturn) << "UList";
    QTest::newRow("sales return: ledger") << int(TradeKind::SalesReturn) << "SList";
}

void TstTradeSave::failurePartWayLeavesNothing()
{
    QFETCH(int, kind);
    QFETCH(QString, failingTable);
    Fixture f;
    G.ShopFKC = true;
    G.ShopJH = G.ShopXS = true;
    storeShopOptions(f.dm());
    // The second line's write fails: everything before it must go as well.
    f.t.failInserts(failingTable, "disk full", 1);
    f.dm().mySQL(QString("insert into %1(theNum) values('old')").arg(failingTable));
    TradeDoc d = f.doc(TradeKind(kind), {{f.cola, "2", "3"}, {f.tea, "10", "1"}}, "5");
  
    const auto products = f.dm().rows("select theJH, theXS, theCB from SShop order by ID");
    try {
        saveTradeDoc(f.dm(), d);
        QFAIL("the save should have failed");
    } catch (const DbError &e) {
        QVERIFY(e.text().contains("disk full"));
    }
    const TradeKindInfo &k = tradeKind(TradeKind(kind));
    QCOMPARE(f.n(QString("select count(*) from %1").arg(k.head)), 0);
    QCOMPARE(f.n(QString("select count(*) from %1").arg(k.lines)), 0);
    QCOMPARE(f.n("select count(*) from UKC"), 0);
    QCOMPARE(f.n(QString("select count(*) from %1 where theNum<>'old'").arg(k.settleTable)), 0);
    QCOMPARE(f.n("select count(*) from SList where theNum<>'old'"), 0);
    QCOMPARE(f.n("select count(*) from UList where theNum<>'old'"), 0);
    QCOMPARE(f.dm().rows("select theYS, theYF from SUnits where theYS<>0 or theYF<>0").size(), 0);
    QCOMPARE(f.dm().rows("select theJH, theXS, theCB from SShop order by ID"), products);

}

void TstTradeSave::costMovesOnceWhenGoodsArrive_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<bool>("preSavedFirst");
    QTest::addColumn<QString>("costAtPreSave");
    QTest::addColumn<QString>("costPosted");
    // Stock 10 at cost 5, then a receipt of 10 at 7: the average of the two lots.
    QTest::newRow("average, posted at once") << "移动加权平均" << false << "" << "6";
    QTest::newRow("average, pre-saved first") << "移动加权平均" << true << "5" << "6";
    // Last in: the price of the last posted receipt; a pre-saved one is not in stock.
    QTest::newRow("last in, pre-saved first") << "后进先出" << true << "5" << "7";
    QTest::newRow("highest, pre-saved first") << "最高单价" << true << "5" << "7";
}

void TstTradeSave::costMovesOnceWhenGoodsArrive()
{
    QFETCH(QString, method);
    QFETCH(bool, preSavedFirst);
    QFETCH(QString, costAtPreSave);
    QFETCH(QString, costPosted);
    Fixture f;
    G.ShopCB = method;
    storeShopOptions(f.dm());
    // The first lot: 10 at 5, posted.
    f.dm().mySQL("update SShop set theCB=5, theJH=5 where ID=?", {f.cola});
    saveTradeDoc(f.dm(), f.doc(TradeKind::Purchase, {{f.cola, "5", "10"}}, "0"));
    QCOMPARE(f.m("select theCB from SShop where ID=?", {f.cola}).toString(), QString("5"));

    TradeDoc d = f.doc(TradeKind::Purchase, {{f.cola, "7", "10"}}, "0");
    if (preSavedFirst) {
        d.preSave = true;
        d.num = saveTradeDoc(f.dm(), d);
        QCOMPARE(f.m("select theCB from SShop where ID=?", {f.cola}).toString(), costAtPreSave);
        // Pre-saving it again changes nothing either.
        d.num = saveTradeDoc(f.dm(), d);
        QCOMPARE(f.m("select theCB from SShop where ID=?", {f.cola}).toString(), costAtPreSave);
        d.preSave = false;
    }
    saveTradeDoc(f.dm(), d);
    // The stored value itself, not only as read back through Money.
    QCOMPARE(f.dm().value("select theCB from SShop where ID=?", {f.cola}).toDouble(), costPosted.toDouble());
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("20"));
}

void TstTradeSave::refundsMoveMoneyTheRightWay_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("settleTable");
    QTest::addColumn<QString>("word");
    QTest::addColumn<double>("in");
    QTest::addColumn<double>("out");
    QTest::addColumn<QString>("balanceColumn");
    QTest::addColumn<double>("balance");
    // 3 at 10 with 12 paid or refused at once; the partner starts owing (or owed) 100.
    QTest::newRow("purchase receipt: money out") << int(TradeKind::Purchase) << "UJH_FK" << "采购入库录入" << 0.0 << 12.0 << "theYF" << 118.0;
    QTest::newRow("sales delivery: money in") << int(TradeKind::Sales) << "UXS_SK" << "销售出库录入" << 12.0 << 0.0 << "theYS" << 118.0;
    QTest::newRow("purchase return: refund in") << int(TradeKind::PurchaseReturn) << "UCG_O_SK" << "采购退货录入" << 12.0 << 0.0 << "theYF" << 82.0;
    QTest::newRow("sales return: refund out") << int(TradeKind::SalesReturn) << "UXS_O_FK" << "销售退货录入" << 0.0 << 12.0 << "theYS" << 82.0;
}

void TstTradeSave::refundsMoveMoneyTheRightWay()
{
    QFETCH(int, kind);
    QFETCH(QString, settleTable);
    QFETCH(QString, word);
    QFETCH(double, in);
    QFETCH(double, out);
    QFETCH(QString, balanceColumn);
    QFETCH(double, balance);
    Fixture f;
    G.ShopFKC = true;
    storeShopOptions(f.dm());
    f.dm().mySQL("update SUnits set theYS=100, theYF=100");
    const QString num = saveTradeDoc(f.dm(), f.doc(TradeKind(kind), {{f.tea, "10", "3"}}, "12"));
    QCOMPARE(f.dm().rows(QString("select theNum, theMoney, AName from %1").arg(settleTable)),
             (QVector<QVariantList>{{num, 12, "现金"}}));
    QCOMPARE(f.dm().rows("select theType, theNum, theIn, theOut, MName, UName from UList"),
             (QVector<QVariantList>{{word, num, in, out, "现金", "李四"}}));
    const int partner = (kind == int(TradeKind::Purchase) || kind == int(TradeKind::PurchaseReturn)) ? f.supplier : f.customer;
    QCOMPARE(f.dm().value(QString("select %1 from SUnits where ID=?").arg(balanceColumn), {partner}).toDouble(), balance);
}

void TstTradeSave::balancesStayExactInTheTable()
{
    Fixture f;
    G.ShopFKC = true;
    storeShopOptions(f.dm());
    // Owed 0.3 on a receipt, then two returns of 0.1 and 0.2 left unrefunded.
    saveTradeDoc(f.dm(), f.doc(TradeKind::Purchase, {{f.cola, "0.3", "1"}}, "0"));
    saveTradeDoc(f.dm(), f.doc(TradeKind::PurchaseReturn, {{f.cola, "0.1", "1"}}, "0"));
    saveTradeDoc(f.dm(), f.doc(TradeKind::PurchaseReturn, {{f.cola, "0.2", "1"}}, "0"));
    // The stored balance is exactly zero, so that a query for open balances passes it by.
    QCOMPARE(f.n("select count(*) from SUnits where theYF<>0"), 0);
    QCOMPARE(f.dm().value("select theYF from SUnits where ID=?", {f.supplier}).toDouble(), 0.0);
    // Stock likewise: 1 − 1 − 1 + 1 after a hundred tenths in and out.
    for (int i = 0; i < 10; ++i) f.dm().KC_Up("二号库", f.cola, Money::fromString("0.1"));
    for (int i = 0; i < 10; ++i) f.dm().KC_Do("二号库", f.cola, Money::fromString("0.1"));
    QCOMPARE(f.n("select count(*) from UKC where WName='二号库' and theCount<>0"), 0);
}

void TstTradeSave::preSavedSalesDelivery()
{
    Fixture f;
    f.dm().KC_Up("一号库", f.tea, Money::fromString("10"));
    f.dm().mySQL("update SShop set theCB=8 where ID=?", {f.tea});
    TradeDoc d = f.doc(TradeKind::Sales, {{f.tea, "10", "3"}}, "27");
    d.lines[0].zk = 90;
    d.preSave = true;
    const QString num = saveTradeDoc(f.dm(), d);
    // Nothing is posted at a pre-save.
    QCOMPARE(f.dm().myRetKC("一号库", f.tea).toString(), QString("10"));
    for (const char *t : {"SList", "UXS_SK", "UList"}) QCOMPARE(f.n(QString("select count(*) from %1").arg(t)), 0);
    QCOMPARE(f.m("select theYS from SUnits where ID=?", {f.customer}), Money());
    QCOMPARE(f.dm().rows("select theYC, theHJ from UXS"), (QVector<QVariantList>{{"是", 27}}));

    // Reopened: the line keeps its discount.
    TradeDoc again;
    QVERIFY(loadTradeDoc(f.dm(), TradeKind::Sales, num, &again));
    QCOMPARE(again.lines.size(), 1);
    QCOMPARE(again.lines[0].zk, 90);
    QCOMPARE(again.lines[0].amount(TradeKind::Sales).toString(), QString("27"));
    again.person = "李四";
    again.paidText = "20";
    QCOMPARE(saveTradeDoc(f.dm(), again), num);
    // Posted once: stock down 3, receivable up 7, one ledger, settlement and cash row.
    QCOMPARE(f.dm().myRetKC("一号库", f.tea).toString(), QString("7"));
    QCOMPARE(f.m("select theYS from SUnits where ID=?", {f.customer}).toString(), QString("7"));
    QCOMPARE(f.dm().rows("select theType, OCount from SList"), (QVector<QVariantList>{{"销售出库", 3}}));
    QCOMPARE(f.dm().rows("select theMoney from UXS_SK"), (QVector<QVariantList>{{20}}));
    QCOMPARE(f.dm().rows("select theIn from UList"), (QVector<QVariantList>{{20}}));
    QCOMPARE(f.dm().rows("select theYC, theZK, theSum from UXS inner join UXS_List on UXS.theNum=UXS_List.theNum"),
             (QVector<QVariantList>{{"否", 90, 27}}));
    QVERIFY_THROWS_EXCEPTION(DbError, saveTradeDoc(f.dm(), again));
    QCOMPARE(f.dm().myRetKC("一号库", f.tea).toString(), QString("7"));
}

void TstTradeSave::anotherSeatWritingMakesTheSaveWait()
{
    Fixture f;
    OtherSeat other(f.t, 800);
    QElapsedTimer t;
    t.start();
    // Waits for the other seat instead of failing at once.
    QCOMPARE(saveTradeDoc(f.dm(), f.doc(TradeKind::Purchase, {{f.cola, "2", "1"}}, "2")), QString("CG121116-0001"));
    QVERIFY(t.elapsed() >= 500);
}

void TstTradeSave::stockIsReadAgainUnderTheLock()
{
    Fixture f;
    f.dm().KC_Up("一号库", f.cola, Money::fromString("5"));
    TradeDoc d = f.doc(TradeKind::Sales, {{f.cola, "1", "5"}}, "5");
    // Checked before the save, the stock of 5 is there …
    QVERIFY(checkTradeDoc(f.dm(), d).ok());
    // … but another seat sells all of it while this one waits for the lock.
    TradeCheck refused;
    {
        OtherSeat other(f.t, 300, QString("update UKC set theCount=0 where SID=%1").arg(f.cola));
        QCOMPARE(saveTradeDoc(f.dm(), d, &refused), QString());
    }
    QCOMPARE(refused.message, QString("商品 P001 可乐 库存不足，不能出库！"));
    QCOMPARE(f.dm().myRetKC("一号库", f.cola).toString(), QString("0"));
    QCOMPARE(f.n("select count(*) from UXS"), 0);
}

void TstTradeSave::busyBooksAreToldAndNothingIsWritten()
{
    Fixture f;
    OtherSeat other(f.t, 6500);
    try {
        saveTradeDoc(f.dm(), f.doc(TradeKind::Purchase, {{f.cola, "2", "1"}}, "2"));
        QFAIL("the save should have given up");
    } catch (const DbError &e) {
        QCOMPARE(e.kind(), DbError::Kind::Busy);
        QVERIFY2(e.text().startsWith("账套正忙"), qPrintable(e.text()));
    }
}

QTEST_GUILESS_MAIN(TstTradeSave)
#include "tst_tradesave.moc"
