// Backup and restore of the database file: the online copy while others save,
// the refusal of files that are not this program's database or whose rows
// cannot be taken, the restore that brings in only rows while other programs
// save, a restore killed part-way, and the two dialogs.
#include "shellspy.h"
#include "testdb.h"
#include "testreceipt.h"

#include "data/connection.h"
#include "data/dbfile.h"
#include "data/globals.h"
#include "data/passwords.h"
#include "data/transaction.h"
#include "trade/tradedoc.h"
#include "shell/frmbackup.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QProcess>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
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

// Every row of every table of the program, table by table, as text; of the
// operation log, the rows a restore did not add (it tells of itself there).
QStringList rowsOf(const QString &file)
{
    const QString name = QStringLiteral("rows-reader");
    QStringList out;
    {
        QSqlDatabase db = openOther(file, name);
        for (const QString &table : programTables()) {
            QSqlQuery q(db);
            QStringList cols;
            for (const SchemaColumn &c : programColumns(table)) cols << c.name;
            q.exec(QStringLiteral("select %1 from %2%3%4")
                       .arg(cols.join(','), table,
                            table == QLatin1String("SOpLog") ? QStringLiteral(" where theKind<>'数据恢复'") : QString(),
                            cols.contains("ID") ? QStringLiteral(" order by ID") : QString()));
            while (q.next()) {
                QStringList r{table};
                for (int i = 0; i < q.record().count(); ++i) r << q.value(i).toString();
                out << r.join(QLatin1Char('|'));
            }
        }
    }
    closeOther(name);
    return out;
}

// `rows` (as rowsOf gives them) with every user's stored password left out.
QStringList withoutPasswords(QStringList rows)
{
    for (QString &r : rows) {
        if (!r.startsWith(QStringLiteral("SUser|"))) continue;
        QStringList fields = r.split(QLatin1Char('|'));
        fields[3] = QStringLiteral("*");
        r = fields.join(QLatin1Char('|'));
    }
    return rows;
}

// The schema of a database: its tables, indexes, views and triggers, their
// definitions (SQLite's own record of them).
QStringList schemaOf(const QString &file)
{
    const QString name = QStringLiteral("schema-reader");
    QStringList out;
    {
        QSqlDatabase db = openOther(file, name);
        QSqlQuery q(db);
        q.exec(QStringLiteral("select type, name, coalesce(sql,'') from sqlite_master order by type, name"));
        while (q.next()) out << q.value(0).toString() + QLatin1Char(' ') + q.value(1).toString() + QLatin1Char(' ') + q.value(2).toString();
    }
    closeOther(name);
    return out;
}

QString integrity(const QString &file)
{
    const QString name = QStringLiteral("integrity-reader");
    QString out;
    {
        QSqlDatabase db = openOther(file, name);
        QSqlQuery q(db);
        out = q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next() ? q.value(0).toString() : q.lastError().text();
    }
    closeOther(name);
    return out;
}

