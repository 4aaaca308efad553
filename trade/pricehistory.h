#pragma once
// The price history of one product with one partner: the lines of its purchase
// receipts ("CG") or sales deliveries ("XS"), newest first, pre-saved documents
// included, deleted ones and returns left out.
#include <QStringList>
#include <QVariantList>
#include <QVector>

class frmDM;

// Captions of the history columns for the kind ("CG" or "XS").
QStringList priceHistoryCaptions(const QString &type);
// The statement of priceHistory; bound values: product ID, partner ID.
QString priceHistorySql(const QString &type);
// Rows: date, number, code, name, size (规格), unit, price, quantity, amount.
// Throws DbError.
QVector<QVariantList> priceHistory(frmDM &dm, const QString &type, int uid, int sid);
