// Payment and receipt vouchers: the save and its checks, the delete and its
// reversal, all-or-nothing; the entry screen through the keyboard and the
// partner lookup; the management and balances screens.
#include "data/dberror.h"
#include "data/globals.h"
#include "data/menutable.h"
#include "money/balancelist.h"
#include "money/voucher.h"
#include "money/voucherentry.h"
#include "money/voucherlist.h"
#include "money/voucherprint.h"
#include "shell/screens.h"
#include "screenkeys.h"
#include "shellspy.h"
#include "testcaller.h"
#include "testdb.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace {

struct Printed {
    VoucherKind kind;
    QString num;
};
QVector<Printed> g_printed;

template <class T = QLineEdit> T *field(QWidget *s, const char *name) { return s->findChild<T *>(name); }

} // namespace

class TstVouchers : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void postingsOfSaveAndDelete_data();
    void postingsOfSaveAndDelete();
    void checksInOrder_data();
    void checksInOrder();
    void numbering();
    void deletedOnceOnly();
    void failurePartWayLeavesNothing_data();
    void failurePartWayLeavesNothing();
    void balanceLeavingTheRangeRefused();
    void entryByKeyboard();
    void partnerLookup_data();
    void partnerLookup();
    void savedWithoutContinuingCannotPayTwice();
    void escapeAsksInARealBox();
    void managementList();
    void balancesScreens();
    void screensOpenFromTheMenu();

private:
    struct Fixture;
};

struct TstVouchers::Fixture {
    TestDb t;
    int supplier = t.addPartner("大华商行", "供应商");
    int customer = t.addPartner("顺发超市", "客户");
    int both = t.addPartner("万通贸易", "两者皆是");
    frmDM &dm() { return t.dm(); }
    Money m(const QString &sql, const QVariantList &b = {}) { return Money::fromVariant(dm().value(sql, b)); }
    int n(const QString &sql, const QVariantList &b = {}) { return dm().value(sql, b).toInt(); }

    Fixture()
    {
        for (const char *s : {"张三", "李四"})
            dm().mySQL("insert into SStaff(theName,Remark,theState) values(?,'','启用')", {QString::fromUtf8(s)});
        dm().mySQL("insert into SAccount(theName,Remark,theState) values('银行','','启用')");
    }
    void setBalances(int uid, const char *ys, const char *yf)
    {
        dm().mySQL("update SUnits set theYS=?, theYF=? where ID=?",
                   {Money::fromString(ys).toVariant(), Money::fromString(yf).toVariant(), uid});
    }
    Voucher voucher(VoucherKind kind, const QString &amount, const QString &myDate = "2012-11-16")
    {
        Voucher v;
        v.kind = kind;
        v.uid = kind == VoucherKind::Payment ? supplier : customer;
        v.partnerName = kind == VoucherKind::Payment ? "大华商行" : "顺发超市";
        v.myDate = myDate;
        v.amountText = amount;
        v.account = "现金";
        v.handler = "张三";
        v.remark = "备注";
        return v;
    }
    int voucherId(const QString &table, const QString &num)
    {
        return n(QString("select ID from %1 where theNum=?").arg(table), {num});
    }
};

void TstVouchers::init()
{
    setSession("2012-11-16", "系统管理员");
    G.UserZH = "现金";
    G.UserJSR = "张三";
    g_printed.clear();
    VoucherPrint::setHook([](VoucherKind kind, const QString &num) { g_printed << Printed{kind, num}; });
}

void TstVouchers::cleanup()
{
    VoucherPrint::setHook(nullptr);
    Msg::setHandler(nullptr);
}