// Changes a file with statements, on its own connection.
void alter(const QString &file, const QStringList &statements)
{
    const QString name = QStringLiteral("alter-writer");
    {
        QSqlDatabase db = openOther(file, name);
        for (const QString &sql : statements) {
            QSqlQuery q(db);
            QVERIFY2(q.exec(sql), qPrintable(sql + ": " + q.lastError().text()));
        }
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    closeOther(name);
}

// Books as files were made before schema versions were kept, with rows.
void writeFirstSchemaBooks(const QString &file, const QStringList &statements)
{
    const QString name = QStringLiteral("first-schema");
    {
        QSqlDatabase db = openOther(file, name);
        createFirstSchema(db);
        for (const QString &sql : statements) {
            QSqlQuery q(db);
            QVERIFY2(q.exec(sql), qPrintable(sql + ": " + q.lastError().text()));
        }
    }
    closeOther(name);
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
    void backupIsOneFileForItsOwnerOnly();
    void restoreBringsBackTheBackupsRows();
    void restoreTakesOnlyRows_data();
    void restoreTakesOnlyRows();
    void restoreRefusesOtherFiles_data();
    void restoreRefusesOtherFiles();
    void restoreWaitsForAnotherProgramsSave();
    void restoreWhileOtherProgramsSave();
    void restoreKilledPartWay();
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

void tst_backup::backupIsOneFileForItsOwnerOnly()
{
    TestDb t;
    t.addProduct(QStringLiteral("备份里的商品"));
    const QString target = t.folder() + "b/2012-11-16.edb";
    QDir().mkpath(t.folder() + "b");
    QCOMPARE(DbFile::backup(t.db().connectionName(), target), QString());
    // Not a write-ahead-log database: bytes 18 and 19 of the header are 1.
    const QByteArray head = bytes(target).left(100);
    QCOMPARE(int(head.at(18)), 1);
    QCOMPARE(int(head.at(19)), 1);
    QCOMPARE(QFileInfo(target).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
             QFileDevice::Permissions());
    // Any tool may open it; no log is left beside it, and the restore still takes it.
    QCOMPARE(count(target, QStringLiteral("select count(*) from SShop where theName='备份里的商品'")), 1);
    for (const char *side : {"-wal", "-shm", "-journal"}) QVERIFY2(!QFileInfo::exists(target + side), side);
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), target);
    QVERIFY2(r.ok, qPrintable(r.message));
    // The safety copy holds the users as well: the same care.
    QCOMPARE(int(bytes(r.safetyCopy).at(18)), 1);
    QCOMPARE(QFileInfo(r.safetyCopy).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFileDevice::Permissions());
}

void tst_backup::restoreBringsBackTheBackupsRows()
{
    TestDb t;
    t.addProduct(QStringLiteral("备份前的商品"));
    t.addPartner(QStringLiteral("备份前的单位"));
    const QString backup = t.folder() + "copies/2012-11-16.edb";
    QDir().mkpath(t.folder() + "copies");
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
    const QStringList backupRows = rowsOf(backup);
    t.addProduct(QStringLiteral("备份后的商品"));
    const QStringList freshSchema = schemaOf(t.file());

    const QDateTime when(QDate(2012, 11, 17), QTime(9, 30, 5));
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup, when);
    QVERIFY2(r.ok, qPrintable(r.message));
    // The books are the backup's rows in the program's own schema, on the open connection.
    QVERIFY(t.db().isOpen());
    QCOMPARE(rowsOf(t.file()), backupRows);
    QCOMPARE(schemaOf(t.file()), freshSchema);
    QCOMPARE(t.dm().value("select count(*) from SShop where theName='备份后的商品'").toInt(), 0);
    QCOMPARE(t.dm().value("select count(*) from SShop where theName='备份前的商品'").toInt(), 1);
    QCOMPARE(integrity(t.file()), QStringLiteral("ok"));
    QVERIFY(!QFileInfo::exists(t.file() + ".restore"));
    // The database before the restore is kept beside it, with the later save.
    QCOMPARE(r.safetyCopy, t.folder() + "Data/db-恢复前-20121117-093005.edb");
    QCOMPARE(count(r.safetyCopy, "select count(*) from SShop where theName='备份后的商品'"), 1);
    QCOMPARE(integrity(r.safetyCopy), QStringLiteral("ok"));
    // New IDs go on after the restored ones; the books take saves again.
    const int next = t.addProduct(QStringLiteral("恢复后的商品"));
    QVERIFY(next > t.dm().value("select max(ID) from SShop where theName<>'恢复后的商品'").toInt());

    // A second restore in the same second keeps the first safety copy.
    const DbFile::RestoreResult again = DbFile::restore(t.dm(), t.db().connectionName(), backup, when);
    QVERIFY2(again.ok, qPrintable(again.message));
    QCOMPARE(again.safetyCopy, t.folder() + "Data/db-恢复前-20121117-093005-2.edb");
    QCOMPARE(count(r.safetyCopy, "select count(*) from SShop where theName='备份后的商品'"), 1);
    QCOMPARE(count(again.safetyCopy, "select count(*) from SShop where theName='恢复后的商品'"), 1);
    QCOMPARE(rowsOf(t.file()), backupRows);
}

