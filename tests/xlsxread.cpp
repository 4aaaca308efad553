#include "xlsxread.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace {
const char *const Script = R"PY(
import json, sys
import openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
cells = {}
for row in ws.iter_rows():
    for c in row:
        b = c.border
        sides = {b.left.style, b.right.style, b.top.style, b.bottom.style}
        cells[c.coordinate] = {
            "v": c.value, "t": c.data_type if c.value is not None else "",
            "fmt": c.number_format, "font": c.font.name, "size": c.font.sz,
            "bold": bool(c.font.b), "h": c.alignment.horizontal or "",
            "vert": c.alignment.vertical or "",
            "border": sides.pop() if len(sides) == 1 and None not in sides else "",
        }
widths = {}
hidden = {}
for k, d in ws.column_dimensions.items():
    for i in range(d.min or 0, (d.max or 0) + 1):
        letter = openpyxl.utils.get_column_letter(i) if i else k
        widths[letter] = d.width if d.customWidth or d.width else -1
        hidden[letter] = bool(d.hidden)
out = {
    "cells": cells, "widths": widths, "hidden": hidden,
    "merged": [str(r) for r in ws.merged_cells.ranges],
    "footer": ws.oddFooter.center.text or "",
    "orientation": ws.page_setup.orientation or "",
    "title": wb.properties.title or "",
    "maxRow": ws.max_row, "maxCol": ws.max_column,
}
sys.stdout.write(json.dumps(out, ensure_ascii=False, default=str))
)PY";
}

bool XlsxRead::load(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(Script), path});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        m_error = QStringLiteral("python3/openpyxl failed: ") + p.errorString() + QLatin1Char(' ')
                  + QString::fromUtf8(p.readAllStandardError());
        return false;
    }
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(p.readAllStandardOutput(), &err);
    if (!doc.isObject()) {
        m_error = QStringLiteral("bad JSON: ") + err.errorString();
        return false;
    }
    const QJsonObject o = doc.object();
    m_cells = o.value(QStringLiteral("cells")).toObject();
    m_widths = o.value(QStringLiteral("widths")).toObject();
    m_hidden = o.value(QStringLiteral("hidden")).toObject();
    m_merged.clear();
    for (const QJsonValue v : o.value(QStringLiteral("merged")).toArray()) m_merged << v.toString();
    m_footer = o.value(QStringLiteral("footer")).toString();
    m_orientation = o.value(QStringLiteral("orientation")).toString();
    m_title = o.value(QStringLiteral("title")).toString();
    m_maxRow = o.value(QStringLiteral("maxRow")).toInt();
    m_maxCol = o.value(QStringLiteral("maxCol")).toInt();
    return true;
}

double XlsxRead::width(const QString &column) const
{
    return m_widths.contains(column) ? m_widths.value(column).toDouble(-1) : -1;
}

bool XlsxRead::hidden(const QString &column) const
{
    return m_hidden.value(column).toBool();
}
