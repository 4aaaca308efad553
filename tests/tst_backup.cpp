// Backup and restore of the database file: the online copy while others save,
// the refusal of files that are not this program's database, the byte-exact
// restore, and the two dialogs.
#include "shellspy.h"
#include "testdb.h"

#include "data/connection.h"
#include "data/dbfile.h"
#include "data/globals.h"
#include "data/transaction.h"
#include "shell/frmbackup.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <atomic>

namespace {

QByteArray bytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray digest(const QString &file) { return QCryptographicHash::hash(bytes(file), QCryptographicHash::Sha256); }

void writeFile(const QString &file, const QByteArray &content)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

// Opens a file on its own connection; the caller closes it with closeOther.
QSqlDatabase openOther(const QString &file, const QString &name)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    db.open();
    return db;
}

void closeOther(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

int count(const QString &file, const QString &sql)
{
    const QString name = QStringLiteral("count-reader");
    int n = -1;
    {
        QSqlDatabase db = openOther(file, name);
        QSqlQuery q(db);
        if (q.exec(sql) && q.next()) n = q.value(0).toInt();
    }
    closeOther(name);
    return n;
}

// One purchase receipt with `lines` lines, written the way a save writes:
// header first, then its lines, in one transaction.
bool saveDocument(QSqlDatabase db, int number, int lines)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) return false;
    const QString num = QStringLiteral("CG%1").arg(number, 8, 10, QLatin1Char('0'));
    q.prepare(QStringLiteral("insert into UJH(theNum,theDate,myDate,UID,theDel) values(?,'2012-11-16','2012-11-16',1,'否')"));
    q.addBindValue(num);
    bool ok = q.exec();
    for (int i = 1; ok && i <= lines; ++i) {
        q.prepare(QStringLiteral("insert into UJH_List(theNum,theBH,SID,thePrice,theCount,theSum) values(?,?,1,1,1,1)"));
        q.addBindValue(num);
        q.addBindValue(i);
        ok = q.exec();
    }
    return q.exec(ok ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK")) && ok;
}

// Documents whose line count is not `lines`, and lines without a document.
int brokenDocuments(const QString &file, int lines)
{
    return count(file, QStringLiteral("select (select count(*) from (select h.theNum from UJH h left join UJH_List l "
                                      "on l.theNum=h.theNum group by h.theNum having count(l.ID)<>%1)) + "
                                      "(select count(*) from UJH_List l where not exists "
                                      "(select 1 from UJH h where h.theNum=l.theNum))")
                           .arg(lines));
}

class Writer : public QThread {
public:
    explicit Writer(const QString &file) : m_file(file) {}
    std::atomic<bool> stop{false};
    std::atomic<int> saved{0};
    static constexpr int Lines = 20;

protected:
    void run() override
    {
        const QString name = QStringLiteral("writer-thread");
        {
            QSqlDatabase db = openOther(m_file, name);
            for (int n = 1; !stop; ++n)
                if (saveDocument(db, n, Lines)) ++saved;
        }
        closeOther(name);
    }

private:
    QString m_file;
};

} // namespace

class tst_backup : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        G = AppGlobals();
        setSession();
    }

    void backupPath_data();
    void backupPath();
    void backupHoldsWhatIsStillInTheLog();
    void backupTakesASaveWholeOrNotAtAll();
    void backupWhileAnotherSeatSaves();
    void failedBackupKeepsTheOlderOne();
    void restoreGivesTheBackupByteForByte();
    void restoreRefusesOtherFiles_data();
    void restoreRefusesOtherFiles();
    void restoreRefusedWhileAnotherProgramHoldsTheDatabase();
    void backupDialog();
    void backupDialogRealModalLoop();
    void restoreDialog();
};

void tst_backup::backupPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << "/media/usb" << "/media/usb/2012-11-16.edb";
    QTest::newRow("trailing separator") << "/media/usb/" << "/media/usb/2012-11-16.edb";
    QTest::newRow("root") << "/" << "/2012-11-16.edb";
    QTest::newRow("doubled") << "/media//usb" << "/media/usb/2012-11-16.edb";
}

void tst_backup::backupPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(DbFile::backupPath(folder, QStringLiteral("2012-11-16")), path);
}

void tst_backup::backupHoldsWhatIsStillInTheLog()
{
    TestDb t;
    const int id = t.addProduct(QStringLiteral("日志里的商品"));
    // The save is committed but still in the write-ahead log, not in the database file.
    QVERIFY(QFileInfo(t.file() + "-wal").size() > 0);
    const QString target = t.folder() + "b/2012-11-16.edb";
    QDir().mkpath(t.folder() + "b");
    QCOMPARE(DbFile::backup(t.db().connectionName(), target), QString());
    QCOMPARE(count(target, QStringLiteral("select count(*) from SShop where ID=%1").arg(id)), 1);
    QVERIFY(!QFileInfo::exists(target + ".part"));
    QCOMPARE(DbFile::checkProgramDatabase(target), QString());
}

