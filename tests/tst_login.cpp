// Login through the login window and the menu rights it applies to the main window.
#include "screenkeys.h"
#include "shellspy.h"
#include "testdb.h"

#include "data/connection.h"
#include "data/engine.h"
#include "data/globals.h"
#include "data/menutable.h"
#include "data/passwords.h"
#include "shell/accounts.h"
#include "shell/changepassword.h"
#include "shell/login.h"
#include "shell/main.h"
#include "shell/screens.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

int g_created = 0;

// Every screen of the menu opens a stand-in that counts its creation; a modal
// one closes itself as soon as it runs.
void registerStandIns()
{
    for (const MenuTop &top : menuTree())
        for (const MenuEntry &e : top.items) {
            if (e.isSeparator() || e.screen == QLatin1String("exit") || e.screen == QLatin1String("help")
                || e.screen == QLatin1String("web"))
                continue;
            if (e.child) {
                Screens::add(e.screen, [](QWidget *parent) {
                    ++g_created;
                    return new QWidget(parent);
                });
            } else {
                Screens::add(e.screen, [](QWidget *parent) {
                    ++g_created;
                    auto *d = new QDialog(parent);
                    QTimer::singleShot(0, d, &QDialog::accept);
                    return d;
                });
            }
        }
}

// The captions of the visible items of the visible menus, top by top.
QStringList visibleItems(const frmMain &main)
{
    QStringList out;
    for (int t = 0; t < main.topCount(); ++t) {
        QMenu *m = main.topMenu(t);
        if (!m->menuAction()->isVisible()) continue;
        out << m->title();
        for (QAction *a : m->actions())
            if (a->isVisible()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return out;
}

QStringList helpMenu()
{
    return {QStringLiteral("帮助【&H】"), QStringLiteral("帮助 &H"), QStringLiteral("-"),
            QStringLiteral("Tavrel网站 &W"), QStringLiteral("-"), QStringLiteral("关于... &A")};
}

int addUserWithPassword(TestDb &t, const QString &name, const QString &pass)
{
    // Added by the administrator; the tests' login comes after.
    const QString loggedIn = G.LoginName;
    G.LoginName = QStringLiteral("系统管理员");
    Accounts::addUser(t.dm(), name, QString());
    Accounts::setPassword(t.dm(), name, QString::fromLatin1(Accounts::InitialPassword), pass);
    G.LoginName = loggedIn;
    return t.dm().value(QStringLiteral("select ID from SUser where theName=?"), {name}).toInt();
}

void pick(frmLogin &login, const QString &name)
{
    login.userBox()->setCurrentIndex(login.userBox()->findText(name));
}

// Fills the login window and presses "登录".
void logIn(frmLogin &login, const QString &name, const QString &pass)
{
    pick(login, name);
    login.passwordEdit()->setText(pass);
    QTest::mouseClick(login.loginButton(), Qt::LeftButton);
}

QString storedPassword(TestDb &t, const QString &name)
{
    return t.asOwner(QStringLiteral("select thePass from SUser where theName=?"), {name}).toString();
}

// Books made by an earlier version of the program, at schema `version`, on
// the engine of the tests, on a connection of their own.
class OldBooks {
public:
    explicit OldBooks(int version)
    {
        m_server = testsOnServer() ? createEmptyTestServerDatabase() : QString();
        QSqlDatabase db = addTestConnection(
            m_server.isEmpty() ? BooksLocation::ofFile(m_dir.path() + QStringLiteral("/db.edb")) : testServer(m_server),
            QString::fromLatin1(Conn));
        if (!db.open()) throw std::runtime_error(db.lastError().text().toStdString());
        createSchema(db, version);
    }
    ~OldBooks()
    {
        QSqlDatabase::database(QString::fromLatin1(Conn), false).close();
        QSqlDatabase::removeDatabase(QString::fromLatin1(Conn));
        if (!m_server.isEmpty()) dropTestServerDatabase(m_server);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(QString::fromLatin1(Conn), false); }

private:
    static constexpr const char *Conn = "old-books";
    QTemporaryDir m_dir;
    QString m_server;
};

} // namespace

// A stand-in stock window that records how the main window set it up.
class StockStandIn : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    static int refs;
    Q_INVOKABLE bool showOutOfLimits()
    {
        ++refs;
        return true;
    }
};
int StockStandIn::refs = 0;

