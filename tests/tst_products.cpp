// Product entry and change, the duplicate rule, continuous entry, the input
// code and discount dialogs.
#include "data/globals.h"
#include "data/pinyin.h"
#include "master/frmshop_in.h"
#include "master/frmshop_py.h"
#include "master/frmszk.h"
#include "master/productfields.h"
#include "master/products.h"
#include "screenkeys.h"
#include "shell/screens.h"
#include "shellspy.h"
#include "testdb.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

ProductInput cola()
{
    ProductInput in;
    in.num = QStringLiteral("P001");
    in.type = QStringLiteral("饮料");
    in.name = QStringLiteral("可口可乐 500ml");
    in.stand = QStringLiteral("500ml");
    in.unit = QStringLiteral("瓶");
    in.jh = QStringLiteral("2.5");
    in.xs = QStringLiteral("3.5");
    in.remark = QStringLiteral("冷藏");
    in.kcMin = QStringLiteral("10");
    in.kcMax = QStringLiteral("200");
    return in;
}

void addCategory(frmDM &dm, const QString &name, int zk, const QString &state = QStringLiteral("启用"))
{
    dm.mySQL(QStringLiteral("insert into SType(theName,Remark,theState,theZK) values(?,'',?,?)"), {name, state, zk});
}

QString field(frmDM &dm, int id, const char *column)
{
    return dm.value(QStringLiteral("select %1 from SShop where ID=?").arg(QLatin1String(column)), {id}).toString();
}

QCheckBox *box(QWidget *w, const char *name) { return w->findChild<QCheckBox *>(QLatin1String(name)); }

} // namespace

class TstProducts : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        setSession();
        G.ShopTX = QStringLiteral("True");
        G.ShopKCMin = QStringLiteral("0");
        G.ShopKCMax = QStringLiteral("1000");
    }
    void newProductRow();
    void requiredFields_data();
    void requiredFields();
    void numbersReadByTheirRules_data();
    void numbersReadByTheirRules();
    void realBoxKeepsTheScreen();
    void keyboard();
    void emptyCategory();
    void duplicateRule_data();
    void duplicateRule();
    void changeResetsDiscountAndCode();
    void changeKeepsDisabledCategory();
    void continuousEntry_data();
    void continuousEntry();
    void singleEntryMessageAndClose();
    void limitFieldsFollowTheOption();
    void stockGuard();
    void inputCodeDialog();
    void productDiscountDialog();
    void openedFromMenu();
};

void TstProducts::newProductRow()
{
    TestDb t;
    addCategory(t.dm(), QStringLiteral("饮料"), 90);
    const ProductSaveResult r = saveProduct(t.dm(), 0, cola());
    QCOMPARE(r.status, ProductSaveResult::Saved);
    const auto row = t.dm().rows(QStringLiteral("select theNum,theType,theName,theStand,theUnit,theJH,theXS,theCB,theZK,"
                                                "theKCMin,theKCMax,Remark,thePY,theState,theDel,theDate,theCD,thePH "
                                                "from SShop where ID=?"),
                                 {r.id});
    QCOMPARE(row.size(), 1);
    QStringList got;
    for (const QVariant &v : row[0]) got << v.toString();
    QCOMPARE(got, (QStringList{"P001", "饮料", "可口可乐 500ml", "500ml", "瓶", "2.5", "3.5", "2.5", "90", "10", "200",
                               "冷藏", "KKKL500ML", "启用", "否", "2012-11-16", "", ""}));
}

void TstProducts::requiredFields_data()
{
    QTest::addColumn<QString>("cleared");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("code") << "Edit3" << "商品编码 不能为空，请重新录入！" << "Edit3";
    QTest::newRow("name") << "Edit1" << "商品名称 不能为空，请重新录入！" << "Edit1";
    QTest::newRow("unit") << "Edit2" << "单位 不能为空，请重新录入！" << "Edit2";
    QTest::newRow("purchase price") << "Edit4" << "采购单价 不能为空，请重新录入！" << "Edit4";
    QTest::newRow("sales price") << "Edit6" << "销售单价 不能为空，请重新录入！" << "Edit6";
}

void TstProducts::requiredFields()
{
    QFETCH(QString, cleared);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    TestDb t;
    MsgSpy spy;
    frmShop_In w;
    w.show();
    w.fields()->setInput(cola());
    w.findChild<QLineEdit *>(cleared)->clear();
    // Fields after the first empty one do not matter: the first is reported.
    w.fields()->sales()->clear();
    if (cleared == QLatin1String("Edit6")) w.fields()->purchase()->setText(QStringLiteral("1"));
    w.BitBtn1Click();
    QCOMPARE(spy.lastText(), message);
    QCOMPARE(w.focusWidget() ? w.focusWidget()->objectName() : QString(), focus);
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SShop")), 0);
}

