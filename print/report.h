#pragma once
// A small band report engine on Qt's printing. A template is a page header
// repeated at the top of every page, a master band printed once per row of one
// dataset over as many pages as needed, and a footer printed after the last row
// and kept together on one page. Fields hold fixed text with references to
// dataset values, [dataset."field"], and to the moment of printing, [Date] and
// [Time]. All positions are millimetres from the top-left corner of the
// printable area.
#include "dataset.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <QVector>

class QPagedPaintDevice;

namespace Report {

// How the values of a field's references are written.
enum class Format {
    Text,      // as stored
    General,   // a number in shortest general form: "12.5"
    Thousands, // two decimals with thousands separators: "1,234.50"
    Fixed,     // two decimals: "1234.50"
};

struct Field {
    double left = 0;  // mm
    double width = 0; // mm
    QString text;
    Format format = Format::Text;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool frame = false;
};

struct Band {
    double height = 5; // mm
    QVector<Field> fields;
    bool bold = false;
    double fontPx = 0; // 0: the template's font size
};

// A further run of rows after the master band: bands printed before its first
// row (a heading, the column captions), one band per row of its own dataset,
// and bands printed after its last row (a subtotal).
struct Group {
    QVector<Band> header;
    QString dataSet;
    Band master;
    QVector<Band> footer;
};

struct Template {
    // The name the template is kept under when edited and saved ("Print/cg.rf3").
    QString fileName;
    QSizeF paper{210, 297}; // mm, portrait
    double margin = 10;     // mm, on every side
    QString fontFamily = QStringLiteral("WenQuanYi Zen Hei");
    double fontPx = 12; // pixels at 96 per inch
    QVector<Band> pageHeader;
    QString masterDataSet; // empty: no master band
    Band master;
    // Printed after the master band's rows, in order (the two sides of an assembly).
    QVector<Group> groups;
    QVector<Band> footer;
    // Pictures printed after the footer, each on a page of its own under the
    // page header, scaled to fit the rest of the page (a report's chart).
    QVector<QImage> pictures;
};

// A template of one picture under a title and the date of printing.
Template picturePage(const QString &title, const QImage &picture);

using DataSets = QHash<QString, DataSet>;

// The text of a field: references to the master dataset read the given row,
// references to any other dataset its first row; a missing value is empty.
QString fieldText(const Field &field, const DataSets &data, const QString &masterDataSet, int row,
                  const QDateTime &now);

// Paper and margins of the template.
QPageLayout pageLayout(const Template &t);

// Paints the report on a device whose page layout is already set. Returns the
// number of pages, or 0 when the device could not be painted on.
int render(const Template &t, const DataSets &data, QPagedPaintDevice *device,
           const QDateTime &now = QDateTime::currentDateTime());

} // namespace Report
