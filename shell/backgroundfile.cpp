#include "backgroundfile.h"
#include "ui/pictureio.h"

#include "data/globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace BackgroundFile {

QString path() { return G.AppPath + QStringLiteral("bj.jpg"); }

QString install(const QString &source)
{
    // Read as the main window reads it; stored as JPEG, the old picture kept
    // until the new one is complete.
    const PictureIO::Reading picture = PictureIO::read(source);
    if (!picture.ok()) return QStringLiteral("所选文件不是可以读取的图片。\n") + picture.error;
    if (const QString e = PictureIO::store(picture, path()); !e.isEmpty())
        return QStringLiteral("无法保存背景图。\n%1\n请检查程序所在文件夹是否可以写入。").arg(e);
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