// The worked examples: the voucher row, the balance, the money log; then the
// delete under another login and business date.
void TstVouchers::postingsOfSaveAndDelete_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("myDate");
    QTest::addColumn<QString>("words");                // the amount in words
    QTest::addColumn<QString>("balanceAfter");
    QTest::addColumn<QVariantList>("cashAfterSave");   // type, in, out
    QTest::addColumn<QVariantList>("cashAfterDelete");
    const int P = int(VoucherKind::Payment), R = int(VoucherKind::Receipt);
    // Paying 500 against 300 owed: the balance goes negative.
    QTest::newRow("payment beyond the balance") << P << "500" << "2012-11-16" << "伍佰元整" << "-200"
                                                << QVariantList{"付款单录入", 0, 500} << QVariantList{"付款单删除", 500, 0};
    QTest::newRow("payment of 100") << P << "100" << "2012-11-16" << "壹佰元整" << "200"
                                    << QVariantList{"付款单录入", 0, 100} << QVariantList{"付款单删除", 100, 0};
    // Dated on another day: the number and the money log keep the business date.
    QTest::newRow("payment dated another day") << P << "0.01" << "2012-10-01" << "壹分" << "299.99"
                                               << QVariantList{"付款单录入", 0, 0.01} << QVariantList{"付款单删除", 0.01, 0};
    QTest::newRow("receipt") << R << "120.5" << "2012-11-16" << "壹佰贰拾元伍角" << "-20.5"
                             << QVariantList{"收款单录入", 120.5, 0} << QVariantList{"收款单删除", 0, 120.5};
    QTest::newRow("receipt in fen") << R << "1409.02" << "2012-11-16" << "壹仟肆佰零玖元零贰分" << "-1309.02"
                                    << QVariantList{"收款单录入", 1409.02, 0} << QVariantList{"收款单删除", 0, 1409.02};
}

void TstVouchers::postingsOfSaveAndDelete()
{
    QFETCH(int, kind);
    QFETCH(QString, amount);
    QFETCH(QString, myDate);
    QFETCH(QString, words);
    QFETCH(QString, balanceAfter);
    QFETCH(QVariantList, cashAfterSave);
    QFETCH(QVariantList, cashAfterDelete);
    Fixture f;
    f.setBalances(f.supplier, "0", "300");
    f.setBalances(f.customer, "100", "0");
    const VoucherKind k = VoucherKind(kind);
    const VoucherSide &s = voucherSide(k);
    const int uid = k == VoucherKind::Payment ? f.supplier : f.customer;
    const QString balance = QString("select %1 from SUnits where ID=?").arg(s.balanceColumn);
    const Money before = f.m(balance, {uid});

    const QString num = saveVoucher(f.dm(), f.voucher(k, amount, myDate));
    QCOMPARE(num, s.prefix + "121116-0001");
    QCOMPARE(f.dm().rows(QString("select theDate,myDate,UID,theDel,%1,AName,UName,IName,Remark,theDX,MName from %2")
                             .arg(s.amountColumn, s.table)),
             (QVector<QVariantList>{{"2012-11-16", myDate, uid, "否", Money::fromString(amount).toDouble(), "现金", "张三",
                                     "系统管理员", "备注", words, k == VoucherKind::Payment ? "大华商行" : "顺发超市"}}));
    // The voucher prints the words it stored: those of the amount it stored.
    const auto stored = f.dm().rows(QString("select %1, theDX from %2").arg(s.amountColumn, s.table));
    QCOMPARE(stored[0][1].toString(), NumToChar(Money::fromVariant(stored[0][0])));
    QCOMPARE(f.m(balance, {uid}).toString(), balanceAfter);
    QCOMPARE(f.dm().rows("select theDate,theType,theNum,theIn,theOut,MName,UName,IName from UList"),
             (QVector<QVariantList>{{"2012-11-16", cashAfterSave[0], num, cashAfterSave[1], cashAfterSave[2], "现金", "张三",
                                     "系统管理员"}}));

    // Deleted by another user on another business date.
    setSession("2012-11-20", "小王");
    QVERIFY(deleteVoucher(f.dm(), k, f.voucherId(s.table, num)));
    QCOMPARE(f.m(balance, {uid}), before);
    QCOMPARE(f.dm().value(QString("select theDel from %1").arg(s.table)).toString(), QString("是"));
    QCOMPARE(f.dm().rows("select theDate,theType,theNum,theIn,theOut,MName,UName,IName from UList where ID>1"),
             (QVector<QVariantList>{{"2012-11-20", cashAfterDelete[0], num, cashAfterDelete[1], cashAfterDelete[2], "现金",
                                     "张三", "小王"}}));
    // Over both rows the money log nets to nothing.
    QCOMPARE(f.m("select sum(theIn)-sum(theOut) from UList"), Money());
}