void tst_backup::restoreTakesOnlyRows_data()
{
    QTest::addColumn<QStringList>("change");
    QTest::addColumn<bool>("firstSchema");
    QTest::addColumn<QString>("note");
    // A trigger of the backup's own would change every later save.
    QTest::newRow("trigger") << QStringList{"create trigger Skim after insert on UJH begin "
                                            "update SUnits set theYF=theYF+14000000; end"}
                             << false << QString();
    QTest::newRow("dropped unique index") << QStringList{"drop index IX_UJH_theNum"} << false << QString();
    QTest::newRow("extra table, view and index")
        << QStringList{"create table Evil(x)", "create view Peek as select * from SUser",
                       "create index IX_Evil on SShop(Remark)"}
        << false << QString();
    QTest::newRow("extra column") << QStringList{"alter table SShop add column Evil text default 'x'"} << false << QString();
    // Books made before schema versions were kept are read through the upgrade steps.
    QTest::newRow("first schema")
        << QStringList{"insert into SShop(theNum,theName,theDel) values('P9','老商品','否')"} << true << QString();
    QTest::newRow("first schema, shared numbers")
        << QStringList{"insert into UJH(theNum,theDel) values('CG1','否')", "insert into UJH(theNum,theDel) values('CG1','否')"}
        << true << QStringLiteral("UJH");
}

void tst_backup::restoreTakesOnlyRows()
{
    QFETCH(QStringList, change);
    QFETCH(bool, firstSchema);
    QFETCH(QString, note);
    TestDb t;
    const int supplier = t.addPartner(QStringLiteral("供货商"), QStringLiteral("供应商"));
    const int product = t.addProduct(QStringLiteral("可乐"));
    const QStringList freshSchema = schemaOf(t.file());
    const QString backup = t.folder() + "2012-11-16.edb";
    if (firstSchema) {
        writeFirstSchemaBooks(backup, change);
    } else {
        QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
        alter(backup, change);
    }
    const QStringList backupRows = rowsOf(backup);

    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup);
    QVERIFY2(r.ok, qPrintable(r.message));
    // Nothing but rows came in: the schema is the program's own, of this version
    // (books whose documents already share a number keep them, without the unique index).
    QStringList expected = freshSchema;
    if (!note.isEmpty()) expected.replaceInStrings("CREATE UNIQUE INDEX IX_UJH_theNum", "CREATE INDEX IX_UJH_theNum");
    QCOMPARE(schemaOf(t.file()), expected);
    QCOMPARE(t.dm().value("select max(theVersion) from SVersion").toInt(), currentSchemaVersion());
    if (firstSchema) {
        // Old books kept passwords as typed: they come back as their hashes.
        QCOMPARE(withoutPasswords(rowsOf(t.file())), withoutPasswords(backupRows));
        QVERIFY(Passwords::verify(QString(), t.dm().value("select thePass from SUser where ID=1").toString()));
    } else {
        QCOMPARE(rowsOf(t.file()), backupRows);
    }
    QCOMPARE(integrity(t.file()), QStringLiteral("ok"));
    if (!note.isEmpty()) QVERIFY2(r.notes.join("\n").contains(note), qPrintable(r.notes.join("\n")));
    else QVERIFY2(r.notes.isEmpty(), qPrintable(r.notes.join("\n")));

    if (!firstSchema) {
        // A purchase receipt saved afterwards moves the balance by its own amount only.
        const Money before = Money::fromVariant(t.dm().value(QStringLiteral("select theYF from SUnits where ID=%1").arg(supplier)));
        G.ShopCB = QStringLiteral("移动加权平均");
        storeShopOptions(t.dm());
        TradeDoc d = oneLineReceipt(supplier, QStringLiteral("供货商"), product, QStringLiteral("4"));
        TradeCheck refused;
        QVERIFY(!saveTradeDoc(t.dm(), d, &refused).isEmpty());
        const Money after = Money::fromVariant(t.dm().value(QStringLiteral("select theYF from SUnits where ID=%1").arg(supplier)));
        QCOMPARE((after - before).toString(), QStringLiteral("10"));
    }
}

