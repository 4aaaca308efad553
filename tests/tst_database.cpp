// Opening the shop's database file: new files made whole or not at all, files
// that are not this program's left untouched, upgrades of older files, the
// write-ahead log folded back at the end, engine errors told in Chinese.
#include "data/connection.h"
#include "data/dberror.h"
#include "testdb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TstDatabase : public QObject {
    Q_OBJECT
private slots:
    void newFiles_data();
    void newFiles();
    void killedFirstStartLeavesNoBrokenFile();
    void foreignFilesAreLeftAlone_data();
    void foreignFilesAreLeftAlone();
    void readOnlyIsToldAtStart();
    void endLeavesEverythingInTheFile();
    void upgradeOfAFileFromBeforeVersions();
    void engineErrorsAreToldInChinese_data();
    void engineErrorsAreToldInChinese();
};

namespace {

int g_serial = 0;

// Runs statements on a file through a plain connection of its own.
void onFile(const QString &file, const QStringList &statements)
{
    const QString name = QStringLiteral("raw%1").arg(++g_serial);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &s : statements) QVERIFY2(q.exec(s), qPrintable(s + ": " + q.lastError().text()));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QVariant valueOn(const QString &file, const QString &sql)
{
    const QString name = QStringLiteral("raw%1").arg(++g_serial);
    QVariant v;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        if (q.exec(sql) && q.next()) v = q.value(0);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return v;
}

QByteArray bytesOf(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &file, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Opens, reads the shop row and closes; returns the error text (empty on success).
QString openAndClose(const QString &file, QStringList *notes = nullptr, const QString &options = QString())
{
    const QString name = QStringLiteral("main%1").arg(++g_serial);
    QString err;
    const bool ok = openDatabase(file, name, &err, notes, options);
    if (ok) {
        QSqlQuery q(QSqlDatabase::database(name));
        if (!q.exec("select count(*) from SDept") || !q.next() || q.value(0).toInt() != 1) err = "no shop row";
    }
    closeDatabase(name);
    if (QSqlDatabase::contains(name)) QSqlDatabase::removeDatabase(name);
    return ok ? err : (err.isEmpty() ? QStringLiteral("failed without a message") : err);
}

// The schema's tables and indexes as the engine holds them.
QStringList schemaOf(const QString &file)
{
    const QString name = QStringLiteral("raw%1").arg(++g_serial);
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        q.exec("select type, name, sql from sqlite_master where name not like 'sqlite_%' order by type, name");
        while (q.next()) out << q.value(0).toString() + " " + q.value(1).toString() + " " + q.value(2).toString();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

} // namespace

void TstDatabase::newFiles_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("no file") << "missing";
    QTest::newRow("empty file") << "zero length";
    // A first start killed after the file was made but before its tables were.
    QTest::newRow("database without tables") << "no tables";
    QTest::newRow("half-built new file left beside it") << "leftover";
}

void TstDatabase::newFiles()
{
    QFETCH(QString, state);
    QTemporaryDir dir;
    const QString file = dir.path() + "/Data/db.edb";
    QDir().mkpath(dir.path() + "/Data");
    if (state == "zero length") writeFile(file, {});
    if (state == "no tables") onFile(file, {"PRAGMA journal_mode=WAL", "PRAGMA user_version=0"});
    if (state == "leftover") writeFile(file + ".new", QByteArray(5000, 'x'));

    QCOMPARE(openAndClose(file), QString());
    QVERIFY(!QFileInfo::exists(file + ".new"));
    QCOMPARE(valueOn(file, "select count(*) from SDJ").toInt(), 10);
    QCOMPARE(valueOn(file, "select theVersion from SVersion").toInt(), currentSchemaVersion());
    // The next start opens it as it is.
    onFile(file, {"update SDept set theName='我的小店'"});
    QCOMPARE(openAndClose(file), QString());
    QCOMPARE(valueOn(file, "select theName from SDept").toString(), QString("我的小店"));
}

void TstDatabase::killedFirstStartLeavesNoBrokenFile()
{
    // A first start ended at many moments while it builds the database: every
    // next start must find either no database or a whole one.
    int killed = 0;
    for (int i = 0; i < 24; ++i) {
        QTemporaryDir dir;
        const QString file = dir.path() + "/Data/db.edb";
        QProcess child;
        child.start(QStringLiteral(OPENDB_CHILD), {file});
        QVERIFY(child.waitForStarted());
        QTest::qSleep(2 + (i * 7) % 60);
        if (child.state() != QProcess::NotRunning) {
            child.kill();
            ++killed;
        }
        child.waitForFinished();
        QCOMPARE(openAndClose(file), QString());
        QCOMPARE(valueOn(file, "select count(*) from SDJ").toInt(), 10);
    }
    // The moments chosen must fall while the child is still at work.
    QVERIFY(killed > 0);
}

void TstDatabase::foreignFilesAreLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("told");
    QTest::newRow("text file") << "text" << "不是本程序的数据库";
    QTest::newRow("another program's database") << "foreign" << "不是本程序的数据库";
    QTest::newRow("a database of a newer program") << "newer" << "较新版本";
}