void TstVouchers::checksInOrder_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("broken");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");
    const int P = int(VoucherKind::Payment), R = int(VoucherKind::Receipt);
    const int partner = int(VoucherField::Partner), amount = int(VoucherField::Amount);
    QTest::newRow("no supplier") << P << "partner" << partner << "供应商 不能为空！ 请在 供应商 处 按回车 选择 供应商！";
    QTest::newRow("no customer") << R << "partner" << partner << "客户名称 不能为空！ 请在 客户名称 处 按回车 选择 客户名称！";
    // The partner is named before a bad amount.
    QTest::newRow("no partner and no amount") << P << "partner;amount:" << partner
                                              << "供应商 不能为空！ 请在 供应商 处 按回车 选择 供应商！";
    QTest::newRow("partner gone meanwhile") << P << "uid:9999" << partner << "供应商 不能为空！ 请在 供应商 处 按回车 选择 供应商！";
    QTest::newRow("payment of 0") << P << "amount:0" << amount << "付款金额 不能小于或等于零！";
    QTest::newRow("receipt of 0.0000") << R << "amount:0.0000" << amount << "收款金额 不能小于等于零！";
    QTest::newRow("pasted negative") << P << "amount:-5" << amount << "付款金额 不能小于或等于零！";
    QTest::newRow("empty amount") << R << "amount:" << amount << "收款金额 不能为空，请重新录入！";
    QTest::newRow("not a number") << P << "amount:1.2.3" << amount << "付款金额 “1.2.3”不是有效的数值，请重新录入！";
    QTest::newRow("letters") << R << "amount:12a" << amount << "收款金额 “12a”不是有效的数值，请重新录入！";
    QTest::newRow("five decimals") << P << "amount:0.00001" << amount << "付款金额 最多只能有四位小数，请重新录入！";
    QTest::newRow("past the range") << P << "amount:100000000000" << amount
                                    << "付款金额 “100000000000”超出允许的范围（最大 99999999999.9999），请重新录入！";
    QTest::newRow("no account") << P << "account" << int(VoucherField::Account) << "请选择 付款方式！";
    QTest::newRow("no receiving account") << R << "account" << int(VoucherField::Account) << "请选择 收款方式！";
    QTest::newRow("no handler") << R << "handler" << int(VoucherField::Handler) << "请选择 经手人！";
}

void TstVouchers::checksInOrder()
{
    QFETCH(int, kind);
    QFETCH(QString, broken);
    QFETCH(int, field);
    QFETCH(QString, message);
    Fixture f;
    Voucher v = f.voucher(VoucherKind(kind), "100");
    for (const QString &b : broken.split(';')) {
        if (b == "partner") v.uid = 0;
        else if (b == "account") v.account.clear();
        else if (b == "handler") v.handler.clear();
        else if (b.startsWith("amount:")) v.amountText = b.mid(7);
        else if (b.startsWith("uid:")) v.uid = b.mid(4).toInt();
    }
    VoucherCheck c;
    QCOMPARE(saveVoucher(f.dm(), v, &c), QString());
    QCOMPARE(int(c.field), field);
    QCOMPARE(c.message, message);
    QCOMPARE(f.n("select count(*) from UFK") + f.n("select count(*) from USK") + f.n("select count(*) from UList"), 0);
    QCOMPARE(f.n("select count(*) from SUnits where theYS<>0 or theYF<>0"), 0);
}

