#pragma once
// Picture files that come from outside the books: a photo the user chooses,
// the background picture, the product pictures and thumbnails on disk. They are
// read in bounded memory: a picture larger than MaxSide is decoded scaled down
// (a JPEG straight from the codec at the smaller size), a JPEG whose pixels
// would not fit the bounds below is refused before it is decoded, and a JPEG
// that is cut off before its end marker is refused instead of being shown
// partly grey. Pictures are stored as JPEG files only.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace PictureIO {

// The longer side of a picture as read: a 48-megapixel phone photo
// (8000 × 6000) becomes 4000 × 3000, plenty for a product picture or a
// background, 48 MB as an image.
inline constexpr int MaxSide = 4000;
// The image reader's own limit for one decoded image (Qt's allocation limit);
// the reader sets it when it is unset or larger.
inline constexpr int AllocationLimitMB = 128;
// A JPEG's size as its header gives it: at most this many pixels (a
// 200-megapixel phone photo is 16320 × 12240).
inline constexpr qint64 MaxPixels = 210'000'000;
// A progressive or otherwise multi-scan JPEG is decoded by holding all its
// DCT coefficients in memory first: at most this many bytes of them.
inline constexpr qint64 MaxCoefficientBytes = 256LL * 1024 * 1024;

struct Reading {
    QString file;
    QImage image;        // turned upright as the camera recorded; null on failure
    QByteArray format;   // as the content says ("jpeg", "png", …), whatever the file's name
    QSize fileSize;      // the size stored in the file
    qint64 jpegLength = 0; // a JPEG's own bytes, without anything after its end marker
    QString error;       // on failure: what is wrong, naming the file

    bool ok() const { return !image.isNull(); }
    bool scaled() const { return image.size() != fileSize && image.size() != fileSize.transposed(); }
};

// Reads `file`, scaled down to fit maxSide × maxSide when larger (the
// proportions kept).
Reading read(const QString &file, int maxSide = MaxSide);

// Writes `image` as a JPEG of the given quality under a temporary name and moves
// it over `file`, so that a failure keeps the old file. A transparent picture
// is laid on white. Returns an empty text on success, else what failed.
QString writeJpeg(const QImage &image, const QString &file, int quality = 100);

// Puts a picture read with read() in place as the JPEG file `target`: a JPEG
// read at its own size is copied byte for byte up to its end marker (what a
// phone appends after it stays behind); any other picture (another
// format, a larger photo read scaled down) is written anew as JPEG quality 100.
// Returns an empty text on success, else what failed; on failure `target` is
// as it was.
QString store(const Reading &picture, const QString &target);

// The file chooser's filter for a picture to store.
QString openFilter();

} // namespace PictureIO