void TstProducts::numbersReadByTheirRules_data()
{
    QTest::addColumn<QString>("field");   // the edit's name
    QTest::addColumn<QString>("text");    // as typed or pasted
    QTest::addColumn<QString>("message"); // empty: saved
    QTest::newRow("two decimal points") << "Edit4" << "1.2.3" << "采购单价 “1.2.3”不是有效的数值，请重新录入！";
    QTest::newRow("pasted minus") << "Edit6" << "-5" << "销售单价 不能小于零，请重新录入！";
    QTest::newRow("price beyond the range") << "Edit4" << "100000000000"
                                            << "采购单价 “100000000000”超出允许的范围（最大 99999999999.9999），请重新录入！";
    QTest::newRow("five decimals") << "Edit6" << "3.12345" << "销售单价 最多只能有四位小数，请重新录入！";
    QTest::newRow("lowest stock beyond a quantity") << "Edit8" << "1000000000"
                                                    << "最低库存 “1000000000”超出允许的范围（最大 999999999.9999），请重新录入！";
    QTest::newRow("highest stock with letters") << "Edit9" << "2e3" << "最高库存 “2e3”不是有效的数值，请重新录入！";
    QTest::newRow("largest price") << "Edit4" << "99999999999.9999" << "";
    QTest::newRow("largest limit") << "Edit9" << "999999999.9999" << "";
}

void TstProducts::numbersReadByTheirRules()
{
    // Prices and limits go through the one checked reading: a refusal names
    // the field, puts the cursor in it and writes nothing.
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    TestDb t;
    MsgSpy spy;
    frmShop_In w;
    w.show();
    w.fields()->setInput(cola());
    w.findChild<QLineEdit *>(field)->setText(text);
    w.BitBtn1Click();
    if (message.isEmpty()) {
        QCOMPARE(spy.shown.size(), 0);
        QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SShop")), 1);
        const char *column = field == QLatin1String("Edit4") ? "theJH" : "theKCMax";
        QCOMPARE(Money::fromVariant(t.dm().value(QStringLiteral("select %1 from SShop").arg(QLatin1String(column)))).toString(),
                 text);
        return;
    }
    QCOMPARE(spy.shown.size(), 1);
    QCOMPARE(spy.shown[0].kind, Msg::Kind::Info);
    QCOMPARE(spy.lastText(), message);
    QCOMPARE(w.focusWidget() ? w.focusWidget()->objectName() : QString(), field);
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SShop")), 0);
}

void TstProducts::realBoxKeepsTheScreen()
{
    // No message hook: a real box, closed by Enter from a timer inside its
    // own event loop; the entry screen and what was typed survive it.
    TestDb t;
    frmShop_In w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.fields()->setInput(cola());
    w.fields()->purchase()->setText(QStringLiteral("1.2.3"));
    RealModal modal;
    w.BitBtn1Click();
    QCOMPARE(modal.texts(), QStringList{QStringLiteral("采购单价 “1.2.3”不是有效的数值，请重新录入！")});
    QVERIFY(w.isVisible());
    QCOMPARE(w.focusWidget(), w.fields()->purchase());
    QCOMPARE(w.fields()->name()->text(), cola().name);
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SShop")), 0);

    // Mended and saved as a single entry: the success box, then the screen closes.
    w.fields()->purchase()->setText(QStringLiteral("2.5"));
    box(&w, "CheckBox1")->setChecked(false);
    w.BitBtn1Click();
    QCOMPARE(modal.boxes.size(), 2);
    QCOMPARE(modal.boxes[1].text, QStringLiteral("恭喜！恭喜！ 商品信息 保存成功！"));
    QVERIFY(!w.isVisible());
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SShop")), 1);
}

