#pragma once
// The main window's own background picture: AppPath + "bj.jpg", read when the
// main window is first shown. Without it the built-in picture is shown.
#include <QString>

namespace BackgroundFile {

QString path();

// Puts a picture into place as ui/pictureio.h stores one: a JPEG as it is, a
// larger photo scaled down, another format converted to JPEG; a file that is no
// whole picture is refused. The old picture stays until the new one is
// complete. Returns an empty text on success, else what went wrong.
QString install(const QString &source);

// Removes the picture; no picture to remove is no failure. Returns an empty
// text on success, else what went wrong.
QString clear();

} // namespace BackgroundFile
