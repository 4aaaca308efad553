#pragma once
// Product pictures on disk. A product with ID n may have one picture, a JPEG
// file "Image/n.jpg" in the books' folder, and its thumbnail "n.jpg_YS.jpg",
// the picture stretched to 200 × 200 and stored at JPEG quality 100. Nothing in
// the database records whether a picture exists.
//
// Every operation returns an empty text on success and otherwise says in
// Chinese what failed; a failed step leaves the files as they were.
#include <QSize>
#include <QString>

namespace Pictures {

// AppPath + "Image/".
QString folder();
QString pictureFile(int id);    // folder + n + ".jpg"
QString thumbnailFile(int id);  // pictureFile + "_YS.jpg"

inline constexpr int ThumbnailSide = 200;
// The largest side a compression may produce.
inline constexpr int MaxSide = 10000;

// Puts the picture in `source` over the product's picture (creating the
// "Image" folder when it is missing) and makes a new thumbnail. The source is
// read as ui/pictureio.h reads a picture from outside: a JPEG is copied as
// it is, a larger photo is stored scaled down and another format converted, as
// JPEG quality 100; a file that is no whole picture is refused and nothing is
// changed.
QString upload(int id, const QString &source);

// Makes the thumbnail from the product's picture, replacing an old one.
QString makeThumbnail(int id);

// Resizes the picture to percent × width ÷ 100 by percent × height ÷ 100
// (whole pixels, remainder dropped) and stores it in its place at quality 100;
// the thumbnail stays as it is. *newSize receives the stored size. The size is
// the picture's as it is read and shown (a picture put on disk by other means
// and larger than PictureIO::MaxSide counts at its scaled-down size).
QString compress(int id, int percent, QSize *newSize = nullptr);

// Deletes the picture and its thumbnail. A product without a picture is no failure.
QString remove(int id);

} // namespace Pictures