void TstProducts::keyboard()
{
    // Opens in the name (the code is proposed); Tab follows the layout row by
    // row; the price filter lets shortcuts through and still stops letters.
    TestDb t;
    MsgSpy spy;
    frmShop_In w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(Keys::nameOf(Keys::focus()), QStringLiteral("Edit1"));
    w.fields()->code()->setFocus();
    QCOMPARE(Keys::tabWalk(), (QStringList{"Edit3", "DBLookupComboBox1", "Edit1", "Edit7", "Edit2", "Edit4", "Edit6",
                                           "Edit5", "Edit8", "Edit9", "CheckBox1", "CheckBox2", "CheckBox3", "BitBtn1",
                                           "BitBtn2", "Edit3"}));

    QLineEdit *price = w.fields()->purchase();
    price->setFocus();
    Keys::type(QStringLiteral("1a2"));
    QCOMPARE(price->text(), QStringLiteral("12"));
    Keys::press(Qt::Key_A, Qt::ControlModifier);
    Keys::press(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("12"));
    Keys::press(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(price->text(), QString());
    QApplication::clipboard()->setText(QStringLiteral("-7"));
    Keys::press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(price->text(), QStringLiteral("-7"));
}

void TstProducts::emptyCategory()
{
    TestDb t;
    addCategory(t.dm(), QStringLiteral("饮料"), 90);
    ProductInput in = cola();
    in.type.clear();
    in.kcMin.clear();
    in.kcMax.clear();
    const ProductSaveResult r = saveProduct(t.dm(), 0, in);
    QCOMPARE(r.status, ProductSaveResult::Saved);
    QCOMPARE(field(t.dm(), r.id, "theType"), QString());
    QCOMPARE(field(t.dm(), r.id, "theZK"), QStringLiteral("100"));
    QCOMPARE(field(t.dm(), r.id, "theKCMin") + field(t.dm(), r.id, "theKCMax"), QStringLiteral("00"));
}

void TstProducts::duplicateRule_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("firstDeleted");
    QTest::addColumn<QString>("refusal");   // empty when accepted
    const QString same = QStringLiteral("同一商品信息 已存在，请重新录入！");
    // A code names one live product: the same code on anything else is refused naming it.
    const QString codeTaken = QStringLiteral("商品编码 P001 已被商品“可口可乐 500ml”使用，请换一个编码！");
    QTest::newRow("identical") << "" << "" << false << same;
    QTest::newRow("other code, same name") << "num" << "P002" << false << QString();
    QTest::newRow("same code, other name") << "name" << "雪碧" << false << codeTaken;
    QTest::newRow("same code, other size") << "stand" << "1L" << false << codeTaken;
    QTest::newRow("same code, other unit") << "unit" << "箱" << false << codeTaken;
    QTest::newRow("same code, other category") << "type" << "" << false << codeTaken;
    QTest::newRow("other prices only") << "jh" << "9" << false << same;
    QTest::newRow("identical to a deleted one") << "" << "" << true << QString();
}

void TstProducts::duplicateRule()
{
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(bool, firstDeleted);
    QFETCH(QString, refusal);
    const bool accepted = refusal.isEmpty();
    TestDb t;
    addCategory(t.dm(), QStringLiteral("饮料"), 100);
    const ProductSaveResult first = saveProduct(t.dm(), 0, cola());
    if (firstDeleted) deleteProduct(t.dm(), first.id);
    ProductInput in = cola();
    if (column == QLatin1String("num")) in.num = value;
    if (column == QLatin1String("name")) in.name = value;
    if (column == QLatin1String("stand")) in.stand = value;
    if (column == QLatin1String("unit")) in.unit = value;
    if (column == QLatin1String("type")) in.type = value;
    if (column == QLatin1String("jh")) in.jh = value;
    const ProductSaveResult second = saveProduct(t.dm(), 0, in);
    QCOMPARE(second.status == ProductSaveResult::Saved, accepted);
    QCOMPARE(second.message, refusal);
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SShop")), accepted ? 2 : 1);
}

void TstProducts::changeResetsDiscountAndCode()
{
    TestDb t;
    MsgSpy spy;
    addCategory(t.dm(), QStringLiteral("饮料"), 90);
    const int id = saveProduct(t.dm(), 0, cola()).id;
    ProductInput other = cola();
    other.name = QStringLiteral("雪碧");
    other.num = QStringLiteral("P002");
    const int other_id = saveProduct(t.dm(), 0, other).id;
    setProductDiscount(t.dm(), id, 70);
    setProductPY(t.dm(), id, QStringLiteral("my code"));
    t.dm().mySQL(QStringLiteral("update SShop set theCB=2.2, theState='停用' where ID=?"), {id});

    bool refreshed = false;
    frmShop_In w;
    QObject::connect(&w, &frmShop_In::saved, [&] { refreshed = true; });
    w.setProductID(id);
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Lab_ID"))->text(), QString::number(id));
    QVERIFY(!box(&w, "CheckBox1")->isChecked());
    QVERIFY(box(&w, "CheckBox1")->isHidden());
    QVERIFY(box(&w, "CheckBox2")->isHidden());
    QCOMPARE(w.fields()->input().name, QStringLiteral("可口可乐 500ml"));
    QCOMPARE(w.fields()->kcMax()->text(), QStringLiteral("200"));

    // Renamed to the other product's name: a change runs no duplicate test.
    w.fields()->name()->setText(QStringLiteral("雪碧"));
    w.fields()->code()->setText(QStringLiteral("P003"));
    w.fields()->kcMax()->setText(QStringLiteral("300"));
    w.BitBtn1Click();
    QCOMPARE(spy.shown.size(), 0); // no message after a change
    QVERIFY(refreshed);
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(field(t.dm(), id, "theName"), QStringLiteral("雪碧"));
    QCOMPARE(field(t.dm(), id, "thePY"), QStringLiteral("XB"));
    QCOMPARE(field(t.dm(), id, "theZK"), QStringLiteral("90"));
    QCOMPARE(field(t.dm(), id, "theKCMax"), QStringLiteral("300"));
    // Cost, state and dates are not the entry screen's business.
    QCOMPARE(field(t.dm(), id, "theCB"), QStringLiteral("2.2"));
    QCOMPARE(field(t.dm(), id, "theState"), QStringLiteral("停用"));
    QCOMPARE(field(t.dm(), other_id, "theName"), QStringLiteral("雪碧"));
}