void TstVouchers::numbering()
{
    Fixture f;
    const QString first = saveVoucher(f.dm(), f.voucher(VoucherKind::Payment, "1"));
    QCOMPARE(first, QString("FK121116-0001"));
    QVERIFY(deleteVoucher(f.dm(), VoucherKind::Payment, f.voucherId("UFK", first)));
    // A deleted voucher still counts; the other side counts on its own.
    QCOMPARE(saveVoucher(f.dm(), f.voucher(VoucherKind::Payment, "1")), QString("FK121116-0002"));
    QCOMPARE(saveVoucher(f.dm(), f.voucher(VoucherKind::Receipt, "1")), QString("SK121116-0001"));
    setSession("2012-11-17");
    QCOMPARE(saveVoucher(f.dm(), f.voucher(VoucherKind::Payment, "1")), QString("FK121117-0001"));
}

void TstVouchers::deletedOnceOnly()
{
    Fixture f;
    const QString num = saveVoucher(f.dm(), f.voucher(VoucherKind::Receipt, "80"));
    const int id = f.voucherId("USK", num);
    QVERIFY(deleteVoucher(f.dm(), VoucherKind::Receipt, id));
    // A second delete (a double click, another seat) finds it deleted and does nothing.
    QVERIFY(!deleteVoucher(f.dm(), VoucherKind::Receipt, id));
    QCOMPARE(f.m("select theYS from SUnits where ID=?", {f.customer}), Money());
    QCOMPARE(f.n("select count(*) from UList where theType='收款单删除'"), 1);
    // An ID of the other side's table is not this side's voucher.
    QVERIFY(!deleteVoucher(f.dm(), VoucherKind::Payment, id));
}

void TstVouchers::failurePartWayLeavesNothing_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<bool>("update");
    QTest::addColumn<QString>("table");
    // The last write of the save (the money log) and of the delete (the mark) fail.
    QTest::newRow("save: money log") << "save" << false << "UList";
    QTest::newRow("save: balance") << "save" << true << "SUnits";
    QTest::newRow("delete: money log") << "delete" << false << "UList";
    QTest::newRow("delete: marking") << "delete" << true << "UFK";
}

void TstVouchers::failurePartWayLeavesNothing()
{
    QFETCH(QString, when);
    QFETCH(bool, update);
    QFETCH(QString, table);
    Fixture f;
    f.setBalances(f.supplier, "0", "300");
    QString num;
    if (when == "delete") num = saveVoucher(f.dm(), f.voucher(VoucherKind::Payment, "100"));
    const auto vouchers = f.dm().rows("select * from UFK");
    const auto log = f.dm().rows("select * from UList");
    const auto partners = f.dm().rows("select ID, theYS, theYF from SUnits");
    if (update) f.t.failUpdates(table, "disk full");
    else f.t.failInserts(table, "disk full");
    try {
        if (when == "save") saveVoucher(f.dm(), f.voucher(VoucherKind::Payment, "100"));
        else deleteVoucher(f.dm(), VoucherKind::Payment, f.voucherId("UFK", num));
        QFAIL("the write should have failed");
    } catch (const DbError &e) {
        QVERIFY(e.text().contains("disk full"));
    }
    QCOMPARE(f.dm().rows("select * from UFK"), vouchers);
    QCOMPARE(f.dm().rows("select * from UList"), log);
    QCOMPARE(f.dm().rows("select ID, theYS, theYF from SUnits"), partners);
}

void TstVouchers::balanceLeavingTheRangeRefused()
{
    Fixture f;
    f.setBalances(f.supplier, "0", "-99999999999");
    VoucherCheck c;
    QCOMPARE(saveVoucher(f.dm(), f.voucher(VoucherKind::Payment, "1"), &c), QString());
    QCOMPARE(int(c.field), int(VoucherField::Amount));
    QCOMPARE(c.message, QString("该往来单位的 应付金额 将超出允许的范围（绝对值最大 99999999999.9999），请重新录入 付款金额！"));
    QCOMPARE(f.n("select count(*) from UFK"), 0);
}

