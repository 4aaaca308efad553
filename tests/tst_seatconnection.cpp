// A seat's connection to the books on a server: the settings file read as
// written, the options given to the client library (TLS over the network),
// what a seat is told when the server cannot be reached, and a session lost
// to a server restart opened again before the next action.
//
// The server cases run on a cluster of this test's own (it restarts and
// stops it): socket logins with passwords, and TLS only on 127.0.0.2.
#include "data/connection.h"
#include "data/dberror.h"
#include "data/dm.h"
#include "data/transaction.h"
#include "ui/resultmodel.h"
#include "testdb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

class TstSeatConnection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void settingsRead_data();
    void settingsRead();
    void settingsRefused_data();
    void settingsRefused();
    void connectOptions_data();
    void connectOptions();
    void unreachableServerIsNamed();

    void restartedServerIsUnnoticed();
    void stoppedServerIsTold();
    void fileBooksUnaffected();
    void passwordsReachServer_data();
    void passwordsReachServer();
    void tlsOverNetwork_data();
    void tlsOverNetwork();

private:
    QString clusterDir() const;
    void pgctl(const QStringList &args);
    QString m_state;        // the state file of this test's own cluster
    QTemporaryDir m_dir;
};

namespace {

// Writes `text` (bytes as given) to `folder`/Data/server.ini and returns its path.
QString writeIni(const QString &folder, const QByteArray &text)
{
    QDir().mkpath(folder + QStringLiteral("Data"));
    const QString path = folder + QStringLiteral("Data/server.ini");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
    f.write(text);
    return path;
}

QString joined(const BooksLocation &b)
{
    return QStringList({b.host, QString::number(b.port), b.database, b.user, b.password, b.sslmode,
                        QFileInfo(b.sslrootcert).fileName()})
        .join(QLatin1Char('|'));
}

// Runs a program, failing the test with its output when it fails.
bool run(const QString &program, const QStringList &args, QString *output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    const QString out = QString::fromLocal8Bit(p.readAll());
    if (output) *output = out;
    if (!ok) qWarning("%s %s: %s", qPrintable(program), qPrintable(args.join(' ')), qPrintable(out));
    return ok;
}

// The admin connection to the test's own cluster (socket, trusted as postgres).
QSqlDatabase adminOf(const QString &socketFolder)
{
    const QString name = QStringLiteral("seat-admin");
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && QSqlQuery(db).exec(QStringLiteral("select 1"))) return db;
        db.close();
        db.open();
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(socketFolder);
    db.setDatabaseName(QStringLiteral("postgres"));
    db.setUserName(QStringLiteral("postgres"));
    db.open();
    return db;
}

// Opens the books at `where` under a connection name of its own; returns the
// error ("" when it opened) and, when opened, the session's user and whether
// it travels encrypted.
QString tryOpen(const BooksLocation &where, QString *user = nullptr, bool *ssl = nullptr)
{
    const QString name = QStringLiteral("seat-try");
    QString err;
    const bool ok = openServer(where, name, &err);
    if (ok) {
        QSqlQuery q(QSqlDatabase::database(name, false));
        if (q.exec(QStringLiteral("select current_user, coalesce((select ssl from pg_stat_ssl where pid=pg_backend_pid()), false)"))
            && q.next()) {
            if (user) *user = q.value(0).toString();
            if (ssl) *ssl = q.value(1).toBool();
        }
    }
    closeDatabase(name);
    return ok ? QString() : (err.isEmpty() ? QStringLiteral("failed") : err);
}

// Sets the session and gives the books the warehouse 一号库 and the product
// 可乐; returns the product's ID.
int stockedBooks(TestDb &t)
{
    setSession();
    t.addWarehouse(QStringLiteral("一号库"));
    return t.addProduct(QStringLiteral("可乐"));
}

// A save: `quantity` of `sid` into 一号库, one transaction.
void addStock(frmDM &dm, int sid, const char *quantity)
{
    Transaction tx(dm.db());
    dm.KC_Up(QStringLiteral("一号库"), sid, Money::fromString(QString::fromLatin1(quantity)));
    tx.commit();
}

} // namespace

