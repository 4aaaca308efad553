// User administration: the user list with its pop-up commands, the rights
// dialog, the default-options dialog and the password change.
#include "screenkeys.h"
#include "shellspy.h"
#include "testdb.h"

#include "data/globals.h"
#include "data/menutable.h"
#include "data/passwords.h"
#include "shell/accounts.h"
#include "shell/changepassword.h"
#include "shell/rights.h"
#include "shell/useroptions.h"
#include "shell/users.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableView>
#include <QtTest>

namespace {

QAction *popupCommand(frmUser &dlg, const QString &caption)
{
    for (QAction *a : dlg.popupMenu()->actions())
        if (a->text() == caption) return a;
    return nullptr;
}

void selectUser(frmUser &dlg, const QString &name)
{
    auto *m = dlg.grid()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->index(r, 0).data().toString() == name) {
            dlg.grid()->selectRow(r);
            return;
        }
    QFAIL("user not in the grid");
}

int userId(TestDb &t, const QString &name)
{
    return t.dm().value(QStringLiteral("select ID from SUser where theName=?"), {name}).toInt();
}

QString state(TestDb &t, const QString &name)
{
    return t.dm().value(QStringLiteral("select theState from SUser where theName=?"), {name}).toString();
}

int levelRows(TestDb &t, int id)
{
    return t.dm().value(QStringLiteral("select count(*) from SLevel where UID=?"), {id}).toInt();
}

} // namespace

class tst_users : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        G = AppGlobals();
        G.LoginName = QStringLiteral("系统管理员");
    }

    void realBoxKeepsTheScreen();
    void keyboard();
    void dialogsTabInLayoutOrder();
    void saveNewUser();
    void duplicateNameIgnoresCase_data();
    void duplicateNameIgnoresCase();
    void deletedUserIdIsNotReused();
    void loggedInUserIsProtected_data();
    void loggedInUserIsProtected();
    void switchAndDeleteAnotherUser();
    void rightsDialog();
    void defaultOptionsEndTheProgram();
    void passwordChangeRefusals_data();
    void passwordChangeRefusals();
};

void tst_users::saveNewUser()
{
    TestDb t;
    MsgSpy msgs;
    frmUser dlg;
    dlg.show();
    auto *name = dlg.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    auto *remark = dlg.findChild<QLineEdit *>(QStringLiteral("Edit2"));
    auto *save = dlg.findChild<QPushButton *>(QStringLiteral("BitBtn2"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("用户管理"));
    QCOMPARE(name->maxLength(), 20);
    QCOMPARE(remark->maxLength(), 50);
    QCOMPARE(dlg.grid()->model()->rowCount(), 1);
    QVERIFY(dlg.grid()->isColumnHidden(3));
    QCOMPARE(dlg.grid()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("用户名"));

    save->click();
    QCOMPARE(msgs.lastText(), QStringLiteral("用户名 不能为空，请重新录入！"));
    QCOMPARE(dlg.focusWidget(), name);

    name->setText(QStringLiteral("系统管理员"));
    save->click();
    QCOMPARE(msgs.lastText(), QStringLiteral("用户名 已存在，请重新录入！"));
    QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SUser")).toInt(), 1);

    name->setText(QStringLiteral("收银员"));
    remark->setText(QStringLiteral("前台"));
    save->click();
    QCOMPARE(msgs.lastText(), QStringLiteral("恭喜！恭喜！ 用户信息 保存成功！"));
    const auto row = t.dm().rows(QStringLiteral("select ID,Remark,theState,ID from SUser where theName=?"),
                                 {QStringLiteral("收银员")});
    QCOMPARE(row.size(), 1);
    // The initial password, kept as its hash.
    const QString stored = t.asOwner(QStringLiteral("select thePass from SUser where theName=?"), {QStringLiteral("收银员")}).toString();
    QVERIFY2(stored.startsWith(QStringLiteral("$argon2id$")), qPrintable(stored));
    QVERIFY(Passwords::verify(QStringLiteral("705318"), stored));
    QVERIFY(Accounts::checkLogin(t.dm(), QStringLiteral("收银员"), QStringLiteral("705318")));
    QCOMPARE(row[0][1].toString(), QStringLiteral("前台"));
    QCOMPARE(row[0][2].toString(), QStringLiteral("启用"));
    QCOMPARE(levelRows(t, row[0][3].toInt()), 0);
    QCOMPARE(dlg.grid()->model()->rowCount(), 2);
    QVERIFY(name->text().isEmpty());
    QVERIFY(remark->text().isEmpty());

    // "新增" clears the fields and puts the focus in the name.
    name->setText(QStringLiteral("x"));
    dlg.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    QVERIFY(name->text().isEmpty());
    QCOMPARE(dlg.focusWidget(), name);
}

// A user name that differs from an existing one only in letter case is the
// same name, as at login.
void tst_users::duplicateNameIgnoresCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("same") << "admin" << true;
    QTest::newRow("capital first") << "Admin" << true;
    QTest::newRow("all capitals") << "ADMIN" << true;
    QTest::newRow("mixed with chinese") << "收银A" << true;
    QTest::newRow("chinese name") << "系统管理员" << true;
    QTest::newRow("another name") << "admin2" << false;
    QTest::newRow("trailing space counts") << "admin " << false;
}

