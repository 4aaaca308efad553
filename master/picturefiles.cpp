#include "picturefiles.h"

#include "data/globals.h"
#include "ui/pictureio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace Pictures {

namespace {

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

QString ensureFolder()
{
    if (QDir().mkpath(folder())) return QString();
    return QStringLiteral("无法创建图片文件夹：%1\n请检查程序所在文件夹是否可以写入。").arg(native(folder()));
}

QImage readImage(const QString &file, QString *error)
{
    const PictureIO::Reading r = PictureIO::read(file);
    if (!r.ok() && error) *error = r.error;
    return r.image;
}

QString writeThumbnail(const QImage &picture, int id)
{
    // Stretched to the square, as the picture list shows it.
    const QImage thumb = picture.scaled(ThumbnailSide, ThumbnailSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (const QString e = PictureIO::writeJpeg(thumb, thumbnailFile(id)); !e.isEmpty())
        return QStringLiteral("生成缩略图失败。\n") + e;
    return QString();
}

} // namespace

QString folder() { return G.AppPath + QStringLiteral("Image/"); }
QString pictureFile(int id) { return folder() + QString::number(id) + QStringLiteral(".jpg"); }
QString thumbnailFile(int id) { return pictureFile(id) + QStringLiteral("_YS.jpg"); }

QString upload(int id, const QString &source)
{
    const PictureIO::Reading picture = PictureIO::read(source);
    if (!picture.ok()) return QStringLiteral("所选文件不是可以读取的图片。\n") + picture.error;
    if (const QString e = ensureFolder(); !e.isEmpty()) return e;
    // Written under a temporary name: the old picture stays until the new one is whole.
    if (const QString e = PictureIO::store(picture, pictureFile(id)); !e.isEmpty())
        return QStringLiteral("保存图片失败。\n") + e;
    return writeThumbnail(picture.image, id);
}

QString makeThumbnail(int id)
{
    QString error;
    const QImage picture = readImage(pictureFile(id), &error);
    if (picture.isNull()) return error;
    return writeThumbnail(picture, id);
}

QString compress(int id, int percent, QSize *newSize)
{
    if (percent <= 0) return QStringLiteral("压缩比例 必须大于 0，请重新录入！");
    QString error;
    const QImage picture = readImage(pictureFile(id), &error);
    if (picture.isNull()) return error;
    const qint64 w = qint64(percent) * picture.width() / 100;
    const qint64 h = qint64(percent) * picture.height() / 100;
    if (w < 1 || h < 1) return QStringLiteral("压缩后的图片不足 1 个像素，请加大压缩比例！");
    if (w > MaxSide || h > MaxSide)
        return QStringLiteral("压缩后的图片过大（%1 × %2 像素，最大 %3 × %3），请减小压缩比例！").arg(w).arg(h).arg(MaxSide);
    const QImage resized = picture.scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (resized.isNull()) return QStringLiteral("图片压缩失败：内存不足。");
    if (const QString e = PictureIO::writeJpeg(resized, pictureFile(id)); !e.isEmpty()) return QStringLiteral("图片压缩失败。\n") + e;
    if (newSize) *newSize = resized.size();
    return QString();
}

QString remove(int id)
{
    QStringList failed;
    for (const QString &f : {pictureFile(id), thumbnailFile(id)})
        if (QFileInfo::exists(f) && !QFile::remove(f)) failed << native(f);
    if (failed.isEmpty()) return QString();
    return QStringLiteral("无法删除图片文件：%1").arg(failed.join(QStringLiteral("、")));
}

} // namespace Pictures
