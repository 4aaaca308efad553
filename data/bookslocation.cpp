#include "bookslocation.h"
#include "connection.h"
#include "dberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QStringList SslModes{QStringLiteral("disable"), QStringLiteral("allow"), QStringLiteral("prefer"),
                           QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

// Checks and completes the TLS settings; `source` names where they were
// written in messages. A relative certificate file is taken from `folder`.
bool takeSsl(BooksLocation *b, const QString &folder, const QString &source, QString *error)
{
    b->sslmode = b->sslmode.trimmed().toLower();
    if (!b->sslmode.isEmpty() && !SslModes.contains(b->sslmode)) {
        if (error)
            *error = QStringLiteral("%1 中的 sslmode 不对：%2\n可写 disable、allow、prefer、require、verify-ca 或 verify-full。")
                         .arg(source, b->sslmode);
        return false;
    }
    if (!b->sslrootcert.isEmpty()) {
        // The driver cuts its option list at every ';'.
        if (b->sslrootcert.contains(QLatin1Char(';'))) {
            if (error) *error = QStringLiteral("%1 中的证书文件名 sslrootcert 不能含有分号“;”：%2").arg(source, b->sslrootcert);
            return false;
        }
        if (!folder.isEmpty()) b->sslrootcert = QDir(folder).absoluteFilePath(b->sslrootcert);
    }
    return true;
}

// A value for the client library's option list, quoted.
QString quoted(QString v)
{
    v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    v.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

// Reads the settings file: the values of the top of the file and of
// [server], the top winning (keys in lower case). Returns false with the
// reason, naming the file, in *error.
bool readSettings(const QString &iniFile, QHash<QString, QString> *out, QString *error)
{
    const QString where = QDir::toNativeSeparators(iniFile);
    QFile f(iniFile);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("无法读取服务器设置文件：%1").arg(where);
        return false;
    }
    const QByteArray bytes = f.read(MaxSettingsFileBytes + 1);
    if (bytes.size() > MaxSettingsFileBytes) {
        if (error) *error = QStringLiteral("服务器设置文件太大（超过 %1 KB）：%2").arg(MaxSettingsFileBytes / 1024).arg(where);
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || bytes.contains('\0')) {
        if (error) *error = QStringLiteral("服务器设置文件不是 UTF-8 文本：%1").arg(where);
        return false;
    }
    QHash<QString, QString> top, server;
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (i == 0 && line.startsWith(QChar(0xFEFF))) line.remove(0, 1); // Notepad's mark
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char('#')) || t.startsWith(QLatin1Char(';'))) continue;
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
            section = t.mid(1, t.size() - 2).trimmed().toLower();
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed().isEmpty()) {
            if (error) *error = QStringLiteral("服务器设置文件 %1 第 %2 行看不懂：%3\n每行应写作“名称 = 值”。").arg(where).arg(i + 1).arg(t.left(80));
            return false;
        }
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (section.isEmpty()) top.insert(key, value);
        else if (section == QLatin1String("server")) server.insert(key, value);
    }
    for (auto it = top.cbegin(); it != top.cend(); ++it) server.insert(it.key(), it.value());
    *out = server;
    return true;
}

} // namespace

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
    b.sslmode = query.queryItemValue(QStringLiteral("sslmode"), QUrl::FullyDecoded);
    b.sslrootcert = query.queryItemValue(QStringLiteral("sslrootcert"), QUrl::FullyDecoded);
    if (!takeSsl(&b, QString(), QStringLiteral("服务器地址"), error)) return false;
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
    QHash<QString, QString> values;
    if (!readSettings(iniFile, &values, error)) return false;
    BooksLocation b;
    b.server = true;
    b.host = values.value(QStringLiteral("host"));
    b.database = values.value(QStringLiteral("database"));
    b.user = values.value(QStringLiteral("user"));
    b.password = values.value(QStringLiteral("password"));
    b.sslmode = values.value(QStringLiteral("sslmode"));
    b.sslrootcert = values.value(QStringLiteral("sslrootcert"));
    const QString port = values.value(QStringLiteral("port"));
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
    if (!takeSsl(&b, QFileInfo(iniFile).absolutePath(), QStringLiteral("服务器设置文件 ") + where, error)) return false;
    *out = b;
    return true;
}

QString BooksLocation::place() const
{
    if (!server) return QDir::toNativeSeparators(file);
    return DbError::serverPlace(host, port, database);
}

bool BooksLocation::isNetworkHost(const QString &host)
{
    const QString h = host.trimmed().toLower();
    if (h.isEmpty() || h.startsWith(QLatin1Char('/'))) return false;
    return h != QLatin1String("localhost") && h != QLatin1String("127.0.0.1") && h != QLatin1String("::1")
        && h != QLatin1String("[::1]");
}

QString BooksLocation::effectiveSslMode() const
{
    if (!sslmode.isEmpty()) return sslmode;
    return isNetworkHost(host) ? QStringLiteral("require") : QString();
}

QString serverConnectOptions(const BooksLocation &where, const QString &applicationName)
{
    // An unreachable server is told within seconds, not after the system's TCP timeout.
    QStringList options{QStringLiteral("connect_timeout=10"), QStringLiteral("application_name=") + quoted(applicationName)};
    const QString mode = where.effectiveSslMode();
    if (!mode.isEmpty()) options << QStringLiteral("sslmode=") + quoted(mode);
    if (!where.sslrootcert.isEmpty()) options << QStringLiteral("sslrootcert=") + quoted(where.sslrootcert);
    return options.join(QLatin1Char(';'));
}

QString serverSettingsFile(const QString &appPath)
{
    return appPath + QStringLiteral("Data/server.ini");
}

bool settingsPasswordExposed(const QString &iniFile)
{
    const QFileInfo info(iniFile);
    if (!info.isFile()) return false;
    if (!(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther))) return false;
    BooksLocation where;
    QString ignored;
    return BooksLocation::fromIniFile(iniFile, &where, &ignored) && !where.password.isEmpty();
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
