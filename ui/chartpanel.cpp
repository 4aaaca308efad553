#include "chartpanel.h"

#include "listscreen.h"
#include "msg.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QGraphicsLayout>
#include <QMenu>
#include <QSet>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QHorizontalBarSeries>
#include <QtCharts/QLegend>
#include <QtCharts/QValueAxis>

#include <algorithm>

namespace {

// Longer names are cut on the axis; the tool tip carries them whole.
constexpr int LabelChars = 12;
// Beyond this many periods the labels stand upright to fit ("2012-01" is cut
// short lying flat under a dozen bars of a chart beside a list).
constexpr int FlatLabels = 6;

// The axis needs every category once: an empty name gets a word, a name met
// before (or cut to one met before) its number.
QStringList axisLabels(const QStringList &categories)
{
    QStringList out;
    QSet<QString> seen;
    for (const QString &c : categories) {
        QString l = c.trimmed().isEmpty() ? QStringLiteral("（空）") : c.simplified();
        if (l.size() > LabelChars) l = l.left(LabelChars - 1) + QStringLiteral("…");
        QString unique = l;
        for (int n = 2; seen.contains(unique); ++n) unique = QStringLiteral("%1 (%2)").arg(l).arg(n);
        seen.insert(unique);
        out << unique;
    }
    return out;
}

} // namespace

ChartPanel::ChartPanel(Bars bars, QWidget *parent) : QWidget(parent), m_bars(bars)
{
    setObjectName(QStringLiteral("ChartPanel"));
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    m_chart = new QChart;
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->legend()->setVisible(true);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("ChartView"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumWidth(320);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    lay->addWidget(m_view);

    m_show = new QCheckBox(QStringLiteral("显示图表"), this);
    m_show->setObjectName(QStringLiteral("ChartBox"));
    m_show->setChecked(true);
    connect(m_show, &QCheckBox::toggled, this, &QWidget::setVisible);

    m_menu = new QMenu(this);
    QAction *save = m_menu->addAction(QStringLiteral("保存为图片 &S"), this, &ChartPanel::S1Click);
    save->setObjectName(QStringLiteral("S1"));
    m_print = m_menu->addAction(QStringLiteral("打印 &P"), this, [this] {
        if (m_printer) m_printer();
    });
    m_print->setObjectName(QStringLiteral("P1"));
    m_print->setVisible(false);
    connect(m_view, &QWidget::customContextMenuRequested, this, &ChartPanel::showMenu);
}

ChartPanel *ChartPanel::beside(ListScreen *screen, Bars bars)
{
    auto *panel = new ChartPanel(bars, screen);
    screen->addSideWidget(panel);
    screen->addButtonWidget(panel->showBox());
    return panel;
}

void ChartPanel::setTitle(const QString &title) { m_chart->setTitle(title); }

void ChartPanel::clear()
{
    m_categories.clear();
    m_series.clear();
    m_chart->removeAllSeries();
    for (QAbstractAxis *a : m_chart->axes()) {
        m_chart->removeAxis(a);
        delete a;
    }
}

void ChartPanel::setBars(const QStringList &categories, const QList<Series> &series)
{
    QElapsedTimer timer;
    timer.start();
    clear();
    m_categories = categories;
    m_series = series;

    const bool horizontal = m_bars == Bars::Horizontal;
    QStringList labels = axisLabels(categories);
    // A horizontal chart lists its categories from the bottom up: reversed,
    // the first stands at the top.
    if (horizontal) std::reverse(labels.begin(), labels.end());

    QAbstractBarSeries *bars = horizontal ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                          : static_cast<QAbstractBarSeries *>(new QBarSeries);
    double low = 0, high = 0;
    for (int s = 0; s < series.size(); ++s) {
        auto *set = new QBarSet(series[s].name);
        QList<qreal> values;
        values.reserve(categories.size());
        for (int i = 0; i < categories.size(); ++i) {
            const Money m = series[s].values.value(i);
            const double d = m.isValid() ? m.toDouble() : 0.0;
            values << d;
            low = std::min(low, d);
            high = std::max(high, d);
        }
        if (horizontal) std::reverse(values.begin(), values.end());
        set->append(values);
        connect(set, &QBarSet::hovered, this, [this, s, horizontal, n = int(categories.size())](bool on, int index) {
            if (!on) {
                QToolTip::hideText();
                return;
            }
            const int i = horizontal ? n - 1 - index : index;
            if (s >= m_series.size() || i < 0 || i >= m_categories.size()) return;
            QToolTip::showText(QCursor::pos(), QStringLiteral("%1\n%2：%3")
                                                   .arg(m_categories[i], m_series[s].name,
                                                        m_series[s].values.value(i).toString()),
                               m_view);
        });
        bars->append(set);
    }
    m_chart->addSeries(bars);

    auto *names = new QBarCategoryAxis;
    names->append(labels);
    if (!horizontal && labels.size() > FlatLabels) names->setLabelsAngle(-90);
    auto *amounts = new QValueAxis;
    amounts->setLabelFormat(QStringLiteral("%.0f"));
    amounts->setRange(low, high > low ? high : low + 1);
    amounts->applyNiceNumbers();
    m_chart->addAxis(names, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    m_chart->addAxis(amounts, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    bars->attachAxis(names);
    bars->attachAxis(amounts);
    m_buildMs = timer.elapsed();
}

QImage ChartPanel::image() const { return m_view->grab().toImage(); }

bool ChartPanel::saveImage(const QString &path) const
{
    const QImage img = image();
    return !img.isNull() && img.save(path, "PNG");
}

void ChartPanel::setPrinter(std::function<void()> print)
{
    m_printer = std::move(print);
    m_print->setVisible(bool(m_printer));
}

void ChartPanel::S1Click()
{
    QString path = Msg::saveFile(this, QStringLiteral("保存为图片"), QString(), QStringLiteral("PNG 图片 (*.png)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");
    if (!saveImage(path)) Msg::error(this, QStringLiteral("无法写入文件：") + path);
}

void ChartPanel::showMenu(const QPoint &pos)
{
    // The menu works on what is drawn: nothing to save before the first query.
    if (m_categories.isEmpty()) return;
    m_menu->popup(m_view->mapToGlobal(pos));
}