void TstProducts::changeKeepsDisabledCategory()
{
    TestDb t;
    addCategory(t.dm(), QStringLiteral("饮料"), 90);
    const int id = saveProduct(t.dm(), 0, cola()).id;
    t.dm().mySQL(QStringLiteral("update SType set theState='停用'"));
    frmShop_In w;
    w.setProductID(id);
    QCOMPARE(w.fields()->category()->currentText(), QStringLiteral("饮料"));
    w.BitBtn1Click();
    QCOMPARE(field(t.dm(), id, "theType"), QStringLiteral("饮料"));
}

void TstProducts::continuousEntry_data()
{
    QTest::addColumn<bool>("sameStand");
    QTest::addColumn<bool>("sameUnit");
    QTest::newRow("defaults") << false << true;
    QTest::newRow("same size") << true << true;
    QTest::newRow("other unit") << false << false;
}

void TstProducts::continuousEntry()
{
    QFETCH(bool, sameStand);
    QFETCH(bool, sameUnit);
    TestDb t;
    MsgSpy spy;
    addCategory(t.dm(), QStringLiteral("饮料"), 100);
    frmShop_In w;
    QCOMPARE(w.fields()->code()->text(), QStringLiteral("1211160001"));
    QVERIFY(box(&w, "CheckBox1")->isChecked());
    QVERIFY(!box(&w, "CheckBox2")->isChecked());
    QVERIFY(box(&w, "CheckBox3")->isChecked());
    box(&w, "CheckBox2")->setChecked(sameStand);
    box(&w, "CheckBox3")->setChecked(sameUnit);
    ProductInput in = cola();
    in.num = w.fields()->code()->text();
    w.fields()->setInput(in);
    w.BitBtn1Click();

    QCOMPARE(spy.shown.size(), 0);
    QCOMPARE(w.result(), int(QDialog::Rejected)); // still open
    const ProductInput left = w.fields()->input();
    QCOMPARE(left.num, QStringLiteral("1211160002"));
    QCOMPARE(left.type, QStringLiteral("饮料"));
    QCOMPARE(left.name + left.jh + left.xs + left.remark, QString());
    QCOMPARE(left.stand, sameStand ? in.stand : QString());
    QCOMPARE(left.unit, sameUnit ? in.unit : QString());
    QCOMPARE(left.kcMin + "/" + left.kcMax, QStringLiteral("10/200"));
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SShop")), 1);
}

void TstProducts::singleEntryMessageAndClose()
{
    TestDb t;
    MsgSpy spy;
    frmShop_In w;
    box(&w, "CheckBox1")->setChecked(false);
    ProductInput in = cola();
    in.type.clear();
    w.fields()->setInput(in);
    w.BitBtn1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("恭喜！恭喜！ 商品信息 保存成功！"));
    QCOMPARE(w.result(), int(QDialog::Accepted));
}

