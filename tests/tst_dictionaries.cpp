// The four dictionary screens: save rules and messages, in-use guards, states,
// the category discount field and the category commands.
#include "data/globals.h"
#include "master/dictionaries.h"
#include "master/frmdictionary.h"
#include "master/frmszk.h"
#include "screenkeys.h"
#include "shell/screens.h"
#include "shellspy.h"
#include "testcaller.h"
#include "testdb.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableView>
#include <QtTest>
#include <memory>

namespace {

std::unique_ptr<DictionaryScreen> open(const QString &screen)
{
    return std::make_unique<DictionaryScreen>(*dictionaryKind(screen));
}

QLineEdit *edit(QWidget *w, const char *name) { return w->findChild<QLineEdit *>(QLatin1String(name)); }

void type(QWidget *w, const QString &name, const QString &remark = QString())
{
    edit(w, "Edit1")->setText(name);
    edit(w, "Edit2")->setText(remark);
}

QTableView *grid(QWidget *w) { return w->findChild<QTableView *>(QStringLiteral("DBGrid1")); }

// Makes the row with this name the grid's current row.
void select(QWidget *w, const QString &name)
{
    QAbstractItemModel *m = grid(w)->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->index(r, 0).data().toString() == name) {
            grid(w)->setCurrentIndex(m->index(r, 0));
            return;
        }
    QFAIL("row not in the grid");
}

QStringList column(QWidget *w, int c)
{
    QStringList out;
    QAbstractItemModel *m = grid(w)->model();
    for (int r = 0; r < m->rowCount(); ++r) out << m->index(r, c).data().toString();
    return out;
}

} // namespace

class TstDictionaries : public QObject {
    Q_OBJECT
private slots:
    void init() { setSession(); G.ShopTX = QStringLiteral("False"); }
    void messages_data();
    void messages();
    void duplicateOfDisabledRow();
    void oddNamesStoredExactly();
    void warehouseGuard();
    void categoryGuard();
    void accountsAndHandlersHaveNoGuard();
    void emptyGridCommands();
    void enableDisable();
    void discountField();
    void stockLimitItem();
    void categoryDiscount();
    void registeredByName();
    void pastedDiscountRefused_data();
    void pastedDiscountRefused();
    void realBoxKeepsTheScreen();
    void keyboard_data();
    void keyboard();
};

void TstDictionaries::messages_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("emptyMsg");
    QTest::addColumn<QString>("dupMsg");
    QTest::addColumn<QString>("savedMsg");
    QTest::newRow("warehouse") << "frmWare" << "仓库设置" << "仓库名称 不能为空，请重新录入！"
                               << "仓库名称 已存在，请重新录入！" << "恭喜！恭喜！ 仓库信息 保存成功！";
    QTest::newRow("account") << "frmAccount" << "收付款方式设置" << "收付款方式 不能为空，请重新录入！"
                             << "收付款方式 已存在，请重新录入！" << "恭喜！恭喜！ 收付款方式 保存成功！";
    QTest::newRow("handler") << "frmStaff" << "经手人管理" << "经手人姓名 不能为空，请重新录入！"
                             << "经手人姓名 已存在，请重新录入！" << "恭喜！恭喜！ 经手人信息 保存成功！";
    QTest::newRow("category") << "frmSType" << "商品分类" << "商品分类 不能为空，请重新录入！"
                              << "商品分类 已存在，请重新录入！" << "恭喜！恭喜！ 商品分类信息 保存成功！";
}

void TstDictionaries::messages()
{
    QFETCH(QString, screen);
    QFETCH(QString, title);
    QFETCH(QString, emptyMsg);
    QFETCH(QString, dupMsg);
    QFETCH(QString, savedMsg);
    TestDb t;
    MsgSpy spy;
    auto w = open(screen);
    QCOMPARE(w->windowTitle(), title);
    const DictionaryKind &k = w->kind();
    const int before = t.dm().rowCount(QStringLiteral("select ID from %1").arg(k.table));

    type(w.get(), QString(), QStringLiteral("备注一"));
    w->BitBtn2Click();
    QCOMPARE(spy.lastText(), emptyMsg);
    QCOMPARE(spy.lastCaption(), Msg::appTitle());

    type(w.get(), QStringLiteral("甲"), QStringLiteral("备注一"));
    w->BitBtn2Click();
    QCOMPARE(spy.lastText(), savedMsg);
    // Ready for the next entry: fields empty, the row listed as enabled.
    QCOMPARE(edit(w.get(), "Edit1")->text(), QString());
    QCOMPARE(edit(w.get(), "Edit2")->text(), QString());
    QVERIFY(column(w.get(), 0).contains(QStringLiteral("甲")));
    QCOMPARE(t.dm().value(QStringLiteral("select theState from %1 where theName='甲'").arg(k.table)).toString(),
             QStringLiteral("启用"));

    type(w.get(), QStringLiteral("甲"), QStringLiteral("另一个"));
    w->BitBtn2Click();
    QCOMPARE(spy.lastText(), dupMsg);
    // A refused save leaves the typed text where it was and writes nothing.
    QCOMPARE(edit(w.get(), "Edit1")->text(), QStringLiteral("甲"));
    QCOMPARE(edit(w.get(), "Edit2")->text(), QStringLiteral("另一个"));
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from %1").arg(k.table)), before + 1);
}