QString TstSeatConnection::clusterDir() const
{
    QFile f(m_state);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromLocal8Bit(f.readAll()).trimmed();
}

void TstSeatConnection::pgctl(const QStringList &args)
{
    QStringList all{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), QStringLiteral(PG_CTL),
                    QStringLiteral("-D"), clusterDir() + QStringLiteral("/data"), QStringLiteral("-w")};
    all += args;
    // The server's output to its log, not to this program.
    if (args.first() != QLatin1String("stop")) all << QStringLiteral("-l") << clusterDir() + QStringLiteral("/server.log");
    if (geteuid() == 0) {
        QVERIFY(run(QStringLiteral("runuser"), all));
    } else {
        QVERIFY(run(all[3], all.mid(4)));
    }
    // The test support's own connection (it makes and drops the test books)
    // learns of the lost session here, and opens a new one when next used.
    if (QSqlDatabase::contains(QStringLiteral("jxc-test-admin")))
        QSqlQuery(QSqlDatabase::database(QStringLiteral("jxc-test-admin"), false)).exec(QStringLiteral("select 1"));
}

void TstSeatConnection::initTestCase()
{
    if (!testsOnServer()) return;
    // A cluster of this test's own: the seats' books go there (TestDb), and it
    // is restarted and stopped under them.
    m_state = m_dir.path() + QStringLiteral("/cluster.state");
    QVERIFY(run(QStringLiteral("bash"), {QStringLiteral(PGCLUSTER), QStringLiteral("start"), m_state}));
    qputenv("JXC_TEST_SERVER_STATE", m_state.toLocal8Bit());
    const QString data = clusterDir() + QStringLiteral("/data");
    // TLS on two loopback addresses that are not "this machine" by name
    // (127.0.0.1 may be another server's), with a certificate made now.
    QVERIFY(run(QStringLiteral("openssl"),
                {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj", "/CN=jxc-test",
                 "-addext", "subjectAltName=IP:127.0.0.2,IP:127.0.0.3", "-days", "2", "-keyout", data + "/server.key", "-out",
                 data + "/server.crt"}));
    // Another certificate, which a seat that verifies refuses to trust.
    QVERIFY(run(QStringLiteral("openssl"),
                {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj", "/CN=other",
                 "-days", "2", "-keyout", m_dir.path() + "/other.key", "-out", m_dir.path() + "/other.crt"}));
    QFile::setPermissions(data + "/server.key", QFile::ReadOwner | QFile::WriteOwner);
    {
        QFile conf(data + QStringLiteral("/postgresql.auto.conf"));
        QVERIFY(conf.open(QIODevice::Append));
        conf.write("listen_addresses = '127.0.0.2,127.0.0.3'\nssl = on\n"
                   "ssl_cert_file = 'server.crt'\nssl_key_file = 'server.key'\n");
        // Started again by pg_ctl alone, the socket stays in the cluster's folder.
        conf.write(QStringLiteral("unix_socket_directories = '%1'\nfsync = off\n").arg(clusterDir()).toUtf8());
        QFile hba(data + QStringLiteral("/pg_hba.conf"));
        QVERIFY(hba.open(QIODevice::WriteOnly | QIODevice::Truncate));
        hba.write("local all postgres trust\n"
                  "local all all scram-sha-256\n"
                  "hostssl all all 127.0.0.0/8 scram-sha-256\n");
    }
    if (geteuid() == 0)
        QVERIFY(run(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("postgres:postgres"), data}));
    pgctl({QStringLiteral("restart"), QStringLiteral("-m"), QStringLiteral("fast")});
    // The role whose password the TLS cases use.
    QSqlQuery q(adminOf(clusterDir()));
    QVERIFY2(q.exec(QStringLiteral("create role jxctls superuser login password 'tls-pw'")), qPrintable(q.lastError().text()));
}

