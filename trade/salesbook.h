#pragma once
// The sales statistics workbook laid out for the spreadsheet export: row 1 the
// headers ("序号", the customer fields, one column per product, the sums, the
// warehouse and the handler), one row per customer from row 2, thin borders
// and size 9 over every column, however many products there are.
#include "export/exportlayout.h"
#include "salesstats.h"

#include <QStandardItemModel>

class SalesBook {
public:
    SalesBook(const SalesStats &stats, const QString &shopName);
    const ExportLayout &layout() const { return m_layout; }
    const QAbstractItemModel *model() const { return &m_model; }

private:
    ExportLayout m_layout;
    QStandardItemModel m_model;
};
