#pragma once
// One sheet of a spreadsheet file read as a table of texts: the first used row
// holds the column names, every further row one record. Read from ".xls" files
// (Excel 97 to 2003, master/sheetxls.cpp) and ".xlsx" files (libzip and Qt's
// XML reader, master/sheetxlsx.cpp).
//
// Every value is text as the spreadsheet shows it in its general form: texts as
// typed, numbers in their shortest form up to 15 significant digits ("2.5",
// "6901234567890"), dates as "yyyy-MM-dd" (with " hh:mm:ss" when they carry a
// time), truth values "TRUE"/"FALSE", error values as the sheet shows them
// ("#N/A"). Empty cells, and cells of blanks only, are empty texts.
//
// A workbook comes from outside the books: it is read in bounded memory, only
// the cells that hold values are kept, and a sheet past one of the limits below
// is refused whole with the limit named. A damaged workbook is refused whole,
// naming the damaged part.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <map>

struct Sheet {
    QStringList columns;           // names from the first row; "F3" for an unnamed third column
    QVector<QStringList> rows;     // each record up to its last value (empty for an empty row)
    QVector<int> sheetRows;        // the spreadsheet's row number (1-based) of each record
    int headerRow = 1;             // the spreadsheet's row number of the names
    QString source;                // the file's name and SHA-256 (OpLog::fileMark), for the operation log

    int rowCount() const { return int(rows.size()); }
    // The position of a column by its name (surrounding blanks ignored), or -1.
    int column(const QString &name) const;
    // The value of a record in a named column; empty when the column is missing.
    QString value(int row, int column) const;
    // The names of `required` that the sheet lacks, in the order given.
    QStringList missing(const QStringList &required) const;
};

namespace SheetFile {

// What an import reads at most. A shop's list of products or partners stays far
// below each of them.
constexpr int MaxRecords = 100000;        // rows below the column names
constexpr int MaxColumns = 256;           // columns A to IV
constexpr int MaxCells = 1000000;         // cells from column A to the last value of each row, all rows
constexpr int MaxSharedStrings = 1000000; // entries of the workbook's table of texts
constexpr qint64 MaxTextChars = 10000000; // characters of all texts read
// Unpacked bytes of the .xlsx parts read, counted as they unpack whatever the
// archive says of their size; the workbook stream of an .xls.
constexpr qint64 MaxPartBytes = 64 * 1024 * 1024;

// The sheet named `sheetName` (letter case ignored) of an .xls or .xlsx file,
// told apart by content, not by the name's ending. Rows after the last one with
// a value are dropped; empty rows between records stay as (empty) records.
// Returns false with the reason in Chinese in *error, naming the file and the
// damaged part or the limit the sheet goes past.
bool read(const QString &file, const QString &sheetName, Sheet *out, QString *error);

// Builds the table from cells given by position (row and column from 0),
// keeping the cells that hold values only and holding the limits. Used by both
// readers.
class Builder {
public:
    explicit Builder(const QString &sheetName = QStringLiteral("Sheet1")) : m_sheetName(sheetName) {}
    // False, with the reason in error(), when the value goes past a limit.
    // `counted`: its characters were counted already (a text of the workbook's
    // table of texts, which the cells share).
    bool set(int row, int column, const QString &text, bool counted = false);
    // Counts text held outside the cells (a table of texts the cells refer to).
    bool countText(qint64 chars);
    // Counts one entry of such a table.
    bool countSharedString();
    // The table; false (reason in error()) when its records go past the limit.
    bool take(Sheet *out);
    Sheet take();                  // for tables built in code; empty when past a limit
    QString error() const { return m_error; }

private:
    bool refuse(const QString &why);

    QString m_sheetName;
    std::map<int, QStringList> m_rows; // the rows holding values, by row
    int m_columns = 0;
    qint64 m_cells = 0;
    qint64 m_text = 0;
    int m_sharedStrings = 0;
    QString m_error;
};

// "A", "Z", "AA", "IV" for the columns 0, 25, 26, 255.
QString columnLetters(int column);
// The general form of a number, as the sheet shows it without a format; a
// value that is no finite number shows as the sheet's error "#NUM!".
QString numberText(double d);
// A spreadsheet serial date (days since 1899-12-30, the 1900 date system) as text.
QString serialDateText(double serial, bool withTime);

// Whether a number format shows a date, and whether it shows a time of day.
struct DateKind {
    bool date = false;
    bool time = false;
};
// The kinds of the number formats of a workbook, each format's code read once
// however many cells show in it.
class DateKinds {
public:
    // The workbook's own format code of `id` (in place of a built-in one).
    void addFormat(int id, const QString &code);
    DateKind of(int id);
private:
    QHash<int, QString> m_codes;
    QHash<int, DateKind> m_kinds;
};
// The text of a number under a format of that kind.
QString numberCellText(double d, const DateKind &kind, bool date1904);

// The readers of the two formats (sheetxls.cpp, sheetxlsx.cpp); the reason of
// a refusal in *why, without the file's name.
bool readXls(const QString &file, const QString &sheetName, Builder *cells, QString *why);
bool readXlsx(const QString &file, const QString &sheetName, Builder *cells, QString *why);

} // namespace SheetFile
