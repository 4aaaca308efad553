// Start-up: one copy at a time, and the one date format.
#include "shellspy.h"

#include "data/singleinstance.h"

#include <QApplication>
#include <QDateEdit>
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

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