// From the menu: initials, Enter, the amount, save; the screen is cleared for the next.
void TstVouchers::entryByKeyboard()
{
    Fixture f;
    f.dm().mySQL("update SUnits set thePY='DHSH' where ID=?", {f.supplier});
    MsgSpy spy;
    frmFK_In s;
    s.show();
    QVERIFY(QTest::qWaitForWindowActive(&s));
    QLineEdit *partner = field(&s, "Edit1");
    QLineEdit *amount = field(&s, "Edit2");
    QCOMPARE(QApplication::focusWidget(), partner);
    QCOMPARE(field<QDateEdit>(&s, "DateTimePicker1")->date(), QDate(2012, 11, 16));
    QCOMPARE(field<QComboBox>(&s, "DBLookupComboBox1")->currentText(), QString("现金"));
    QCOMPARE(field<QComboBox>(&s, "DBLookupComboBox2")->currentText(), QString("张三"));

    // Tab follows the layout and comes back round; Enter moves on like Tab.
    QCOMPARE(Keys::tabWalk(), (QStringList{"Edit1", "DateTimePicker1", "Edit2", "DBLookupComboBox1", "DBLookupComboBox2",
                                           "Edit3", "CheckBox1", "BitBtn1", "BitBtn2", "Edit1"}));

    Keys::type("dhsh");
    Keys::press(Qt::Key_Return);
    QCOMPARE(partner->text(), QString("大华商行"));
    QCOMPARE(field<QLabel>(&s, "Lab_Units")->text(), QString::number(f.supplier));
    QCOMPARE(QApplication::focusWidget(), amount);
    // The amount box takes digits and one point; typing replaces the "0".
    Keys::type("12a5.-5");
    QCOMPARE(amount->text(), QString("125.5"));
    for (int i = 0; i < 5; ++i) Keys::press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), field<QPushButton>(&s, "BitBtn1"));
    Keys::press(Qt::Key_Return);

    QCOMPARE(spy.shown.size(), 0);
    QCOMPARE(s.savedNum(), QString("FK121116-0001"));
    QCOMPARE(g_printed.size(), 1);
    QCOMPARE(g_printed[0].num, s.savedNum());
    QCOMPARE(f.m("select theYF from SUnits where ID=?", {f.supplier}).toString(), QString("-125.5"));
    // "连续新增": ready for the next voucher.
    QCOMPARE(partner->text(), QString());
    QCOMPARE(amount->text(), QString("0"));
    QCOMPARE(field<QLabel>(&s, "Lab_Units")->text(), QString());

    // A name typed over a chosen partner is a new search: the save asks for Enter.
    QTest::keyClicks(partner, "dhsh");
    QTest::keyClick(partner, Qt::Key_Return);
    QTest::keyClicks(partner, "x");
    amount->setText("1");
    s.BitBtn1Click();
    QCOMPARE(spy.lastText(), QString("供应商 不能为空！ 请在 供应商 处 按回车 选择 供应商！"));
    QCOMPARE(QApplication::focusWidget(), partner);
    QCOMPARE(f.n("select count(*) from UFK"), 1);
}

void TstVouchers::partnerLookup_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("window");     // the window the lookup opens, empty for none
    QTest::addColumn<QString>("taken");      // the partner in the box afterwards
    const int P = int(VoucherKind::Payment), R = int(VoucherKind::Receipt);
    // Suppliers and partners of both kinds are offered to payments, never customers.
    QTest::newRow("one supplier") << P << "大华" << "" << "大华商行";
    QTest::newRow("both kinds to payments") << P << "万通" << "" << "万通贸易";
    QTest::newRow("customer not offered to payments") << P << "顺发" << "frmNewUnits" << "新伙伴";
    QTest::newRow("several: the picker") << P << "" << "frmFindUnits" << "万通贸易";
    QTest::newRow("several customers: the picker") << R << "" << "frmFindUnits" << "万通贸易";
    QTest::newRow("supplier not offered to receipts") << R << "大华" << "frmNewUnits" << "新伙伴";
}

