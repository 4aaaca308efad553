// Product and partner lookup: the search of each caller code, the 0 / 1 / many
// rule, the pickers, "全选 &A", the quick entries and the price history.
#include "data/globals.h"
#include "master/frmnewshop.h"
#include "master/productfields.h"
#include "master/products.h"
#include "testcaller.h"
#include "testdb.h"
#include "trade/frmfindshop.h"
#include "trade/frmfindunits.h"
#include "trade/frmlsdj.h"
#include "trade/lookup.h"
#include "trade/pickerlookup.h"
#include "trade/pricehistory.h"

#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

namespace {

int product(frmDM &dm, const QString &num, const QString &name, const QString &type = QString(),
            const char *jh = "2.5", const char *xs = "4")
{
    ProductInput in;
    in.num = num;
    in.name = name;
    in.type = type;
    in.unit = QStringLiteral("瓶");
    in.stand = QStringLiteral("500ml");
    in.jh = QLatin1String(jh);
    in.xs = QLatin1String(xs);
    const ProductSaveResult r = saveProduct(dm, 0, in);
    if (r.status != ProductSaveResult::Saved) qFatal("product not saved");
    return r.id;
}

QStringList names(const QVector<ProductHit> &hits)
{
    QStringList out;
    for (const ProductHit &h : hits) out << h.name;
    return out;
}

QStringList names(const QVector<PartnerHit> &hits)
{
    QStringList out;
    for (const PartnerHit &h : hits) out << h.name;
    return out;
}

void line(frmDM &dm, const char *head, const char *num, int uid, int sid, const char *price, const char *del = "否")
{
    dm.mySQL(QStringLiteral("insert into %1(theNum,theDate,myDate,UID,theDel) values(?,?,?,?,?)").arg(QLatin1String(head)),
             {QLatin1String(num), QStringLiteral("2012-11-16"), QStringLiteral("2012-11-") + QLatin1String(num).right(2), uid,
              QString::fromUtf8(del)});
    dm.mySQL(QStringLiteral("insert into %1_List(theNum,SID,thePrice,theCount,theSum) values(?,?,?,2,?)").arg(QLatin1String(head)),
             {QLatin1String(num), sid, QString::fromLatin1(price).toDouble(), 2 * QString::fromLatin1(price).toDouble()});
}

} // namespace

class TstPickers : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        setSession();
        G.ShopTX = QStringLiteral("False");
        G.ShopJH1 = true;
        G.ShopXS1 = true;
    }
    void callerTable();
    void columnMapping_data();
    void columnMapping();
    void productSearch();
    void zeroOneMany();
    void pickerEnterAndEsc();
    void takeAll();
    void quickProductEntry_data();
    void quickProductEntry();
    void partnerSearch();
    void partnerZeroOneMany();
    void priceHistory();
};

void TstPickers::callerTable()
{
    QCOMPARE(callerCodes(), (QStringList{"jh", "cgth", "xs", "xsth", "db", "bs", "by", "cz", "czrk", "fk", "sk"}));
    QStringList products, partners;
    for (const QString &c : callerCodes()) {
        if (callerRule(c)->products) products << c;
        if (callerRule(c)->partners) partners << c;
    }
    QCOMPARE(products, (QStringList{"jh", "cgth", "xs", "xsth", "db", "bs", "by", "cz", "czrk"}));
    QCOMPARE(partners, (QStringList{"jh", "cgth", "xs", "xsth", "fk", "sk"}));
    QCOMPARE(callerRule("xs")->priceCaption(), QStringLiteral("销售单价"));
    QCOMPARE(callerRule("xsth")->priceCaption(), QStringLiteral("销售单价"));
    QCOMPARE(callerRule("jh")->priceCaption(), QStringLiteral("采购单价"));
    QCOMPARE(callerRule("czrk")->priceCaption(), QStringLiteral("采购单价"));
    QVERIFY(!callerRule("xx"));
}

