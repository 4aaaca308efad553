#pragma once
// The layout of a JPEG file, read from its markers without decoding it: the
// picture's size, how it is coded, and whether the file runs from its start
// marker to its end marker. A file cut off part-way (a copy or download that
// did not finish) has no end marker; the codec would fill what is missing with
// grey and report it only as a warning. Whatever follows the end marker (some
// phones append a video or their own data there) is not read.
#include <QSize>
#include <QString>
#include <QtGlobal>

namespace JpegLayout {

struct Layout {
    bool whole = false;           // start marker, frame, at least one scan, end marker
    QSize size;                   // from the frame header
    bool multiScan = false;       // progressive, or the components spread over several scans
    qint64 coefficientBytes = 0;  // the DCT coefficients of the whole picture
    qint64 length = 0;            // the bytes up to and with the end marker
};

// Reads the markers of `file` in small pieces; memory does not grow with the file.
Layout read(const QString &file);

} // namespace JpegLayout
