#pragma once
// One sheet of a spreadsheet file read as a table of texts: the first used row
// holds the column names, every further row one record. Read from ".xls" files
// (FreeXL) and ".xlsx" files (libzip and Qt's XML reader).
//
// Every value is text as the spreadsheet shows it in its general form: texts as
// typed, numbers in their shortest form up to 15 significant digits ("2.5",
// "6901234567890"), dates as "yyyy-MM-dd" (with " hh:mm:ss" when they carry a
// time), truth values "TRUE"/"FALSE". Empty cells are empty texts.
#include <QString>
#include <QStringList>
#include <QVector>

struct Sheet {
    QStringList columns;           // names from the first row; "F3" for an unnamed third column
    QVector<QStringList> rows;     // each record, one text per column
    QVector<int> sheetRows;        // the spreadsheet's row number (1-based) of each record
    int headerRow = 1;             // the spreadsheet's row number of the names

    int rowCount() const { return int(rows.size()); }
    // The position of a column by its name (surrounding blanks ignored), or -1.
    int column(const QString &name) const;
    // The value of a record in a named column; empty when the column is missing.
    QString value(int row, int column) const;
    // The names of `required` that the sheet lacks, in the order given.
    QStringList missing(const QStringList &required) const;
};

namespace SheetFile {

// The sheet named `sheetName` (letter case ignored) of an .xls or .xlsx file,
// told apart by content, not by the name's ending. Rows after the last one with
// a value are dropped; empty rows between records stay as records. Returns
// false with the reason in Chinese in *error.
bool read(const QString &file, const QString &sheetName, Sheet *out, QString *error);

// Builds the table from cells given by position (row and column from 0).
// Used by both readers.
class Builder {
public:
    void set(int row, int column, const QString &text);
    Sheet take();

private:
    QVector<QVector<QString>> m_cells;   // by row, then column
    int m_columns = 0;
};

// The general form of a number, as the sheet shows it without a format.
QString numberText(double d);
// A spreadsheet serial date (days since 1899-12-30, the 1900 date system) as text.
QString serialDateText(double serial, bool withTime);

// The readers of the two formats (sheetxls.cpp, sheetxlsx.cpp).
bool readXls(const QString &file, const QString &sheetName, Builder *cells, QString *error);
bool readXlsx(const QString &file, const QString &sheetName, Builder *cells, QString *error);

} // namespace SheetFile
