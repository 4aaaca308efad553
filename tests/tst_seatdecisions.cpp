// Two seats on the same books: what one seat's save decides must follow what
// the books hold when it runs, not what that seat read when it started. The
// shop options another seat changed meanwhile (negative stock, the price
// options, the cost method), and the product codes another seat gave
// meanwhile.
#include "data/connection.h"
#include "data/globals.h"
#include "master/frmnewshop.h"
#include "master/frmshop_in.h"
#include "master/productfields.h"
#include "master/products.h"
#include "shell/shopinfo.h"
#include "shellspy.h"
#include "stock/stockdoc.h"
#include "testdb.h"
#include "testreceipt.h"
#include "trade/tradedelete.h"
#include "trade/tradedoc.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

namespace {

// Another seat: its own connection to the books and its own data module.
// The data module made last is the one the screens use (DM()).
struct Seat {
    QString name;
    std::unique_ptr<frmDM> dm;
    Seat(TestDb &t, const QString &n) : name(n)
    {
        QString err;
        if (!openBooks(t.location(), name, &err)) throw std::runtime_error(err.toStdString());
        dm = std::make_unique<frmDM>(QSqlDatabase::database(name));
    }
    ~Seat()
    {
        dm.reset();
        closeDatabase(name);
    }
};

// Seat B stores the shop options through the shop window's save.
void storeOptionsAt(frmDM &b, bool negativeStock, bool jh, bool xs, const QString &costMethod)
{
    ShopInfo info = ShopInfoData::read(b);
    info.negativeStock = negativeStock;
    info.jh = jh;
    info.xs = xs;
    info.costMethod = costMethod;
    const ShopInfoData::SaveResult r = ShopInfoData::save(b, info);
    if (!r.saved) throw std::runtime_error(r.message.toStdString());
}

ProductInput product(const QString &name, const QString &num)
{
    ProductInput in;
    in.num = num;
    in.name = name;
    in.unit = QStringLiteral("瓶");
    in.jh = QStringLiteral("2");
    in.xs = QStringLiteral("3");
    return in;
}

// What a refused save or deletion must leave as it was.
QString booksState(frmDM &dm, int sid)
{
    QStringList s;
    for (const char *sql : {"select count(*) from UXS", "select count(*) from UBS", "select count(*) from SList",
                            "select count(*) from UJH where theDel='是'", "select count(*) from UBY where theDel='是'"})
        s << dm.value(QString::fromLatin1(sql)).toString();
    s << dm.myRetKC(QStringLiteral("一号库"), sid).toString();
    return s.join(QLatin1Char('/'));
}

} // namespace

class TstSeatDecisions : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        setSession();
        G.ShopFKC = G.ShopJH = G.ShopXS = false;
        G.ShopCB = QStringLiteral("采购单价");
    }
    void negativeStockAsTheBooksSay_data();
    void negativeStockAsTheBooksSay();
    void priceOptionsAsTheBooksSay_data();
    void priceOptionsAsTheBooksSay();
    void costMethodAsTheBooksSay_data();
    void costMethodAsTheBooksSay();
    void proposedCodeTakenMeanwhile_data();
    void proposedCodeTakenMeanwhile();
    void typedCodeOfAnotherProduct_data();
    void typedCodeOfAnotherProduct();
};

void TstSeatDecisions::negativeStockAsTheBooksSay_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("booksAllow");   // what seat B stored; seat A started with the opposite
    for (const char *a : {"sale", "loss", "delete receipt", "delete overage"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, switched off").arg(QLatin1String(a)))) << QString::fromLatin1(a) << false;
        QTest::newRow(qPrintable(QStringLiteral("%1, switched on").arg(QLatin1String(a)))) << QString::fromLatin1(a) << true;
    }
}

