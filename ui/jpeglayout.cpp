#include "jpeglayout.h"

#include <QByteArray>
#include <QFile>

#include <cstring>

namespace JpegLayout {

namespace {

// The file read forwards through a small buffer.
class Bytes {
public:
    explicit Bytes(QFile &file) : m_file(file), m_buffer(64 * 1024, Qt::Uninitialized) {}

    // The next byte, or -1 at the end of the file.
    int next()
    {
        if (m_pos == m_end && !fill()) return -1;
        return uchar(m_buffer[m_pos++]);
    }

    bool skip(qint64 count)
    {
        const qint64 buffered = m_end - m_pos;
        if (count <= buffered) {
            m_pos += count;
            return true;
        }
        const qint64 at = m_file.pos() + (count - buffered);
        m_pos = m_end = 0;
        return at <= m_file.size() && m_file.seek(at);
    }

    // Where the next byte is in the file.
    qint64 pos() const { return m_file.pos() - (m_end - m_pos); }

    // Moves to the next 0xFF byte without taking it; false at the end of the file.
    bool toNextFF()
    {
        for (;;) {
            if (m_pos == m_end && !fill()) return false;
            const char *from = m_buffer.constData() + m_pos;
            if (const void *ff = std::memchr(from, 0xFF, size_t(m_end - m_pos))) {
                m_pos += static_cast<const char *>(ff) - from;
                return true;
            }
            m_pos = m_end;
        }
    }

private:
    bool fill()
    {
        m_pos = 0;
        m_end = qMax<qint64>(0, m_file.read(m_buffer.data(), m_buffer.size()));
        return m_end > 0;
    }

    QFile &m_file;
    QByteArray m_buffer;
    qint64 m_pos = 0;
    qint64 m_end = 0;
};

bool isFrame(int marker)
{
    // SOF0 to SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isProgressive(int marker) { return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE; }

int word(const QByteArray &b, int at) { return uchar(b[at]) << 8 | uchar(b[at + 1]); }

qint64 roundUp(qint64 n, qint64 step) { return (n + step - 1) / step * step; }

// The frame header: the size, the components and the bytes of the DCT
// coefficients the codec keeps when it has to hold the whole picture.
bool readFrame(const QByteArray &body, Layout *out, int *components)
{
    if (body.size() < 6) return false;
    const int height = word(body, 1);
    const int width = word(body, 3);
    *components = uchar(body[5]);
    if (width == 0 || height == 0 || *components == 0 || body.size() < 6 + 3 * *components) return false;
    int hMax = 1, vMax = 1;
    for (int c = 0; c < *components; ++c) {
        const int h = uchar(body[7 + 3 * c]) >> 4, v = uchar(body[7 + 3 * c]) & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4) return false;
        hMax = qMax(hMax, h);
        vMax = qMax(vMax, v);
    }
    qint64 blocks = 0;
    for (int c = 0; c < *components; ++c) {
        const int h = uchar(body[7 + 3 * c]) >> 4, v = uchar(body[7 + 3 * c]) & 15;
        const qint64 across = (qint64(width) * h + 8 * hMax - 1) / (8 * hMax);
        const qint64 down = (qint64(height) * v + 8 * vMax - 1) / (8 * vMax);
        blocks += roundUp(across, h) * roundUp(down, v);
    }
    out->size = QSize(width, height);
    out->coefficientBytes = blocks * 64 * 2;
    return true;
}

} // namespace

Layout read(const QString &file)
{
    Layout out;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return out;
    Bytes in(f);
    if (in.next() != 0xFF || in.next() != 0xD8) return out;

    bool frame = false;
    int frameComponents = 0;
    int scans = 0;
    int pending = -1; // a marker met at the end of a scan's data
    for (;;) {
        int marker = pending;
        pending = -1;
        if (marker < 0) {
            if (in.next() != 0xFF) return out;
            do marker = in.next();
            while (marker == 0xFF); // fill bytes
            if (marker < 0) return out;
        }
        if (marker == 0xD9) { // the end
            out.length = in.pos();
            break;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        if (marker == 0xD8 || marker == 0x00) return out;

        const int hi = in.next(), lo = in.next();
        if (lo < 0) return out;
        const int length = hi << 8 | lo;
        if (length < 2) return out;
        if (!isFrame(marker) && marker != 0xDA) {
            if (!in.skip(length - 2)) return out;
            continue;
        }
        QByteArray body(length - 2, Qt::Uninitialized);
        for (char &c : body) {
            const int b = in.next();
            if (b < 0) return out;
            c = char(b);
        }
        if (isFrame(marker)) {
            if (frame || !readFrame(body, &out, &frameComponents)) return out;
            frame = true;
            out.multiScan = isProgressive(marker);
            continue;
        }
        // A scan: its header, then its coded data up to the next marker.
        if (!frame || body.isEmpty()) return out;
        if (++scans > 1 || uchar(body[0]) < frameComponents) out.multiScan = true;
        for (;;) {
            if (!in.toNextFF()) return out;
            in.next();
            int b;
            do b = in.next();
            while (b == 0xFF);
            if (b < 0) return out;
            if (b == 0x00 || (b >= 0xD0 && b <= 0xD7)) continue; // a coded 0xFF, a restart
            pending = b;
            break;
        }
    }
    out.whole = frame && scans > 0;
    return out;
}

} // namespace JpegLayout
