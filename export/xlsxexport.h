#pragma once
// Writes a screen's list into a new .xlsx workbook laid out by an ExportLayout:
// the merged title row, the header row with "序号", one row per record with its
// running number, the optional totals row, thin borders and size 9 over the
// body, the page orientation and the centred footer with the page numbers.
//
// The rows are read from a model in the model's own row order, so handing in
// the view's sort proxy exports exactly what the user sees, sorted as shown.
#include "exportlayout.h"

#include <QDateTime>
#include <QString>
#include <functional>

class QAbstractItemModel;

namespace XlsxExport {

// The program's export folder: AppPath + "Export/".
QString folder();

// A new file name in `folder` made of the title word and the time, e.g.
// "商品表_20121116_093012.xlsx"; a number is added when that name is taken.
QString fileName(const QString &folder, const QString &titleWord, const QDateTime &when);

// The centred page footer as the spreadsheet's page codes read it: the product
// name, the vendor's address when there is one, and "共&N页，第&P页".
QString footerText(const ExportLayout &layout);

// Writes the workbook to `path` (its folder must exist). Each data column's
// cells are the model's display texts of that column: text columns stay text,
// number columns become numbers, and other columns become numbers only when the
// text is a plain number that reads back unchanged (so "0571" stays text).
// Returns false with the library's message in *error when the file cannot be written.
// `progress`, when given, hears (records written, records) now and then and at the end.
using Progress = std::function<void(int done, int total)>;
bool write(const QString &path, const ExportLayout &layout, const QAbstractItemModel *model,
           QString *error = nullptr, const Progress &progress = {});

} // namespace XlsxExport