void TstSeatConnection::cleanupTestCase()
{
    if (m_state.isEmpty()) return;
    closeDatabase(QStringLiteral("seat-admin"));
    run(QStringLiteral("bash"), {QStringLiteral(PGCLUSTER), QStringLiteral("stop"), m_state});
}

// ---- the settings file ----

void TstSeatConnection::settingsRead_data()
{
    QTest::addColumn<QByteArray>("ini");
    // host|port|database|user|password|sslmode|certificate file
    QTest::addColumn<QString>("expected");
    QTest::newRow("password kept as written")
        << QByteArray("host=shop-pc\ndatabase=jxc\nuser=jxc\npassword=p;ss#wo rd\\\"x\n") << "shop-pc|5432|jxc|jxc|p;ss#wo rd\\\"x||";
    QTest::newRow("blanks around the value go, inside stay")
        << QByteArray("database = jxc\npassword =  a b\t\n") << "|5432|jxc||a b||";
    QTest::newRow("quotes are part of the value") << QByteArray("database=jxc\npassword=\"a,b\"\n") << "|5432|jxc||\"a,b\"||";
    QTest::newRow("everything after the first =") << QByteArray("database=jxc\npassword==x=y\n") << "|5432|jxc||=x=y||";
    QTest::newRow("comments only at the start of a line")
        << QByteArray("# the shop's server\n  ; old: host=x\ndatabase=jxc # not a comment\n") << "|5432|jxc # not a comment||||";
    QTest::newRow("under [server], other sections ignored")
        << QByteArray("[server]\nhost=shop-pc\ndatabase=books\nport=5433\n[other]\nuser=nobody\n") << "shop-pc|5433|books||||";
    QTest::newRow("the top of the file wins over [server]")
        << QByteArray("database=top\n[server]\ndatabase=below\nuser=clerk\n") << "|5432|top|clerk|||";
    QTest::newRow("Notepad: byte order mark and CR LF")
        << QByteArray("\xEF\xBB\xBFhost=店里\r\ndatabase=jxc\r\npassword=秘 密;\r\n") << "店里|5432|jxc||秘 密;||";
    QTest::newRow("TLS settings, certificate beside the file")
        << QByteArray("host=192.168.1.10\ndatabase=jxc\nsslmode=Verify-Full\nsslrootcert=server.crt\n")
        << "192.168.1.10|5432|jxc|||verify-full|server.crt";
}

void TstSeatConnection::settingsRead()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    writeIni(folder, ini);
    BooksLocation b;
    QString err;
    QVERIFY2(chooseBooks(folder, {}, &b, &err), qPrintable(err));
    QVERIFY(b.server);
    QCOMPARE(joined(b), expected);
    if (!b.sslrootcert.isEmpty()) QCOMPARE(b.sslrootcert, folder + QStringLiteral("Data/server.crt"));
}

void TstSeatConnection::settingsRefused_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("told");
    QByteArray big("database=jxc\n");
    while (big.size() <= MaxSettingsFileBytes) big += "# a comment line that makes the file bigger and bigger\n";
    QTest::newRow("too big") << big << "太大";
    QTest::newRow("binary") << QByteArray("database=jxc\n\0\0\x01\x02", 17) << "不是 UTF-8 文本";
    QTest::newRow("not UTF-8") << QByteArray("database=jxc\npassword=\xC3\x28\n") << "不是 UTF-8 文本";
    QTest::newRow("a line without =") << QByteArray("database=jxc\nhost shop-pc\n") << "第 2 行";
    QTest::newRow("unknown sslmode") << QByteArray("database=jxc\nsslmode=always\n") << "sslmode 不对";
    QTest::newRow("certificate name with ;") << QByteArray("database=jxc\nsslrootcert=a;sslmode=disable\n") << "分号";
}

void TstSeatConnection::settingsRefused()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString path = writeIni(folder, ini);
    BooksLocation b;
    QString err;
    QVERIFY(!chooseBooks(folder, {}, &b, &err));
    QVERIFY2(err.contains(told), qPrintable(err));
    QVERIFY2(err.contains(QDir::toNativeSeparators(path)), qPrintable(err));
}