class tst_login : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerStandIns(); }
    void init()
    {
        G = AppGlobals();
        g_created = 0;
    }

    void adminOnFreshDatabaseSeesEveryMenu();
    void rightsDecideTheMenu_data();
    void rightsDecideTheMenu();
    void toolbarDoesNothingWithoutTheRight();
    void refusals();
    void pickingANameFocusesThePassword();
    void passwordCaseCountsAtLoginAndChange();
    void programHashesAtInteractiveCost();
    void oldBooksKeepTheirPasswords_data();
    void oldBooksKeepTheirPasswords();
    void wrongPasswordsMakeTheLoginWait();
    void userNameIgnoresCase_data();
    void userNameIgnoresCase();
    void disabledUserIsNotOffered();
    void closingTheLoginEndsTheProgram();
    void stockAlertOpensFilteredStockWindow();
    void keyboardOnlyLogin();
    void startAndLoginWhileAnotherSeatWrites();
};

void tst_login::adminOnFreshDatabaseSeesEveryMenu()
{
    TestDb t;
    MsgSpy msgs;
    frmMain main;
    frmLogin login(&main);
    login.show();
    login.dateEdit()->setDate(QDate(2012, 11, 16));
    QVERIFY(!main.isVisible());

    logIn(login, QStringLiteral("系统管理员"), QString());

    QVERIFY(msgs.shown.isEmpty());
    QVERIFY(main.isVisible());
    QVERIFY(!login.isVisible());
    QCOMPARE(G.LoginName, QStringLiteral("系统管理员"));
    QCOMPARE(G.WorkDate, QStringLiteral("2012-11-16"));
    QCOMPARE(G.UserZH, QStringLiteral("现金"));
    QCOMPARE(main.statusPanel(3)->text(), QStringLiteral("2012-11-16"));
    QCOMPARE(main.statusPanel(5)->text(), QStringLiteral("系统管理员"));

    for (int top = 0; top < main.topCount(); ++top) {
        QMenu *m = main.topMenu(top);
        QVERIFY2(m->menuAction()->isVisible(), qPrintable(m->title()));
        for (QAction *a : m->actions()) QVERIFY2(a->isVisible(), qPrintable(m->title() + QLatin1Char(' ') + a->text()));
    }
    // And the toolbar works for it: every button but help and exit opens its screen.
    for (QToolButton *b : main.findChildren<QToolButton *>(QRegularExpression(QStringLiteral("^ToolButton"))))
        if (b->text() != QStringLiteral("帮助") && b->text() != QStringLiteral("退出")) b->click();
    QCOMPARE(g_created, 12);
}

void tst_login::rightsDecideTheMenu_data()
{
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("visible");

    const QString file = QStringLiteral("文件【&F】");
    const QString exit = QStringLiteral("退出 &X");
    QTest::newRow("no rights") << QStringList() << (QStringList{file, exit} + helpMenu());
    QTest::newRow("one purchase right")
        << QStringList{QStringLiteral("101")}
        << (QStringList{file, exit, QStringLiteral("采购【&C】"), QStringLiteral("采购入库管理 &B"),
                        QStringLiteral("采购退货收款查询 &H")}
            + helpMenu());
    QTest::newRow("reports with a separator")
        << QStringList{QStringLiteral("500"), QStringLiteral("502"), QStringLiteral("503")}
        << (QStringList{file, exit, QStringLiteral("报表中心【&R】"), QStringLiteral("商品库存查询 &A"),
                        QStringLiteral("-"), QStringLiteral("日报表 &C")}
            + helpMenu());
    // Rows naming no menu item grant nothing and do no harm.
    QTest::newRow("codes past a menu")
        << QStringList{QStringLiteral("000"), QStringLiteral("099"), QStringLiteral("199"), QStringLiteral("912"),
                       QStringLiteral("5"), QStringLiteral("x01")}
        << (QStringList{file, QStringLiteral("本店信息 &D"), exit} + helpMenu());
}

