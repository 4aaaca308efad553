#include "report.h"
#include "data/money.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRegularExpression>

namespace Report {

namespace {

QString formatted(const QVariant &v, Format format)
{
    if (!v.isValid() || v.isNull()) return QString();
    switch (format) {
    case Format::Text: return v.toString();
    case Format::General: return Money::fromVariant(v).toString();
    case Format::Thousands: return Money::fromVariant(v).toPrintString();
    case Format::Fixed: return Money::fromVariant(v).toPrintString().remove(QLatin1Char(','));
    }
    return QString();
}

// Paints band by band, turning pages.
class Painter {
public:
    Painter(const Template &t, const DataSets &data, QPagedPaintDevice *device, const QDateTime &now)
        : m_t(t), m_data(data), m_device(device), m_now(now)
    {
        m_pxPerMm = device->logicalDpiY() / 25.4;
        m_pageHeight = device->pageLayout().paintRect(QPageLayout::Millimeter).height();
    }

    int run()
    {
        if (!m_painter.begin(m_device)) return 0;
        startPage();
        const DataSet master = m_data.value(m_t.masterDataSet);
        if (!m_t.masterDataSet.isEmpty())
            for (int row = 0; row < master.size(); ++row) place(m_t.master, row, m_t.masterDataSet);
        for (const Group &g : m_t.groups) {
            // The heading stays with the group's first row.
            double head = g.master.height;
            for (const Band &b : g.header) head += b.height;
            if (!fits(head)) newPage();
            for (const Band &b : g.header) place(b, 0, g.dataSet);
            const DataSet rows = m_data.value(g.dataSet);
            for (int row = 0; row < rows.size(); ++row) place(g.master, row, g.dataSet);
            for (const Band &b : g.footer) place(b, 0, g.dataSet);
        }
        // The footer stays together: when it does not fit below the last row it
        // goes to a new page.
        double footer = 0;
        for (const Band &b : m_t.footer) footer += b.height;
        if (!fits(footer)) newPage();
        for (const Band &b : m_t.footer) place(b, 0, m_t.masterDataSet);
        for (const QImage &picture : m_t.pictures) drawPicture(picture);
        m_painter.end();
        return m_pages;
    }

private:
    bool fits(double height) const
    {
        return m_y + height <= m_pageHeight + 1e-6 || m_y <= m_contentTop + 1e-6;
    }

    void startPage()
    {
        ++m_pages;
        m_y = 0;
        for (const Band &b : m_t.pageHeader) {
            draw(b, 0, m_t.masterDataSet);
            m_y += b.height;
        }
        m_contentTop = m_y;
    }

    void newPage()
    {
        m_device->newPage();
        startPage();
    }

    void place(const Band &b, int row, const QString &rowsOf)
    {
        if (!fits(b.height)) newPage();
        draw(b, row, rowsOf);
        m_y += b.height;
    }

    double px(double mm) const { return mm * m_pxPerMm; }

    void drawPicture(const QImage &picture)
    {
        if (picture.isNull()) return;
        if (m_y > m_contentTop + 1e-6) newPage();
        const double width = m_device->pageLayout().paintRect(QPageLayout::Millimeter).width();
        const double room = m_pageHeight - m_y;
        // The picture keeps its shape: as wide as the page or as high as the room left.
        double w = width, h = width * picture.height() / picture.width();
        if (h > room) {
            h = room;
            w = room * picture.width() / picture.height();
        }
        m_painter.drawImage(QRectF(px(0), px(m_y), px(w), px(h)), picture);
        m_y += h;
    }

    // References to the dataset `rowsOf` read the given row, others their first.
    void draw(const Band &b, int row, const QString &rowsOf)
    {
        QFont font(m_t.fontFamily);
        // Pixel sizes are at 96 per inch; points scale with the device.
        font.setPointSizeF((b.fontPx > 0 ? b.fontPx : m_t.fontPx) * 72.0 / 96.0);
        font.setBold(b.bold);
        m_painter.setFont(font);
        QPen pen(Qt::black);
        pen.setWidthF(px(0.2));
        m_painter.setPen(pen);
        for (const Field &f : b.fields) {
            const QRectF cell(px(f.left), px(m_y), px(f.width), px(b.height));
            if (f.frame) m_painter.drawRect(cell);
            const QRectF inner = cell.adjusted(px(0.8), 0, -px(0.8), 0);
            m_painter.drawText(inner, int(f.align) | Qt::TextSingleLine,
                               fieldText(f, m_data, rowsOf, row, m_now));
        }
    }

    const Template &m_t;
    const DataSets &m_data;
    QPagedPaintDevice *m_device;
    QDateTime m_now;
    QPainter m_painter;
    double m_pxPerMm = 1;
    double m_pageHeight = 0;
    double m_y = 0;
    double m_contentTop = 0;
    int m_pages = 0;
};

} // namespace

QString fieldText(const Field &field, const DataSets &data, const QString &masterDataSet, int row,
                  const QDateTime &now)
{
    static const QRegularExpression ref(QStringLiteral("\\[(\\w+)\\.\"(\\w+)\"\\]|\\[(Date|Time)\\]"));
    QString out;
    qsizetype pos = 0;
    auto it = ref.globalMatch(field.text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += field.text.mid(pos, m.capturedStart() - pos);
        pos = m.capturedEnd();
        if (m.captured(3) == QLatin1String("Date")) {
            out += now.toString(QStringLiteral("yyyy-MM-dd"));
        } else if (m.captured(3) == QLatin1String("Time")) {
            out += now.toString(QStringLiteral("hh:mm:ss"));
        } else {
            const QString ds = m.captured(1);
            const auto found = data.constFind(ds);
            if (found == data.constEnd()) continue;
            out += formatted(found->value(ds == masterDataSet ? row : 0, m.captured(2)), field.format);
        }
    }
    out += field.text.mid(pos);
    return out;
}

QPageLayout pageLayout(const Template &t)
{
    const QPageSize size(t.paper, QPageSize::Millimeter);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(t.margin, t.margin, t.margin, t.margin),
                       QPageLayout::Millimeter);
}

Template picturePage(const QString &title, const QImage &picture)
{
    Template t;
    t.paper = QSizeF(297, 210);   // landscape: a chart is wider than high
    Band head;
    head.height = 10;
    head.bold = true;
    head.fontPx = 16;
    head.fields << Field{0, 200, title, Format::Text, Qt::AlignLeft | Qt::AlignVCenter, false}
                << Field{200, 77, QStringLiteral("[Date]"), Format::Text, Qt::AlignRight | Qt::AlignVCenter, false};
    t.pageHeader << head;
    t.pictures << picture;
    return t;
}

int render(const Template &t, const DataSets &data, QPagedPaintDevice *device, const QDateTime &now)
{
    return Painter(t, data, device, now).run();
}

} // namespace Report
