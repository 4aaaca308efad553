#pragma once
// Reads back a written .xlsx for tests through python3-openpyxl: cell values and
// types, fonts, borders, alignment, merged ranges, widths, footer, orientation.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class XlsxRead {
public:
    // Loads the first sheet of `path`; false with the reason in error().
    bool load(const QString &path);
    QString error() const { return m_error; }

    QJsonObject cell(const QString &ref) const { return m_cells.value(ref).toObject(); }
    bool has(const QString &ref) const { return m_cells.contains(ref); }
    QVariant value(const QString &ref) const { return cell(ref).value(QStringLiteral("v")).toVariant(); }
    QString text(const QString &ref) const { return value(ref).toString(); }
    // "s" string, "n" number (openpyxl's data types); empty for a missing cell.
    QString type(const QString &ref) const { return cell(ref).value(QStringLiteral("t")).toString(); }
    QString numberFormat(const QString &ref) const { return cell(ref).value(QStringLiteral("fmt")).toString(); }
    QString fontName(const QString &ref) const { return cell(ref).value(QStringLiteral("font")).toString(); }
    double fontSize(const QString &ref) const { return cell(ref).value(QStringLiteral("size")).toDouble(); }
    bool bold(const QString &ref) const { return cell(ref).value(QStringLiteral("bold")).toBool(); }
    QString hAlign(const QString &ref) const { return cell(ref).value(QStringLiteral("h")).toString(); }
    QString vAlign(const QString &ref) const { return cell(ref).value(QStringLiteral("vert")).toString(); }
    // The four sides' style when they agree ("thin"), else empty.
    QString border(const QString &ref) const { return cell(ref).value(QStringLiteral("border")).toString(); }

    QStringList merged() const { return m_merged; }
    double width(const QString &column) const;     // -1 when not set
    bool hidden(const QString &column) const;
    QString footerCentre() const { return m_footer; }
    QString orientation() const { return m_orientation; }
    QString title() const { return m_title; }
    int maxRow() const { return m_maxRow; }
    int maxColumn() const { return m_maxCol; }

private:
    QString m_error;
    QJsonObject m_cells, m_widths, m_hidden;
    QStringList m_merged;
    QString m_footer, m_orientation, m_title;
    int m_maxRow = 0, m_maxCol = 0;
};
