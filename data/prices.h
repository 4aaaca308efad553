#pragma once
// The statement behind the suggested prices (myRetJHPrice, myRetXSPrice of the
// data module): the price of the newest line of a product on a live document of
// a partner. Bound values: product ID, partner ID.
#include <QString>

QString latestLinePriceSql(const QString &head, const QString &lines);