void TstDictionaries::duplicateOfDisabledRow()
{
    TestDb t;
    MsgSpy spy;
    t.addWarehouse(QStringLiteral("旧库"));
    t.dm().mySQL(QStringLiteral("update SWare set theState='停用'"));
    auto w = open(QStringLiteral("frmWare"));
    type(w.get(), QStringLiteral("旧库"));
    w->BitBtn2Click();
    QCOMPARE(spy.lastText(), QStringLiteral("仓库名称 已存在，请重新录入！"));
    // Names are compared exactly: a name with a trailing blank is another name.
    type(w.get(), QStringLiteral("旧库 "));
    w->BitBtn2Click();
    QCOMPARE(spy.lastText(), QStringLiteral("恭喜！恭喜！ 仓库信息 保存成功！"));
}

void TstDictionaries::oddNamesStoredExactly()
{
    TestDb t;
    MsgSpy spy;
    auto w = open(QStringLiteral("frmStaff"));
    type(w.get(), QStringLiteral("O'Neil"), QStringLiteral("it's"));
    w->BitBtn2Click();
    QCOMPARE(spy.lastText(), QStringLiteral("恭喜！恭喜！ 经手人信息 保存成功！"));
    QCOMPARE(t.dm().value(QStringLiteral("select Remark from SStaff where theName=?"), {QStringLiteral("O'Neil")}).toString(),
             QStringLiteral("it's"));
}

void TstDictionaries::warehouseGuard()
{
    TestDb t;
    MsgSpy spy;
    t.addWarehouse(QStringLiteral("一号库"));
    t.addWarehouse(QStringLiteral("二号库"));
    const int sid = t.addProduct(QStringLiteral("可乐"));
    // A stock row holding zero still names the warehouse.
    t.dm().KC_Up(QStringLiteral("一号库"), sid, Money::fromString("2"));
    t.dm().KC_Do(QStringLiteral("一号库"), sid, Money::fromString("2"));
    auto w = open(QStringLiteral("frmWare"));

    select(w.get(), QStringLiteral("一号库"));
    w->D1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("该仓库有商品库存，不能删除！"));
    QCOMPARE(spy.shown.size(), 1); // no question asked
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SWare")), 2);

    // Never moved: asks, and No keeps it.
    spy.clear();
    select(w.get(), QStringLiteral("二号库"));
    w->D1Click();
    QCOMPARE(spy.shown.size(), 1);
    QCOMPARE(spy.shown[0].kind, Msg::Kind::Question);
    QCOMPARE(spy.shown[0].text, QStringLiteral("确认要删除吗？该删除将不可恢复！"));
    QCOMPARE(spy.shown[0].caption, QStringLiteral("删除"));
    QVERIFY(spy.shown[0].defaultNo);
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SWare")), 2);

    spy.answer = true;
    select(w.get(), QStringLiteral("二号库"));
    w->D1Click();
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SWare where theName='二号库'")), 0);
    QCOMPARE(column(w.get(), 0), QStringList{QStringLiteral("一号库")});
}

void TstDictionaries::categoryGuard()
{
    TestDb t;
    MsgSpy spy;
    spy.answer = true;
    auto w = open(QStringLiteral("frmSType"));
    for (const char *name : {"饮料", "食品"}) {
        type(w.get(), QString::fromUtf8(name));
        w->BitBtn2Click();
    }
    const int a = t.addProduct(QStringLiteral("可乐"));
    const int b = t.addProduct(QStringLiteral("雪碧"));
    const int c = t.addProduct(QStringLiteral("饼干"));
    t.dm().mySQL(QStringLiteral("update SShop set theType='饮料', theDel='是' where ID in (?,?)"), {a, b});
    t.dm().mySQL(QStringLiteral("update SShop set theType='食品' where ID=?"), {c});

    spy.clear();
    select(w.get(), QStringLiteral("食品"));
    w->D1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("该商品分类有商品信息，不能删除！"));
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SType where theName='食品'")), 1);

    // Only deleted products: the category may go.
    select(w.get(), QStringLiteral("饮料"));
    w->D1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("确认要删除吗？该删除将不可恢复！"));
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SType where theName='饮料'")), 0);
}

