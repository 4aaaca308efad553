#pragma once
// The sales statistics workbook's figures: customers (with warehouse and
// handler) against products, over the lines the sales line query lists.
#include "data/money.h"

#include <QString>
#include <QVariantList>
#include <QVector>

class frmDM;

struct SalesStats {
    // One column per product and sales price.
    struct Product {
        int sid = 0;
        Money price;
        QString code, name;
        QString header;   // the product name; with the price after it when the product has several columns
    };
    // One row per customer, warehouse and handler.
    struct Customer {
        int uid = 0;
        QString name, contact, phone, address, warehouse, handler;
        QVector<Money> counts;   // per product column: the quantity sold at that column's price
        Money count, amount;     // the row's quantity and amount
        Money received, owed;    // over the customer's live deliveries from that warehouse and handler
    };
    QVector<Product> products;
    QVector<Customer> customers;
};

// `where` and `binds`: the kept condition of the sales line query, over the
// names of tradeLinesFrom(). `dateFrom`/`dateTo`: the date range when its box
// is ticked (the received and owed sums keep to it), empty otherwise.
// Quantities and amounts are summed exactly. Throws DbError.
SalesStats salesStatistics(frmDM &dm, const QString &where, const QVariantList &binds, const QString &dateFrom,
                           const QString &dateTo);
