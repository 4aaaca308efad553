#include "dataset.h"
#include "data/dm.h"

QVariant DataSet::value(int row, const QString &field) const
{
    if (row < 0 || row >= rows.size()) return QVariant();
    const int col = fields.indexOf(field);
    if (col < 0 || col >= rows[row].size()) return QVariant();
    return rows[row][col];
}

namespace {
QString columnName(const QString &column)
{
    const int as = column.lastIndexOf(QStringLiteral(" as "), -1, Qt::CaseInsensitive);
    QString name = as >= 0 ? column.mid(as + 4) : column;
    name = name.trimmed();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? name.mid(dot + 1) : name;
}
}

DataSet openDataSet(frmDM &dm, const QStringList &columns, const QString &rest, const QVariantList &binds)
{
    DataSet ds;
    for (const QString &c : columns) ds.fields << columnName(c);
    ds.rows = dm.rows(QStringLiteral("select ") + columns.join(QLatin1Char(',')) + QLatin1Char(' ') + rest, binds);
    return ds;
}
