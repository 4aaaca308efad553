// Where the program finds its books: the folder they live in (the command
// line, the program's own folder with Data/, else the user's data folder),
// then the file by default, a server named in Data/server.ini or on the
// command line (which wins).
#include "data/booksfolder.h"
#include "data/bookslocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TstBooks : public QObject {
    Q_OBJECT
private slots:
    void folderChosen_data();
    void folderChosen();
    void folderRefused_data();
    void folderRefused();
    void chosen_data();
    void chosen();
    void refused_data();
    void refused();
    void place();
};

namespace {
// Writes Data/server.ini below `folder` (nothing when `ini` is null).
void writeIni(const QString &folder, const QString &ini)
{
    if (ini.isNull()) return;
    QDir().mkpath(folder + QStringLiteral("Data"));
    QFile f(folder + QStringLiteral("Data/server.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(ini.toUtf8());
}
} // namespace

// The program's folder holds "Data" as a folder, as a plain file, or not at
// all; the expected folder is "program", "user", "given" (the folder on the
// command line) or "relative" (given relative to the working folder).
void TstBooks::folderChosen_data()
{
    QTest::addColumn<QString>("besideProgram");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("installed: the user's folder") << "" << QStringList() << "user";
    QTest::newRow("Data/ beside the program") << "folder" << QStringList() << "program";
    QTest::newRow("a file named Data is no books") << "file" << QStringList() << "user";
    QTest::newRow("--books DIR") << "" << QStringList{"--books", "GIVEN"} << "given";
    QTest::newRow("--books wins over Data/") << "folder" << QStringList{"--server", "postgresql:///x", "--books", "GIVEN"} << "given";
    QTest::newRow("--books=DIR") << "folder" << QStringList{"--books=GIVEN"} << "given";
    QTest::newRow("relative to the working folder") << "" << QStringList{"--books", "店/账套"} << "relative";
    QTest::newRow("other arguments") << "" << QStringList{"--check-books", "--server", "postgresql:///x"} << "user";
}

void TstBooks::folderChosen()
{
    QFETCH(QString, besideProgram);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString program = dir.path() + QStringLiteral("/opt/jxc/");
    const QString user = dir.path() + QStringLiteral("/home/.local/share/jxc");
    const QString given = dir.path() + QStringLiteral("/books");
    QVERIFY(QDir().mkpath(program));
    if (besideProgram == QLatin1String("folder")) QVERIFY(QDir().mkpath(program + QStringLiteral("Data")));
    if (besideProgram == QLatin1String("file")) {
        QFile f(program + QStringLiteral("Data"));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    args.replaceInStrings(QStringLiteral("GIVEN"), given);
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QString folder, err;
    const bool ok = chooseBooksFolder(program, args, user, &folder, &err);
    QVERIFY(QDir::setCurrent(previous));
    QVERIFY2(ok, qPrintable(err));
    const QHash<QString, QString> folders{{"program", program}, {"user", user + '/'}, {"given", given + '/'},
                                          {"relative", dir.path() + QStringLiteral("/店/账套/")}};
    QCOMPARE(folder, folders.value(expected));
}

void TstBooks::folderRefused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("userFolder");
    QTest::addColumn<QString>("message");
    QTest::newRow("--books without a folder") << QStringList{"--books"} << "/home/u/.local/share/jxc" << "--books 后面缺少";
    QTest::newRow("--books followed by an option") << QStringList{"--books", "--check-books"} << "/home/u/.local/share/jxc"
                                                   << "--books 后面缺少";
    QTest::newRow("--books= empty") << QStringList{"--books="} << "/home/u/.local/share/jxc" << "--books 后面缺少";
    QTest::newRow("no user folder") << QStringList() << "" << "找不到存放账套的用户文件夹";
}

void TstBooks::folderRefused()
{
    QFETCH(QStringList, args);
    QFETCH(QString, userFolder);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QString folder = QStringLiteral("unchanged"), err;
    QVERIFY(!chooseBooksFolder(dir.path() + QLatin1Char('/'), args, userFolder, &folder, &err));
    QVERIFY2(err.contains(message), qPrintable(err));
    QCOMPARE(folder, QStringLiteral("unchanged"));
}

void TstBooks::chosen_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QStringList>("args");
    // server, host, port, database, user, password ("file" for the file)
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing: the file") << QString() << QStringList() << "file";
    QTest::newRow("settings file") << "host=192.168.1.10\nport=5433\ndatabase=jxc\nuser=jxc\npassword=秘密\n" << QStringList()
                                   << "192.168.1.10|5433|jxc|jxc|秘密";
    QTest::newRow("settings under [server]") << "[server]\nhost=shop-pc\ndatabase=books\nuser=clerk\n" << QStringList()
                                             << "shop-pc|5432|books|clerk|";
    QTest::newRow("password with a comma") << "database=jxc\npassword=a,b\n" << QStringList() << "|5432|jxc||a,b";
    QTest::newRow("command line") << QString() << QStringList{"--server", "postgresql://clerk@shop-pc:5433/jxc"}
                                   << "shop-pc|5433|jxc|clerk|";
    QTest::newRow("command line wins over the file")
        << "host=other\ndatabase=other\n" << QStringList{"--server=postgresql://clerk:pw@shop-pc/jxc"} << "shop-pc|5432|jxc|clerk|pw";
    QTest::newRow("socket folder, libpq's way")
        << QString() << QStringList{"--server", "postgresql:///jxc?host=%2Fvar%2Frun%2Fpostgresql&user=jxc"}
        << "/var/run/postgresql|5432|jxc|jxc|";
    QTest::newRow("other arguments are no concern") << QString() << QStringList{"-style", "fusion"} << "file";
}

void TstBooks::chosen()
{
    QFETCH(QString, ini);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    writeIni(folder, ini);
    BooksLocation b;
    QString err;
    QVERIFY2(chooseBooks(folder, args, &b, &err), qPrintable(err));
    if (expected == QLatin1String("file")) {
        QVERIFY(!b.server);
        QCOMPARE(b.file, folder + QStringLiteral("Data/db.edb"));
        return;
    }
    QVERIFY(b.server);
    QCOMPARE(QStringList({b.host, QString::number(b.port), b.database, b.user, b.password}).join(QLatin1Char('|')), expected);
}

void TstBooks::refused_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("told");
    QTest::newRow("no database in the file") << "host=shop-pc\n" << QStringList() << "缺少账套名 database";
    QTest::newRow("port not a number") << "database=jxc\nport=54x\n" << QStringList() << "端口 port 不对";
    QTest::newRow("port out of range") << "database=jxc\nport=70000\n" << QStringList() << "端口 port 不对";
    QTest::newRow("not an address") << QString() << QStringList{"--server", "shop-pc/jxc"} << "服务器地址写法不对";
    QTest::newRow("address without books") << QString() << QStringList{"--server", "postgresql://clerk@shop-pc:5432/"}
                                           << "缺少账套名";
    QTest::newRow("address missing") << QString() << QStringList{"--server"} << "缺少服务器地址";
}

void TstBooks::refused()
{
    QFETCH(QString, ini);
    QFETCH(QStringList, args);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    writeIni(folder, ini);
    BooksLocation b;
    QString err;
    QVERIFY(!chooseBooks(folder, args, &b, &err));
    QVERIFY2(err.contains(told), qPrintable(err));
}

void TstBooks::place()
{
    BooksLocation b;
    QString err;
    QVERIFY(BooksLocation::fromUrl(QStringLiteral("postgresql://clerk@shop-pc:5433/jxc"), &b, &err));
    QCOMPARE(b.place(), QStringLiteral("服务器 shop-pc:5433 上的账套 jxc"));
    QCOMPARE(BooksLocation::ofFile(QStringLiteral("/店/Data/db.edb")).place(), QStringLiteral("/店/Data/db.edb"));
}

QTEST_GUILESS_MAIN(TstBooks)
#include "tst_books.moc"