void TstDatabase::foreignFilesAreLeftAlone()
{
    QFETCH(QString, kind);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString file = dir.path() + "/Data/db.edb";
    QDir().mkpath(dir.path() + "/Data");
    if (kind == "text") writeFile(file, QByteArray("进货单\n").repeated(500));
    if (kind == "foreign") onFile(file, {"create table foo(a)", "insert into foo values(1)"});
    if (kind == "newer") {
        QCOMPARE(openAndClose(file), QString());
        onFile(file, {"update SVersion set theVersion=99"});
    }
    const QByteArray before = bytesOf(file);

    const QString err = openAndClose(file);
    QVERIFY2(err.contains(told), qPrintable(err));
    QVERIFY2(err.contains(QDir::toNativeSeparators(file)), qPrintable(err));
    // Not a byte changed, not switched to the write-ahead log, nothing beside it.
    QCOMPARE(bytesOf(file), before);
    QVERIFY(!QFileInfo::exists(file + "-wal"));
    QVERIFY(!QFileInfo::exists(file + ".new"));
}

void TstDatabase::readOnlyIsToldAtStart()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/Data/db.edb";
    QCOMPARE(openAndClose(file), QString());
    // The engine opens a write-protected file for reading only; so does this option.
    const QString err = openAndClose(file, nullptr, "QSQLITE_OPEN_READONLY");
    QVERIFY2(err.contains("不能写入"), qPrintable(err));
    QVERIFY2(err.contains(QDir::toNativeSeparators(file)), qPrintable(err));
    QVERIFY2(err.contains("详细信息"), qPrintable(err));
}

void TstDatabase::endLeavesEverythingInTheFile()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/Data/db.edb";
    QString err;
    QVERIFY2(openDatabase(file, "seat", &err), qPrintable(err));
    {
        QSqlQuery q(QSqlDatabase::database("seat"));
        QVERIFY(q.exec("insert into SWare(theName,Remark,theState) values('一号库','','启用')"));
    }
    // While the program runs, saves may live in the log beside the file.
    QVERIFY(QFileInfo::exists(file + "-wal"));
    closeDatabase("seat");
    QVERIFY(!QSqlDatabase::contains("seat"));
    QVERIFY(!QFileInfo::exists(file + "-wal"));
    // A plain copy of the file alone holds everything.
    const QString copy = dir.path() + "/copy.edb";
    QVERIFY(QFile::copy(file, copy));
    QCOMPARE(valueOn(copy, "select theName from SWare").toString(), QString("一号库"));
    QCOMPARE(valueOn(copy, "select count(*) from SDJ").toInt(), 10);
}

