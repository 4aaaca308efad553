#pragma once
// The "Excel" button's work: write the list into a new workbook in the export
// folder and open it with the desktop's program for spreadsheets. When the file
// cannot be written or nothing opens it, the standard error box says
// "无法创建Xls文件，请确认是否安装EXCEL" (with the file's path when the file is there).
#include "export/exportlayout.h"

#include <QString>
#include <functional>

class QAbstractItemModel;
class QWidget;

namespace ExportOpen {

// The message shown when the workbook cannot be made or shown.
QString failureText();

// Writes the workbook and opens it. Returns the file's path, or an empty text
// after showing the failure message.
QString run(QWidget *parent, const ExportLayout &layout, const QAbstractItemModel *model);

// Test hook: replaces opening the file with the desktop's program. The opener
// returns false when nothing could open the file. Pass nullptr to restore.
using Opener = std::function<bool(const QString &path)>;
void setOpener(Opener opener);

} // namespace ExportOpen