void TstSeatConnection::connectOptions_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("sslmode");
    QTest::addColumn<QString>("rootcert");
    QTest::addColumn<QString>("options");
    const QString base = QStringLiteral("connect_timeout=10;application_name='jxc-1'");
    QTest::newRow("network host: encrypted") << "192.168.1.10" << "" << "" << base + ";sslmode='require'";
    QTest::newRow("host name: encrypted") << "shop-pc" << "" << "" << base + ";sslmode='require'";
    QTest::newRow("plain only when written") << "shop-pc" << "disable" << "" << base + ";sslmode='disable'";
    QTest::newRow("verified") << "shop-pc" << "verify-full" << "/etc/jxc/it's\\.crt"
                              << base + ";sslmode='verify-full';sslrootcert='/etc/jxc/it\\'s\\\\.crt'";
    QTest::newRow("default socket folder") << "" << "" << "" << base;
    QTest::newRow("socket folder") << "/var/run/postgresql" << "" << "" << base;
    QTest::newRow("localhost") << "localhost" << "" << "" << base;
    QTest::newRow("127.0.0.1") << "127.0.0.1" << "" << "" << base;
    QTest::newRow("::1") << "::1" << "" << "" << base;
    QTest::newRow("this machine, asked to encrypt") << "localhost" << "require" << "" << base + ";sslmode='require'";
}

void TstSeatConnection::connectOptions()
{
    QFETCH(QString, host);
    QFETCH(QString, sslmode);
    QFETCH(QString, rootcert);
    QFETCH(QString, options);
    BooksLocation b;
    b.server = true;
    b.host = host;
    b.database = QStringLiteral("jxc");
    b.sslmode = sslmode;
    b.sslrootcert = rootcert;
    QCOMPARE(serverConnectOptions(b, QStringLiteral("jxc-1")), options);
}

void TstSeatConnection::unreachableServerIsNamed()
{
    // Nothing listens in this folder, nor on this port of this machine.
    QTemporaryDir nowhere;
    BooksLocation b;
    b.server = true;
    b.host = nowhere.path();
    b.database = QStringLiteral("jxc");
    QString err = tryOpen(b);
    QVERIFY2(err.startsWith(QStringLiteral("无法连接数据库服务器：本机服务器（套接字文件夹 %1，端口 5432）上的账套 jxc").arg(b.host)),
             qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("服务器可能没有运行")), qPrintable(err));
    b.host = QStringLiteral("127.0.0.1");
    b.port = 9; // discard: nothing listens there
    err = tryOpen(b);
    QVERIFY2(err.startsWith(QStringLiteral("无法连接数据库服务器：服务器 127.0.0.1:9 上的账套 jxc")), qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("服务器可能没有运行")), qPrintable(err));
}

// ---- a session lost to a restart ----