void tst_users::duplicateNameIgnoresCase()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    TestDb t;
    MsgSpy msgs;
    QVERIFY(Accounts::addUser(t.dm(), QStringLiteral("admin"), QString()));
    QVERIFY(Accounts::addUser(t.dm(), QStringLiteral("收银a"), QString()));
    frmUser dlg;
    dlg.show();
    auto *edit = dlg.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    edit->setText(name);
    dlg.findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    QCOMPARE(msgs.shown.size(), 1);
    const int users = t.dm().value(QStringLiteral("select count(*) from SUser")).toInt();
    if (refused) {
        QCOMPARE(msgs.lastText(), QStringLiteral("用户名 已存在，请重新录入！"));
        QCOMPARE(dlg.focusWidget(), edit);
        QCOMPARE(edit->text(), name);
        QCOMPARE(users, 3);
        // The data module refuses it too, whoever calls it.
        QVERIFY(!Accounts::addUser(t.dm(), name, QString()));
        QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SUser")).toInt(), 3);
    } else {
        QCOMPARE(msgs.lastText(), QStringLiteral("恭喜！恭喜！ 用户信息 保存成功！"));
        QCOMPARE(users, 4);
        QVERIFY(userId(t, name) > 0);
    }
}

// A deleted user's ID is never given to a new user: its rights rows stay in
// SLevel, and a reused ID would hand them to the newcomer.
void tst_users::deletedUserIdIsNotReused()
{
    TestDb t;
    MsgSpy msgs;
    msgs.answer = true;
    frmUser dlg;
    dlg.show();
    auto *name = dlg.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    auto *save = dlg.findChild<QPushButton *>(QStringLiteral("BitBtn2"));

    name->setText(QStringLiteral("收银员"));
    save->click();
    const int oldId = userId(t, QStringLiteral("收银员"));
    QVERIFY(oldId > 1);
    Accounts::saveRights(t.dm(), oldId, {QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("500")});

    // The newest user is deleted, the case where "highest ID + 1" would reuse it.
    selectUser(dlg, QStringLiteral("收银员"));
    popupCommand(dlg, QStringLiteral("删除 &D"))->trigger();
    QCOMPARE(t.dm().value(QStringLiteral("select max(ID) from SUser")).toInt(), 1);
    QCOMPARE(levelRows(t, oldId), 3);

    name->setText(QStringLiteral("仓管"));
    save->click();
    QCOMPARE(msgs.lastText(), QStringLiteral("恭喜！恭喜！ 用户信息 保存成功！"));
    const int newId = userId(t, QStringLiteral("仓管"));
    QVERIFY2(newId > oldId, qPrintable(QStringLiteral("new ID %1, deleted ID %2").arg(newId).arg(oldId)));
    QCOMPARE(Accounts::rightCodes(t.dm(), newId), QStringList());
}