void TstVouchers::partnerLookup()
{
    QFETCH(int, kind);
    QFETCH(QString, typed);
    QFETCH(QString, window);
    QFETCH(QString, taken);
    ModalScript modal;
    Fixture f;
    MsgSpy spy;
    std::unique_ptr<VoucherEntryScreen> s;
    if (VoucherKind(kind) == VoucherKind::Payment) s = std::make_unique<frmFK_In>();
    else s = std::make_unique<frmSK_In>();
    s->show();
    QString seen;
    if (!window.isEmpty()) {
        modal.next(&seen, [](QDialog *d) {
            if (d->objectName() == "frmNewUnits") {
                d->findChild<QLineEdit *>("Edit1")->setText("新伙伴");
                d->findChild<QPushButton *>("BitBtn1")->click();
            } else {
                // The picker lists by type, then name: "两者皆是" first.
                QTest::keyClick(d->focusWidget(), Qt::Key_Return);
            }
        });
    }
    QLineEdit *partner = field(s.get(), "Edit1");
    partner->setText(typed);
    QTest::keyClick(partner, Qt::Key_Return);
    QCOMPARE(seen, window);
    QCOMPARE(partner->text(), taken);
    const int id = field<QLabel>(s.get(), "Lab_Units")->text().toInt();
    QCOMPARE(f.dm().value("select theName from SUnits where ID=?", {id}).toString(), taken);
    QCOMPARE(s->focusWidget(), field(s.get(), "Edit2"));
    if (window == "frmNewUnits")
        QCOMPARE(f.dm().value("select theType from SUnits where ID=?", {id}).toString(),
                 QString(VoucherKind(kind) == VoucherKind::Payment ? "供应商" : "客户"));
}

void TstVouchers::savedWithoutContinuingCannotPayTwice()
{
    Fixture f;
    MsgSpy spy;
    frmSK_In s;
    s.show();
    s.setPartner("顺发超市", f.customer);
    field(&s, "Edit2")->setText("30");
    field<QCheckBox>(&s, "CheckBox1")->setChecked(false);
    auto *save = field<QPushButton>(&s, "BitBtn1");
    QTest::mouseClick(save, Qt::LeftButton);
    QTest::mouseClick(save, Qt::LeftButton);
    s.BitBtn1Click();
    QCOMPARE(f.n("select count(*) from USK"), 1);
    QCOMPARE(f.m("select theYS from SUnits where ID=?", {f.customer}).toString(), QString("-30"));
    QCOMPARE(g_printed.size(), 1);
    // The saved values stay on the screen; leaving asks nothing.
    QCOMPARE(field(&s, "Edit2")->text(), QString("30"));
    QVERIFY(!save->isEnabled());
    s.reject();
    QCOMPARE(spy.shown.size(), 0);
    QVERIFY(!s.isVisible());
}

// The question before typed input is discarded, in a real message box: No keeps
// the screen, Yes closes it. A screen with nothing typed closes without asking.
void TstVouchers::escapeAsksInARealBox()
{
    Fixture f;
    frmFK_In s;
    s.show();
    QVERIFY(QTest::qWaitForWindowActive(&s));
    QTest::keyClick(&s, Qt::Key_Escape);
    QVERIFY(!s.isVisible());

    s.show();
    QVERIFY(QTest::qWaitForWindowActive(&s));
    QTest::keyClicks(field(&s, "Edit3"), "note");
    QStringList asked;
    auto answer = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [&, button] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) return;
            asked << box->text();
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
            box->button(button)->click();
        });
    };
    answer(QMessageBox::No);
    QTest::keyClick(field(&s, "Edit3"), Qt::Key_Escape);
    QCOMPARE(asked, QStringList{"放弃本单据吗？"});
    QVERIFY(s.isVisible());
    QCOMPARE(field(&s, "Edit3")->text(), QString("note"));

    answer(QMessageBox::Yes);
    QTest::mouseClick(field<QPushButton>(&s, "BitBtn2"), Qt::LeftButton);
    QCOMPARE(asked.size(), 2);
    QVERIFY(!s.isVisible());
}

