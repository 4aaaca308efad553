// Partner entry and change, continuous entry, the quick entry of the documents
// and the partner card.
#include "data/globals.h"
#include "master/frmnewunits.h"
#include "master/frmunits_in.h"
#include "master/frmunits_v.h"
#include "master/partnerfields.h"
#include "master/partners.h"
#include "screenkeys.h"
#include "shell/screens.h"
#include "shellspy.h"
#include "testcaller.h"
#include "testdb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

PartnerInput dahua()
{
    return PartnerInput{QStringLiteral("大华商行"), QStringLiteral("王经理"), QStringLiteral("0571-1234"),
                        QStringLiteral("解放路1号"), QStringLiteral("老客户"), QStringLiteral("供应商"),
                        QStringLiteral("12.5"), QStringLiteral("30")};
}

QString row(frmDM &dm, int id)
{
    return dm.value(QStringLiteral("select theName||'|'||thePro||'|'||thePho||'|'||theAdd||'|'||Remark||'|'||theType||'|'"
                                   "||theYS||'|'||theYF||'|'||thePY||'|'||theState||'|'||theDel from SUnits where ID=?"),
                    {id})
        .toString();
}

} // namespace

class TstPartners : public QObject {
    Q_OBJECT
private slots:
    void init() { setSession(); }
    void newPartnerRow();
    void emptyNameAndEmptyBalances();
    void duplicateRule_data();
    void duplicateRule();
    void changeScreen();
    void continuousEntry();
    void deleteWithBalance();
    void quickEntryType_data();
    void quickEntryType();
    void quickEntryRefusesDuplicate();
    void card();
    void openedFromMenu();
    void openingBalancesReadAsAmounts_data();
    void openingBalancesReadAsAmounts();
    void keyboard();
};

void TstPartners::newPartnerRow()
{
    TestDb t;
    const PartnerSaveResult r = savePartner(t.dm(), 0, dahua());
    QCOMPARE(r.status, PartnerSaveResult::Saved);
    QCOMPARE(row(t.dm(), r.id), QStringLiteral("大华商行|王经理|0571-1234|解放路1号|老客户|供应商|12.5|30|DHSH|启用|否"));
}

void TstPartners::emptyNameAndEmptyBalances()
{
    TestDb t;
    MsgSpy spy;
    frmUnits_In w;
    w.show();
    QCOMPARE(w.fields()->type()->currentText(), QStringLiteral("两者皆是"));
    QCOMPARE(w.fields()->type()->count(), 3);
    w.fields()->contact()->setText(QStringLiteral("某人"));
    w.fields()->contact()->setFocus();
    w.BitBtn1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("单位名称 不能为空，请重新录入！"));
    QCOMPARE(w.focusWidget(), w.fields()->name());
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SUnits")), 0);

    w.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->setChecked(false);
    w.fields()->name()->setText(QStringLiteral("散客"));
    w.BitBtn1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("恭喜！恭喜！ 往来单位信息 保存成功！"));
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(t.dm().value(QStringLiteral("select theYS||'/'||theYF||'/'||theType from SUnits")).toString(),
             QStringLiteral("0/0/两者皆是"));
}

void TstPartners::duplicateRule_data()
{
    QTest::addColumn<QString>("firstState");
    QTest::addColumn<QString>("firstDel");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("live") << "启用" << "否" << false;
    QTest::newRow("disabled but live") << "停用" << "否" << false;
    QTest::newRow("deleted") << "启用" << "是" << true;
}

void TstPartners::duplicateRule()
{
    QFETCH(QString, firstState);
    QFETCH(QString, firstDel);
    QFETCH(bool, accepted);
    TestDb t;
    const int first = t.addPartner(QStringLiteral("大华商行"));
    t.dm().mySQL(QStringLiteral("update SUnits set theState=?, theDel=? where ID=?"), {firstState, firstDel, first});
    const PartnerSaveResult r = savePartner(t.dm(), 0, dahua());
    QCOMPARE(r.status == PartnerSaveResult::Saved, accepted);
    if (!accepted) QCOMPARE(r.message, QStringLiteral("单位名称 已存在，请重新录入！"));
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SUnits")), accepted ? 2 : 1);
}