void TstPickers::columnMapping_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("cells");   // cells 1 to 10 of the row
    QTest::addColumn<int>("totals");
    // jh and xs suggest the partner's last price (2.2 and 3.8 here); the others
    // take the list price. xs carries the discount and a discounted amount.
    QTest::newRow("jh") << "jh" << "P001|可乐|500ml|瓶|2.2|1|2.2||@|" << 1;
    QTest::newRow("cgth") << "cgth" << "P001|可乐|500ml|瓶|2.5|1|2.5||@|" << 1;
    QTest::newRow("xs") << "xs" << "P001|可乐|500ml|瓶|3.8|90|1|3.42||@" << 1;
    QTest::newRow("xsth") << "xsth" << "P001|可乐|500ml|瓶|4|1|4||@|" << 1;
    QTest::newRow("db") << "db" << "P001|可乐|500ml|瓶|2.5|1|2.5||@|" << 1;
    QTest::newRow("bs") << "bs" << "P001|可乐|500ml|瓶|2.5|1|2.5||@|" << 1;
    QTest::newRow("by") << "by" << "P001|可乐|500ml|瓶|2.5|1|2.5||@|" << 1;
    QTest::newRow("cz") << "cz" << "P001|可乐|500ml|瓶|2.5|1|2.5||@|" << 0;
    QTest::newRow("czrk") << "czrk" << "P001|可乐|500ml|瓶|2.5|1|2.5||@|" << 0;
}

void TstPickers::columnMapping()
{
    QFETCH(QString, code);
    QFETCH(QString, cells);
    QFETCH(int, totals);
    TestDb t;
    t.dm().mySQL(QStringLiteral("insert into SType(theName,Remark,theState,theZK) values('饮料','','启用',90)"));
    const int sid = product(t.dm(), QStringLiteral("P001"), QStringLiteral("可乐"), QStringLiteral("饮料"));
    const int partner = t.addPartner(QStringLiteral("大华"));
    line(t.dm(), "UJH", "CG01", partner, sid, "2.2");
    line(t.dm(), "UXS", "XS01", partner, sid, "3.8");

    TestCaller caller(code);
    caller.uid = partner;
    caller.row = 4;
    caller.setCell(4, 0, QStringLiteral("@ 4"));
    caller.setCell(4, 1, QStringLiteral("kl"));
    putProduct(t.dm(), caller, productHit(t.dm(), code, sid));
    QCOMPARE(caller.rowText(4, 10), QString(cells).replace(QLatin1Char('@'), QString::number(sid)));
    QCOMPARE(caller.cell(4, 0), QStringLiteral("@ 4"));
    QCOMPARE(caller.totals, totals);
    QCOMPARE(caller.row, 4);
    QVERIFY(rowHasProduct(caller, 4));
    QCOMPARE(productsOnGrid(caller), QList<int>{sid});
}

void TstPickers::productSearch()
{
    TestDb t;
    const int cola = product(t.dm(), QStringLiteral("A100"), QStringLiteral("可乐"), QStringLiteral("饮料"));
    const int sprite = product(t.dm(), QStringLiteral("A200"), QStringLiteral("雪碧"), QStringLiteral("饮料"));
    const int cake = product(t.dm(), QStringLiteral("B100"), QStringLiteral("可可蛋糕"), QStringLiteral("食品"));
    const int off = product(t.dm(), QStringLiteral("A300"), QStringLiteral("可乐零度"), QStringLiteral("饮料"));
    const int gone = product(t.dm(), QStringLiteral("A400"), QStringLiteral("可乐旧款"), QStringLiteral("饮料"));
    t.dm().myState(QStringLiteral("SShop"), QStringLiteral("停用"), off);
    deleteProduct(t.dm(), gone);
    Q_UNUSED(cake);

    // Name, input code (any case) or code; never disabled or deleted products.
    QCOMPARE(names(findProducts(t.dm(), "jh", QStringLiteral("可乐"), {})), QStringList{"可乐"});
    QCOMPARE(names(findProducts(t.dm(), "jh", QStringLiteral("kl"), {})), QStringList{"可乐"});
    QCOMPARE(names(findProducts(t.dm(), "jh", QStringLiteral("A"), {})), (QStringList{"可乐", "雪碧"}));
    // Empty text: everything not on the grid yet, by category, name, unit.
    QCOMPARE(names(findProducts(t.dm(), "jh", QString(), {})), (QStringList{"可可蛋糕", "可乐", "雪碧"}));
    QCOMPARE(names(findProducts(t.dm(), "jh", QString(), {cola, sprite})), QStringList{"可可蛋糕"});
    // A quote in the search text is just a character.
    QCOMPARE(findProducts(t.dm(), "jh", QStringLiteral("'"), {}).size(), 0);
    // The price column follows the caller.
    QCOMPARE(findProducts(t.dm(), "xs", QStringLiteral("A100"), {}).first().price.toString(), QStringLiteral("4"));
    QCOMPARE(findProducts(t.dm(), "db", QStringLiteral("A100"), {}).first().price.toString(), QStringLiteral("2.5"));
}

