// Start-up: one copy at a time on the same books, and the one date format.
#include "shellspy.h"

#include "data/singleinstance.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QDialog>
#include <QLineEdit>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

class tst_startup : public QObject {
    Q_OBJECT
private slots:
    void secondCopyIsRefused();
    void lockGuardsTheBooksFolder();
    void killedProgramLeavesNoLock();
    void datePickersShowTheProgramFormat();
    void closedDialogGivesTheKeyboardBack();
    void readableServerPasswordIsWarnedOf_data();
    void readableServerPasswordIsWarnedOf();
};

void tst_startup::secondCopyIsRefused()
{
    QTemporaryDir dir;
    const QString books = dir.path() + QStringLiteral("/账套/");
    MsgSpy msgs;
    SingleInstance running(books);
    QVERIFY(Shell::claimSingleInstance(running));
    QVERIFY(msgs.shown.isEmpty());
    QCOMPARE(running.lockPath(), books + QStringLiteral("Data/.lock"));

    SingleInstance second(books);
    QVERIFY(!Shell::claimSingleInstance(second));
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown.first().kind, Msg::Kind::Warning);
    QCOMPARE(msgs.lastText(), QStringLiteral("Tavrel进销存软件 已经打开了！\n正在使用的账套文件夹：") + books);
    QCOMPARE(msgs.lastCaption(), QStringLiteral("警告"));
    // No window was made for it.
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

// The lock guards one books' folder: other books (another user's, another
// folder) start beside it, a file left by an earlier program is no lock, and
// the lock is free again once its holder is gone.
void tst_startup::lockGuardsTheBooksFolder()
{
    QTemporaryDir dir;
    const QString mine = dir.path() + QStringLiteral("/home/a/.local/share/jxc/");
    const QString theirs = dir.path() + QStringLiteral("/home/b/.local/share/jxc/");
    MsgSpy msgs;
    QVERIFY(QDir().mkpath(theirs + QStringLiteral("Data")));
    QFile left(theirs + QStringLiteral("Data/.lock"));
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.write("4711\njxc\nother-host\n");
    left.close();
    {
        SingleInstance a(mine);
        QVERIFY(Shell::claimSingleInstance(a));
        SingleInstance b(theirs);
        QVERIFY(Shell::claimSingleInstance(b));
        QVERIFY(msgs.shown.isEmpty());
    }
    SingleInstance again(mine);
    QVERIFY(Shell::claimSingleInstance(again));
    QVERIFY(msgs.shown.isEmpty());

    // A folder that cannot be made is said, not taken for a running copy.
    QFile plain(dir.path() + QStringLiteral("/file"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    SingleInstance nowhere(dir.path() + QStringLiteral("/file/books"));
    QVERIFY(!Shell::claimSingleInstance(nowhere));
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown.first().kind, Msg::Kind::Error);
    QVERIFY2(msgs.lastText().contains(dir.path() + QStringLiteral("/file/books")), qPrintable(msgs.lastText()));
}

// The program itself, on books of its own (--books): a second start on the
// same books is refused, one on other books is not, and a program killed
// with SIGKILL leaves nothing that stops the next start.
void tst_startup::killedProgramLeavesNoLock()
{
    QTemporaryDir dir;
    const QString books = dir.path() + QStringLiteral("/店/");
    const QString other = dir.path() + QStringLiteral("/other/");
    // Runs the check on `folder`: its exit code, standard output and error.
    QString out, err;
    const auto check = [&out, &err](const QString &folder) {
        QProcess p;
        p.start(QStringLiteral(JXC_PROGRAM), {QStringLiteral("--books"), folder, QStringLiteral("--check-books")});
        if (!p.waitForFinished(60000)) return -1;
        out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };

    QProcess running;
    const auto stop = qScopeGuard([&running] {
        running.kill();
        running.waitForFinished();
    });
    running.start(QStringLiteral(JXC_PROGRAM), {QStringLiteral("--books"), books});
    QVERIFY(running.waitForStarted());
    // Started once its books are made (it holds the lock before it makes them).
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(books + QStringLiteral("Data/db.edb")), 60000);
    QCOMPARE(running.state(), QProcess::Running);

    QCOMPARE(check(books), 1);
    QVERIFY2(err.contains(QStringLiteral("警告：Tavrel进销存软件 已经打开了！\n正在使用的账套文件夹：") + books), qPrintable(err));
    QCOMPARE(out, QString());
    QCOMPARE(check(other), 0);
    QCOMPARE(out, QStringLiteral("账套：") + other + QStringLiteral("Data/db.edb"));

    running.kill();
    QVERIFY(running.waitForFinished());
    QCOMPARE(running.exitStatus(), QProcess::CrashExit);
    QVERIFY(QFileInfo::exists(books + QStringLiteral("Data/.lock")));
    QCOMPARE(check(books), 0);
    QCOMPARE(out, QStringLiteral("账套：") + books + QStringLiteral("Data/db.edb"));
}