void TstSeatDecisions::negativeStockAsTheBooksSay()
{
    QFETCH(QString, action);
    QFETCH(bool, booksAllow);
    TestDb t;
    const int supplier = t.addPartner(QStringLiteral("供货商"), QStringLiteral("供应商"));
    const int customer = t.addPartner(QStringLiteral("顾客"), QStringLiteral("客户"));
    const int cola = t.addProduct(QStringLiteral("可乐"), Money::fromString("2.5"), Money::fromString("3.5"));
    Seat b(t, QStringLiteral("seat-b"));
    Seat a(t, QStringLiteral("seat-a"));
    frmDM &dm = *a.dm;

    // Five in stock, by a receipt or an overage; for a deletion three of them sold since.
    int docId = 0;
    if (action == QLatin1String("delete overage")) {
        QVERIFY(!saveStockDoc(dm, oneLineStockDoc(StockKind::Overage, cola, "5")).isEmpty());
        docId = dm.value(QStringLiteral("select max(ID) from UBY")).toInt();
    } else {
        QVERIFY(!saveTradeDoc(dm, oneLineTradeDoc(TradeKind::Purchase, supplier, "伙伴", cola, "5", "0", "2.5")).isEmpty());
        docId = dm.value(QStringLiteral("select max(ID) from UJH")).toInt();
    }
    if (action.startsWith(QLatin1String("delete")))
        QVERIFY(!saveTradeDoc(dm, oneLineTradeDoc(TradeKind::Sales, customer, "伙伴", cola, "3", "0", "3.5")).isEmpty());

    // Seat A started with the opposite of what seat B stores now.
    G.ShopFKC = !booksAllow;
    storeOptionsAt(*b.dm, booksAllow, false, false, QStringLiteral("采购单价"));

    const QString before = booksState(dm, cola);
    bool done = false;
    QString refusal;
    if (action == QLatin1String("sale")) {
        TradeCheck refused;
        done = !saveTradeDoc(dm, oneLineTradeDoc(TradeKind::Sales, customer, "伙伴", cola, "8", "0", "3.5"), &refused).isEmpty();
        refusal = refused.message;
    } else if (action == QLatin1String("loss")) {
        StockCheck refused;
        done = !saveStockDoc(dm, oneLineStockDoc(StockKind::Loss, cola, "8"), &refused).isEmpty();
        refusal = refused.message;
    } else {
        const DeleteResult r = action == QLatin1String("delete receipt") ? deleteTradeDoc(dm, TradeKind::Purchase, docId)
                                                                          : deleteStockDoc(dm, StockKind::Overage, docId);
        done = r.outcome == DeleteOutcome::Deleted;
        refusal = r.message;
    }
    QCOMPARE(done, booksAllow);
    if (booksAllow) {
        QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), cola).toString(), QStringLiteral("-3"));
    } else {
        QVERIFY2(refusal.contains(QStringLiteral("可乐")), qPrintable(refusal));
        QCOMPARE(booksState(dm, cola), before);
    }
    // What this seat shows stays as it read it at start.
    QCOMPARE(G.ShopFKC, !booksAllow);
}

void TstSeatDecisions::priceOptionsAsTheBooksSay_data()
{
    QTest::addColumn<bool>("sales");
    QTest::addColumn<bool>("booksOn");
    QTest::newRow("purchase price, switched on") << false << true;
    QTest::newRow("purchase price, switched off") << false << false;
    QTest::newRow("sales price, switched on") << true << true;
    QTest::newRow("sales price, switched off") << true << false;
}

void TstSeatDecisions::priceOptionsAsTheBooksSay()
{
    QFETCH(bool, sales);
    QFETCH(bool, booksOn);
    TestDb t;
    const int partner = t.addPartner(QStringLiteral("伙伴"));
    const int cola = t.addProduct(QStringLiteral("可乐"), Money::fromString("2.5"), Money::fromString("3.5"));
    Seat b(t, QStringLiteral("seat-b"));
    Seat a(t, QStringLiteral("seat-a"));
    G.ShopFKC = true;
    G.ShopJH = G.ShopXS = !booksOn;
    storeOptionsAt(*b.dm, true, booksOn, booksOn, QStringLiteral("采购单价"));

    QVERIFY(!saveTradeDoc(*a.dm, oneLineTradeDoc(sales ? TradeKind::Sales : TradeKind::Purchase, partner, "伙伴", cola, "1", "0", "9")).isEmpty());
    const auto p = a.dm->rows(QStringLiteral("select theJH, theXS from SShop where ID=?"), {cola});
    const QString jh = Money::fromVariant(p[0][0]).toString(), xs = Money::fromVariant(p[0][1]).toString();
    QCOMPARE(jh, QString::fromLatin1(booksOn && !sales ? "9" : "2.5"));
    QCOMPARE(xs, QString::fromLatin1(booksOn && sales ? "9" : "3.5"));
}