void TstPickers::zeroOneMany()
{
    ModalScript modal;
    TestDb t;
    const int cola = product(t.dm(), QStringLiteral("A100"), QStringLiteral("可乐"));
    product(t.dm(), QStringLiteral("A200"), QStringLiteral("雪碧"));
    product(t.dm(), QStringLiteral("A300"), QStringLiteral("芬达"));
    TestCaller caller(QStringLiteral("db"));

    // One match: straight into the row, no window.
    QString seen;
    caller.setCell(1, 1, QStringLiteral("KL"));
    QCOMPARE(lookupProduct(nullptr, caller), LookupResult::Taken);
    QCOMPARE(caller.cell(1, 9), QString::number(cola));
    // The row has its product now: Enter there does nothing.
    QCOMPARE(lookupProduct(nullptr, caller), LookupResult::Nothing);

    // The same text on the next row finds nothing more: the quick entry opens.
    caller.row = 2;
    caller.setCell(2, 1, QStringLiteral("KL"));
    QString kind;
    modal.next(&seen, [&](QDialog *d) {
        if (auto *l = d->findChild<QLabel *>(QStringLiteral("Label8"))) kind = l->text();
        d->reject();
    });
    QCOMPARE(lookupProduct(nullptr, caller), LookupResult::QuickEntry);
    QCOMPARE(seen, QStringLiteral("frmNewShop"));
    QCOMPARE(kind, QStringLiteral("db"));
    QCOMPARE(caller.rowText(2, 9), QStringLiteral("KL||||||||"));

    // Several matches: the picker, captioned, listing them all.
    caller.setCell(2, 1, QString());
    int listed = 0;
    QString caption;
    modal.next(&seen, [&](QDialog *d) {
        caption = d->windowTitle();
        if (auto *f = qobject_cast<frmFindShop *>(d)) listed = f->list()->model()->rowCount();
        d->reject();
    });
    QCOMPARE(lookupProduct(nullptr, caller), LookupResult::Picker);
    QCOMPARE(seen, QStringLiteral("frmFindShop"));
    QCOMPARE(caption, QStringLiteral("商品查找 上下键选择 回车键确认"));
    QCOMPARE(listed, 2); // 可乐 is on row 1 already
}

