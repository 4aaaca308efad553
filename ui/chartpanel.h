#pragma once
// A bar chart beside a list, for the reports a shop owner would rather look at
// than read: one bar set per series, a value per category, a legend, the
// amount of a bar as its tool tip. The screen fills it after each query from
// what its list shows, so the chart follows the filters.
//
// The check box "显示图表" (placed by the screen) shows and hides it. Its
// pop-up menu saves it as a PNG picture ("保存为图片 &S", file dialog through
// ui/msg.h) and, where the screen gives a way to print, prints it ("打印 &P").
//
// Amounts stay Money up to here; they become doubles only for drawing.
#include "data/money.h"

#include <QList>
#include <QStringList>
#include <QWidget>
#include <functional>

class QChart;
class QChartView;
class QCheckBox;
class QMenu;
class ListScreen;

class ChartPanel : public QWidget {
    Q_OBJECT
public:
    struct Series {
        QString name;
        QVector<Money> values;   // one per category
    };

    // Vertical bars (periods along the bottom) or horizontal bars (names down
    // the left, the first category at the top).
    enum class Bars { Vertical, Horizontal };

    explicit ChartPanel(Bars bars, QWidget *parent = nullptr);

    // Puts a new chart beside the list's grid and its "显示图表" box under the
    // list's buttons.
    static ChartPanel *beside(ListScreen *screen, Bars bars);

    void setTitle(const QString &title);
    // Draws the categories and series anew. Category labels are made unique
    // and short enough to read (the tool tip names the category in full).
    void setBars(const QStringList &categories, const QList<Series> &series);
    void clear();

    // What was drawn last, as given.
    QStringList categories() const { return m_categories; }
    QList<Series> series() const { return m_series; }
    // Milliseconds the last setBars took to build the chart.
    qint64 lastBuildMs() const { return m_buildMs; }

    QChart *chart() const { return m_chart; }
    QChartView *view() const { return m_view; }
    QCheckBox *showBox() const { return m_show; }   // "显示图表"
    QMenu *popupMenu() const { return m_menu; }

    // The chart as a picture at the size it is shown (at least 640 × 400).
    QImage image() const;
    // Writes the picture as PNG; false when the file cannot be written.
    bool saveImage(const QString &path) const;

    // How the screen prints the chart; without it the menu has no "打印 &P".
    void setPrinter(std::function<void()> print);

public slots:
    void S1Click();   // "保存为图片 &S"

private:
    void showMenu(const QPoint &pos);

    Bars m_bars;
    QChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    QCheckBox *m_show = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_print = nullptr;
    std::function<void()> m_printer;
    QStringList m_categories;
    QList<Series> m_series;
    qint64 m_buildMs = 0;
};
