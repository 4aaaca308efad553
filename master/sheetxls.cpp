// Reading one sheet of an .xls workbook (Excel 97 to 2003) through FreeXL.
#include "sheet.h"

#include <QDir>
#include <QFile>

#include <freexl.h>

namespace SheetFile {

namespace {

class XlsHandle {
public:
    ~XlsHandle()
    {
        if (h) freexl_close(h);
    }
    const void *h = nullptr;
};

QString describe(int rc)
{
    switch (rc) {
    case FREEXL_FILE_NOT_FOUND: return QStringLiteral("文件不存在");
    case FREEXL_INSUFFICIENT_MEMORY: return QStringLiteral("内存不足");
    case FREEXL_BIFF_OBFUSCATED: return QStringLiteral("文件有密码保护");
    default: return QStringLiteral("文件已损坏或格式不受支持（错误 %1）").arg(rc);
    }
}

} // namespace

bool readXls(const QString &file, const QString &sheetName, Builder *cells, QString *error)
{
    const QString where = QDir::toNativeSeparators(file);
    XlsHandle x;
    int rc = freexl_open(QFile::encodeName(file).constData(), &x.h);
    if (rc != FREEXL_OK) {
        if (error) *error = QStringLiteral("无法读取 Excel 文件：%1\n%2").arg(where, describe(rc));
        return false;
    }
    unsigned int password = 0;
    if (freexl_get_info(x.h, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED) {
        if (error) *error = QStringLiteral("无法读取 Excel 文件：%1\n%2").arg(where, describe(FREEXL_BIFF_OBFUSCATED));
        return false;
    }
    unsigned int sheets = 0;
    freexl_get_info(x.h, FREEXL_BIFF_SHEET_COUNT, &sheets);
    int index = -1;
    for (unsigned int i = 0; i < sheets && index < 0; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(x.h, (unsigned short)i, &name) == FREEXL_OK && name
            && QString::fromUtf8(name).compare(sheetName, Qt::CaseInsensitive) == 0)
            index = int(i);
    }
    if (index < 0) {
        if (error) *error = QStringLiteral("文件中没有名为 %1 的工作表：%2").arg(sheetName, where);
        return false;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(x.h, (unsigned short)index) != FREEXL_OK
        || freexl_worksheet_dimensions(x.h, &rows, &columns) != FREEXL_OK) {
        if (error) *error = QStringLiteral("无法读取工作表 %1：%2").arg(sheetName, where);
        return false;
    }
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue v;
            rc = freexl_get_cell_value(x.h, r, c, &v);
            if (rc != FREEXL_OK) {
                if (error)
                    *error = QStringLiteral("无法读取工作表 %1 第 %2 行第 %3 列：%4\n%5")
                                 .arg(sheetName)
                                 .arg(r + 1)
                                 .arg(c + 1)
                                 .arg(where, describe(rc));
                return false;
            }
            QString text;
            switch (v.type) {
            case FREEXL_CELL_INT: text = QString::number(v.value.int_value); break;
            case FREEXL_CELL_DOUBLE: text = numberText(v.value.double_value); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME: text = QString::fromUtf8(v.value.text_value); break;
            default: break;
            }
            cells->set(int(r), int(c), text);
        }
    }
    return true;
}

} // namespace SheetFile
