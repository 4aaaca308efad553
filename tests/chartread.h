#pragma once
// Reads back what a chart panel draws: the category labels along its axis and
// each bar set's name and values, in the axis order (a horizontal chart's from
// the bottom up); and saves it through its pop-up menu.
#include "ui/chartpanel.h"
#include "ui/msg.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QtCharts/QAbstractBarSeries>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>

struct DrawnBars {
    QStringList labels;
    QStringList setNames;
    QList<QList<double>> values;   // per set
};

inline DrawnBars drawnBars(const ChartPanel *p)
{
    DrawnBars d;
    for (QAbstractAxis *a : p->chart()->axes())
        if (auto *c = qobject_cast<QBarCategoryAxis *>(a)) d.labels = c->categories();
    for (QAbstractSeries *s : p->chart()->series()) {
        auto *bars = qobject_cast<QAbstractBarSeries *>(s);
        if (!bars) continue;
        for (QBarSet *set : bars->barSets()) {
            d.setNames << set->label();
            QList<double> v;
            for (int i = 0; i < set->count(); ++i) v << set->at(i);
            d.values << v;
        }
    }
    return d;
}

// "保存为图片 &S" with the file dialog answered `path` (the message handler
// set by the test must say yes); returns the picture written there.
inline QImage savedThroughMenu(ChartPanel *p, const QString &path)
{
    Msg::setAnswerText(path);
    if (QAction *save = p->popupMenu()->findChild<QAction *>(QStringLiteral("S1"))) save->trigger();
    Msg::setAnswerText(QString());
    return QImage(path.endsWith(QLatin1String(".png")) ? path : path + QLatin1String(".png"));
}
