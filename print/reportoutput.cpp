#include "reportoutput.h"
#include "ui/msg.h"

#include <QAction>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>

namespace Print {

namespace {
QString cannotWrite(const QString &path) { return QStringLiteral("无法写入文件：") + path; }
}

bool writePdf(const Report::Template &t, const Report::DataSets &data, const QString &path, const QPageLayout &layout)
{
    QPdfWriter writer(path);
    writer.setCreator(Msg::appTitle());
    writer.setPageLayout(layout);
    return Report::render(t, data, &writer) > 0;
}

QPrintPreviewDialog *createPreview(const Report::Template &t, const Report::DataSets &data, QWidget *parent)
{
    auto *dialog = new QPrintPreviewDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("打印预览"));
    dialog->printer()->setPageLayout(Report::pageLayout(t));
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [t, data](QPrinter *printer) { Report::render(t, data, printer); });

    auto *save = new QAction(QStringLiteral("保存为PDF"), dialog);
    save->setObjectName(QStringLiteral("actSavePdf"));
    QObject::connect(save, &QAction::triggered, dialog, [t, data, dialog] {
        QString path = Msg::saveFile(dialog, QStringLiteral("保存为PDF"), QString(), QStringLiteral("PDF 文件 (*.pdf)"));
        if (path.isEmpty()) return;
        if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
        // The saved file follows the page set-up chosen in the preview.
        if (!writePdf(t, data, path, dialog->printer()->pageLayout())) Msg::error(dialog, cannotWrite(path));
    });
    if (auto *bar = dialog->findChild<QToolBar *>()) {
        bar->addSeparator();
        bar->addAction(save);
    } else {
        dialog->addAction(save);
    }
    return dialog;
}

void picture(const QString &title, const QImage &picture, QWidget *parent)
{
    output(Report::picturePage(title, picture), {}, Target::preview(parent));
}

bool output(const Report::Template &t, const Report::DataSets &data, const Target &target)
{
    switch (target.kind()) {
    case Target::Preview: {
        QPrintPreviewDialog *dialog = createPreview(t, data, target.parent());
        dialog->exec();
        return true;
    }
    case Target::Printer: {
        if (QPrinterInfo::defaultPrinter().isNull()) {
            Msg::error(target.parent(), QStringLiteral("没有可用的默认打印机，无法打印！"));
            return false;
        }
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        printer.setPageLayout(Report::pageLayout(t));
        if (Report::render(t, data, &printer) > 0) return true;
        Msg::error(target.parent(), QStringLiteral("打印失败：") + printer.printerName());
        return false;
    }
    case Target::PdfFile:
        if (writePdf(t, data, target.path(), Report::pageLayout(t))) return true;
        Msg::error(target.parent(), cannotWrite(target.path()));
        return false;
    }
    return false;
}

} // namespace Print
