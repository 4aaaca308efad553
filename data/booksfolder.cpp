#include "booksfolder.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString withSlash(const QString &dir)
{
    QString d = QDir::cleanPath(QDir::current().absoluteFilePath(dir));
    if (!d.endsWith(QLatin1Char('/'))) d += QLatin1Char('/');
    return d;
}

} // namespace

bool chooseBooksFolder(const QString &programFolder, const QStringList &arguments, const QString &userDataFolder,
                       QString *folder, QString *error)
{
    const QString option = QStringLiteral("--books");
    for (int i = 0; i < arguments.size(); ++i) {
        QString dir;
        if (arguments[i] == option) {
            dir = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        } else if (arguments[i].startsWith(option + QLatin1Char('='))) {
            dir = arguments[i].mid(option.size() + 1);
        } else {
            continue;
        }
        if (dir.isEmpty() || dir.startsWith(QLatin1String("--"))) {
            if (error) *error = QStringLiteral("--books 后面缺少存放账套的文件夹。");
            return false;
        }
        *folder = withSlash(dir);
        return true;
    }
    if (QFileInfo(QDir(programFolder).filePath(QStringLiteral("Data"))).isDir()) {
        *folder = withSlash(programFolder);
        return true;
    }
    if (userDataFolder.isEmpty()) {
        if (error) *error = QStringLiteral("找不到存放账套的用户文件夹（请检查 HOME），或用 --books 指定文件夹。");
        return false;
    }
    *folder = withSlash(userDataFolder);
    return true;
}