void tst_startup::datePickersShowTheProgramFormat()
{
    Shell::installDateFormat();
    QDateEdit plain(QDate(2012, 3, 5));
    plain.show();
    QCOMPARE(plain.text(), QStringLiteral("2012-03-05"));
    // A picker with a format of its own keeps it.
    QDateEdit month(QDate(2012, 3, 5));
    month.setDisplayFormat(QStringLiteral("yyyy-MM"));
    month.show();
    QCOMPARE(month.text(), QStringLiteral("2012-03"));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
}

void tst_startup::closedDialogGivesTheKeyboardBack()
{
    Shell::installDateFormat();
    QWidget main;
    auto *edit = new QLineEdit(&main);
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    {
        QDialog dlg(&main);
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.hide();
        // A window manager that activates nothing after the dialog is gone.
        QApplication::setActiveWindow(nullptr);
    }
    QTRY_COMPARE(QApplication::activeWindow(), &main);
    QCOMPARE(edit->window(), &main);
}

// Data/server.ini may hold the server's password: a start says once, with the
// command that fixes it, when other users of the machine can read it.
void tst_startup::readableServerPasswordIsWarnedOf_data()
{
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("warned");
    const QByteArray withPassword = "host=db\ndatabase=jxc\nuser=jxc\npassword=s3cret\n";
    QTest::newRow("everyone reads") << "shop" << withPassword << 0644 << true;
    QTest::newRow("group reads") << "shop" << withPassword << 0640 << true;
    QTest::newRow("others read") << "shop" << withPassword << 0604 << true;
    QTest::newRow("owner alone") << "shop" << withPassword << 0600 << false;
    QTest::newRow("owner reads only") << "shop" << withPassword << 0400 << false;
    QTest::newRow("no password") << "shop" << QByteArray("host=db\ndatabase=jxc\nuser=jxc\n") << 0644 << false;
    QTest::newRow("no file") << "shop" << QByteArray() << 0644 << false;
    QTest::newRow("blank in the folder") << "my shop" << withPassword << 0644 << true;
}

void tst_startup::readableServerPasswordIsWarnedOf()
{
    QFETCH(QString, folderName);
    QFETCH(QByteArray, ini);
    QFETCH(int, mode);
    QFETCH(bool, warned);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/') + folderName + QLatin1Char('/');
    QVERIFY(QDir().mkpath(folder + QStringLiteral("Data")));
    const QString file = folder + QStringLiteral("Data/server.ini");
    if (!ini.isNull()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ini);
        f.close();
        QFileDevice::Permissions p;
        const QFileDevice::Permission bits[] = {QFileDevice::ExeOther,  QFileDevice::WriteOther, QFileDevice::ReadOther,
                                                QFileDevice::ExeGroup,  QFileDevice::WriteGroup, QFileDevice::ReadGroup,
                                                QFileDevice::ExeOwner,  QFileDevice::WriteOwner, QFileDevice::ReadOwner};
        for (int i = 0; i < 9; ++i)
            if (mode & (1 << i)) p |= bits[i];
        if (p & QFileDevice::ReadOwner) p |= QFileDevice::ReadUser;
        if (p & QFileDevice::WriteOwner) p |= QFileDevice::WriteUser;
        QVERIFY(QFile::setPermissions(file, p));
    }
    MsgSpy msgs;
    Shell::warnExposedSettings(folder);
    if (!warned) {
        QVERIFY(msgs.shown.isEmpty());
        return;
    }
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown.first().kind, Msg::Kind::Warning);
    const QString command = folderName.contains(QLatin1Char(' '))
                                ? QStringLiteral("chmod 600 '%1'").arg(file)
                                : QStringLiteral("chmod 600 %1").arg(file);
    QVERIFY2(msgs.lastText().endsWith(QLatin1Char('\n') + command), qPrintable(msgs.lastText()));
    QVERIFY(msgs.lastText().contains(QStringLiteral("其他用户也能读取")));

    // The command does what it says.
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                            | QFileDevice::WriteUser));
    msgs.clear();
    Shell::warnExposedSettings(folder);
    QVERIFY(msgs.shown.isEmpty());
}

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