void TstVouchers::managementList()
{
    Fixture f;
    MsgSpy spy;
    const QString a = saveVoucher(f.dm(), f.voucher(VoucherKind::Payment, "100", "2012-11-10"));
    Voucher other = f.voucher(VoucherKind::Payment, "0.3", "2012-10-01");
    other.uid = f.both;
    other.account = "银行";
    const QString b = saveVoucher(f.dm(), other);
    saveVoucher(f.dm(), f.voucher(VoucherKind::Receipt, "7"));   // the other side's list

    frmFK_M1 s;
    s.show();
    QCOMPARE(s.rowCount(), 0);
    QVERIFY(!s.excelButton()->isEnabled());
    s.BitBtn1Click();
    // Newest first, with the count and the exact sum.
    QCOMPARE(s.valueAt(0, "theNum").toString(), b);
    QCOMPARE(s.valueAt(1, "theNum").toString(), a);
    QCOMPARE(s.valueAt(0, "myDate").toString(), QString("2012-10-01"));
    QCOMPARE(s.countLabel()->text(), QString("付款数量：2"));
    QCOMPARE(s.totalLabel("theFK")->text(), QString("付款合计：100.3"));

    // Filters: the voucher date and the account.
    FilterRow *date = s.filters()[0];
    date->dateFrom()->setDate(QDate(2012, 11, 1));
    date->dateTo()->setDate(QDate(2012, 11, 30));
    QVERIFY(date->isTicked());
    s.BitBtn1Click();
    QCOMPARE(s.rowCount(), 1);
    QCOMPARE(s.valueAt(0, "theNum").toString(), a);
    date->box()->setChecked(false);
    FilterRow *account = s.filters()[2];
    account->comboBox()->setCurrentText("银行");
    account->tick();
    s.BitBtn1Click();
    QCOMPARE(s.rowCount(), 1);
    QCOMPARE(s.valueAt(0, "theNum").toString(), b);
    FilterRow *name = s.filters()[1];
    name->lineEdit()->setText("没有的'单位");
    name->tick();
    s.BitBtn1Click();
    QCOMPARE(s.countLabel()->text(), QString("付款数量：0"));
    QCOMPARE(s.totalLabel("theFK")->text(), QString("付款合计："));
    name->box()->setChecked(false);
    account->box()->setChecked(false);

    // Print and delete the selected voucher from the pop-up menu.
    s.BitBtn1Click();
    s.grid()->setCurrentIndex(s.grid()->model()->index(1, 0));
    s.popupMenu()->findChild<QAction *>("P1")->trigger();
    QCOMPARE(g_printed.size(), 1);
    QCOMPARE(g_printed[0].num, a);
    spy.answer = false;
    s.D1Click();
    QCOMPARE(spy.lastText(), QString("确认要删除吗？该删除将不可恢复！"));
    QCOMPARE(spy.lastCaption(), QString("删除"));
    QVERIFY(spy.shown.last().defaultNo);
    QCOMPARE(s.rowCount(), 2);
    spy.answer = true;
    s.D1Click();
    QCOMPARE(s.rowCount(), 1);
    QCOMPARE(f.dm().value("select theDel from UFK where theNum=?", {a}).toString(), QString("是"));
    QCOMPARE(f.m("select theYF from SUnits where ID=?", {f.supplier}), Money());
}