void tst_backup::backupTakesASaveWholeOrNotAtAll()
{
    TestDb t;
    const QString target = t.folder() + "2012-11-16.edb";
    const QString other = QStringLiteral("second-seat");
    QSqlDatabase seat = openOther(t.file(), other);
    QSqlQuery q(seat);
    // Another seat is half-way through a save: header and two of three lines written.
    QVERIFY(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
    QVERIFY(q.exec(QStringLiteral("insert into UJH(theNum,theDate,myDate,UID,theDel) values('CG1','2012-11-16','2012-11-16',1,'否')")));
    QVERIFY(q.exec(QStringLiteral("insert into UJH_List(theNum,theBH,SID) values('CG1',1,1)")));
    QVERIFY(q.exec(QStringLiteral("insert into UJH_List(theNum,theBH,SID) values('CG1',2,1)")));
    QCOMPARE(DbFile::backup(t.db().connectionName(), target), QString());
    QCOMPARE(count(target, "select count(*) from UJH"), 0);
    QCOMPARE(count(target, "select count(*) from UJH_List"), 0);

    QVERIFY(q.exec(QStringLiteral("insert into UJH_List(theNum,theBH,SID) values('CG1',3,1)")));
    QVERIFY(q.exec(QStringLiteral("COMMIT")));
    QCOMPARE(DbFile::backup(t.db().connectionName(), target), QString());
    QCOMPARE(count(target, "select count(*) from UJH"), 1);
    QCOMPARE(count(target, "select count(*) from UJH_List"), 3);
    q.finish();
    seat = QSqlDatabase();
    closeOther(other);
}

void tst_backup::backupWhileAnotherSeatSaves()
{
    TestDb t;
    const QString target = t.folder() + "2012-11-16.edb";
    Writer writer(t.file());
    writer.start();
    QTRY_VERIFY(writer.saved > 0);
    int taken = 0;
    QSet<int> documentCounts;
    for (int i = 0; i < 15; ++i) {
        QCOMPARE(DbFile::backup(t.db().connectionName(), target), QString());
        ++taken;
        QCOMPARE(brokenDocuments(target, Writer::Lines), 0);
        documentCounts << count(target, "select count(*) from UJH");
        QThread::msleep(5);
    }
    writer.stop = true;
    writer.wait();
    QCOMPARE(taken, 15);
    // The copies were taken while saves went on, not all before or after them.
    QVERIFY(documentCounts.size() > 1);
}

void tst_backup::failedBackupKeepsTheOlderOne()
{
    TestDb t;
    const QString target = t.folder() + "2012-11-16.edb";
    QCOMPARE(DbFile::backup(t.db().connectionName(), target), QString());
    const QByteArray older = digest(target);
    t.addProduct(QStringLiteral("新商品"));
    // The temporary file cannot be made: the backup fails and the older copy stays.
    QVERIFY(QDir().mkpath(target + ".part"));
    const QString e = DbFile::backup(t.db().connectionName(), target);
    QVERIFY(!e.isEmpty());
    QCOMPARE(digest(target), older);
    QVERIFY(QDir().rmdir(target + ".part"));
    // A backup that succeeds replaces it.
    QCOMPARE(DbFile::backup(t.db().connectionName(), target), QString());
    QVERIFY(digest(target) != older);
    QCOMPARE(count(target, QStringLiteral("select count(*) from SShop where theName='新商品'")), 1);
}

void tst_backup::restoreGivesTheBackupByteForByte()
{
    TestDb t;
    t.addProduct(QStringLiteral("备份前的商品"));
    const QString backup = t.folder() + "copies/2012-11-16.edb";
    QDir().mkpath(t.folder() + "copies");
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
    const QByteArray chosen = bytes(backup);
    t.addProduct(QStringLiteral("备份后的商品"));

    const QDateTime when(QDate(2012, 11, 17), QTime(9, 30, 5));
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup, when);
    QVERIFY2(r.ok, qPrintable(r.message));
    QVERIFY(r.closed);
    QVERIFY(!t.db().isOpen());
    QCOMPARE(bytes(t.file()), chosen);
    for (const char *side : {"-wal", "-shm", "-journal"}) QVERIFY(!QFileInfo::exists(t.file() + side));
    QVERIFY(!QFileInfo::exists(t.file() + ".restore"));
    // The database before the restore is kept beside it, with the later save.
    QCOMPARE(r.safetyCopy, t.folder() + "Data/db-恢复前-20121117-093005.edb");
    QCOMPARE(count(r.safetyCopy, "select count(*) from SShop where theName='备份后的商品'"), 1);
    // The next start opens the restored file: the later save is gone, the earlier one there.
    QString err;
    QVERIFY2(openDatabase(t.file(), t.db().connectionName(), &err), qPrintable(err));
    QCOMPARE(t.dm().value("select count(*) from SShop where theName='备份后的商品'").toInt(), 0);
    QCOMPARE(t.dm().value("select count(*) from SShop where theName='备份前的商品'").toInt(), 1);

    // A second restore in the same second keeps the first safety copy.
    const DbFile::RestoreResult again = DbFile::restore(t.dm(), t.db().connectionName(), backup, when);
    QVERIFY2(again.ok, qPrintable(again.message));
    QCOMPARE(again.safetyCopy, t.folder() + "Data/db-恢复前-20121117-093005-2.edb");
    QCOMPARE(count(r.safetyCopy, "select count(*) from SShop where theName='备份后的商品'"), 1);
}

