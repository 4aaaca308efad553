#include "bookslocation.h"
#include "connection.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>
#include <QUrlQuery>

BooksLocation BooksLocation::ofFile(const QString &file)
{
    BooksLocation b;
    b.file = file;
    return b;
}

bool BooksLocation::fromUrl(const QString &url, BooksLocation *out, QString *error)
{
    const QUrl u(url.trimmed(), QUrl::StrictMode);
    const QString scheme = u.scheme().toLower();
    if (!u.isValid() || (scheme != QLatin1String("postgresql") && scheme != QLatin1String("postgres"))) {
        if (error)
            *error = QStringLiteral("服务器地址写法不对：%1\n应写作 postgresql://用户名@服务器:端口/账套名").arg(url);
        return false;
    }
    BooksLocation b;
    b.server = true;
    b.host = u.host(QUrl::FullyDecoded);
    b.port = u.port(5432);
    b.database = u.path(QUrl::FullyDecoded);
    if (b.database.startsWith(QLatin1Char('/'))) b.database.remove(0, 1);
    b.user = u.userName(QUrl::FullyDecoded);
    b.password = u.password(QUrl::FullyDecoded);
    // libpq's form for a socket folder: postgresql:///jxc?host=/var/run/postgresql&user=jxc
    const QUrlQuery query(u);
    if (query.hasQueryItem(QStringLiteral("host"))) b.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (query.hasQueryItem(QStringLiteral("port"))) b.port = query.queryItemValue(QStringLiteral("port")).toInt();
    if (query.hasQueryItem(QStringLiteral("user"))) b.user = query.queryItemValue(QStringLiteral("user"), QUrl::FullyDecoded);
    if (query.hasQueryItem(QStringLiteral("password")))
        b.password = query.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded);
    if (b.port <= 0 || b.port > 65535) {
        if (error) *error = QStringLiteral("服务器地址中的端口不对：%1").arg(url);
        return false;
    }
    if (b.database.isEmpty() || b.database.contains(QLatin1Char('/'))) {
        if (error) *error = QStringLiteral("服务器地址中缺少账套名：%1\n应写作 postgresql://用户名@服务器:端口/账套名").arg(url);
        return false;
    }
    *out = b;
    return true;
}

bool BooksLocation::fromIniFile(const QString &iniFile, BooksLocation *out, QString *error)
{
    const QString where = QDir::toNativeSeparators(iniFile);
    QSettings ini(iniFile, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        if (error) *error = QStringLiteral("无法读取服务器设置文件：%1").arg(where);
        return false;
    }
    // The keys may stand at the top of the file or under [server].
    auto read = [&](const char *key) {
        const QString k = QLatin1String(key);
        const QVariant v = ini.contains(k) ? ini.value(k) : ini.value(QStringLiteral("server/") + k);
        // A value with a comma reads as a list.
        return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString().trimmed();
    };
    BooksLocation b;
    b.server = true;
    b.host = read("host");
    b.database = read("database");
    b.user = read("user");
    b.password = read("password");
    const QString port = read("port");
    if (!port.isEmpty()) {
        bool ok = false;
        b.port = port.toInt(&ok);
        if (!ok || b.port <= 0 || b.port > 65535) {
            if (error) *error = QStringLiteral("服务器设置文件 %1 中的端口 port 不对：%2").arg(where, port);
            return false;
        }
    }
    if (b.database.isEmpty()) {
        if (error) *error = QStringLiteral("服务器设置文件 %1 中缺少账套名 database。").arg(where);
        return false;
    }
    *out = b;
    return true;
}

QString BooksLocation::place() const
{
    if (!server) return QDir::toNativeSeparators(file);
    const QString h = host.isEmpty() ? QStringLiteral("localhost") : host;
    return QStringLiteral("服务器 %1:%2 上的账套 %3").arg(h).arg(port).arg(database);
}

QString serverSettingsFile(const QString &appPath)
{
    return appPath + QStringLiteral("Data/server.ini");
}

bool chooseBooks(const QString &appPath, const QStringList &arguments, BooksLocation *out, QString *error)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--server")) {
            if (i + 1 >= arguments.size()) {
                if (error) *error = QStringLiteral("--server 后面缺少服务器地址（postgresql://用户名@服务器:端口/账套名）。");
                return false;
            }
            return BooksLocation::fromUrl(arguments[i + 1], out, error);
        }
        if (a.startsWith(QLatin1String("--server=")))
            return BooksLocation::fromUrl(a.mid(int(qstrlen("--server="))), out, error);
    }
    const QString ini = serverSettingsFile(appPath);
    if (QFileInfo::exists(ini)) return BooksLocation::fromIniFile(ini, out, error);
    *out = BooksLocation::ofFile(databaseFile(appPath));
    return true;
}