void TstPartners::changeScreen()
{
    TestDb t;
    MsgSpy spy;
    const int id = savePartner(t.dm(), 0, dahua()).id;
    t.addPartner(QStringLiteral("顺发超市"), QStringLiteral("客户"));
    t.dm().YF_Up(id, Money::fromString("5")); // a posting since: payable 35

    bool refreshed = false;
    frmUnits_In w;
    QObject::connect(&w, &frmUnits_In::saved, [&] { refreshed = true; });
    w.setPartnerID(id);
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Lab_ID"))->text(), QString::number(id));
    QVERIFY(w.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->isHidden());
    QVERIFY(!w.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->isChecked());
    QCOMPARE(w.fields()->payable()->text(), QStringLiteral("35"));
    QVERIFY(!w.fields()->payable()->isEnabled());
    QVERIFY(!w.fields()->receivable()->isEnabled());
    QCOMPARE(w.fields()->type()->currentText(), QStringLiteral("供应商"));

    // The name of another live partner is accepted on a change; balances stay as posted.
    w.fields()->name()->setText(QStringLiteral("顺发超市"));
    w.fields()->payable()->setText(QStringLiteral("0"));
    w.fields()->type()->setCurrentText(QStringLiteral("两者皆是"));
    w.BitBtn1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("恭喜！恭喜！ 往来单位信息 保存成功！"));
    QVERIFY(refreshed);
    QCOMPARE(row(t.dm(), id), QStringLiteral("顺发超市|王经理|0571-1234|解放路1号|老客户|两者皆是|12.5|35|SFCS|启用|否"));
}

void TstPartners::continuousEntry()
{
    TestDb t;
    MsgSpy spy;
    frmUnits_In w;
    QVERIFY(w.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->isChecked());
    w.fields()->setInput(dahua());
    w.BitBtn1Click();
    QCOMPARE(spy.shown.size(), 0);
    QCOMPARE(w.result(), int(QDialog::Rejected));
    const PartnerInput left = w.fields()->input();
    QCOMPARE(left.name + left.pro + left.pho + left.add + left.remark, QString());
    QCOMPARE(left.type, QStringLiteral("供应商"));
    QCOMPARE(left.ys + "/" + left.yf, QStringLiteral("12.5/30"));

    w.fields()->name()->setText(QStringLiteral("第二家"));
    w.BitBtn1Click();
    QCOMPARE(t.dm().value(QStringLiteral("select theType||'/'||theYS||'/'||theYF from SUnits where theName='第二家'")).toString(),
             QStringLiteral("供应商/12.5/30"));

    // The balance fields take digits and the decimal point only.
    w.fields()->receivable()->clear();
    QTest::keyClicks(w.fields()->receivable(), QStringLiteral("-1x0.5"));
    QCOMPARE(w.fields()->receivable()->text(), QStringLiteral("10.5"));
}

void TstPartners::deleteWithBalance()
{
    TestDb t;
    const int id = savePartner(t.dm(), 0, dahua()).id;
    deletePartner(t.dm(), id);
    QVERIFY(row(t.dm(), id).endsWith(QStringLiteral("|是")));
    // Its name is free again for a new partner.
    QCOMPARE(savePartner(t.dm(), 0, dahua()).status, PartnerSaveResult::Saved);
}

void TstPartners::quickEntryType_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("contact");
    QTest::addColumn<QString>("focus");
    QTest::newRow("jh") << "jh" << "供应商" << true << "grid";
    QTest::newRow("cgth") << "cgth" << "供应商" << false << "grid";
    QTest::newRow("fk") << "fk" << "供应商" << false << "amount";
    QTest::newRow("xs") << "xs" << "客户" << true << "grid";
    QTest::newRow("xsth") << "xsth" << "客户" << false << "grid";
    QTest::newRow("sk") << "sk" << "客户" << false << "amount";
    QTest::newRow("other") << "db" << "两者皆是" << false << "grid";
}

void TstPartners::quickEntryType()
{
    QFETCH(QString, code);
    QFETCH(QString, type);
    QFETCH(bool, contact);
    QFETCH(QString, focus);
    TestDb t;
    MsgSpy spy;
    QCOMPARE(partnerTypeForCaller(code), type);

    TestCaller caller(code);
    frmNewUnits w;
    w.setCaller(&caller);
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Label6"))->text(), code);
    QVERIFY(!w.fields()->type());
    PartnerInput in = dahua();
    in.ys.clear();
    w.fields()->setInput(in);
    w.BitBtn1Click();
    QCOMPARE(spy.shown.size(), 0); // closes without a message
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(t.dm().value(QStringLiteral("select theType||'/'||theYS||'/'||theYF from SUnits")).toString(),
             type + QStringLiteral("/0/30"));
    QCOMPARE(caller.uid, w.savedID());
    QCOMPARE(caller.boxes.name, QStringLiteral("大华商行"));
    QCOMPARE(caller.contactWritten, contact);
    if (contact) QCOMPARE(caller.boxes.contact + caller.boxes.phone + caller.boxes.address,
                          QStringLiteral("王经理0571-1234解放路1号"));
    QCOMPARE(caller.focus, focus);
}