void tst_login::rightsDecideTheMenu()
{
    QFETCH(QStringList, codes);
    QFETCH(QStringList, visible);
    TestDb t;
    MsgSpy msgs;
    const int id = addUserWithPassword(t, QStringLiteral("张三"), QStringLiteral("705318"));
    for (const QString &c : codes)
        t.asOwner(QStringLiteral("insert into SLevel(UID,MNum) Values(?,?)"), {id, c});

    frmMain main;
    frmLogin login(&main);
    login.show();
    logIn(login, QStringLiteral("张三"), QStringLiteral("705318"));
    QVERIFY(main.isVisible());

    QStringList shown = visibleItems(main);
    // The help menu is last in the bar; compare it apart from the order of the others.
    QCOMPARE(shown.mid(shown.size() - helpMenu().size()), helpMenu());
    QStringList expected = visible.mid(0, visible.size() - helpMenu().size());
    shown = shown.mid(0, shown.size() - helpMenu().size());
    expected.sort();
    shown.sort();
    QCOMPARE(shown, expected);
}

void tst_login::toolbarDoesNothingWithoutTheRight()
{
    TestDb t;
    MsgSpy msgs;
    UrlSpy urls;
    addUserWithPassword(t, QStringLiteral("李四"), QStringLiteral("705318"));
    frmMain main;
    frmLogin login(&main);
    login.show();
    logIn(login, QStringLiteral("李四"), QStringLiteral("705318"));
    QVERIFY(main.isVisible());

    const auto buttons = main.findChildren<QToolButton *>(QRegularExpression(QStringLiteral("^ToolButton")));
    QCOMPARE(buttons.size(), 14);
    for (QToolButton *b : buttons)
        if (b->text() != QStringLiteral("退出")) b->click();
    QCoreApplication::processEvents();

    QCOMPARE(g_created, 0);
    QVERIFY(main.mdiArea()->subWindowList().isEmpty());
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || w == &main, qPrintable(w->metaObject()->className()));
    QVERIFY(msgs.shown.isEmpty());
    // Help is everybody's.
    QCOMPARE(urls.opened.size(), 1);
    QVERIFY(urls.opened.first().toLocalFile().endsWith(QStringLiteral("help/index.html")));
}

void tst_login::refusals()
{
    TestDb t;
    MsgSpy msgs;
    frmMain main;
    frmLogin login(&main);
    login.show();

    // No name picked.
    login.userBox()->setCurrentIndex(-1);
    QTest::mouseClick(login.loginButton(), Qt::LeftButton);
    QCOMPARE(msgs.lastText(), QStringLiteral("用户名 不能为空，请选择 用户名！"));
    QCOMPARE(login.focusWidget(), login.userBox());

    // Wrong password; the focus goes back to the password.
    login.dateEdit()->setFocus();
    logIn(login, QStringLiteral("系统管理员"), QStringLiteral("x"));
    QCOMPARE(msgs.lastText(), QStringLiteral("密码错误，请重新录入密码！"));
    QCOMPARE(msgs.lastCaption(), QStringLiteral("Tavrel进销存软件"));
    QCOMPARE(login.focusWidget(), login.passwordEdit());
    QVERIFY(!main.isVisible());
    QVERIFY(login.isVisible());
    QCOMPARE(G.LoginName, QString());
}