void TstSeatConnection::restartedServerIsUnnoticed()
{
    if (!testsOnServer()) QSKIP("server books only");
    TestDb t;
    frmDM &dm = t.dm();
    const int cola = stockedBooks(t);
    const int before = dm.value(QStringLiteral("select pg_backend_pid()")).toInt();
    QVERIFY(dm.DBComWare()->rowCount() > 0);

    pgctl({QStringLiteral("restart"), QStringLiteral("-m"), QStringLiteral("fast")});
    // The first action after the restart: a pick list, then the list of a screen.
    QSqlQueryModel *wares = nullptr;
    try {
        wares = dm.DBComWare();
    } catch (const DbError &e) {
        QFAIL(qPrintable(e.text()));
    }
    QVERIFY(wares->rowCount() > 0);
    QVERIFY(dm.value(QStringLiteral("select pg_backend_pid()")).toInt() != before);

    pgctl({QStringLiteral("restart"), QStringLiteral("-m"), QStringLiteral("fast")});
    ResultModel list;
    list.setColumns({ListColumn(QStringLiteral("theName"))});
    try {
        list.load(dm.db(), QStringLiteral("select theName from SShop where ID=?"), {cola});
    } catch (const DbError &e) {
        QFAIL(qPrintable(e.text()));
    }
    QCOMPARE(list.rowCount(), 1);

    // A save as the first action after a restart.
    pgctl({QStringLiteral("restart"), QStringLiteral("-m"), QStringLiteral("fast")});
    try {
        addStock(dm, cola, "2");
    } catch (const DbError &e) {
        QFAIL(qPrintable(e.text()));
    }
    QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), cola).toString(), QStringLiteral("2"));

    // The session lost in the middle of a save: the save fails whole and is
    // not carried on on a new session.
    {
        Transaction tx(dm.db());
        dm.KC_Up(QStringLiteral("一号库"), cola, Money::fromString("5"));
        const int pid = dm.value(QStringLiteral("select pg_backend_pid()")).toInt();
        QSqlQuery kill(adminOf(clusterDir()));
        QVERIFY(kill.exec(QStringLiteral("select pg_terminate_backend(%1)").arg(pid)));
        try {
            dm.KC_Up(QStringLiteral("二号库"), cola, Money::fromString("5"));
            tx.commit();
            QFAIL("a save whose session was lost half-way went on");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::CannotOpen);
            QVERIFY2(e.text().startsWith(QStringLiteral("无法连接数据库服务器")), qPrintable(e.text()));
        }
    }
    QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), cola).toString(), QStringLiteral("2"));
    QCOMPARE(dm.myRetKC(QStringLiteral("二号库"), cola).toString(), QStringLiteral("0"));
}

void TstSeatConnection::stoppedServerIsTold()
{
    if (!testsOnServer()) QSKIP("server books only");
    TestDb t;
    frmDM &dm = t.dm();
    const int cola = stockedBooks(t);
    pgctl({QStringLiteral("stop"), QStringLiteral("-m"), QStringLiteral("fast")});
    auto told = [&](const std::function<void()> &action) {
        try {
            action();
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::CannotOpen);
            QVERIFY2(e.text().startsWith(QStringLiteral("无法连接数据库服务器：本机服务器（套接字文件夹 %1").arg(clusterDir())),
                     qPrintable(e.text()));
            QVERIFY2(e.text().contains(QStringLiteral("服务器可能没有运行")), qPrintable(e.text()));
            return;
        }
        QFAIL("no error with the server stopped");
    };
    told([&] { dm.DBComWare(); });
    told([&] { addStock(dm, cola, "1"); });
    pgctl({QStringLiteral("start")});
    // Back again: the next action works.
    QVERIFY(dm.DBComWare()->rowCount() > 0);
    QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), cola).toString(), QStringLiteral("0"));
}

void TstSeatConnection::fileBooksUnaffected()
{
    if (testsOnServer()) QSKIP("file books only");
    TestDb t;
    frmDM &dm = t.dm();
    const int cola = stockedBooks(t);
    QVERIFY(dm.DBComWare()->rowCount() > 0);
    addStock(dm, cola, "2");
    // A failing statement on the file is not taken for a lost session.
    QVERIFY_THROWS_EXCEPTION(DbError, dm.value(QStringLiteral("select nothing from nowhere")));
    QVERIFY(!lostOutsideTransaction(dm.db()));
    QCOMPARE(dm.myRetKC(QStringLiteral("一号库"), cola).toString(), QStringLiteral("2"));
    ResultModel list;
    list.setColumns({ListColumn(QStringLiteral("theName"))});
    list.load(dm.db(), QStringLiteral("select theName from SShop where ID=?"), {cola});
    QCOMPARE(list.rowCount(), 1);
}

// ---- passwords and TLS on the server ----

void TstSeatConnection::passwordsReachServer_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("; # space \\ \"") << QStringLiteral("p;ss#wo rd\\\"x");
    QTest::newRow("quote and backslash") << QStringLiteral("a'b\\\\c'");
    QTest::newRow("= and Chinese") << QStringLiteral("=秘密;#=");
}

