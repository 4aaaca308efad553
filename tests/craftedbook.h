#pragma once
// Workbooks written byte by byte for the tests of the import, holding what a
// spreadsheet program would never write: .xlsx archives made with libzip from
// parts given as text, and .xls compound documents with BIFF8 records.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace CraftedBook {

// ---- .xlsx

struct Part {
    QString name;
    QByteArray data;
    bool stored = false;  // kept as it is in the archive, not deflated
};

// The parts of a workbook whose one sheet "Sheet1" holds `sheetData` (the
// content of <sheetData>) and, when `sharedStrings` is not empty, the table
// of texts holding it (the content of <sst>). Parts given in `replace`
// replace those of the same name or are added.
QList<Part> xlsx(const QByteArray &sheetData, const QByteArray &sharedStrings = QByteArray(),
                 const QList<Part> &replace = {});
// Writes an archive of the parts; false when libzip refuses.
bool writeZip(const QString &file, const QList<Part> &parts);

// A row of cells written inline ("inlineStr"), its row number from 1.
QByteArray inlineRow(int row, const QStringList &values);
// <si> items of texts, escaped.
QByteArray stringItems(const QStringList &texts);
// Text escaped for XML content.
QByteArray escaped(const QString &text);

// Changes the data of `part` in the archive: one byte in its middle (its
// checksum fails), or with `atStart` its first byte (deflated data that
// cannot be unpacked).
bool damagePart(const QString &file, const QString &part, bool atStart = false);
// Writes `size` as the unpacked size of `part` in both its headers, whatever
// it unpacks to.
bool understateSize(const QString &file, const QString &part, quint32 size);

// ---- .xls

// A cell of an .xls sheet: a QString becomes a text of the table of texts, a
// double a number record.
struct Cell {
    int row;      // from 0
    int column;   // from 0
    QVariant value;
};

// The workbook stream (BIFF8) of a workbook with one sheet named `sheetName`.
// `sharedCount` when not negative is written as the table's count of texts
// instead of the true one. `globals`, records as biffRecord() writes them, go
// after the workbook's beginning (number formats, cell formats: the cells have
// the cell format 0).
QByteArray biffWorkbook(const QList<Cell> &cells, const QString &sheetName = QStringLiteral("Sheet1"),
                        qint64 sharedCount = -1, const QByteArray &globals = QByteArray());
// One record: its type, its length and `data`.
QByteArray biffRecord(quint16 type, const QByteArray &data);
// A compound document holding `stream` as its stream "Workbook" (in small
// sectors when it is shorter than 4096 bytes, as the format wants).
QByteArray compoundDocument(const QByteArray &stream);
// Both together, written to `file`.
bool writeXls(const QString &file, const QList<Cell> &cells);

bool writeFile(const QString &file, const QByteArray &bytes);

} // namespace CraftedBook