void TstPartners::quickEntryRefusesDuplicate()
{
    TestDb t;
    MsgSpy spy;
    t.addPartner(QStringLiteral("大华商行"), QStringLiteral("客户"));
    TestCaller caller(QStringLiteral("jh"));
    frmNewUnits w;
    w.setCaller(&caller);
    w.fields()->setInput(dahua());
    w.BitBtn1Click();
    QCOMPARE(spy.lastText(), QStringLiteral("单位名称 已存在，请重新录入！"));
    QCOMPARE(caller.uid, 0);
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SUnits")), 1);
}

void TstPartners::card()
{
    TestDb t;
    const int id = savePartner(t.dm(), 0, dahua()).id;
    deletePartner(t.dm(), id);
    t.dm().mySQL(QStringLiteral("update SUnits set theState='停用'"));
    frmunits_v w;
    QCOMPARE(w.windowTitle(), QStringLiteral("往来单位查看"));
    w.setPartnerID(id);
    const PartnerInput shown = w.fields()->input();
    QCOMPARE(shown.name + "|" + shown.ys + "|" + shown.yf, QStringLiteral("大华商行|12.5|30"));
    frmunits_v none;
    none.setPartnerID(id + 100);
    QCOMPARE(none.fields()->input().name, QString());
}

void TstPartners::openedFromMenu()
{
    TestDb t;
    Screens::registerAll();
    std::unique_ptr<QWidget> w(Screens::create(QStringLiteral("frmUnits_In"), nullptr));
    QVERIFY(w);
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), QStringLiteral("frmUnits_In"));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("Lab_ID"))->text(), QStringLiteral("0"));
}

void TstPartners::openingBalancesReadAsAmounts_data()
{
    QTest::addColumn<QString>("ys");
    QTest::addColumn<QString>("yf");
    QTest::addColumn<QString>("message");  // empty: saved
    QTest::addColumn<QString>("focus");
    QTest::newRow("pasted minus") << "-5" << "" << "应收金额 不能小于零，请重新录入！" << "Edit6";
    QTest::newRow("two decimal points") << "" << "1.2.3" << "应付金额 “1.2.3”不是有效的数值，请重新录入！" << "Edit7";
    QTest::newRow("beyond the range") << "100000000000" << "0"
                                      << "应收金额 “100000000000”超出允许的范围（最大 99999999999.9999），请重新录入！"
                                      << "Edit6";
    QTest::newRow("five decimals") << "1" << "0.00001" << "应付金额 最多只能有四位小数，请重新录入！" << "Edit7";
    QTest::newRow("largest amount") << "99999999999.9999" << "" << "" << "";
}

void TstPartners::openingBalancesReadAsAmounts()
{
    // The balance fields let only digits and the point be typed; what gets
    // past (a paste) is read as an amount before anything is written.
    QFETCH(QString, ys);
    QFETCH(QString, yf);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    TestDb t;
    MsgSpy spy;
    frmUnits_In w;
    w.show();
    PartnerInput in = dahua();
    in.ys = ys;
    in.yf = yf;
    w.fields()->setInput(in);
    w.fields()->name()->setFocus();
    w.BitBtn1Click();
    if (message.isEmpty()) {
        QCOMPARE(spy.shown.size(), 0);
        QCOMPARE(t.dm().value(QStringLiteral("select theYS||'/'||theYF from SUnits")).toString(),
                 QStringLiteral("99999999999.9999/0"));
        return;
    }
    QCOMPARE(spy.shown.size(), 1);
    QCOMPARE(spy.shown[0].kind, Msg::Kind::Info);
    QCOMPARE(spy.lastText(), message);
    QCOMPARE(w.focusWidget() ? w.focusWidget()->objectName() : QString(), focus);
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SUnits")), 0);
}

void TstPartners::keyboard()
{
    // Opens in the name; Tab follows the form from the name down to the
    // buttons, the type between the remark and the balances.
    TestDb t;
    frmUnits_In w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(Keys::nameOf(Keys::focus()), QStringLiteral("Edit1"));
    QCOMPARE(Keys::tabWalk(), (QStringList{"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "DBLookupComboBox1", "Edit6",
                                           "Edit7", "CheckBox1", "BitBtn1", "BitBtn2", "Edit1"}));
}

QTEST_MAIN(TstPartners)
#include "tst_partners.moc"