void tst_login::pickingANameFocusesThePassword()
{
    TestDb t;
    addUserWithPassword(t, QStringLiteral("王五"), QStringLiteral("705318"));
    frmMain main;
    frmLogin login(&main);
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    login.userBox()->setFocus();
    QTest::keyClick(login.userBox(), Qt::Key_Down);
    QCOMPARE(login.focusWidget(), login.passwordEdit());
    // The password field masks with '@' and takes at most 12 characters.
    QCOMPARE(login.passwordEdit()->echoMode(), QLineEdit::Password);
    QCOMPARE(login.passwordEdit()->maxLength(), 12);
    QCOMPARE(login.passwordEdit()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                      login.passwordEdit()),
             int(QLatin1Char('@').unicode()));
    QCOMPARE(login.dateEdit()->date(), QDate::currentDate());
    QCOMPARE(login.dateEdit()->text(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

void tst_login::passwordCaseCountsAtLoginAndChange()
{
    TestDb t;
    MsgSpy msgs;
    EndSpy ends;
    addUserWithPassword(t, QStringLiteral("赵六"), QStringLiteral("AbC"));
    // The books hold a salted hash, never the password.
    const QString stored = storedPassword(t, QStringLiteral("赵六"));
    QVERIFY2(stored.startsWith(QStringLiteral("$argon2id$")), qPrintable(stored));
    QVERIFY(!stored.contains(QStringLiteral("AbC")));

    frmMain main;
    frmLogin login(&main);
    login.show();
    logIn(login, QStringLiteral("赵六"), QStringLiteral("abc"));
    QCOMPARE(msgs.lastText(), QStringLiteral("密码错误，请重新录入密码！"));
    QVERIFY(!main.isVisible());
    msgs.clear();
    logIn(login, QStringLiteral("赵六"), QStringLiteral("AbC"));
    QVERIFY(msgs.shown.isEmpty());
    QVERIFY(main.isVisible());

    frmCPass dlg;
    dlg.show();
    dlg.oldEdit()->setText(QStringLiteral("abc"));
    dlg.newEdit()->setText(QStringLiteral("n1"));
    dlg.confirmEdit()->setText(QStringLiteral("n1"));
    dlg.confirm();
    QCOMPARE(msgs.lastText(), QStringLiteral("原密码 错误，请重新录入！"));
    QCOMPARE(dlg.focusWidget(), dlg.oldEdit());
    QCOMPARE(ends.ended, 0);

    dlg.oldEdit()->setText(QStringLiteral("AbC"));
    dlg.confirm();
    QCOMPARE(msgs.lastText(), QStringLiteral("密码修改成功！请重新登录！"));
    QCOMPARE(msgs.lastCaption(), QStringLiteral("信息提示"));
    QCOMPARE(ends.ended, 1);
    const QString changed = storedPassword(t, QStringLiteral("赵六"));
    QVERIFY2(changed.startsWith(QStringLiteral("$argon2id$")), qPrintable(changed));
    QVERIFY(Passwords::verify(QStringLiteral("n1"), changed));
    QVERIFY(Accounts::checkLogin(t.dm(), QStringLiteral("赵六"), QStringLiteral("n1")));
    QVERIFY(!Accounts::checkLogin(t.dm(), QStringLiteral("赵六"), QStringLiteral("N1")));
    QVERIFY(!Accounts::checkLogin(t.dm(), QStringLiteral("赵六"), QStringLiteral("AbC")));
}

// The program's hashes: Argon2id at libsodium's interactive cost (64 MB, two
// passes), a new salt every time. (The tests make theirs at the lowest cost.)
void tst_login::programHashesAtInteractiveCost()
{
    Passwords::setCost(Passwords::Cost::Interactive);
    const QString a = Passwords::hash(QStringLiteral("705318"));
    const QString b = Passwords::hash(QStringLiteral("705318"));
    Passwords::setCost(Passwords::Cost::Lowest);
    QVERIFY2(a.startsWith(QStringLiteral("$argon2id$v=19$m=65536,t=2,p=1$")), qPrintable(a));
    QVERIFY(a != b);
    QVERIFY(Passwords::verify(QStringLiteral("705318"), a));
    QVERIFY(Passwords::verify(QStringLiteral("705318"), b));
    QVERIFY(!Passwords::verify(QStringLiteral("705319"), a));
    // Damaged or plain stored values match nothing.
    QVERIFY(!Passwords::verify(QStringLiteral("705318"), QStringLiteral("705318")));
    QVERIFY(!Passwords::verify(QString(), QString()));
    QVERIFY(!Passwords::verify(QStringLiteral("705318"), a.left(a.size() - 4)));

    // A hash naming a ruinous cost (from a crafted backup) is refused at once,
    // not computed; the same hash at its own cost is right.
    const QString salted = a.mid(a.indexOf(QLatin1String(",p=1$")) + 5);
    QElapsedTimer clock;
    clock.start();
    for (const char *cost : {"m=4194304,t=2,p=1", "m=65536,t=100000,p=1", "m=65536,t=2,p=64", "m=99999999999,t=2,p=1"})
        QVERIFY2(!Passwords::verify(QStringLiteral("705318"),
                                    QStringLiteral("$argon2id$v=19$%1$%2").arg(QLatin1String(cost), salted)),
                 cost);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(Passwords::verify(QStringLiteral("705318"), QStringLiteral("$argon2id$v=19$m=65536,t=2,p=1$") + salted));
}

// Books of an earlier version kept passwords as typed: after the upgrade
// everyone logs in with the password they know, the books hold only hashes,
// and letter case counts.
void tst_login::oldBooksKeepTheirPasswords_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("refused");
    QTest::newRow("the first user's empty password") << "系统管理员" << "" << QStringList{" ", "705318"};
    QTest::newRow("letters") << "王五" << "AbC12" << QStringList{"abc12", "ABC12", "AbC1", ""};
    QTest::newRow("initial password") << "赵六" << "705318" << QStringList{"70531", "7053188"};
    QTest::newRow("quote and blanks") << "Bob" << "a' b;--" << QStringList{"a' b", "A' B;--"};
}

void tst_login::oldBooksKeepTheirPasswords()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QStringList, refused);
    OldBooks old(5);
    QSqlDatabase db = old.db();
    if (name != QStringLiteral("系统管理员")) {
        QSqlQuery q(db);
        QVERIFY(q.prepare(QStringLiteral("insert into SUser(theName,thePass,theState) values(?,?,'启用')")));
        q.addBindValue(name);
        q.addBindValue(password);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    QVERIFY(upgradeSchema(db).isEmpty());

    frmDM dm(db);
    const QString stored = dm.value(QStringLiteral("select thePass from SUser where theName=?"), {name}).toString();
    QVERIFY2(stored.startsWith(QStringLiteral("$argon2id$")), qPrintable(stored));
    QVERIFY(stored != password);
    QVERIFY(Accounts::checkLogin(dm, name, password));
    for (const QString &wrong : refused) QVERIFY2(!Accounts::checkLogin(dm, name, wrong), qPrintable(wrong));
}

