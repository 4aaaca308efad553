// Start-up: one copy at a time, and the one date format.
#include "shellspy.h"

#include "data/singleinstance.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QDialog>
#include <QLineEdit>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

class tst_startup : public QObject {
    Q_OBJECT
private slots:
    void secondCopyIsRefused();
    void staleLockIsTakenOver();
    void datePickersShowTheProgramFormat();
    void closedDialogGivesTheKeyboardBack();
    void readableServerPasswordIsWarnedOf_data();
    void readableServerPasswordIsWarnedOf();
};

void tst_startup::secondCopyIsRefused()
{
    QTemporaryDir dir;
    MsgSpy msgs;
    SingleInstance running(dir.path());
    QVERIFY(Shell::claimSingleInstance(running));
    QVERIFY(msgs.shown.isEmpty());

    SingleInstance second(dir.path());
    QVERIFY(!Shell::claimSingleInstance(second));
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown.first().kind, Msg::Kind::Warning);
    QCOMPARE(msgs.lastText(), QStringLiteral("Tavrel进销存软件 已经打开了！"));
    QCOMPARE(msgs.lastCaption(), QStringLiteral("警告"));
    // No window was made for it.
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_startup::staleLockIsTakenOver()
{
    QTemporaryDir dir;
    MsgSpy msgs;
    // A process that has ended leaves its lock behind.
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());

    SingleInstance lock(dir.path());
    QFile f(lock.lockPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::number(pid) + "\njxc\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    f.close();

    QVERIFY(Shell::claimSingleInstance(lock));
    QVERIFY(msgs.shown.isEmpty());
    // And it now holds the lock against the next copy.
    SingleInstance next(dir.path());
    QVERIFY(!Shell::claimSingleInstance(next));
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
