#pragma once
// Where a report goes: the preview window (print, page set-up, save as PDF),
// straight to the default printer, or into a PDF file.
#include "report.h"

#include <QString>

class QPrintPreviewDialog;
class QWidget;

namespace Print {

class Target {
public:
    enum Kind { Preview, Printer, PdfFile };

    static Target preview(QWidget *parent = nullptr) { return Target(Preview, QString(), parent); }
    static Target printer(QWidget *parent = nullptr) { return Target(Printer, QString(), parent); }
    static Target pdfFile(const QString &path, QWidget *parent = nullptr) { return Target(PdfFile, path, parent); }

    Kind kind() const { return m_kind; }
    QString path() const { return m_path; }
    QWidget *parent() const { return m_parent; }

private:
    Target(Kind kind, const QString &path, QWidget *parent) : m_kind(kind), m_path(path), m_parent(parent) {}
    Kind m_kind;
    QString m_path;
    QWidget *m_parent;
};

// Sends the report to the target. The preview returns when its window closes.
// Returns false, after saying why, when nothing could be printed or written.
bool output(const Report::Template &t, const Report::DataSets &data, const Target &target);

// Previews a picture (a report's chart) under its title, to print or save as PDF.
void picture(const QString &title, const QImage &picture, QWidget *parent);

// Writes the report into a PDF file with the given page layout. False when the
// file cannot be written.
bool writePdf(const Report::Template &t, const Report::DataSets &data, const QString &path,
              const QPageLayout &layout);

// The preview window of a report, not yet shown; deleted when closed. Its tool
// bar carries the action "保存为PDF" (objectName "actSavePdf").
QPrintPreviewDialog *createPreview(const Report::Template &t, const Report::DataSets &data, QWidget *parent);

} // namespace Print