void TstSeatConnection::passwordsReachServer()
{
    if (!testsOnServer()) QSKIP("server books only");
    QFETCH(QString, password);
    TestDb t; // the books the role logs into
    QSqlQuery q(adminOf(clusterDir()));
    q.prepare(QStringLiteral("select format('create role %I superuser login password %L', ?::text, ?::text)"));
    q.addBindValue(QStringLiteral("jxcpw"));
    q.addBindValue(password);
    QVERIFY(q.exec() && q.next());
    const QString create = q.value(0).toString();
    QSqlQuery(adminOf(clusterDir())).exec(QStringLiteral("drop role if exists jxcpw"));
    QVERIFY2(q.exec(create), qPrintable(q.lastError().text()));

    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    writeIni(folder, QStringLiteral("# the books on this machine\nhost = %1\ndatabase = %2\nuser = jxcpw\npassword = %3\n")
                         .arg(clusterDir(), t.location().database, password)
                         .toUtf8());
    BooksLocation b;
    QString err;
    QVERIFY2(chooseBooks(folder, {}, &b, &err), qPrintable(err));
    QString user;
    err = tryOpen(b, &user);
    QVERIFY2(err.isEmpty(), qPrintable(err));
    QCOMPARE(user, QStringLiteral("jxcpw"));
    // The same through the command line's address.
    QVERIFY(chooseBooks(folder, {QStringLiteral("--server"), booksArgument(b) + QStringLiteral("&password=")
                                                               + QString::fromLatin1(QUrl::toPercentEncoding(password))},
                        &b, &err));
    QCOMPARE(b.password, password);
    // A wrong password is refused, and the message says where.
    b.password = password + QLatin1Char('x');
    err = tryOpen(b);
    QVERIFY2(err.startsWith(QStringLiteral("无法连接数据库服务器：")) && err.contains(QStringLiteral("jxcpw")), qPrintable(err));
    QVERIFY(QSqlQuery(adminOf(clusterDir())).exec(QStringLiteral("drop role jxcpw")));
}

void TstSeatConnection::tlsOverNetwork_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("opens");
    QTest::newRow("network host: encrypted by default") << "host=127.0.0.2\n" << true;
    QTest::newRow("sslmode=require") << "host=127.0.0.3\nsslmode=require\n" << true;
    QTest::newRow("plain when written: refused by the server") << "host=127.0.0.2\nsslmode=disable\n" << false;
    QTest::newRow("verified against its certificate")
        << "host=127.0.0.2\nsslmode=verify-full\nsslrootcert=server.crt\n" << true;
    QTest::newRow("verified against another certificate: refused")
        << "host=127.0.0.2\nsslmode=verify-full\nsslrootcert=other.crt\n" << false;
}

void TstSeatConnection::tlsOverNetwork()
{
    if (!testsOnServer()) QSKIP("server books only");
    QFETCH(QString, settings);
    QFETCH(bool, opens);
    TestDb t;
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    writeIni(folder, (settings + QStringLiteral("database=%1\nuser=jxctls\npassword=tls-pw\n").arg(t.location().database)).toUtf8());
    QVERIFY(QFile::copy(clusterDir() + QStringLiteral("/data/server.crt"), folder + QStringLiteral("Data/server.crt")));
    QVERIFY(QFile::copy(m_dir.path() + QStringLiteral("/other.crt"), folder + QStringLiteral("Data/other.crt")));
    BooksLocation b;
    QString err;
    QVERIFY2(chooseBooks(folder, {}, &b, &err), qPrintable(err));
    bool ssl = false;
    err = tryOpen(b, nullptr, &ssl);
    if (opens) {
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QVERIFY(ssl);
    } else {
        QVERIFY2(err.startsWith(QStringLiteral("无法连接数据库服务器：服务器 127.0.0.2:5432 上的账套")), qPrintable(err));
    }
}

QTEST_MAIN(TstSeatConnection)
#include "tst_seatconnection.moc"