void tst_users::loggedInUserIsProtected_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message");
    QTest::newRow("enable") << QStringLiteral("启用 &Q") << QStringLiteral("不能启用当前登录用户名！");
    QTest::newRow("disable") << QStringLiteral("停用 &T") << QStringLiteral("不能停用当前登录用户名！");
    QTest::newRow("delete") << QStringLiteral("删除 &D") << QStringLiteral("不能删除当前登录用户名！");
}

void tst_users::loggedInUserIsProtected()
{
    QFETCH(QString, command);
    QFETCH(QString, message);
    TestDb t;
    MsgSpy msgs;
    msgs.answer = true;
    Accounts::addUser(t.dm(), QStringLiteral("收银员"), QString());
    frmUser dlg;
    selectUser(dlg, QStringLiteral("系统管理员"));
    popupCommand(dlg, command)->trigger();
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.lastText(), message);
    QCOMPARE(state(t, QStringLiteral("系统管理员")), QStringLiteral("启用"));
    QCOMPARE(t.dm().value(QStringLiteral("select count(*) from SUser")).toInt(), 2);
}

void tst_users::switchAndDeleteAnotherUser()
{
    TestDb t;
    MsgSpy msgs;
    Accounts::addUser(t.dm(), QStringLiteral("收银员"), QString());
    const int id = userId(t, QStringLiteral("收银员"));
    Accounts::saveRights(t.dm(), id, {QStringLiteral("100"), QStringLiteral("500")});
    frmUser dlg;

    selectUser(dlg, QStringLiteral("收银员"));
    popupCommand(dlg, QStringLiteral("停用 &T"))->trigger();
    QCOMPARE(state(t, QStringLiteral("收银员")), QStringLiteral("停用"));
    selectUser(dlg, QStringLiteral("收银员"));
    QCOMPARE(dlg.grid()->model()->index(dlg.grid()->currentIndex().row(), 2).data().toString(), QStringLiteral("停用"));
    popupCommand(dlg, QStringLiteral("启用 &Q"))->trigger();
    QCOMPARE(state(t, QStringLiteral("收银员")), QStringLiteral("启用"));
    QVERIFY(msgs.shown.isEmpty());

    // Delete asks first; No keeps the user.
    selectUser(dlg, QStringLiteral("收银员"));
    msgs.answer = false;
    popupCommand(dlg, QStringLiteral("删除 &D"))->trigger();
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.lastText(), QStringLiteral("确认要删除吗？该删除将不可恢复！"));
    QCOMPARE(msgs.lastCaption(), QStringLiteral("删除"));
    QVERIFY(msgs.shown.last().defaultNo);
    QCOMPARE(userId(t, QStringLiteral("收银员")), id);

    msgs.answer = true;
    popupCommand(dlg, QStringLiteral("删除 &D"))->trigger();
    QCOMPARE(t.dm().rowCount(QStringLiteral("select ID from SUser where theName=?"), {QStringLiteral("收银员")}), 0);
    QCOMPARE(dlg.grid()->model()->rowCount(), 1);
    // The user's rights rows stay behind.
    QCOMPARE(levelRows(t, id), 2);
}

void tst_users::rightsDialog()
{
    TestDb t;
    MsgSpy msgs;
    Accounts::addUser(t.dm(), QStringLiteral("收银员"), QString());
    const int id = userId(t, QStringLiteral("收银员"));
    Accounts::saveRights(t.dm(), id, {QStringLiteral("101"), QStringLiteral("503")});

    {   // Every menu item with its code; the user's rights ticked.
        frmLevel dlg(QStringLiteral("收银员"), id);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("收银员 的权限设置"));
        QCOMPARE(dlg.items().size(), codedMenuItems().size());
        QCOMPARE(dlg.items().first()->text(), QStringLiteral("000&本店信息 "));
        QStringList ticked;
        for (QCheckBox *c : dlg.items())
            if (c->isChecked()) ticked << c->text().left(3);
        QCOMPARE(ticked, (QStringList{QStringLiteral("101"), QStringLiteral("503")}));

        // Ticking two more and saving stores exactly the ticked codes.
        dlg.items()[0]->setChecked(true);
        dlg.items()[3]->setChecked(true);   // a separator row counts like any other
        dlg.save();
        QCOMPARE(msgs.lastText(), QStringLiteral("收银员 的权限设置 保存成功！"));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(Accounts::rightCodes(t.dm(), id),
                 (QStringList{QStringLiteral("000"), QStringLiteral("003"), QStringLiteral("101"), QStringLiteral("503")}));
    }
    {   // "全选" ticks all; clearing it clears all; saving then leaves no rows.
        frmLevel dlg(QStringLiteral("收银员"), id);
        dlg.selectAllBox()->setChecked(true);
        for (QCheckBox *c : dlg.items()) QVERIFY(c->isChecked());
        dlg.selectAllBox()->setChecked(false);
        for (QCheckBox *c : dlg.items()) QVERIFY(!c->isChecked());
        dlg.save();
        QCOMPARE(levelRows(t, id), 0);
    }
    // The administrator's rights are untouched.
    QCOMPARE(levelRows(t, 1), int(codedMenuItems().size()));
}

