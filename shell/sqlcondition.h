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

    // A term such as "H.UID in (select ID from SUnits where …)" can serve two
    // ways: the engine finds the few rows it leaves through an index, or it is
    // checked row by row while a long list is walked in its own order, where
    // an index would mean sorting every row found before the first is shown.
    // Such a term is written with the mark in front; seeking() and walking()
    // give the condition for either way.
    static QString walkable(const QString &term) { return QStringLiteral("{walk}") + term; }
    SqlCondition seeking() const { return {QString(sql).remove(QStringLiteral("{walk}")), binds}; }
    SqlCondition walking() const { return {QString(sql).replace(QStringLiteral("{walk}"), QStringLiteral("+")), binds}; }

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