void TstDictionaries::accountsAndHandlersHaveNoGuard()
{
    TestDb t;
    MsgSpy spy;
    spy.answer = true;
    setSession();
    // An old document names the account and the handler.
    t.dm().mySQL(QStringLiteral("insert into UJH(theNum,theDate,AName,UName,theDel) values('CG1','2012-11-16','现金','张三','否')"));
    t.dm().mySQL(QStringLiteral("insert into SStaff(theName,Remark,theState) values('张三','','启用')"));
    for (const char *screen : {"frmAccount", "frmStaff"}) {
        auto w = open(QString::fromLatin1(screen));
        w->D1Click(); // the first row: 现金 / 张三
        QCOMPARE(grid(w.get())->model()->rowCount(), 0);
    }
    QCOMPARE(t.dm().value(QStringLiteral("select AName||UName from UJH")).toString(), QStringLiteral("现金张三"));
}

void TstDictionaries::emptyGridCommands()
{
    TestDb t;
    MsgSpy spy;
    G.ShopTX = QStringLiteral("True");
    auto w = open(QStringLiteral("frmSType"));
    QCOMPARE(grid(w.get())->model()->rowCount(), 0);
    w->Q1Click();
    w->T1Click();
    w->D1Click();
    w->N3Click();
    QCOMPARE(spy.shown.size(), 0);
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SType")), 0);
}

void TstDictionaries::enableDisable()
{
    TestDb t;
    MsgSpy spy;
    t.addWarehouse(QStringLiteral("一号库"));
    t.addWarehouse(QStringLiteral("二号库"));
    auto w = open(QStringLiteral("frmWare"));
    select(w.get(), QStringLiteral("二号库"));
    w->T1Click();
    QCOMPARE(column(w.get(), 2), (QStringList{QStringLiteral("启用"), QStringLiteral("停用")}));
    // A disabled warehouse leaves the pick list but stays on this screen.
    QCOMPARE(t.dm().DBComWare()->rowCount(), 1);
    select(w.get(), QStringLiteral("二号库"));
    w->Q1Click();
    QCOMPARE(column(w.get(), 2), (QStringList{QStringLiteral("启用"), QStringLiteral("启用")}));
    QCOMPARE(t.dm().DBComWare()->rowCount(), 2);
    w->findChild<QAction *>(QStringLiteral("T1"))->trigger(); // the first row
    QCOMPARE(column(w.get(), 2).first(), QStringLiteral("停用"));
}

void TstDictionaries::discountField()
{
    TestDb t;
    MsgSpy spy;
    auto w = open(QStringLiteral("frmSType"));
    QLineEdit *zk = edit(w.get(), "Edit3");
    QCOMPARE(zk->text(), QStringLiteral("100"));
    zk->clear();
    QTest::keyClicks(zk, QStringLiteral("a-.9x"));
    QCOMPARE(zk->text(), QStringLiteral("9"));
    QTest::keyClick(zk, Qt::Key_Backspace);
    QCOMPARE(zk->text(), QString());

    type(w.get(), QStringLiteral("饮料"));
    w->BitBtn2Click();
    QCOMPARE(spy.lastText(), QStringLiteral("销售折扣 不能为空，请重新录入！"));
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SType")), 0);

    // Both ends of the range, 0 and 999, are stored.
    for (const char *value : {"0", "999"}) {
        type(w.get(), QStringLiteral("类") + QLatin1String(value));
        zk->setText(QLatin1String(value));
        w->BitBtn2Click();
        QCOMPARE(t.dm().value(QStringLiteral("select theZK from SType where theName=?"),
                              {QStringLiteral("类") + QLatin1String(value)}).toInt(),
                 QString::fromLatin1(value).toInt());
    }
    // "新增" puts the discount back to 100.
    w->BitBtn1Click();
    QCOMPARE(zk->text(), QStringLiteral("100"));
}

void TstDictionaries::stockLimitItem()
{
    TestDb t;
    MsgSpy spy;
    auto w = open(QStringLiteral("frmSType"));
    type(w.get(), QStringLiteral("饮料"));
    w->BitBtn2Click();
    spy.clear();
    G.ShopTX = QStringLiteral("False");
    w->findChild<QAction *>(QStringLiteral("N3"))->trigger();
    QCOMPARE(spy.lastText(), QStringLiteral("请在 文件 菜单 里 本地信息 里 启用 库存警戒！"));
    // With the option on and no stock-limit dialog registered, nothing opens.
    spy.clear();
    G.ShopTX = QStringLiteral("True");
    w->N3Click();
    QCOMPARE(spy.shown.size(), 0);
    QVERIFY(!QApplication::activeModalWidget());
}