void tst_users::defaultOptionsEndTheProgram()
{
    TestDb t;
    MsgSpy msgs;
    EndSpy ends;
    t.addWarehouse(QStringLiteral("总仓"));
    t.addWarehouse(QStringLiteral("分仓"));
    t.dm().mySQL(QStringLiteral("insert into SStaff(theName,Remark,theState) values('小王','','启用')"));
    t.dm().mySQL(QStringLiteral("insert into SStaff(theName,Remark,theState) values('小李','','启用')"));
    Accounts::addUser(t.dm(), QStringLiteral("收银员"), QString());
    const int id = userId(t, QStringLiteral("收银员"));
    Accounts::saveUserDefaults(t.dm(), id, {QStringLiteral("分仓"), QStringLiteral("现金"), QStringLiteral("小李"), QString()});

    frmXXSZ dlg(QStringLiteral("收银员"), id);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("收银员 的默认选项设置"));
    QCOMPARE(dlg.wareBox()->currentText(), QStringLiteral("分仓"));
    QCOMPARE(dlg.accountBox()->currentText(), QStringLiteral("现金"));
    QCOMPARE(dlg.handlerBox()->currentText(), QStringLiteral("小李"));
    QCOMPARE(dlg.payerBox()->currentIndex(), -1);

    dlg.wareBox()->setCurrentIndex(dlg.wareBox()->findText(QStringLiteral("总仓")));
    dlg.payerBox()->setCurrentIndex(dlg.payerBox()->findText(QStringLiteral("小王")));
    dlg.save();
    QCOMPARE(msgs.lastText(), QStringLiteral("收银员 的默认选项设置 保存成功！请重新登录！"));
    QCOMPARE(ends.ended, 1);
    const auto d = Accounts::userDefaults(t.dm(), id);
    QCOMPARE(d.ck, QStringLiteral("总仓"));
    QCOMPARE(d.zh, QStringLiteral("现金"));
    QCOMPARE(d.jsr, QStringLiteral("小李"));
    QCOMPARE(d.sfkr, QStringLiteral("小王"));
    // Only that user changed.
    QCOMPARE(Accounts::userDefaults(t.dm(), 1).ck, QString());
}

void tst_users::passwordChangeRefusals_data()
{
    QTest::addColumn<QString>("oldPass");
    QTest::addColumn<QString>("newPass");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("wrong old") << "Secret" << "n" << "n" << "原密码 错误，请重新录入！" << "Edit1";
    QTest::newRow("same as old") << "secret" << "secret" << "secret" << "新密码 与 原密码 一样，请重新录入！" << "Edit2";
    QTest::newRow("mismatch") << "secret" << "n1" << "n2" << "新密码 与 确认密码 不一致，请重新录入！" << "Edit3";
}

void tst_users::passwordChangeRefusals()
{
    QFETCH(QString, oldPass);
    QFETCH(QString, newPass);
    QFETCH(QString, confirm);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    TestDb t;
    MsgSpy msgs;
    EndSpy ends;
    Accounts::setPassword(t.dm(), QStringLiteral("系统管理员"), QString(), QStringLiteral("secret"));
    G.LoginName = QStringLiteral("系统管理员");
    frmCPass dlg;
    dlg.show();
    dlg.oldEdit()->setText(oldPass);
    dlg.newEdit()->setText(newPass);
    dlg.confirmEdit()->setText(confirm);
    dlg.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    QCOMPARE(msgs.lastText(), message);
    QCOMPARE(dlg.focusWidget()->objectName(), focus);
    QCOMPARE(ends.ended, 0);
    QVERIFY(Passwords::verify(QStringLiteral("secret"),
                              t.asOwner(QStringLiteral("select thePass from SUser where ID=1")).toString()));
}

