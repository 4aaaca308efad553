#pragma once
// One stream of a compound document, the container of .xls workbooks: the
// stream is gathered by following its chain of sectors. Every sector number,
// chain and size is checked against the file, so that a damaged or crafted
// file is refused, never read out of bounds or followed round in circles.
#include <QByteArray>
#include <QString>

namespace CompoundDoc {

enum class Result { Ok, Missing, TooLarge, Damaged };

// The stream named `name` (letter case ignored) of the compound document in
// `file` (its bytes), at most `maxBytes` long. On Damaged, *why tells what is
// wrong (in Chinese).
Result readStream(const QByteArray &file, const QString &name, qint64 maxBytes, QByteArray *out, QString *why);

} // namespace CompoundDoc