void TstPickers::pickerEnterAndEsc()
{
    TestDb t;
    product(t.dm(), QStringLiteral("A100"), QStringLiteral("可乐"));
    const int sprite = product(t.dm(), QStringLiteral("A200"), QStringLiteral("雪碧"));
    TestCaller caller(QStringLiteral("bs"));
    caller.setCell(1, 1, QStringLiteral("A"));

    // Esc: the search text stays and nothing else changes.
    {
        frmFindShop w;
        w.setCaller(&caller);
        w.setList(findProducts(t.dm(), "bs", QStringLiteral("A"), {}));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("bs"));
        QVERIFY(w.list()->isColumnHidden(7));
        QVERIFY(w.list()->isColumnHidden(8));
        QCOMPARE(w.list()->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("采购单价"));
        w.show();
        QTest::keyClick(w.list(), Qt::Key_Escape);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(caller.rowText(1, 9), QStringLiteral("A||||||||"));
    }
    // Typed letters are dropped; Down then Enter takes the second product.
    // The list has the focus from the start, and Tab neither leaves it (there
    // is nothing else to go to) nor walks its cells.
    frmFindShop w;
    w.setCaller(&caller);
    w.setList(findProducts(t.dm(), "bs", QStringLiteral("A"), {}));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), w.list());
    QTest::keyClick(w.list(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.list());
    QCOMPARE(w.list()->currentIndex().row(), 0);
    QCOMPARE(w.list()->currentIndex().column(), 0);
    QTest::keyClicks(w.list(), QStringLiteral("xy"));
    QTest::keyClick(w.list(), Qt::Key_Down);
    QTest::keyClick(w.list(), Qt::Key_Return);
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(caller.cell(1, 9), QString::number(sprite));
    QCOMPARE(caller.cell(1, 2), QStringLiteral("雪碧"));
}

void TstPickers::takeAll()
{
    TestDb t;
    const int a = product(t.dm(), QStringLiteral("A1"), QStringLiteral("甲"));
    const int b = product(t.dm(), QStringLiteral("A2"), QStringLiteral("乙"));
    const int c = product(t.dm(), QStringLiteral("A3"), QStringLiteral("丙"));
    TestCaller caller(QStringLiteral("jh"));
    caller.row = 3;
    caller.setCell(4, 1, QStringLiteral("旧行"));
    caller.setCell(4, 8, QStringLiteral("旧备注"));
    frmFindShop w;
    w.setCaller(&caller);
    w.setList(findProducts(t.dm(), "jh", QStringLiteral("A"), {}));
    w.A1Click();
    QCOMPARE(w.result(), int(QDialog::Accepted));
    // Three consecutive rows from the current one, the row below overwritten, each quantity 1.
    QStringList ids;
    for (int r = 3; r <= 5; ++r) {
        ids << caller.cell(r, 9);
        QCOMPARE(caller.cell(r, 6), QStringLiteral("1"));
    }
    QCOMPARE(ids.join(','), QStringLiteral("%1,%2,%3").arg(c).arg(b).arg(a)); // 丙 乙 甲 by name order
    QCOMPARE(caller.cell(4, 8), QStringLiteral("旧备注")); // the remark column is not a product cell
    QCOMPARE(caller.totals, 3);
    QCOMPARE(caller.row, 6);

    // An empty list does nothing.
    TestCaller other(QStringLiteral("jh"));
    frmFindShop empty;
    empty.setCaller(&other);
    empty.setList({});
    empty.A1Click();
    QCOMPARE(empty.result(), int(QDialog::Rejected));
    QVERIFY(other.cells.isEmpty());

    // At the end of the grid the rest is left out instead of running past the last row.
    TestCaller last(QStringLiteral("cz"));
    last.row = 98;
    QCOMPARE(putAllProducts(t.dm(), last, findProducts(t.dm(), "cz", QStringLiteral("A"), {})), 2);
    QVERIFY(!last.cells.contains({100, 9}));
}

void TstPickers::quickProductEntry_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("cells");
    QTest::newRow("jh") << "jh" << "@N|新品|1L|箱|12|1|12||@I|";
    QTest::newRow("cgth") << "cgth" << "@N|新品|1L|箱|12|1|12||@I|";
    QTest::newRow("xs") << "xs" << "@N|新品|1L|箱|20|80|1|16||@I";
    QTest::newRow("xsth") << "xsth" << "@N|新品|1L|箱|20|1|20||@I|";
    QTest::newRow("czrk") << "czrk" << "@N|新品|1L|箱|12|1|12||@I|";
}