void tst_users::realBoxKeepsTheScreen()
{
    // No message hook: real boxes, closed by Enter from a timer inside their
    // own event loops.
    TestDb t;
    frmUser dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    RealModal modal;
    dlg.findChild<QLineEdit *>(QStringLiteral("Edit2"))->setText(QStringLiteral("收银"));
    dlg.save();
    QCOMPARE(modal.texts(), QStringList{QStringLiteral("用户名 不能为空，请重新录入！")});
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.focusWidget()->objectName(), QStringLiteral("Edit1"));
    QCOMPARE(dlg.findChild<QLineEdit *>(QStringLiteral("Edit2"))->text(), QStringLiteral("收银"));

    dlg.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("王五"));
    dlg.save();
    QCOMPARE(modal.boxes.size(), 2);
    QCOMPARE(modal.boxes[1].text, QStringLiteral("恭喜！恭喜！ 用户信息 保存成功！"));
    QCOMPARE(dlg.grid()->model()->rowCount(), 2);
}

void tst_users::keyboard()
{
    // Opens in the name; Tab runs over the fields and buttons, through the
    // list of users and back; Enter on a button reached by Tab presses it.
    TestDb t;
    MsgSpy msgs;
    Accounts::addUser(t.dm(), QStringLiteral("张三"), QString());
    frmUser dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QCOMPARE(Keys::nameOf(Keys::focus()), QStringLiteral("Edit1"));
    QCOMPARE(Keys::tabWalk(), (QStringList{"Edit1", "Edit2", "BitBtn1", "BitBtn2", "BitBtn3", "DBGrid1", "Edit1"}));
    Keys::type(QStringLiteral("李四"));
    Keys::press(Qt::Key_Tab);
    Keys::press(Qt::Key_Tab);
    Keys::press(Qt::Key_Tab);
    QCOMPARE(Keys::nameOf(Keys::focus()), QStringLiteral("BitBtn2"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(msgs.lastText(), QStringLiteral("恭喜！恭喜！ 用户信息 保存成功！"));
    QCOMPARE(dlg.grid()->model()->rowCount(), 3);
}

void tst_users::dialogsTabInLayoutOrder()
{
    TestDb t;
    Accounts::addUser(t.dm(), QStringLiteral("张三"), QString());
    const int id = userId(t, QStringLiteral("张三"));
    {
        frmCPass dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(Keys::tabWalk(), (QStringList{"Edit1", "Edit2", "Edit3", "BitBtn1", "BitBtn2", "Edit1"}));
    }
    {
        frmXXSZ dlg(QStringLiteral("张三"), id);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(Keys::tabWalk(), (QStringList{"DBComWare", "DBComAccount", "DBComStaff", "DBComSFKR", "BitBtn1",
                                               "BitBtn2", "DBComWare"}));
    }
    {
        // The rights: the items in code order (down their columns), then
        // "全选" and the buttons; it opens on the first item.
        frmLevel dlg(QStringLiteral("张三"), id);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QStringList expected;
        for (const QVariantList &r : t.dm().rows(QStringLiteral("select MNum from SMenu order by MNum")))
            expected << r[0].toString();
        expected << QStringLiteral("CheckBox1") << QStringLiteral("BitBtn1") << QStringLiteral("BitBtn2") << expected.first();
        QStringList walk;
        auto here = [] {
            QWidget *w = Keys::focus();
            return w && w->property("code").isValid() ? w->property("code").toString() : Keys::nameOf(w);
        };
        walk << here();
        for (int i = 0; i < expected.size() - 1; ++i) {
            Keys::press(Qt::Key_Tab);
            walk << here();
        }
        QCOMPARE(walk, expected);
    }
}

QTEST_MAIN(tst_users)
#include "tst_users.moc"