void TstSeatDecisions::costMethodAsTheBooksSay_data()
{
    QTest::addColumn<QString>("started");
    QTest::addColumn<QString>("books");
    QTest::addColumn<QString>("cost");
    // Ten in stock at a cost of 4, ten more received at 6; the purchase price is 2.5.
    QTest::newRow("switched to the moving average") << "采购单价" << "移动加权平均" << "5";
    QTest::newRow("switched to the purchase price") << "移动加权平均" << "采购单价" << "2.5";
}

void TstSeatDecisions::costMethodAsTheBooksSay()
{
    QFETCH(QString, started);
    QFETCH(QString, books);
    QFETCH(QString, cost);
    TestDb t;
    const int supplier = t.addPartner(QStringLiteral("供货商"), QStringLiteral("供应商"));
    const int cola = t.addProduct(QStringLiteral("可乐"), Money::fromString("2.5"), Money::fromString("3.5"));
    t.dm().mySQL(QStringLiteral("update SShop set theCB=4 where ID=?"), {cola});
    t.dm().KC_Up(QStringLiteral("一号库"), cola, Money::fromString("10"));
    Seat b(t, QStringLiteral("seat-b"));
    Seat a(t, QStringLiteral("seat-a"));
    G.ShopCB = started;
    storeOptionsAt(*b.dm, false, false, false, books);

    QVERIFY(!saveTradeDoc(*a.dm, oneLineTradeDoc(TradeKind::Purchase, supplier, "伙伴", cola, "10", "0", "6")).isEmpty());
    QCOMPARE(Money::fromVariant(a.dm->value(QStringLiteral("select theCB from SShop where ID=?"), {cola})).toString(), cost);
}

void TstSeatDecisions::proposedCodeTakenMeanwhile_data()
{
    QTest::addColumn<bool>("quickEntry");   // frmNewShop, else frmShop_In
    QTest::newRow("product entry") << false;
    QTest::newRow("quick entry from a document") << true;
}

void TstSeatDecisions::proposedCodeTakenMeanwhile()
{
    QFETCH(bool, quickEntry);
    TestDb t;
    MsgSpy spy;
    Seat b(t, QStringLiteral("seat-b"));
    Seat a(t, QStringLiteral("seat-a"));   // the screens' seat

    // Both seats open a new product and are proposed the same code.
    std::unique_ptr<QDialog> screen;
    ProductFields *fields = nullptr;
    if (quickEntry) {
        auto *w = new frmNewShop;
        fields = w->fields();
        screen.reset(w);
    } else {
        auto *w = new frmShop_In;
        w->findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->setChecked(false);
        fields = w->fields();
        screen.reset(w);
    }
    const QString proposed = fields->code()->text();
    QCOMPARE(proposed, QStringLiteral("1211160001"));
    ProductInput atB = product(QStringLiteral("雪碧"), b.dm->NewSPNum());
    QCOMPARE(atB.num, proposed);
    atB.proposedNum = atB.num;

    // Seat B saves first and keeps the code.
    const ProductSaveResult first = saveProduct(*b.dm, 0, atB);
    QCOMPARE(first.status, ProductSaveResult::Saved);
    QCOMPARE(first.num, proposed);

    // Seat A saves with the code still in the field: it gets the next free one and is told.
    ProductInput atA = product(QStringLiteral("可乐"), proposed);
    fields->setInput(atA);
    if (quickEntry)
        static_cast<frmNewShop *>(screen.get())->BitBtn1Click();
    else
        static_cast<frmShop_In *>(screen.get())->BitBtn1Click();
    QCOMPARE(screen->result(), int(QDialog::Accepted));
    QVERIFY(!spy.shown.isEmpty());
    QCOMPARE(spy.shown.first().text,
             QStringLiteral("商品编码 1211160001 已被其他商品使用，本商品已保存为商品编码 1211160002。"));
    QCOMPARE(fields->code()->text(), QStringLiteral("1211160002"));
    QCOMPARE(t.dm().rows(QStringLiteral("select theNum, theName from SShop order by ID")),
             (QVector<QVariantList>{{QStringLiteral("1211160001"), QStringLiteral("雪碧")},
                                    {QStringLiteral("1211160002"), QStringLiteral("可乐")}}));

    // A proposal still free is kept as it is, without a word.
    spy.clear();
    ProductInput third = product(QStringLiteral("茶"), a.dm->NewSPNum());
    third.proposedNum = third.num;
    const ProductSaveResult r = saveProduct(*a.dm, 0, third);
    QCOMPARE(r.status, ProductSaveResult::Saved);
    QCOMPARE(r.num, QStringLiteral("1211160003"));
}

