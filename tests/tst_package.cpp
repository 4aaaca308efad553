// The Debian package made by CPack from this build folder (tools/package.sh
// makes the same from a Release build): its control fields and files, the
// installed program keeping its books in the user's data folder, one program
// at a time on the same books, and lintian finding no errors (when installed).
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
        const QString &workDir = QString())
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("did not end: ") + program;
        return r;
    }
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

// Every file below `root`, relative to it.
QStringList filesBelow(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

class TstPackage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void controlFields();
    void files_data();
    void files();
    void desktopEntry();
    void installedProgramKeepsBooksInTheUsersFolder();
    void secondStartOnTheSameBooksIsRefused();
    void lintianFindsNoErrors();

private:
    // The program as installed from the package, with a HOME of its own.
    QProcessEnvironment userEnvironment(const QString &home) const;
    QString booksOf(const QString &home) const { return home + QStringLiteral("/.local/share/jxc/"); }

    QTemporaryDir m_dir;
    QString m_deb;
    QString m_root;     // the package unpacked
    QString m_program;  // m_root/usr/bin/jxc
};

void TstPackage::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty()) QSKIP("not a Debian system (no dpkg-deb)");
    QVERIFY(m_dir.isValid());
    QElapsedTimer timer;
    timer.start();
    const Run made = run(QStringLiteral(JXC_CPACK), {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                                     QStringLiteral(JXC_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
                                                     m_dir.path() + QStringLiteral("/out")},
                         QProcessEnvironment::systemEnvironment(), QStringLiteral(JXC_BUILD_DIR));
    QVERIFY2(made.code == 0, qPrintable(made.out + made.err));
    qInfo("cpack: %lld ms", timer.elapsed());
    const Run arch = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")});
    QCOMPARE(arch.code, 0);
    m_deb = m_dir.path() + QStringLiteral("/out/jxc_%1_%2.deb").arg(QStringLiteral(JXC_VERSION), arch.out.trimmed());
    QVERIFY2(QFileInfo::exists(m_deb), qPrintable(made.out));

    m_root = m_dir.path() + QStringLiteral("/root");
    const Run unpacked = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, m_root});
    QVERIFY2(unpacked.code == 0, qPrintable(unpacked.err));
    m_program = m_root + QStringLiteral("/usr/bin/jxc");
}

QProcessEnvironment TstPackage::userEnvironment(const QString &home) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

void TstPackage::controlFields()
{
    const auto field = [this](const char *name) {
        return run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, QString::fromLatin1(name)}).out.trimmed();
    };
    QCOMPARE(field("Package"), QStringLiteral("jxc"));
    QCOMPARE(field("Version"), QStringLiteral(JXC_VERSION));
    QVERIFY(!field("Maintainer").isEmpty());
    QVERIFY(!field("Description").isEmpty());
    // The libraries it links (found by dpkg-shlibdeps), the drivers it loads, its font.
    const QStringList depends = field("Depends").split(QStringLiteral(", "));
    const QStringList needed{"libqt6widgets6", "libqt6sql6", "libqt6sql6-sqlite", "libqt6sql6-psql", "libpq5", "libsodium23",
                             "libsqlite3-0", "libzip4", "libxlsxwriter4", "fonts-wqy-zenhei"};
    for (const QString &name : needed) {
        const bool listed = std::any_of(depends.cbegin(), depends.cend(), [&name](const QString &d) {
            return d == name || d.startsWith(name + QStringLiteral(" ("));
        });
        QVERIFY2(listed, qPrintable(name + QStringLiteral(" not in Depends: ") + depends.join(QStringLiteral(", "))));
    }
    const QStringList recommends = field("Recommends").split(QStringLiteral(", "));
    QVERIFY(recommends.contains(QStringLiteral("fcitx5-frontend-qt6")));
    QVERIFY(recommends.contains(QStringLiteral("postgresql-client")));
}

void TstPackage::files_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mode");
    QTest::newRow("program") << "./usr/bin/jxc" << "-rwxr-xr-x";
    QTest::newRow("desktop entry") << "./usr/share/applications/jxc.desktop" << "-rw-r--r--";
    QTest::newRow("icon svg") << "./usr/share/icons/hicolor/scalable/apps/jxc.svg" << "-rw-r--r--";
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path = QStringLiteral("./usr/share/icons/hicolor/%1x%1/apps/jxc.png").arg(size);
        QTest::newRow(qPrintable(path)) << path << "-rw-r--r--";
    }
    QTest::newRow("Qt's Chinese texts") << "./usr/share/jxc/translations/qtbase_zh_CN.qm" << "-rw-r--r--";
    QTest::newRow("copyright") << "./usr/share/doc/jxc/copyright" << "-rw-r--r--";
    QTest::newRow("changelog") << "./usr/share/doc/jxc/changelog.gz" << "-rw-r--r--";
    QTest::newRow("manual page") << "./usr/share/man/man1/jxc.1.gz" << "-rw-r--r--";
    QTest::newRow("folder") << "./usr/share/jxc/" << "drwxr-xr-x";
}

