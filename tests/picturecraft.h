#pragma once
// Picture files written by the picture tests: whole JPEGs, JPEGs cut off or with
// a forged size, and pictures of other formats.
#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace PictureCraft {

// `colour` with the top left quarter white, so that a stretched copy is told
// from a cut or turned one.
inline QImage picture(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QPainter(&image).fillRect(0, 0, size.width() / 4, size.height() / 4, Qt::white);
    return image;
}

inline QByteArray encode(const QImage &image, const char *format, bool progressive = false)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? out : QByteArray();
}

inline QByteArray jpeg(const QImage &image, bool progressive = false) { return encode(image, "jpeg", progressive); }

inline QString write(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return QString();
    return file;
}

inline QByteArray bytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool startsAsJpeg(const QByteArray &b) { return b.startsWith(QByteArray("\xFF\xD8\xFF", 3)); }

// The JPEG with the size in its frame header replaced; the coded data stays as it was.
inline QByteArray withFrameSize(QByteArray jpeg, QSize size)
{
    for (int i = 2; i + 9 < jpeg.size(); ++i) {
        const uchar m = uchar(jpeg[i + 1]);
        if (uchar(jpeg[i]) != 0xFF || (m != 0xC0 && m != 0xC1 && m != 0xC2)) continue;
        jpeg[i + 5] = char(size.height() >> 8);
        jpeg[i + 6] = char(size.height() & 0xFF);
        jpeg[i + 7] = char(size.width() >> 8);
        jpeg[i + 8] = char(size.width() & 0xFF);
        return jpeg;
    }
    return QByteArray();
}

inline bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24;
}

} // namespace PictureCraft
