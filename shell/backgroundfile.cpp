#include "backgroundfile.h"

#include "data/globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

namespace BackgroundFile {

QString path() { return G.AppPath + QStringLiteral("bj.jpg"); }

QString install(const QString &source)
{
    const QString target = path();
    // The main window reads the file as JPEG: anything else would not show.
    QImageReader reader(source);
    if (reader.format() != "jpeg" || reader.read().isNull())
        return QStringLiteral("所选文件不是可以读取的 JPEG 图片：%1").arg(QDir::toNativeSeparators(source));
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath()) return QString();
    // Written under a temporary name and moved over the old picture when complete.
    QFile in(source);
    QSaveFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) || out.write(in.readAll()) != in.size()
        || !out.commit())
        return QStringLiteral("无法复制背景图到：%1\n请检查程序所在文件夹是否可以写入。").arg(QDir::toNativeSeparators(target));
    return QString();
}

QString clear()
{
    const QString target = path();
    if (QFileInfo::exists(target) && !QFile::remove(target))
        return QStringLiteral("无法删除背景图：%1\n请检查该文件是否只读。").arg(QDir::toNativeSeparators(target));
    return QString();
}

} // namespace BackgroundFile
