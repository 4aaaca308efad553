#pragma once
// The widths of a result grid's columns, worked out from what they show:
// each column is as wide as its title (bold, as a sorted title is) and the
// widest text of the rows read (a list's first page), so that a document
// number or an amount is never cut. A number column is also as wide as the
// widest amount of the same size could be (its whole digits, a sign, four
// decimals), so that a refresh does not cut it either. Free text (a remark,
// an address, a name) stops at a cap; it shows its words and the rest of the
// row stays in sight.
//
// A width the user drags is kept in the settings, per screen and column
// ("columns/<screen>/<title>", the grid's name between them for a grid under
// the list), and wins over the worked-out width until restoreDefaults().
#include <QHash>
#include <QObject>
#include <QString>

class QTableView;
class QWidget;
class ResultModel;

class ColumnWidths : public QObject {
    Q_OBJECT
public:
    // Widest a text column grows from its contents.
    static constexpr int TextCap = 300;
    // Rows read for the widths: a page of a long list.
    static constexpr int MeasuredRows = 200;

    // The settings name the grid by its screen's object name (its class
    // without one) and, for a grid under the list, `gridName` ("DBGrid2").
    ColumnWidths(QTableView *view, ResultModel *model, QWidget *screen, const QString &gridName = QString());

    // Sets every shown column's width from its contents (or the width the
    // user kept). With `growOnly`, a column never gets narrower than it is
    // (the grid under a list, which follows the current row).
    void fit(bool growOnly = false);
    // Forgets the widths the user kept and fits again.
    void restoreDefaults();
    // A grid without "恢复默认列宽" keeps no dragged widths (default: keeps them).
    void setKeepDragged(bool keep) { m_keep = keep; }

    // The worked-out width of a column, and whether the cap cut it.
    int fittedWidth(int column, bool *capped = nullptr) const;
    QString settingsKey(int column) const;

private:
    void userResized(int column, int oldSize, int newSize);

    QTableView *m_view;
    ResultModel *m_model;
    QWidget *m_screen;
    QString m_gridName;
    QHash<int, int> m_fitted;   // the widths fit() gave, by column
    bool m_setting = false;
    bool m_keep = true;
};
