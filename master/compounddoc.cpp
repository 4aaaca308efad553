#include "compounddoc.h"

#include <QSet>
#include <QVector>
#include <QtEndian>

namespace CompoundDoc {

namespace {

const quint32 EndOfChain = 0xFFFFFFFEu;
const quint32 FreeSector = 0xFFFFFFFFu;
const int HeaderDifat = 109;

class Doc {
public:
    explicit Doc(const QByteArray &file) : m_file(file) {}

    bool load(QString *why);
    Result stream(const QString &name, qint64 maxBytes, QByteArray *out, QString *why);

private:
    quint32 u32(qint64 at) const { return qFromLittleEndian<quint32>(m_file.constData() + at); }
    quint16 u16(qint64 at) const { return qFromLittleEndian<quint16>(m_file.constData() + at); }
    qint64 sectorOffset(quint32 s) const { return (qint64(s) + 1) * m_sectorSize; }
    bool sectorInFile(quint32 s) const { return s < m_sectors; }
    // The sectors of a chain in `table` from `start`, each inside the file (or
    // below `limit` for the small sectors); false when it leaves them or loops.
    bool chain(const QVector<quint32> &table, quint32 start, quint32 limit, QVector<quint32> *out) const;
    bool fail(QString *why, const QString &what) const
    {
        *why = what;
        return false;
    }