void tst_backup::restoreRefusesOtherFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file") << "text";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("foreign SQLite file") << "foreign";
    QTest::newRow("damaged copy") << "damaged";
    QTest::newRow("newer program") << "newer";
}

void tst_backup::restoreRefusesOtherFiles()
{
    QFETCH(QString, kind);
    TestDb t;
    t.addProduct(QStringLiteral("现有商品"));
    const QString chosen = t.folder() + "chosen.edb";
    if (kind == "text") {
        writeFile(chosen, "这不是数据库，只是一段文字。\n");
    } else if (kind == "empty") {
        writeFile(chosen, QByteArray());
    } else if (kind == "foreign") {
        QSqlDatabase db = openOther(chosen, "foreign");
        QSqlQuery(db).exec("create table Customers(ID integer primary key, Name text)");
        QSqlQuery(db).exec("insert into Customers(Name) values('x')");
        db = QSqlDatabase();
        closeOther("foreign");
    } else {
        QCOMPARE(DbFile::backup(t.db().connectionName(), chosen), QString());
        if (kind == "damaged") {
            // Cut off past the first pages: the header survives, the rest is missing.
            QByteArray b = bytes(chosen);
            b.truncate(b.size() / 2);
            b.append(QByteArray(4096, 'x'));
            writeFile(chosen, b);
        } else {
            QSqlDatabase db = openOther(chosen, "newer");
            QSqlQuery(db).exec(QStringLiteral("update SVersion set theVersion=%1").arg(currentSchemaVersion() + 1));
            db = QSqlDatabase();
            closeOther("newer");
        }
    }
    QVERIFY(!DbFile::checkProgramDatabase(chosen).isEmpty());
    QCOMPARE(DbFile::checkProgramDatabase(t.file()), QString());

    const QByteArray before = digest(t.file());
    const QByteArray chosenBefore = digest(chosen);
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), chosen);
    QVERIFY(!r.ok);
    QVERIFY(!r.closed);
    QVERIFY(!r.message.isEmpty());
    QVERIFY2(r.message.contains(QDir::toNativeSeparators(chosen)) || kind == "newer", qPrintable(r.message));
    // Nothing changed: the database file, the chosen file, nothing left beside either.
    QCOMPARE(digest(t.file()), before);
    QCOMPARE(digest(chosen), chosenBefore);
    QVERIFY(!QFileInfo::exists(t.file() + ".restore"));
    QVERIFY(!QFileInfo::exists(chosen + "-wal"));
    QVERIFY(!QFileInfo::exists(chosen + "-shm"));
    QCOMPARE(QDir(t.folder() + "Data").entryList({"db-恢复前-*"}).size(), 0);
    // The program goes on working on its database.
    QVERIFY(t.db().isOpen());
    QCOMPARE(t.dm().value("select count(*) from SShop where theName='现有商品'").toInt(), 1);
    t.addProduct(QStringLiteral("之后的商品"));
}

void tst_backup::restoreRefusedWhileAnotherProgramHoldsTheDatabase()
{
    TestDb t;
    const QString backup = t.folder() + "2012-11-16.edb";
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
    t.dm().DBComWare();  // a pick list and prepared statements in use
    QSqlDatabase seat = openOther(t.file(), "another-program");
    QVERIFY(QSqlQuery(seat).exec("select count(*) from SShop"));
    const QByteArray before = bytes(t.file());

    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup);
    QVERIFY(!r.ok);
    QVERIFY(!r.closed);
    QVERIFY(r.message.contains(QStringLiteral("另一个程序")));
    QCOMPARE(bytes(t.file()), before);
    // Opened again: the data module works on as before.
    QVERIFY(t.db().isOpen());
    t.addProduct(QStringLiteral("之后的商品"));
    QCOMPARE(t.dm().DBComWare()->rowCount(), 0);
    seat = QSqlDatabase();
    closeOther("another-program");
}

