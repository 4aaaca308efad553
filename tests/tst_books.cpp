// Where the program finds its books: the file by default, a server named in
// Data/server.ini or on the command line (which wins).
#include "data/bookslocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TstBooks : public QObject {
    Q_OBJECT
private slots:
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
