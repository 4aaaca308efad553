#pragma once
// A piece of a WHERE clause with its values: the text carries a "?" for every
// value, and the values are bound in that order. Values never go into the text.
#include <QList>
#include <QString>
#include <QVariantList>

struct SqlCondition {
    QString sql;
    QVariantList binds;

    bool isEmpty() const { return sql.isEmpty(); }

    // Joins the non-empty parts with AND, each in brackets.
    static SqlCondition all(const QList<SqlCondition> &parts)
    {
        SqlCondition out;
        for (const SqlCondition &p : parts) {
            if (p.isEmpty()) continue;
            if (!out.sql.isEmpty()) out.sql += QStringLiteral(" and ");
            out.sql += QLatin1Char('(') + p.sql + QLatin1Char(')');
            out.binds += p.binds;
        }
        return out;
    }
};