void TstProducts::limitFieldsFollowTheOption()
{
    TestDb t;
    G.ShopKCMin = QStringLiteral("5");
    G.ShopKCMax = QStringLiteral("50");
    {
        G.ShopTX = QStringLiteral("True");
        frmShop_In w;
        QVERIFY(w.fields()->limitsShown());
        QCOMPARE(w.fields()->kcMin()->text() + "/" + w.fields()->kcMax()->text(), QStringLiteral("5/50"));
    }
    G.ShopTX = QStringLiteral("False");
    frmShop_In w;
    QVERIFY(!w.fields()->limitsShown());
    // Hidden, the defaults are written all the same.
    ProductInput in = cola();
    in.type.clear();
    in.kcMin = w.fields()->kcMin()->text();
    in.kcMax = w.fields()->kcMax()->text();
    w.fields()->setInput(in);
    w.BitBtn1Click();
    QCOMPARE(t.dm().value(QStringLiteral("select theKCMin||'/'||theKCMax from SShop")).toString(), QStringLiteral("5/50"));

    // The number filter of prices and limits: digits, "." and Backspace only.
    w.fields()->purchase()->clear();
    QTest::keyClicks(w.fields()->purchase(), QStringLiteral("1a,2.-5"));
    QCOMPARE(w.fields()->purchase()->text(), QStringLiteral("12.5"));
}

void TstProducts::stockGuard()
{
    TestDb t;
    t.addWarehouse(QStringLiteral("一号库"));
    const int moved = t.addProduct(QStringLiteral("可乐"));
    const int fresh = t.addProduct(QStringLiteral("雪碧"));
    t.dm().KC_Up(QStringLiteral("一号库"), moved, Money::fromString("1"));
    t.dm().KC_Do(QStringLiteral("一号库"), moved, Money::fromString("1"));
    QVERIFY(productHasStock(t.dm(), moved));
    QVERIFY(!productHasStock(t.dm(), fresh));
    deleteProduct(t.dm(), fresh);
    QCOMPARE(field(t.dm(), fresh, "theDel"), QStringLiteral("是"));
}

void TstProducts::inputCodeDialog()
{
    TestDb t;
    MsgSpy spy;
    const int id = saveProduct(t.dm(), 0, cola()).id;
    bool refreshed = false;
    frmShop_PY w;
    QObject::connect(&w, &frmShop_PY::saved, [&] { refreshed = true; });
    w.setProductID(id);
    auto *py = w.findChild<QLineEdit *>(QStringLiteral("Edit10"));
    QCOMPARE(py->text(), QStringLiteral("KKKL500ML"));
    QCOMPARE(w.fields()->name()->text(), QStringLiteral("可口可乐 500ml"));
    QVERIFY(!w.fields()->isEnabled());

    py->clear();
    w.BitBtn1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("拼音码 不能为空，请重新录入！"));
    QVERIFY(!refreshed);

    py->setText(QStringLiteral("kele 1"));
    w.BitBtn1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("恭喜！恭喜！ 商品名称拼音码 保存成功！"));
    QVERIFY(refreshed);
    QCOMPARE(field(t.dm(), id, "thePY"), QStringLiteral("kele 1")); // as typed
}

void TstProducts::productDiscountDialog()
{
    TestDb t;
    MsgSpy spy;
    const int a = t.addProduct(QStringLiteral("可乐"));
    const int b = t.addProduct(QStringLiteral("雪碧"));
    bool refreshed = false;
    frmSZK w;
    QObject::connect(&w, &frmSZK::saved, [&] { refreshed = true; });
    w.setup(QString::fromUtf8(frmSZK::ProductMode), QString(), b, 100);
    auto *e = w.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    QCOMPARE(e->text(), QStringLiteral("100"));
    e->clear();
    QTest::keyClicks(e, QStringLiteral("8.5%"));
    QCOMPARE(e->text(), QStringLiteral("85"));
    w.BitBtn1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("商品分类折扣 修改 保存成功！"));
    QVERIFY(refreshed);
    QCOMPARE(field(t.dm(), b, "theZK"), QStringLiteral("85"));
    QCOMPARE(field(t.dm(), a, "theZK"), QStringLiteral("100"));
}

void TstProducts::openedFromMenu()
{
    TestDb t;
    Screens::registerAll();
    QVERIFY(Screens::has(QStringLiteral("frmShop_In")));
    std::unique_ptr<QWidget> w(Screens::create(QStringLiteral("frmShop_In"), nullptr));
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), QStringLiteral("frmShop_In"));
    w->setProperty("newEntry", true);
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("Lab_ID"))->text(), QStringLiteral("0"));
    // A screen that was showing a product goes back to a new one.
    const int id = t.addProduct(QStringLiteral("可乐"));
    auto *s = static_cast<frmShop_In *>(w.get());
    s->setProductID(id);
    s->setProperty("newEntry", false);
    s->setProperty("newEntry", true);
    QCOMPARE(s->productID(), 0);
    QCOMPARE(s->fields()->name()->text(), QString());
    QVERIFY(!box(s, "CheckBox1")->isHidden());
}

QTEST_MAIN(TstProducts)
#include "tst_products.moc"