void tst_backup::restoreRefusesOtherFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file") << "text";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("foreign SQLite file") << "foreign";
    QTest::newRow("damaged copy") << "damaged";
    QTest::newRow("newer program") << "newer";
    QTest::newRow("missing column") << "missing column";
    QTest::newRow("text in an amount") << "text amount";
    QTest::newRow("amount past the books' range") << "huge amount";
    QTest::newRow("shared numbers without their unique index") << "shared numbers";
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
        } else if (kind == "newer") {
            alter(chosen, {QStringLiteral("update SVersion set theVersion=%1").arg(currentSchemaVersion() + 1)});
        } else if (kind == "missing column") {
            alter(chosen, {"alter table SUnits drop column theYF"});
        } else if (kind == "text amount") {
            alter(chosen, {"update SShop set theJH='十块'"});
        } else if (kind == "huge amount") {
            alter(chosen, {"update SShop set theXS=123456789012345"});
        } else if (kind == "shared numbers") {
            alter(chosen, {"drop index IX_UJH_theNum", "insert into UJH(theNum,theDel) values('CG1','否')",
                           "insert into UJH(theNum,theDel) values('CG1','否')"});
        }
    }
    // What the check of the file itself finds, and what only reading its rows finds.
    const bool rowsRefused = kind == "missing column" || kind == "text amount" || kind == "huge amount" || kind == "shared numbers";
    QCOMPARE(DbFile::checkProgramDatabase(chosen).isEmpty(), rowsRefused);
    if (kind == "missing column") QVERIFY(!DbFile::checkProgramDatabase(chosen).contains("theYF"));
    QCOMPARE(DbFile::checkProgramDatabase(t.file()), QString());

    const QByteArray before = digest(t.file());
    const QByteArray chosenBefore = digest(chosen);
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), chosen);
    QVERIFY(!r.ok);
    QVERIFY(!r.closed);
    QVERIFY(!r.message.isEmpty());
    QVERIFY2(r.message.contains(QDir::toNativeSeparators(chosen)) || kind == "newer", qPrintable(r.message));
    // A refusal of the rows names what is wrong.
    if (kind == "missing column") QVERIFY2(r.message.contains("SUnits") && r.message.contains("theYF"), qPrintable(r.message));
    if (kind == "text amount") QVERIFY2(r.message.contains("SShop") && r.message.contains("theJH"), qPrintable(r.message));
    if (kind == "huge amount") QVERIFY2(r.message.contains("SShop") && r.message.contains("theXS"), qPrintable(r.message));
    // Nothing changed: the database file, the chosen file, nothing left beside either.
    QCOMPARE(digest(t.file()), before);
    QCOMPARE(digest(chosen), chosenBefore);
    QVERIFY(!QFileInfo::exists(t.file() + ".restore"));
    QVERIFY(!QFileInfo::exists(t.file() + ".restore-journal"));
    QVERIFY(!QFileInfo::exists(chosen + "-wal"));
    QVERIFY(!QFileInfo::exists(chosen + "-shm"));
    QCOMPARE(QDir(t.folder() + "Data").entryList({"db-恢复前-*"}).size(), 0);
    // The program goes on working on its database.
    QVERIFY(t.db().isOpen());
    QCOMPARE(t.dm().value("select count(*) from SShop where theName='现有商品'").toInt(), 1);
    t.addProduct(QStringLiteral("之后的商品"));
}

