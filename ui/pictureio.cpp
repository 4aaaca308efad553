#include "pictureio.h"
#include "jpeglayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>

namespace PictureIO {

namespace {

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

// A limit of 0 would let the reader take any size a file claims.
void boundAllocation()
{
    const int limit = QImageReader::allocationLimit();
    if (limit <= 0 || limit > AllocationLimitMB) QImageReader::setAllocationLimit(AllocationLimitMB);
}

// The reasons to refuse a JPEG before decoding it.
QString checkJpeg(const QString &file, const JpegLayout::Layout &layout)
{
    if (!layout.whole)
        return QStringLiteral("图片文件不完整或已损坏（可能没有复制完）：%1").arg(native(file));
    const qint64 pixels = qint64(layout.size.width()) * layout.size.height();
    if (pixels > MaxPixels || (layout.multiScan && layout.coefficientBytes > MaxCoefficientBytes))
        return QStringLiteral("图片太大（%2 × %3 像素），无法读取：%1")
            .arg(native(file), QString::number(layout.size.width()), QString::number(layout.size.height()));
    return QString();
}

// Copies the first `length` bytes of `source`.
QString copyFile(const QString &source, const QString &target, qint64 length)
{
    QFile in(source);
    QSaveFile out(target);
    bool ok = in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly);
    QByteArray chunk(1024 * 1024, Qt::Uninitialized);
    for (qint64 left = length; ok && left > 0; left -= chunk.size()) {
        const qint64 n = qMin<qint64>(left, chunk.size());
        ok = in.read(chunk.data(), n) == n && out.write(chunk.constData(), n) == n;
    }
    if (ok && out.commit()) return QString();
    return QStringLiteral("无法写入图片文件：%1").arg(native(target));
}

} // namespace

Reading read(const QString &file, int maxSide)
{
    Reading r;
    r.file = file;
    boundAllocation();
    QImageReader reader(file);
    reader.setAutoTransform(true);
    r.format = reader.format();
    r.fileSize = reader.size();
    if (r.format == "jpeg") {
        const JpegLayout::Layout layout = JpegLayout::read(file);
        r.error = checkJpeg(file, layout);
        if (!r.error.isEmpty()) return r;
        r.jpegLength = layout.length;
    }
    if (r.fileSize.width() > maxSide || r.fileSize.height() > maxSide)
        reader.setScaledSize(r.fileSize.scaled(maxSide, maxSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) {
        r.error = QStringLiteral("无法读取图片：%1\n%2").arg(native(file), reader.errorString());
        return r;
    }
    // A name ending in "@2x" must not make the picture count as half its size.
    image.setDevicePixelRatio(1);
    r.image = image;
    return r;
}

QString writeJpeg(const QImage &image, const QString &file, int quality)
{
    QImage flat = image;
    if (image.hasAlphaChannel()) {
        flat = QImage(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter p(&flat);
        p.drawImage(0, 0, image);
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || !flat.save(&out, "JPG", quality) || !out.commit())
        return QStringLiteral("无法写入图片文件：%1").arg(native(file));
    return QString();
}

QString store(const Reading &picture, const QString &target)
{
    if (picture.format == "jpeg" && !picture.scaled()) {
        if (QFileInfo(picture.file).canonicalFilePath() == QFileInfo(target).canonicalFilePath()
            && QFileInfo(target).size() == picture.jpegLength)
            return QString();
        return copyFile(picture.file, target, picture.jpegLength);
    }
    return writeJpeg(picture.image, target);
}

QString openFilter()
{
    return QStringLiteral("JPEG图片 (*.jpg *.jpeg *.JPG *.JPEG);;"
                          "所有图片 (*.jpg *.jpeg *.png *.bmp *.gif *.JPG *.JPEG *.PNG *.BMP *.GIF)");
}

} // namespace PictureIO