void TstDatabase::upgradeOfAFileFromBeforeVersions()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/Data/db.edb";
    QDir().mkpath(dir.path() + "/Data");
    // A shop's file as the program made it before schema versions were kept,
    // with documents in it, two of them sharing a number.
    const QString name = "first";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        QVERIFY(db.open());
        createFirstSchema(db);
        QSqlQuery q(db);
        QVERIFY(q.exec("insert into UJH(theNum,theDate) values('CG121116-0001','2012-11-16')"));
        QVERIFY(q.exec("insert into UBS(theNum,theDate) values('BS121116-0001','2012-11-16')"));
        QVERIFY(q.exec("insert into UBS(theNum,theDate) values('BS121116-0001','2112-11-16')"));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    QCOMPARE(valueOn(file, "select count(*) from sqlite_master where name='SVersion'").toInt(), 0);

    QStringList notes;
    QCOMPARE(openAndClose(file, &notes), QString());
    QCOMPARE(valueOn(file, "select theVersion from SVersion").toInt(), currentSchemaVersion());
    QCOMPARE(valueOn(file, "select count(*) from UBS").toInt(), 2);
    // The table with a shared number is named; the others got their unique index.
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes[0].contains("UBS") && notes[0].contains("BS121116-0001"), qPrintable(notes.join('\n')));
    onFile(file, {"insert into UJH(theNum) values('CG121116-0002')"});
    QCOMPARE(valueOn(file, "select count(*) from UJH").toInt(), 2);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "dup");
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(!q.exec("insert into UJH(theNum) values('CG121116-0001')"));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase("dup");

    // Apart from that index, the upgraded file has the schema of a new one.
    const QString fresh = dir.path() + "/fresh/db.edb";
    QCOMPARE(openAndClose(fresh), QString());
    QStringList upgraded = schemaOf(file), made = schemaOf(fresh);
    upgraded.removeIf([](const QString &s) { return s.startsWith("index IX_UBS_theNum"); });
    made.removeIf([](const QString &s) { return s.startsWith("index IX_UBS_theNum"); });
    QCOMPARE(upgraded, made);
    // A second start has nothing more to do.
    notes.clear();
    QCOMPARE(openAndClose(file, &notes), QString());
    QVERIFY(notes.isEmpty());
}

void TstDatabase::engineErrorsAreToldInChinese_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("told");
    QTest::newRow("busy") << "5" << int(DbError::Kind::Busy) << "账套正忙";
    QTest::newRow("busy, extended code") << "517" << int(DbError::Kind::Busy) << "账套正忙";
    QTest::newRow("read-only") << "8" << int(DbError::Kind::ReadOnly) << "不能写入";
    QTest::newRow("disk full") << "13" << int(DbError::Kind::DiskFull) << "磁盘空间已满";
    QTest::newRow("not a database") << "26" << int(DbError::Kind::NotADatabase) << "不是本程序的数据库";
    QTest::newRow("corrupt") << "11" << int(DbError::Kind::Corrupt) << "已损坏";
    QTest::newRow("cannot open") << "14" << int(DbError::Kind::CannotOpen) << "无法打开";
    QTest::newRow("a statement's own error") << "1" << int(DbError::Kind::Other) << "数据库出错";
    QTest::newRow("a unique value taken") << "19" << int(DbError::Kind::Duplicate) << "数据库出错";
    QTest::newRow("a unique value taken, extended code") << "2067" << int(DbError::Kind::Duplicate) << "数据库出错";
}

void TstDatabase::engineErrorsAreToldInChinese()
{
    QFETCH(QString, code);
    QFETCH(int, kind);
    QFETCH(QString, told);
    const QSqlError e("driver text", "engine words", QSqlError::StatementError, code);
    const DbError d = DbError::fromSql(e, "/店/Data/db.edb");
    QCOMPARE(int(d.kind()), kind);
    QVERIFY2(d.text().contains(told), qPrintable(d.text()));
    if (d.kind() != DbError::Kind::Busy) QVERIFY2(d.text().contains("/店/Data/db.edb"), qPrintable(d.text()));
    // The engine's own words stay below as detail.
    QVERIFY2(d.text().contains("engine words"), qPrintable(d.text()));
}

QTEST_GUILESS_MAIN(TstDatabase)
#include "tst_database.moc"