void tst_backup::restoreWaitsForAnotherProgramsSave()
{
    TestDb t;
    const QString backup = t.folder() + "2012-11-16.edb";
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
    t.addProduct(QStringLiteral("备份后的商品"));
    t.dm().DBComWare();  // a pick list and prepared statements in use
    // Another program reads the books: the restore does not wait for readers.
    QSqlDatabase reader = openOther(t.file(), "reading-program");
    QVERIFY(QSqlQuery(reader).exec("select count(*) from SShop"));
    const QStringList before = rowsOf(t.file());
    {
        // Another program holds the books for writing longer than a seat waits.
        OtherSeat writer(t, 7000);
        QElapsedTimer clock;
        clock.start();
        const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup);
        QVERIFY(!r.ok);
        QVERIFY2(r.message.contains(QStringLiteral("账套正忙")), qPrintable(r.message));
        QVERIFY(clock.elapsed() >= 4000);
        QVERIFY(r.safetyCopy.isEmpty());
    }
    QCOMPARE(rowsOf(t.file()), before);
    QCOMPARE(QDir(t.folder() + "Data").entryList({"db-恢复前-*"}).size(), 0);
    // The program works on; once the other program is done, the restore goes ahead.
    t.addProduct(QStringLiteral("之后的商品"));
    QCOMPARE(t.dm().DBComWare()->rowCount(), 0);
    const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), backup);
    QVERIFY2(r.ok, qPrintable(r.message));
    // The reading program sees the restored books.
    QSqlQuery q(reader);
    QVERIFY(q.exec("select count(*) from SShop where theName in ('备份后的商品','之后的商品')") && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    q.finish();
    reader = QSqlDatabase();
    closeOther("reading-program");
}

namespace {

// The remarks of the purchase receipts in a books file.
QSet<QString> remarksIn(const QString &file)
{
    const QString name = QStringLiteral("remarks-reader");
    QSet<QString> out;
    {
        QSqlDatabase db = openOther(file, name);
        QSqlQuery q(db);
        q.exec(QStringLiteral("select Remark from UJH"));
        while (q.next()) out << q.value(0).toString();
    }
    closeOther(name);
    return out;
}

} // namespace

void tst_backup::restoreWhileOtherProgramsSave()
{
    TestDb t;
    t.addPartner(QStringLiteral("供货商"), QStringLiteral("供应商"));
    t.addProduct(QStringLiteral("可乐"));
    const QString backup = t.folder() + "2012-11-16.edb";
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());

    // Three other copies of the program save receipts as fast as they can.
    QList<QProcess *> seats;
    for (int i = 0; i < 3; ++i) {
        auto *p = new QProcess(this);
        p->start(QStringLiteral(RESTORE_CHILD), {"save", t.file(), QStringLiteral("seat%1").arg(i), "4"});
        QVERIFY(p->waitForStarted());
        seats << p;
    }
    // Restores while they save, each one after some saves were told OK.
    QStringList safetyCopies;
    QByteArray told;
    for (int round = 0; round < 3; ++round) {
        QTest::qWait(400);
        const DbFile::RestoreResult r =
            DbFile::restore(t.dm(), t.db().connectionName(), backup, QDateTime::currentDateTime().addSecs(round));
        QVERIFY2(r.ok, qPrintable(r.message));
        safetyCopies << r.safetyCopy;
    }
    for (QProcess *p : seats) {
        QVERIFY(p->waitForFinished(30000));
        const QByteArray out = p->readAllStandardOutput();
        QVERIFY2(p->exitCode() == 0, out.right(500).constData());
        told += out;
    }
    qDeleteAll(seats);

    // Every save told OK is in the books or in the safety copy of a restore after it.
    QSet<QString> kept = remarksIn(t.file());
    for (const QString &copy : safetyCopies) {
        QCOMPARE(integrity(copy), QStringLiteral("ok"));
        kept += remarksIn(copy);
    }
    QCOMPARE(integrity(t.file()), QStringLiteral("ok"));
    int ok = 0;
    QStringList lost;
    for (const QByteArray &line : told.split('\n')) {
        if (!line.startsWith("ok ")) continue;
        ++ok;
        const QString remark = QString::fromUtf8(line.mid(3));
        if (!kept.contains(remark)) lost << remark;
    }
    QVERIFY2(ok > 30, qPrintable(QString::number(ok)));
    QVERIFY2(lost.isEmpty(), qPrintable(QStringLiteral("%1 of %2 saves lost: %3").arg(lost.size()).arg(ok).arg(lost.mid(0, 5).join(' '))));
    // Saves told OK after the last restore are in the books.
    QVERIFY(remarksIn(t.file()).size() > 0);
}