// Five wrong passwords in a row make that user's login wait, longer each
// time; the right password during the wait is refused as well, and accepted
// once the wait is over.
void tst_login::wrongPasswordsMakeTheLoginWait()
{
    TestDb t;
    MsgSpy msgs;
    addUserWithPassword(t, QStringLiteral("王五"), QStringLiteral("pw"));
    qint64 now = 1000;
    frmMain main;
    frmLogin login(&main);
    login.setClock([&now] { return now; });
    login.show();
    const QString wrong = QStringLiteral("密码错误，请重新录入密码！");

    for (int i = 1; i <= 4; ++i) {
        logIn(login, QStringLiteral("王五"), QStringLiteral("x"));
        QCOMPARE(msgs.lastText(), wrong);
    }
    // Another user's count is its own.
    logIn(login, QStringLiteral("系统管理员"), QStringLiteral("x"));
    QCOMPARE(msgs.lastText(), wrong);

    logIn(login, QStringLiteral("王五"), QStringLiteral("x"));
    QCOMPARE(msgs.lastText(), QStringLiteral("密码连续输错 5 次，请 30 秒后再试。"));
    QCOMPARE(login.focusWidget(), login.passwordEdit());
    now += 10'000;
    logIn(login, QStringLiteral("王五"), QStringLiteral("pw"));
    QCOMPARE(msgs.lastText(), QStringLiteral("密码连续输错 5 次，请 20 秒后再试。"));
    QVERIFY(!main.isVisible());
    QCOMPARE(G.LoginName, QString());

    // After the wait one more wrong password: twice as long.
    now += 20'000;
    logIn(login, QStringLiteral("王五"), QStringLiteral("x"));
    QCOMPARE(msgs.lastText(), QStringLiteral("密码连续输错 6 次，请 60 秒后再试。"));
    now += 59'999;
    logIn(login, QStringLiteral("王五"), QStringLiteral("pw"));
    QCOMPARE(msgs.lastText(), QStringLiteral("密码连续输错 6 次，请 1 秒后再试。"));
    QVERIFY(!main.isVisible());

    now += 1;
    msgs.clear();
    logIn(login, QStringLiteral("王五"), QStringLiteral("pw"));
    QVERIFY(msgs.shown.isEmpty());
    QVERIFY(main.isVisible());
    QCOMPARE(G.LoginName, QStringLiteral("王五"));
}

// The name is compared without regard to letter case, the password exactly; the
// session carries the stored spelling, which the password change and the
// users screen's protection of the logged-in user look for.
void tst_login::userNameIgnoresCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("stored spelling") << "admin" << "Secret" << true;
    QTest::newRow("capitals") << "ADMIN" << "Secret" << true;
    QTest::newRow("capital first") << "Admin" << "Secret" << true;
    QTest::newRow("password in capitals") << "Admin" << "SECRET" << false;
    QTest::newRow("wrong password") << "ADMIN" << "secret1" << false;
    QTest::newRow("other name") << "admin1" << "Secret" << false;
    QTest::newRow("trailing space") << "admin " << "Secret" << false;
}