void TstDictionaries::categoryDiscount()
{
    ModalScript modal;
    TestDb t;
    MsgSpy spy;
    auto w = open(QStringLiteral("frmSType"));
    for (const char *name : {"饮料", "食品"}) {
        type(w.get(), QString::fromUtf8(name));
        w->BitBtn2Click();
    }
    const int a = t.addProduct(QStringLiteral("可乐"));
    const int b = t.addProduct(QStringLiteral("旧可乐"));
    const int c = t.addProduct(QStringLiteral("饼干"));
    t.dm().mySQL(QStringLiteral("update SShop set theType='饮料' where ID in (?,?)"), {a, b});
    t.dm().mySQL(QStringLiteral("update SShop set theDel='是' where ID=?"), {b});
    t.dm().mySQL(QStringLiteral("update SShop set theType='食品' where ID=?"), {c});

    select(w.get(), QStringLiteral("饮料"));
    QString seen;
    QString shownDiscount;
    modal.next(&seen, [&](QDialog *d) {
        auto *e = d->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        shownDiscount = e->text();
        e->setText(QStringLiteral("85"));
        d->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    w->Z1Click();
    QCOMPARE(seen, QStringLiteral("frmSZK"));
    QCOMPARE(shownDiscount, QStringLiteral("100"));
    QCOMPARE(spy.lastText(), QStringLiteral("商品分类折扣 修改 保存成功！"));
    QCOMPARE(t.dm().value(QStringLiteral("select theZK from SType where theName='饮料'")).toInt(), 85);
    // Every product of the category, the deleted one included; no other.
    QCOMPARE(t.dm().value(QStringLiteral("select group_concat(theZK) from (select theZK from SShop order by ID)")).toString(),
             QStringLiteral("85,85,100"));
    // The screen shows the new discount.
    select(w.get(), QStringLiteral("饮料"));
    QCOMPARE(column(w.get(), 1).first(), QStringLiteral("85"));

    // An empty discount is refused and changes nothing.
    frmSZK dlg;
    dlg.setup(QString::fromUtf8(frmSZK::CategoryMode), QStringLiteral("食品"), 2, 100);
    dlg.findChild<QLineEdit *>(QStringLiteral("Edit1"))->clear();
    dlg.BitBtn1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("销售折扣 不能为空，请重新录入！"));
    QCOMPARE(t.dm().value(QStringLiteral("select theZK from SShop where ID=?"), {c}).toInt(), 100);
}

void TstDictionaries::registeredByName()
{
    TestDb t;
    Screens::registerAll();
    for (const char *name : {"frmWare", "frmAccount", "frmStaff", "frmSType"}) {
        std::unique_ptr<QWidget> w(Screens::create(QLatin1String(name), nullptr));
        QVERIFY2(w, name);
        QCOMPARE(w->objectName(), QLatin1String(name));
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), QLatin1String(name));
    }
}

void TstDictionaries::pastedDiscountRefused_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("message");
    QTest::newRow("minus") << "-5" << "销售折扣 不能小于零，请重新录入！";
    QTest::newRow("decimals") << "9.5" << "销售折扣 只能是整数，请重新录入！";
    QTest::newRow("letters") << "九十" << "销售折扣 “九十”不是有效的数值，请重新录入！";
}