void TstVouchers::balancesScreens()
{
    ModalScript modal;
    Fixture f;
    MsgSpy spy;
    f.setBalances(f.supplier, "0", "250.25");
    f.setBalances(f.customer, "40", "0");
    f.setBalances(f.both, "5", "-200");
    const int gone = f.t.addPartner("已删除", "供应商");
    f.dm().mySQL("update SUnits set theDel='是', theYF=9 where ID=?", {gone});
    const int settled = f.t.addPartner("两清", "供应商");

    frmUnits_YF yf;
    frmUnits_YS ys;
    yf.show();
    yf.BitBtn1Click();
    ys.BitBtn1Click();
    // Newest partner first; both kinds on both screens; deleted ones on neither.
    QStringList names;
    for (int r = 0; r < yf.rowCount(); ++r) names << yf.valueAt(r, "theName").toString();
    QCOMPARE(names, (QStringList{"两清", "万通贸易", "大华商行"}));
    QCOMPARE(yf.countLabel()->text(), QString("往来单位数量：3"));
    QCOMPARE(yf.totalLabel("theYF")->text(), QString("应付金额：50.25"));
    QCOMPARE(ys.rowCount(), 2);
    QCOMPARE(ys.totalLabel("theYS")->text(), QString("应收金额：45"));

    // A settled partner: "付款录入" does nothing.
    yf.grid()->setCurrentIndex(yf.grid()->model()->index(0, 1));
    QCOMPARE(yf.currentValue("ID").toInt(), settled);
    yf.N1Click();
    QVERIFY(!QApplication::activeModalWidget());

    // The supplier: the entry starts with its whole balance, the cursor on the amount.
    yf.grid()->setCurrentIndex(yf.grid()->model()->index(2, 1));
    QString seen, shownName, shownAmount, mode;
    bool amountFocused = false;
    modal.next(&seen, [&](QDialog *d) {
        auto *e = qobject_cast<VoucherEntryScreen *>(d);
        if (!e) return d->reject();
        shownName = e->findChild<QLineEdit *>("Edit1")->text();
        shownAmount = e->findChild<QLineEdit *>("Edit2")->text();
        amountFocused = e->focusWidget() == e->findChild<QLineEdit *>("Edit2");
        mode = e->mode();
        QTest::keyClicks(e->focusWidget(), "50");
        e->BitBtn1Click();
        e->reject();
    });
    yf.N1Click();
    QCOMPARE(seen, QString("frmFK_In"));
    QCOMPARE(shownName, QString("大华商行"));
    QCOMPARE(shownAmount, QString("250.25"));
    QVERIFY(amountFocused);
    QCOMPARE(mode, QString("yf"));
    // Closing the entry brought the balances up to date.
    QCOMPARE(yf.valueAt(2, "theYF").toString(), QString("200.25"));
    QCOMPARE(yf.totalLabel("theYF")->text(), QString("应付金额：0.25"));

    // An over-paid partner (negative balance) can still be chosen.
    yf.grid()->setCurrentIndex(yf.grid()->model()->index(1, 1));
    modal.next(&seen, [&](QDialog *d) {
        shownAmount = d->findChild<QLineEdit *>("Edit2")->text();
        d->reject();
    });
    seen.clear();
    yf.N1Click();
    QCOMPARE(seen, QString("frmFK_In"));
    QCOMPARE(shownAmount, QString("-200"));

    QCOMPARE(spy.shown.size(), 0);
}

// Every money and report item of the menu opens its screen: entries as
// dialogs, the others as list screens.
void TstVouchers::screensOpenFromTheMenu()
{
    Fixture f;
    Screens::registerAll();
    const QStringList names{"frmFK_In", "frmSK_In", "frmFK_M1", "frmSK_M1", "frmUnits_YF", "frmUnits_YS", "frmList",
                            "frmBB_D", "frmBB_M", "frmBB_Y", "frmBB_CG", "frmBB_CT", "frmBB_XS", "frmBB_XT"};
    int found = 0;
    for (const MenuTop &top : menuTree()) {
        for (const MenuEntry &e : top.items) {
            if (!names.contains(e.screen)) continue;
            ++found;
            std::unique_ptr<QWidget> w(Screens::create(e.screen, nullptr));
            QVERIFY2(w, qPrintable(e.screen));
            QCOMPARE(QString::fromLatin1(w->metaObject()->className()), e.screen);
            QCOMPARE(w->objectName(), e.screen);
            if (e.child) QVERIFY2(qobject_cast<ListScreen *>(w.get()), qPrintable(e.screen));
            else QVERIFY2(qobject_cast<QDialog *>(w.get()), qPrintable(e.screen));
        }
    }
    QCOMPARE(found, names.size());
}

QTEST_MAIN(TstVouchers)
#include "tst_vouchers.moc"