void tst_login::userNameIgnoresCase()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    TestDb t;
    MsgSpy msgs;
    const int id = addUserWithPassword(t, QStringLiteral("admin"), QStringLiteral("Secret"));
    t.asOwner(QStringLiteral("insert into SLevel(UID,MNum) values(?,'101')"), {id});
    const auto user = Accounts::checkLogin(t.dm(), name, password);
    QCOMPARE(bool(user), accepted);
    if (!accepted) return;
    QCOMPARE(user->id, id);
    QCOMPARE(user->name, QStringLiteral("admin"));

    // Through the window: the session holds the stored name and the rights of
    // that user.
    frmMain main;
    frmLogin login(&main);
    login.show();
    logIn(login, QStringLiteral("admin"), password);
    QVERIFY(msgs.shown.isEmpty());
    QVERIFY(main.isVisible());
    QCOMPARE(G.LoginName, QStringLiteral("admin"));
    QVERIFY(visibleItems(main).contains(QStringLiteral("采购入库管理 &B")));
}

void tst_login::disabledUserIsNotOffered()
{
    TestDb t;
    const int id = addUserWithPassword(t, QStringLiteral("孙七"), QStringLiteral("705318"));
    {
        frmMain main;
        frmLogin login(&main);
        QVERIFY(login.userBox()->findText(QStringLiteral("孙七")) >= 0);
        QCOMPARE(login.userBox()->currentIndex(), -1);
    }
    t.asOwner(QStringLiteral("update SUser set theState=? where ID=?"), {QStringLiteral("停用"), id});
    frmMain main;
    frmLogin login(&main);
    QCOMPARE(login.userBox()->findText(QStringLiteral("孙七")), -1);
    QVERIFY(login.userBox()->findText(QStringLiteral("系统管理员")) >= 0);
}

void tst_login::closingTheLoginEndsTheProgram()
{
    TestDb t;
    EndSpy ends;
    frmMain main;
    frmLogin login(&main);
    login.show();
    login.close();
    QCOMPARE(ends.ended, 1);
    QVERIFY(!main.isVisible());

    frmLogin again(&main);
    again.show();
    again.findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    QCOMPARE(ends.ended, 2);
}

void tst_login::stockAlertOpensFilteredStockWindow()
{
    TestDb t;
    MsgSpy msgs;
    Screens::add(QStringLiteral("frmKC"), [](QWidget *parent) { return new StockStandIn(parent); });
    t.addWarehouse(QStringLiteral("总仓"));
    const int low = t.addProduct(QStringLiteral("螺丝"));
    t.addProduct(QStringLiteral("螺母"));
    t.dm().KC_Up(QStringLiteral("总仓"), low, Money::fromDouble(5));
    t.dm().mySQL(QStringLiteral("update SShop set theKCMin=10 where ID=?"), {low});
    t.dm().mySQL(QStringLiteral("update SDept set theTX=1"));
    addUserWithPassword(t, QStringLiteral("周八"), QStringLiteral("1"));
    StockStandIn::refs = 0;

    {   // Without the stock right nothing opens.
        frmMain main;
        frmLogin login(&main);
        login.show();
        logIn(login, QStringLiteral("周八"), QStringLiteral("1"));
        QVERIFY(main.isVisible());
        QCOMPARE(StockStandIn::refs, 0);
        QVERIFY(main.mdiArea()->subWindowList().isEmpty());
    }
    {
        frmMain main;
        frmLogin login(&main);
        login.show();
        logIn(login, QStringLiteral("系统管理员"), QString());
        QCOMPARE(StockStandIn::refs, 1);
        QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
        QVERIFY(main.mdiArea()->subWindowList().first()->isMaximized());

        // It is not one of the menu's list windows: opening one leaves it open.
        main.menuItem(QStringLiteral("采购入库管理 &B"))->trigger();
        main.menuItem(QStringLiteral("商品管理 &D"))->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(main.mdiArea()->subWindowList().size(), 2);
        QVERIFY(qobject_cast<StockStandIn *>(main.mdiArea()->subWindowList().first()->widget()));
    }
    // Everything within its limits: no stock window.
    t.dm().mySQL(QStringLiteral("update SShop set theKCMin=0"));
    frmMain main;
    frmLogin login(&main);
    login.show();
    logIn(login, QStringLiteral("系统管理员"), QString());
    QCOMPARE(StockStandIn::refs, 1);
    QVERIFY(main.mdiArea()->subWindowList().isEmpty());
    QVERIFY(msgs.shown.isEmpty());
    registerStandIns();
}