void TstSeatDecisions::typedCodeOfAnotherProduct_data()
{
    QTest::addColumn<QString>("change");   // the product saved by seat A: "new", or a change of "own" / "other"
    QTest::addColumn<bool>("otherDeleted");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("new, the code of a live product") << "new" << false << false;
    QTest::newRow("new, the code of a deleted product") << "new" << true << true;
    QTest::newRow("change to another product's code") << "other" << false << false;
    QTest::newRow("change keeping its own code, shared already") << "own" << false << true;
}

void TstSeatDecisions::typedCodeOfAnotherProduct()
{
    QFETCH(QString, change);
    QFETCH(bool, otherDeleted);
    QFETCH(bool, accepted);
    TestDb t;
    Seat b(t, QStringLiteral("seat-b"));
    Seat a(t, QStringLiteral("seat-a"));

    // Seat B has stored 芬达 under P100.
    const ProductSaveResult fanta = saveProduct(*b.dm, 0, product(QStringLiteral("芬达"), QStringLiteral("P100")));
    QCOMPARE(fanta.status, ProductSaveResult::Saved);
    if (otherDeleted) deleteProduct(*b.dm, fanta.id);

    int id = 0;
    ProductInput in = product(QStringLiteral("可乐"), QStringLiteral("P100"));
    if (change != QLatin1String("new")) {
        // A product of seat A's, under its own code (shared with 芬达 from older books for "own").
        id = t.addProduct(QStringLiteral("可乐"), Money::fromString("2"), Money::fromString("3"));
        t.dm().mySQL(QStringLiteral("update SShop set theNum=?, theUnit='瓶' where ID=?"),
                     {change == QLatin1String("own") ? QStringLiteral("P100") : QStringLiteral("P200"), id});
        in.remark = QStringLiteral("改过");
    }
    const int rows = t.dm().value(QStringLiteral("select count(*) from SShop")).toInt();
    const ProductSaveResult r = saveProduct(*a.dm, id, in);
    QCOMPARE(r.status == ProductSaveResult::Saved, accepted);
    if (!accepted) {
        QCOMPARE(r.status, ProductSaveResult::CodeTaken);
        QCOMPARE(r.field, ProductField::Num);
        QCOMPARE(r.message, QStringLiteral("商品编码 P100 已被商品“芬达”使用，请换一个编码！"));
    }
    QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SShop")).toInt(), rows + (accepted && id == 0 ? 1 : 0));
    if (id != 0)
        QCOMPARE(t.dm().value(QStringLiteral("select Remark from SShop where ID=?"), {id}).toString(),
                 accepted ? QStringLiteral("改过") : QString());
}

QTEST_MAIN(TstSeatDecisions)
#include "tst_seatdecisions.moc"
