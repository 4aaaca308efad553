#pragma once
// A dataset as the printed documents use it: the rows of one statement, with
// the names of its columns so that templates can refer to them by name.
#include <QStringList>
#include <QVariant>
#include <QVector>

class frmDM;

struct DataSet {
    QStringList fields;
    QVector<QVariantList> rows;

    bool isEmpty() const { return rows.isEmpty(); }
    int size() const { return rows.size(); }
    // The value of a field in a row; an invalid QVariant for a missing row or field.
    QVariant value(int row, const QString &field) const;
};

// Runs "select <columns> <rest>" and names each column by its alias (the text
// after " as ") or, without one, by the column name after any table prefix.
DataSet openDataSet(frmDM &dm, const QStringList &columns, const QString &rest, const QVariantList &binds = {});
