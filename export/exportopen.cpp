#include "exportopen.h"
#include "xlsxexport.h"
#include "shell/msg.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace ExportOpen {

namespace {
Opener g_opener;

bool openWithDesktop(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
}

QString failureText()
{
    return QStringLiteral("无法创建Xls文件，请确认是否安装EXCEL");
}

QString run(QWidget *parent, const ExportLayout &layout, const QAbstractItemModel *model)
{
    const QString dir = XlsxExport::folder();
    QDir().mkpath(dir);
    const QString path = XlsxExport::fileName(dir, layout.titleWord, QDateTime::currentDateTime());
    const bool written = XlsxExport::write(path, layout, model);
    const bool opened = written && (g_opener ? g_opener(path) : openWithDesktop(path));
    if (opened) return path;

    QString text = failureText();
    if (QFileInfo::exists(path)) text += QLatin1Char('\n') + QDir::toNativeSeparators(path);
    Msg::error(parent, text);
    return QString();
}

void setOpener(Opener opener) { g_opener = std::move(opener); }

} // namespace ExportOpen
