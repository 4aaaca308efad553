#include "exportopen.h"
#include "export/xlsxexport.h"
#include "msg.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
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
    // A bar for the exports that take a while (a hundred thousand rows take
    // seconds); it shows itself only when the export runs past half a second.
    QProgressDialog bar(QStringLiteral("正在导出 %1，请稍候……").arg(layout.titleWord), QString(), 0,
                        model ? model->rowCount() : 0, parent);
    bar.setObjectName(QStringLiteral("ExportProgress"));
    bar.setWindowTitle(Msg::appTitle());
    bar.setWindowModality(Qt::WindowModal);
    bar.setCancelButton(nullptr);
    bar.setMinimumDuration(500);
    const bool written = XlsxExport::write(path, layout, model, nullptr, [&bar](int done, int total) {
        bar.setMaximum(total);
        bar.setValue(done);
    });
    bar.reset();
    const bool opened = written && (g_opener ? g_opener(path) : openWithDesktop(path));
    if (opened) return path;

    QString text = failureText();
    if (QFileInfo::exists(path)) text += QLatin1Char('\n') + QDir::toNativeSeparators(path);
    Msg::error(parent, text);
    return QString();
}

void setOpener(Opener opener) { g_opener = std::move(opener); }

} // namespace ExportOpen