void TstPickers::quickProductEntry()
{
    QFETCH(QString, code);
    QFETCH(QString, cells);
    TestDb t;
    t.dm().mySQL(QStringLiteral("insert into SType(theName,Remark,theState,theZK) values('饮料','','启用',80)"));
    TestCaller caller(code);
    caller.row = 2;
    caller.setCell(2, 1, QStringLiteral("xinpin"));
    frmNewShop w;
    w.setCaller(&caller);
    QCOMPARE(w.kind(), code);
    ProductInput in = w.fields()->input();
    QCOMPARE(in.num, QStringLiteral("1211160001"));
    in.type = QStringLiteral("饮料");
    in.name = QStringLiteral("新品");
    in.stand = QStringLiteral("1L");
    in.unit = QStringLiteral("箱");
    in.jh = QStringLiteral("12");
    in.xs = QStringLiteral("20");
    w.fields()->setInput(in);
    w.BitBtn1Click();
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(w.savedID() > 0);
    QCOMPARE(caller.rowText(2, 10),
             QString(cells).replace(QStringLiteral("@N"), in.num).replace(QStringLiteral("@I"), QString::number(w.savedID())));
    QCOMPARE(caller.totals, code == QLatin1String("czrk") ? 0 : 1);
}

void TstPickers::partnerSearch()
{
    TestDb t;
    t.addPartner(QStringLiteral("甲供应"), QStringLiteral("供应商"));
    t.addPartner(QStringLiteral("乙客户"), QStringLiteral("客户"));
    t.addPartner(QStringLiteral("丙两者"), QStringLiteral("两者皆是"));
    const int off = t.addPartner(QStringLiteral("丁停用"), QStringLiteral("两者皆是"));
    const int gone = t.addPartner(QStringLiteral("戊删除"), QStringLiteral("两者皆是"));
    t.dm().myState(QStringLiteral("SUnits"), QStringLiteral("停用"), off);
    t.dm().mySQL(QStringLiteral("update SUnits set theDel='是' where ID=?"), {gone});
    t.dm().mySQL(QStringLiteral("update SUnits set thePro='王', thePY='JGY' where theName='甲供应'"));

    for (const char *code : {"jh", "cgth", "fk"})
        QCOMPARE(names(findPartners(t.dm(), QLatin1String(code), {})), (QStringList{"丙两者", "甲供应"}));
    for (const char *code : {"xs", "xsth", "sk"})
        QCOMPARE(names(findPartners(t.dm(), QLatin1String(code), {})), (QStringList{"丙两者", "乙客户"}));
    // Name or input code; on the documents also contact, phone and address.
    QCOMPARE(names(findPartners(t.dm(), "jh", {QStringLiteral("jgy"), {}, {}, {}})), QStringList{"甲供应"});
    QCOMPARE(names(findPartners(t.dm(), "jh", {QString(), QStringLiteral("王"), {}, {}})), QStringList{"甲供应"});
    // Vouchers have only the name box.
    QCOMPARE(names(findPartners(t.dm(), "fk", {QString(), QStringLiteral("王"), {}, {}})),
             (QStringList{"丙两者", "甲供应"}));
}