void tst_backup::restoreKilledPartWay()
{
    TestDb t;
    // Books big enough that a restore takes a while to make and copy.
    t.addProduct(QStringLiteral("可乐"));
    QVERIFY(QSqlQuery(t.db()).exec(
        "with recursive n(i) as (select 1 union all select i+1 from n where i<20000) "
        "insert into SList(theDate,theType,theNum,WName,SID,ICount,OCount,SPrice,WCount,UName) "
        "select '2012-11-16','采购入库','CG'||i,'一号库',1,1,0,2.5,i,'张三' from n"));
    const QString backup = t.folder() + "2012-11-16.edb";
    QCOMPARE(DbFile::backup(t.db().connectionName(), backup), QString());
    t.addProduct(QStringLiteral("备份后的商品"));
    const QStringList before = rowsOf(t.file());
    const QStringList restored = rowsOf(backup);
    const QString data = t.folder() + "Data";
    auto newestCopy = [&] { return data + "/" + QDir(data).entryList({"db-恢复前-*.edb"}, QDir::Files, QDir::Time).first(); };
    auto backToBefore = [&] {
        const DbFile::RestoreResult r = DbFile::restore(t.dm(), t.db().connectionName(), newestCopy());
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(rowsOf(t.file()), before);
    };
    // How long a whole restore by another program takes here.
    QElapsedTimer clock;
    clock.start();
    {
        QProcess p;
        p.start(QStringLiteral(RESTORE_CHILD), {"restore", t.file(), backup});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.readAllStandardOutput().trimmed(), QByteArray("ok"));
    }
    const qint64 whole = clock.elapsed();
    QCOMPARE(rowsOf(t.file()), restored);
    backToBefore();

    bool sawRestored = false, sawBefore = false;
    QSet<QString> checked;
    for (int round = 0; round < 12; ++round) {
        QProcess p;
        p.start(QStringLiteral(RESTORE_CHILD), {"restore", t.file(), backup});
        QVERIFY(p.waitForStarted());
        // Killed at a point from its start to past its end.
        QTest::qWait(int(whole * (round + 1) / 8));
        p.kill();
        p.waitForFinished();
        // The books are whole, either as before or restored.
        QCOMPARE(integrity(t.file()), QStringLiteral("ok"));
        const QStringList now = rowsOf(t.file());
        QVERIFY2(now == before || now == restored, qPrintable(QStringLiteral("round %1").arg(round)));
        (now == restored ? sawRestored : sawBefore) = true;
        // A safety copy under its own name is complete; an unfinished one keeps its temporary name.
        for (const QString &copy : QDir(data).entryList({"db-恢复前-*.edb"}, QDir::Files)) {
            if (checked.contains(copy)) continue;
            checked << copy;
            QCOMPARE(integrity(data + "/" + copy), QStringLiteral("ok"));
            const QStringList kept = rowsOf(data + "/" + copy);
            QVERIFY(kept == before || kept == restored);
        }
        if (now == restored) backToBefore();
    }
    // The rounds killed the restore before it was done and let one finish.
    QVERIFY(sawBefore);
    QVERIFY(sawRestored);
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
    // The user leaving is told in the restored books, after the restore.
    QStringList restored = rowsOf(t.file());
    QVERIFY(!restored.isEmpty() && restored.last().startsWith(QStringLiteral("SOpLog|")));
    QVERIFY(restored.takeLast().contains(QStringLiteral("|退出|")));
    QCOMPARE(restored, rowsOf(backup));
}

QTEST_MAIN(tst_backup)
#include "tst_backup.moc"