void tst_login::keyboardOnlyLogin()
{
    // The login from the keyboard alone, with a wrong password first: the
    // refusal is a real box, closed by Enter, and the window stays usable.
    TestDb t;
    frmMain main;
    frmLogin login(&main);
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    QCOMPARE(Keys::focus(), login.userBox());
    QCOMPARE(Keys::tabWalk(), (QStringList{"UserName", "Password", "WorkDate", "BitBtn1", "BitBtn2", "UserName"}));

    Keys::press(Qt::Key_Down);                      // the one user in use
    QCOMPARE(login.userBox()->currentText(), QStringLiteral("系统管理员"));
    QCOMPARE(Keys::focus(), login.passwordEdit());
    Keys::type(QStringLiteral("x"));
    RealModal modal;
    Keys::press(Qt::Key_Return);
    QCOMPARE(modal.texts(), QStringList{QStringLiteral("密码错误，请重新录入密码！")});
    QVERIFY(login.isVisible());
    QVERIFY(!main.isVisible());
    QCOMPARE(login.focusWidget(), login.passwordEdit());

    login.activateWindow();   // as the window manager does when the box goes
    QVERIFY(QTest::qWaitForWindowActive(&login));
    Keys::press(Qt::Key_A, Qt::ControlModifier);
    Keys::press(Qt::Key_Backspace);
    QCOMPARE(login.passwordEdit()->text(), QString());
    Keys::press(Qt::Key_Return);
    QCOMPARE(modal.boxes.size(), 1);
    QVERIFY(main.isVisible());
    QCOMPARE(G.LoginName, QStringLiteral("系统管理员"));
    main.hide();
}

// Another seat holds the books for writing for long (an import of a big
// sheet): a seat starts meanwhile, opens the books, logs in and reads
// without waiting for it.
void tst_login::startAndLoginWhileAnotherSeatWrites()
{
    TestDb t;
    MsgSpy msgs;
    addUserWithPassword(t, QStringLiteral("周八"), QStringLiteral("1"));
    QSqlDatabase importer = t.openSeat(QStringLiteral("importer"));
    {
        QSqlQuery q(importer);
        for (const QString &s : EngineInfo::beginWrite(EngineInfo::of(importer))) QVERIFY2(q.exec(s), qPrintable(q.lastError().text()));
        QVERIFY(q.exec(QStringLiteral("update SShop set theName=theName")));
    }
    QElapsedTimer timer;
    if (t.onServer()) {
        // The books open on a second seat at once, ready for its saves.
        timer.start();
        QString err;
        QVERIFY2(openBooks(t.location(), QStringLiteral("seat-2"), &err), qPrintable(err));
        QVERIFY2(timer.elapsed() < EngineInfo::LockWaitMs / 2, qPrintable(QString::number(timer.elapsed())));
        {
            QSqlQuery q(QSqlDatabase::database(QStringLiteral("seat-2")));
            QVERIFY(q.exec(QStringLiteral("select count(*) from SUser")) && q.next());
            QCOMPARE(q.value(0).toInt(), 2);
        }
        closeDatabase(QStringLiteral("seat-2"));
    }
    // The login and the main window's reads.
    timer.start();
    frmMain main;
    frmLogin login(&main);
    login.show();
    logIn(login, QStringLiteral("周八"), QStringLiteral("1"));
    QVERIFY(main.isVisible());
    QVERIFY2(msgs.shown.isEmpty(), qPrintable(msgs.lastText()));
    QCOMPARE(G.LoginName, QStringLiteral("周八"));
    QVERIFY2(timer.elapsed() < EngineInfo::LockWaitMs / 2, qPrintable(QString::number(timer.elapsed())));
    {
        QSqlQuery q(importer);
        QVERIFY(q.exec(QStringLiteral("COMMIT")));
    }
    importer = QSqlDatabase();
    TestDb::closeSeat(QStringLiteral("importer"));
}

QTEST_MAIN(tst_login)
#include "tst_login.moc"