void TstPickers::partnerZeroOneMany()
{
    ModalScript modal;
    TestDb t;
    const int a = t.addPartner(QStringLiteral("大华商行"), QStringLiteral("供应商"));
    t.addPartner(QStringLiteral("大众超市"), QStringLiteral("客户"));
    t.addPartner(QStringLiteral("大成百货"), QStringLiteral("两者皆是"));
    t.dm().mySQL(QStringLiteral("update SUnits set thePro='王', thePho='123', theAdd='路' where ID=?"), {a});

    // One: taken without a window; contact boxes on jh, only the name on cgth.
    TestCaller jh(QStringLiteral("jh"));
    jh.boxes.name = QStringLiteral("华");
    QCOMPARE(lookupPartner(nullptr, jh), LookupResult::Taken);
    QCOMPARE(jh.uid, a);
    QCOMPARE(jh.boxes.contact + jh.boxes.phone + jh.boxes.address, QStringLiteral("王123路"));
    QCOMPARE(jh.focus, QStringLiteral("grid"));
    TestCaller cgth(QStringLiteral("cgth"));
    cgth.boxes.name = QStringLiteral("华");
    QCOMPARE(lookupPartner(nullptr, cgth), LookupResult::Taken);
    QVERIFY(!cgth.contactWritten);
    TestCaller fk(QStringLiteral("fk"));
    fk.boxes.name = QStringLiteral("华");
    QCOMPARE(lookupPartner(nullptr, fk), LookupResult::Taken);
    QCOMPARE(fk.focus, QStringLiteral("amount"));

    // None: a customer name typed on a purchase opens the quick entry.
    QString seen, kind;
    TestCaller none(QStringLiteral("jh"));
    none.boxes.name = QStringLiteral("大众");
    modal.next(&seen, [&](QDialog *d) {
        if (auto *l = d->findChild<QLabel *>(QStringLiteral("Label6"))) kind = l->text();
        d->reject();
    });
    QCOMPARE(lookupPartner(nullptr, none), LookupResult::QuickEntry);
    QCOMPARE(seen, QStringLiteral("frmNewUnits"));
    QCOMPARE(kind, QStringLiteral("jh"));
    QCOMPARE(none.uid, 0);

    // Several: the picker; Enter takes the current row.
    TestCaller xs(QStringLiteral("xs"));
    xs.boxes.name = QStringLiteral("大");
    QString caption;
    modal.next(&seen, [&](QDialog *d) {
        caption = d->windowTitle();
        auto *f = qobject_cast<frmFindUnits *>(d);
        if (!f) return d->reject();
        auto *list = f->list();
        QVERIFY(list->isColumnHidden(5));
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    });
    QCOMPARE(lookupPartner(nullptr, xs), LookupResult::Picker);
    QCOMPARE(seen, QStringLiteral("frmFindUnits"));
    QCOMPARE(caption, QStringLiteral("往来单位查找 上下键选择 回车键确认"));
    QCOMPARE(xs.boxes.name, QStringLiteral("大众超市")); // 大成百货 (两者皆是) first, then the customers
    QCOMPARE(xs.focus, QStringLiteral("grid"));
}

void TstPickers::priceHistory()
{
    TestDb t;
    const int sid = product(t.dm(), QStringLiteral("A100"), QStringLiteral("可乐"));
    const int other = product(t.dm(), QStringLiteral("A200"), QStringLiteral("雪碧"));
    const int p = t.addPartner(QStringLiteral("大华"));
    const int q = t.addPartner(QStringLiteral("别家"));
    line(t.dm(), "UJH", "CG01", p, sid, "2.1");
    line(t.dm(), "UJH", "CG02", p, sid, "2.2", "是");  // deleted
    line(t.dm(), "UJH", "CG03", p, sid, "2.3");
    line(t.dm(), "UJH", "CG04", q, sid, "2.4");        // another supplier
    line(t.dm(), "UJH", "CG05", p, other, "2.5");      // another product
    t.dm().mySQL(QStringLiteral("update UJH set theYC='是' where theNum='CG03'")); // pre-saved counts
    line(t.dm(), "UXS", "XS06", p, sid, "3.6");

    frmLSDJ w;
    w.myType = QStringLiteral("CG");
    w.myUID = QString::number(p);
    w.mySID = QString::number(sid);
    w.FormShow();
    QAbstractItemModel *m = w.list()->model();
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("采购日期"));
    QCOMPARE(m->rowCount(), 2);
    QStringList first;
    for (int c = 0; c < m->columnCount(); ++c) first << m->index(0, c).data().toString();
    QCOMPARE(first, (QStringList{"2012-11-03", "CG03", "A100", "可乐", "500ml", "瓶", "2.3", "2", "4.6"}));
    QCOMPARE(m->index(1, 1).data().toString(), QStringLiteral("CG01"));

    QCOMPARE(priceHistoryCaptions(QStringLiteral("XS")).first(), QStringLiteral("销售日期"));
    const auto sales = ::priceHistory(t.dm(), QStringLiteral("XS"), p, sid);
    QCOMPARE(sales.size(), 1);
    QCOMPARE(sales[0][1].toString(), QStringLiteral("XS06"));
}

QTEST_MAIN(TstPickers)
#include "tst_pickers.moc"