void TstPackage::files()
{
    QFETCH(QString, path);
    QFETCH(QString, mode);
    static QStringList listing;
    if (listing.isEmpty()) {
        const Run r = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_deb});
        QCOMPARE(r.code, 0);
        listing = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        // Nothing of the build folder's books, every file root's.
        for (const QString &line : listing) {
            QVERIFY2(!line.contains(QStringLiteral("/Data")), qPrintable(line));
            QVERIFY2(line.contains(QStringLiteral(" root/root ")), qPrintable(line));
        }
    }
    const auto line = std::find_if(listing.cbegin(), listing.cend(), [&path](const QString &l) { return l.endsWith(QLatin1Char(' ') + path); });
    QVERIFY2(line != listing.cend(), qPrintable(path + QStringLiteral(" not in the package")));
    QVERIFY2(line->startsWith(mode + QLatin1Char(' ')), qPrintable(*line));
    if (path.endsWith(QLatin1Char('/'))) return;
    QVERIFY(QFileInfo(m_root + path.mid(1)).size() > 0);
    if (path == QLatin1String("./usr/bin/jxc")) {
        // Stripped: no symbol table, no debugging sections.
        const Run sections = run(QStringLiteral("readelf"), {QStringLiteral("-S"), QStringLiteral("-W"), m_program});
        QCOMPARE(sections.code, 0);
        QVERIFY(!sections.out.contains(QStringLiteral(".symtab")));
        QVERIFY(!sections.out.contains(QStringLiteral(".debug_")));
    }
}

void TstPackage::desktopEntry()
{
    QFile f(m_root + QStringLiteral("/usr/share/applications/jxc.desktop"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QHash<QString, QString> entry;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0) entry.insert(line.left(eq), line.mid(eq + 1));
    }
    QCOMPARE(entry.value("Type"), QStringLiteral("Application"));
    QCOMPARE(entry.value("Exec"), QStringLiteral("jxc"));
    QCOMPARE(entry.value("Icon"), QStringLiteral("jxc"));
    QCOMPARE(entry.value("Categories"), QStringLiteral("Office;Finance;"));
    // The program names its windows "jxc" (its application name).
    QCOMPARE(entry.value("StartupWMClass"), QStringLiteral("jxc"));
    for (const char *key : {"Name", "GenericName", "Comment"}) {
        const QString text = entry.value(QString::fromLatin1(key));
        const bool chinese = std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
        QVERIFY2(chinese, key);
    }
}

void TstPackage::installedProgramKeepsBooksInTheUsersFolder()
{
    const QStringList before = filesBelow(m_root);
    const QString home = m_dir.path() + QStringLiteral("/home/clerk");
    QVERIFY(QDir().mkpath(home));
    const Run first = run(m_program, {QStringLiteral("--check-books")}, userEnvironment(home), home);
    QVERIFY2(first.code == 0, qPrintable(first.err));
    QCOMPARE(first.out.trimmed(), QStringLiteral("账套：") + booksOf(home) + QStringLiteral("Data/db.edb"));
    QVERIFY(QFileInfo(booksOf(home) + QStringLiteral("Data/db.edb")).size() > 0);
    // Nothing written beside the program or anywhere below /usr.
    QCOMPARE(filesBelow(m_root), before);

    // A second start finds the same books.
    const Run again = run(m_program, {QStringLiteral("--check-books")}, userEnvironment(home), home);
    QVERIFY2(again.code == 0, qPrintable(again.err));
    QCOMPARE(again.out, first.out);
}

void TstPackage::secondStartOnTheSameBooksIsRefused()
{
    const QString home = m_dir.path() + QStringLiteral("/home/owner");
    const QString other = m_dir.path() + QStringLiteral("/home/assistant");
    QVERIFY(QDir().mkpath(home));
    QVERIFY(QDir().mkpath(other));
    QProcess running;
    running.setProcessEnvironment(userEnvironment(home));
    running.setWorkingDirectory(home);
    const auto stop = qScopeGuard([&running] {
        running.kill();
        running.waitForFinished();
    });
    running.start(m_program, {});
    QVERIFY(running.waitForStarted());
    // It holds the lock before it makes its books.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(booksOf(home) + QStringLiteral("Data/db.edb")), 60000);
    QCOMPARE(running.state(), QProcess::Running);

    const Run refused = run(m_program, {QStringLiteral("--check-books")}, userEnvironment(home), home);
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("Tavrel进销存软件 已经打开了！")), qPrintable(refused.err));
    QVERIFY2(refused.err.contains(booksOf(home)), qPrintable(refused.err));
    // Another user of the machine, with books of their own, works beside it.
    const Run beside = run(m_program, {QStringLiteral("--check-books")}, userEnvironment(other), other);
    QVERIFY2(beside.code == 0, qPrintable(beside.err));
    QCOMPARE(beside.out.trimmed(), QStringLiteral("账套：") + booksOf(other) + QStringLiteral("Data/db.edb"));
    QCOMPARE(running.state(), QProcess::Running);
}

void TstPackage::lintianFindsNoErrors()
{
    const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
    if (lintian.isEmpty()) QSKIP("lintian is not installed (tools/package.sh installs it)");
    QElapsedTimer timer;
    timer.start();
    const Run r = run(lintian, {QStringLiteral("--fail-on"), QStringLiteral("error"), m_deb});
    qInfo("lintian: %lld ms", timer.elapsed());
    const QStringList errors = r.out.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^E: ")));
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
}

QTEST_GUILESS_MAIN(TstPackage)
#include "tst_package.moc"