void TstDictionaries::pastedDiscountRefused()
{
    // The key filter lets only digits be typed; a paste gets past it, and the
    // save refuses what it brought, in the category screen and in the
    // discount dialog alike.
    QFETCH(QString, pasted);
    QFETCH(QString, message);
    TestDb t;
    MsgSpy spy;
    auto w = open(QStringLiteral("frmSType"));
    w->show();
    type(w.get(), QStringLiteral("饮料"));
    edit(w.get(), "Edit3")->setText(pasted);
    w->BitBtn2Click();
    QCOMPARE(spy.lastText(), message);
    QCOMPARE(spy.shown.last().kind, Msg::Kind::Info);
    QCOMPARE(w->focusWidget(), edit(w.get(), "Edit3"));
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SType")), 0);

    edit(w.get(), "Edit3")->setText(QStringLiteral("90"));
    w->BitBtn2Click();
    QCOMPARE(spy.lastText(), QStringLiteral("恭喜！恭喜！ 商品分类信息 保存成功！"));
    const int id = t.dm().value(QStringLiteral("select ID from SType")).toInt();

    frmSZK dlg;
    dlg.setup(QString::fromUtf8(frmSZK::CategoryMode), QStringLiteral("饮料"), id, 90);
    dlg.show();
    edit(&dlg, "Edit1")->setText(pasted);
    spy.clear();
    dlg.BitBtn1Click();
    QCOMPARE(spy.lastText(), message);
    QCOMPARE(dlg.focusWidget(), edit(&dlg, "Edit1"));
    QVERIFY(dlg.isVisible());
    QCOMPARE(t.dm().value(QStringLiteral("select theZK from SType")).toInt(), 90);

    // Beyond three digits only the data side can be asked.
    QCOMPARE(saveDictionaryRow(t.dm(), *dictionaryKind(QStringLiteral("frmSType")), QStringLiteral("茶"), QString(),
                               QStringLiteral("1000")),
             DictionarySave::BadDiscount);
    QCOMPARE(discountRefusal(QStringLiteral("1000")),
             QStringLiteral("销售折扣 “1000”超出允许的范围（最大 999），请重新录入！"));
    QCOMPARE(discountRefusal(QStringLiteral("999")), QString());
}

void TstDictionaries::realBoxKeepsTheScreen()
{
    // No message hook: the refusal and the success are real boxes, each
    // closed by Enter from a timer inside its own event loop.
    TestDb t;
    auto w = open(QStringLiteral("frmSType"));
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    RealModal modal;
    Keys::type(QStringLiteral("饮料"));
    edit(w.get(), "Edit3")->setText(QStringLiteral("-5"));
    w->BitBtn2Click();
    QCOMPARE(modal.texts(), QStringList{QStringLiteral("销售折扣 不能小于零，请重新录入！")});
    QVERIFY(w->isVisible());
    QCOMPARE(w->focusWidget(), edit(w.get(), "Edit3"));
    QCOMPARE(edit(w.get(), "Edit1")->text(), QStringLiteral("饮料"));
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SType")), 0);

    edit(w.get(), "Edit3")->setText(QStringLiteral("85"));
    w->BitBtn2Click();
    QCOMPARE(modal.boxes.size(), 2);
    QCOMPARE(modal.boxes[1].text, QStringLiteral("恭喜！恭喜！ 商品分类信息 保存成功！"));
    QCOMPARE(column(w.get(), 0), QStringList{QStringLiteral("饮料")});
    QCOMPARE(column(w.get(), 1), QStringList{QStringLiteral("85")});
    QCOMPARE(w->focusWidget(), edit(w.get(), "Edit1"));
}

void TstDictionaries::keyboard_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QStringList>("walk");
    const QStringList plain{"Edit1", "Edit2", "BitBtn1", "BitBtn2", "BitBtn3", "DBGrid1", "Edit1"};
    QTest::newRow("frmWare") << "frmWare" << plain;
    QTest::newRow("frmAccount") << "frmAccount" << plain;
    QTest::newRow("frmStaff") << "frmStaff" << plain;
    QTest::newRow("frmSType") << "frmSType"
                              << QStringList{"Edit1", "Edit3", "Edit2", "BitBtn1", "BitBtn2", "BitBtn3", "DBGrid1", "Edit1"};
}

void TstDictionaries::keyboard()
{
    // Opens in the name; Tab runs down the fields and the buttons, through the
    // list (rows in it or not) and back to the name; Enter on a button reached
    // by Tab presses it.
    QFETCH(QString, screen);
    QFETCH(QStringList, walk);
    TestDb t;
    MsgSpy spy;
    const DictionaryKind &k = *dictionaryKind(screen);
    for (const char *n : {"甲", "乙"}) saveDictionaryRow(t.dm(), k, QString::fromUtf8(n), QString(), QStringLiteral("100"));
    auto w = open(screen);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QCOMPARE(Keys::nameOf(Keys::focus()), QStringLiteral("Edit1"));
    QCOMPARE(Keys::tabWalk(), walk);

    Keys::type(QStringLiteral("丙"));
    for (int i = 0; i < walk.indexOf(QStringLiteral("BitBtn2")); ++i) Keys::press(Qt::Key_Tab);
    QCOMPARE(Keys::nameOf(Keys::focus()), QStringLiteral("BitBtn2"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(spy.lastText(), Msg::savedText(k.savedObject));
    QCOMPARE(column(w.get(), 0).mid(column(w.get(), 0).size() - 3),
             (QStringList{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")}));
    QCOMPARE(Keys::nameOf(Keys::focus()), QStringLiteral("Edit1"));
}

QTEST_MAIN(TstDictionaries)
#include "tst_dictionaries.moc"