void tst_backup::backupDialog()
{
    TestDb t;
    MsgSpy msgs;
    frmBackup dlg;
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("数据备份"));
    QCOMPARE(dlg.focusWidget(), dlg.chooseButton());
    QVERIFY(dlg.pathEdit()->isReadOnly());

    // A cancelled folder chooser empties the field; "备份" then asks for a path.
    dlg.pathEdit()->setText("old");
    msgs.answer = false;
    dlg.Button1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Folder);
    QCOMPARE(msgs.shown.last().caption, QStringLiteral("选择备份路径："));
    QVERIFY(dlg.pathEdit()->text().isEmpty());
    dlg.BitBtn1Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("路径不能为空！"));
    QVERIFY(dlg.isVisible());

    const QString folder = t.folder() + "usb";
    QDir().mkpath(folder);
    msgs.answer = true;
    Msg::setAnswerText(folder + "/");
    dlg.Button1Click();
    QCOMPARE(dlg.pathEdit()->text(), folder + "/2012-11-16.edb");
    dlg.BitBtn1Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("数据备份成功！"));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(DbFile::checkProgramDatabase(folder + "/2012-11-16.edb"), QString());
}

void tst_backup::backupDialogRealModalLoop()
{
    TestDb t;
    const QString folder = t.folder() + "usb";
    QDir().mkpath(folder);
    Msg::setHandler(nullptr);
    frmBackup dlg;
    QString shown;
    // The dialog runs its own loop; so does the message box it shows.
    QTimer::singleShot(0, &dlg, [&] {
        dlg.pathEdit()->setText(folder + "/2012-11-16.edb");
        QTimer::singleShot(50, &dlg, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        dlg.findChild<QPushButton *>("BitBtn1")->click();
    });
    QTimer guard;
    connect(&guard, &QTimer::timeout, [] {
        if (QWidget *w = QApplication::activeModalWidget()) w->close();
    });
    guard.start(3000);
    dlg.exec();
    QCOMPARE(shown, QStringLiteral("数据备份成功！"));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(QFileInfo::exists(folder + "/2012-11-16.edb"));
}

void tst_backup::restoreDialog()
{
    TestDb t;
    MsgSpy msgs;
    EndSpy ends;
    const QString backup = t.folder() + "2012-11-16.edb";
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
    t.addProduct(QStringLiteral("备份后的商品"));

    frmRecover dlg;
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("数据恢复"));
    dlg.BitBtn1Click();
    QCOMPARE(msgs.lastText(), QStringLiteral("请选择备份文件"));

    msgs.answer = true;
    Msg::setAnswerText(backup);
    dlg.Button1Click();
    QCOMPARE(msgs.shown.last().caption, QStringLiteral("打开数据备份文件"));
    QCOMPARE(dlg.pathEdit()->text(), backup);

    // No: nothing is copied, the program goes on.
    msgs.answer = false;
    const QByteArray before = bytes(t.file());
    dlg.BitBtn1Click();
    QCOMPARE(msgs.shown.last().kind, Msg::Kind::Question);
    QCOMPARE(msgs.lastText(), QStringLiteral("确认要恢复数据吗?"));
    QCOMPARE(msgs.lastCaption(), QStringLiteral("恢复数据"));
    QVERIFY(msgs.shown.last().defaultNo);
    QCOMPARE(bytes(t.file()), before);
    QCOMPARE(ends.ended, 0);

    // A text file is refused; the dialog stays for another choice.
    const QString text = t.folder() + "note.edb";
    writeFile(text, "hello");
    Msg::setAnswerText(text);
    msgs.answer = true;
    dlg.Button1Click();
    dlg.BitBtn1Click();
    QVERIFY(msgs.lastText().startsWith(QStringLiteral("数据恢复失败！")));
    QVERIFY(dlg.isVisible());
    QCOMPARE(ends.ended, 0);
    QCOMPARE(bytes(t.file()), before);

    // Yes on a backup: restored, told, and the program ends.
    Msg::setAnswerText(backup);
    dlg.Button1Click();
    dlg.BitBtn1Click();
    QVERIFY(msgs.lastText().startsWith(QStringLiteral("数据恢复成功！")));
    QCOMPARE(ends.ended, 1);
    QCOMPARE(bytes(t.file()), bytes(backup));
}

QTEST_MAIN(tst_backup)
#include "tst_backup.moc"