    const QByteArray &m_file;
    qint64 m_sectorSize = 512;
    quint32 m_sectors = 0;         // whole or partial sectors after the header
    quint32 m_miniCutoff = 4096;
    QVector<quint32> m_fat;
    QVector<quint32> m_dirSectors;
    quint32 m_firstMiniFat = EndOfChain;
    quint32 m_miniFatSectors = 0;
};

bool Doc::chain(const QVector<quint32> &table, quint32 start, quint32 limit, QVector<quint32> *out) const
{
    out->clear();
    for (quint32 s = start; s != EndOfChain;) {
        if (s >= limit || s >= quint32(table.size()) || out->size() >= int(limit)) return false;
        out->append(s);
        s = table[int(s)];
    }
    // A sector twice means a loop; the length check above ends it, this finds it early.
    return QSet<quint32>(out->cbegin(), out->cend()).size() == out->size();
}

bool Doc::load(QString *why)
{
    if (m_file.size() < 512) return fail(why, QStringLiteral("文件头不完整"));
    if (u16(0x1C) != 0xFFFE) return fail(why, QStringLiteral("字节顺序标记有误"));
    const quint16 shift = u16(0x1E);
    if (shift != 9 && shift != 12) return fail(why, QStringLiteral("扇区大小有误"));
    if (u16(0x20) != 6) return fail(why, QStringLiteral("小扇区大小有误"));
    m_sectorSize = qint64(1) << shift;
    m_sectors = quint32(qMax<qint64>(0, (m_file.size() + m_sectorSize - 1) / m_sectorSize - 1));
    const quint32 fatSectors = u32(0x2C);
    const quint32 firstDir = u32(0x30);
    m_miniCutoff = u32(0x38);
    m_firstMiniFat = u32(0x3C);
    m_miniFatSectors = u32(0x40);
    quint32 difat = u32(0x44);
    if (fatSectors == 0 || fatSectors > m_sectors) return fail(why, QStringLiteral("扇区表的大小有误"));

    // The sectors of the sector table: 109 in the header, the rest in a chain of their own.
    QVector<quint32> fatList;
    for (int i = 0; i < HeaderDifat && quint32(fatList.size()) < fatSectors; ++i) fatList << u32(0x4C + 4 * i);
    const int perDifat = int(m_sectorSize / 4) - 1;
    for (quint32 steps = 0; quint32(fatList.size()) < fatSectors; ++steps) {
        if (difat == EndOfChain || !sectorInFile(difat) || steps > m_sectors)
            return fail(why, QStringLiteral("扇区表的目录有误"));
        const qint64 at = sectorOffset(difat);
        if (at + m_sectorSize > m_file.size()) return fail(why, QStringLiteral("扇区表的目录不完整"));
        for (int i = 0; i < perDifat && quint32(fatList.size()) < fatSectors; ++i) fatList << u32(at + 4 * i);
        difat = u32(at + 4 * perDifat);
    }
    m_fat.reserve(int(fatSectors * (m_sectorSize / 4)));
    for (quint32 s : fatList) {
        if (!sectorInFile(s) || sectorOffset(s) + m_sectorSize > m_file.size())
            return fail(why, QStringLiteral("扇区表不完整"));
        const qint64 at = sectorOffset(s);
        for (qint64 i = 0; i < m_sectorSize / 4; ++i) m_fat << u32(at + 4 * i);
    }
    if (!chain(m_fat, firstDir, m_sectors, &m_dirSectors)) return fail(why, QStringLiteral("目录的扇区链有误"));
    return true;
}

Result Doc::stream(const QString &name, qint64 maxBytes, QByteArray *out, QString *why)
{
    // The directory: 128-byte entries, the first the root that holds the small sectors.
    struct Entry {
        QString name;
        int type = 0;
        quint32 start = EndOfChain;
        qint64 size = 0;
    };
    auto damaged = [why](const QString &what) {
        *why = what;
        return Result::Damaged;
    };
    auto entryAt = [&](int index) {
        Entry e;
        const int perSector = int(m_sectorSize / 128);
        const quint32 sector = m_dirSectors[index / perSector];
        const qint64 at = sectorOffset(sector) + qint64(index % perSector) * 128;
        if (at + 128 > m_file.size()) return e;
        const int nameBytes = qMin<int>(u16(at + 0x40), 64);
        e.name = QString::fromUtf16(reinterpret_cast<const char16_t *>(m_file.constData() + at), qMax(0, nameBytes / 2 - 1));
        e.type = quint8(m_file[at + 0x42]);
        e.start = u32(at + 0x74);
        // Version 3 files keep 32 bits of the size; the high word may hold anything.
        e.size = m_sectorSize == 512 ? qint64(u32(at + 0x78)) : qint64(qFromLittleEndian<quint64>(m_file.constData() + at + 0x78) & 0x7FFFFFFFFFFFFFFFull);
        return e;
    };
    const int entries = int(m_dirSectors.size() * (m_sectorSize / 128));
    if (entries == 0) return damaged(QStringLiteral("目录为空"));
    const Entry root = entryAt(0);
    if (root.type != 5) return damaged(QStringLiteral("根目录有误"));
    Entry wanted;
    for (int i = 1; i < entries; ++i) {
        const Entry e = entryAt(i);
        if (e.type == 2 && e.name.compare(name, Qt::CaseInsensitive) == 0) {
            wanted = e;
            break;
        }
    }
    if (wanted.type != 2) return Result::Missing;
    if (wanted.size > maxBytes) return Result::TooLarge;
    out->clear();
    if (wanted.size == 0) return Result::Ok;

    QVector<quint32> sectors;
    if (wanted.size >= qint64(m_miniCutoff)) {
        if (!chain(m_fat, wanted.start, m_sectors, &sectors) || qint64(sectors.size()) * m_sectorSize < wanted.size)
            return damaged(QStringLiteral("数据流 %1 的扇区链有误").arg(name));
        out->reserve(int(wanted.size));
        for (quint32 s : sectors) {
            const qint64 at = sectorOffset(s);
            const qint64 n = qMin(m_sectorSize, wanted.size - out->size());
            if (at + n > m_file.size()) return damaged(QStringLiteral("数据流 %1 不完整").arg(name));
            out->append(m_file.constData() + at, int(n));
        }
        return Result::Ok;
    }

    // A small stream lies in 64-byte sectors inside the root's stream.
    QVector<quint32> miniFatSectors, rootSectors;
    if (m_miniFatSectors > m_sectors || !chain(m_fat, m_firstMiniFat, m_sectors, &miniFatSectors)
        || !chain(m_fat, root.start, m_sectors, &rootSectors))
        return damaged(QStringLiteral("小扇区表有误"));
    QVector<quint32> miniFat;
    for (quint32 s : miniFatSectors) {
        const qint64 at = sectorOffset(s);
        if (at + m_sectorSize > m_file.size()) return damaged(QStringLiteral("小扇区表不完整"));
        for (qint64 i = 0; i < m_sectorSize / 4; ++i) miniFat << u32(at + 4 * i);
    }
    const quint32 miniSectors = quint32(qMin<qint64>(qint64(rootSectors.size()) * m_sectorSize, root.size) / 64);
    if (!chain(miniFat, wanted.start, miniSectors, &sectors) || qint64(sectors.size()) * 64 < wanted.size)
        return damaged(QStringLiteral("数据流 %1 的小扇区链有误").arg(name));
    out->reserve(int(wanted.size));
    for (quint32 m : sectors) {
        const qint64 inRoot = qint64(m) * 64;
        const qint64 at = sectorOffset(rootSectors[int(inRoot / m_sectorSize)]) + inRoot % m_sectorSize;
        const qint64 n = qMin<qint64>(64, wanted.size - out->size());
        if (at + n > m_file.size()) return damaged(QStringLiteral("数据流 %1 不完整").arg(name));
        out->append(m_file.constData() + at, int(n));
    }
    return Result::Ok;
}

} // namespace

Result readStream(const QByteArray &file, const QString &name, qint64 maxBytes, QByteArray *out, QString *why)
{
    Doc doc(file);
    if (!doc.load(why)) return Result::Damaged;
    return doc.stream(name, maxBytes, out, why);
}

} // namespace CompoundDoc
