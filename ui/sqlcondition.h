#pragma once
// A piece of a WHERE clause with its values: the text carries a "?" for every
// value, and the values are bound in that order. Values never go into the text.
#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>

struct SqlCondition {
    QString sql;
    QVariantList binds;
    // For a condition holding values read from the books when it was made
    // (the IDs of the partners whose name contains a text): makes it again
    // from the books as they are now. Empty for a condition of fixed values.
    std::function<SqlCondition()> lookUp;

    bool isEmpty() const { return sql.isEmpty(); }

    // The condition as the books are now: what it read from them read again
    // (another seat may have added a matching partner meanwhile).
    SqlCondition again() const { return lookUp ? lookUp() : *this; }

    // A term such as "H.UID in (select ID from SUnits where …)" can serve two
    // ways: the engine finds the few rows it leaves through an index, or it is
    // checked row by row while a long list is walked in its own order, where
    // an index would mean sorting every row found before the first is shown.
    // Such a term is written with the mark in front; seeking() and walking()
    // give the condition for either way.
    static QString walkable(const QString &term) { return QStringLiteral("{walk}") + term; }
    SqlCondition seeking() const
    {
        SqlCondition c{QString(sql).remove(QStringLiteral("{walk}")), binds};
        if (lookUp) c.lookUp = [l = lookUp] { return l().seeking(); };
        return c;
    }
    SqlCondition walking() const
    {
        SqlCondition c{QString(sql).replace(QStringLiteral("{walk}"), QStringLiteral("+")), binds};
        if (lookUp) c.lookUp = [l = lookUp] { return l().walking(); };
        return c;
    }

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
        for (const SqlCondition &p : parts) {
            if (!p.lookUp) continue;
            out.lookUp = [parts] {
                QList<SqlCondition> now;
                for (const SqlCondition &q : parts) now << q.again();
                return all(now);
            };
            break;
        }
        return out;
    }
};
