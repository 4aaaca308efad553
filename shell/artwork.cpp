#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace Artwork {

namespace {

constexpr int S = 32;

QPixmap blank()
{
    QPixmap pm(S, S);
    pm.fill(Qt::transparent);
    return pm;
}

// A box (a parcel of goods) in the lower left part of the picture.
void drawBox(QPainter &p, const QColor &c, const QRectF &r = QRectF(3, 13, 17, 15))
{
    p.setPen(QPen(c.darker(150), 1.2));
    p.setBrush(c);
    p.drawRect(r);
    p.setPen(QPen(c.darker(170), 1));
    p.drawLine(QPointF(r.left(), r.top() + 4), QPointF(r.right(), r.top() + 4));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.top() + 4));
}

// A thick arrow from `a` to `b`.
void drawArrow(QPainter &p, QPointF a, QPointF b, const QColor &c, qreal w = 3.5)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap));
    const QPointF d = b - a;
    const qreal len = std::hypot(d.x(), d.y());
    if (len <= 0) return;
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    const qreal head = w * 2.2;
    p.drawLine(a, b - u * head * 0.8);
    QPainterPath tip;
    tip.moveTo(b);
    tip.lineTo(b - u * head + n * head * 0.8);
    tip.lineTo(b - u * head - n * head * 0.8);
    tip.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(tip);
}

// A round badge with one character, for the money pictures.
void drawBadge(QPainter &p, const QColor &c, const QString &ch)
{
    QRadialGradient g(QPointF(12, 10), 18);
    g.setColorAt(0, c.lighter(150));
    g.setColorAt(1, c);
    p.setPen(QPen(c.darker(150), 1.2));
    p.setBrush(g);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QFont f;
    f.setPixelSize(16);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, ch);
}

const QColor Goods(222, 184, 115);
const QColor In(46, 139, 87);
const QColor Out(30, 110, 200);
const QColor Back(205, 92, 60);

} // namespace

QPixmap toolPicture(Tool tool)
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (tool) {
    case Tool::PurchaseIn:
        drawBox(p, Goods);
        drawArrow(p, QPointF(27, 3), QPointF(17, 13), In);
        break;
    case Tool::PurchaseReturn:
        drawBox(p, Goods);
        drawArrow(p, QPointF(17, 13), QPointF(28, 3), Back);
        break;
    case Tool::SalesOut:
        drawBox(p, Goods, QRectF(12, 13, 17, 15));
        drawArrow(p, QPointF(14, 12), QPointF(3, 2), Out);
        break;
    case Tool::SalesReturn:
        drawBox(p, Goods, QRectF(12, 13, 17, 15));
        drawArrow(p, QPointF(3, 2), QPointF(14, 12), Back);
        break;
    case Tool::ProductEntry:
        drawBox(p, Goods);
        p.setPen(Qt::NoPen);
        p.setBrush(In);
        p.drawEllipse(QRectF(16, 2, 14, 14));
        p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(23, 5), QPointF(23, 13));
        p.drawLine(QPointF(19, 9), QPointF(27, 9));
        break;
    case Tool::Transfer:
        drawBox(p, Goods, QRectF(2, 18, 11, 11));
        drawBox(p, Goods, QRectF(19, 18, 11, 11));
        drawArrow(p, QPointF(5, 12), QPointF(28, 12), Out, 2.8);
        drawArrow(p, QPointF(27, 5), QPointF(4, 5), In, 2.8);
        break;
    case Tool::Loss:
        drawBox(p, Goods);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 40, 40));
        p.drawEllipse(QRectF(16, 2, 14, 14));
        p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 9), QPointF(27, 9));
        break;
    case Tool::Overage:
        drawBox(p, Goods);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 150, 20));
        p.drawEllipse(QRectF(16, 2, 14, 14));
        p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(23, 5), QPointF(23, 13));
        p.drawLine(QPointF(19, 9), QPointF(27, 9));
        break;
    case Tool::Assembly: {
        // A gear over two parts.
        p.setPen(QPen(QColor(90, 90, 110), 1.2));
        p.setBrush(QColor(150, 150, 175));
        QPainterPath gear;
        const QPointF c(16, 16);
        for (int i = 0; i < 16; ++i) {
            const qreal a = i * M_PI / 8;
            const qreal r = (i % 2) ? 10.5 : 14;
            const QPointF pt = c + QPointF(std::cos(a) * r, std::sin(a) * r);
            if (i == 0) gear.moveTo(pt); else gear.lineTo(pt);
        }
        gear.closeSubpath();
        p.drawPath(gear);
        p.setBrush(Qt::white);
        p.drawEllipse(c, 4.5, 4.5);
        break;
    }
    case Tool::Receivable:
        drawBadge(p, In, QStringLiteral("收"));
        break;
    case Tool::Payable:
        drawBadge(p, Back, QStringLiteral("付"));
        break;
    case Tool::Stock: {
        p.setPen(QPen(QColor(80, 80, 80), 1.5));
        p.drawLine(QPointF(3, 29), QPointF(29, 29));
        p.drawLine(QPointF(3, 29), QPointF(3, 3));
        const QColor bars[] = {Out, In, QColor(230, 150, 20), Back};
        const int heights[] = {12, 20, 15, 24};
        for (int i = 0; i < 4; ++i) {
            p.setPen(Qt::NoPen);
            p.setBrush(bars[i]);
            p.drawRect(QRectF(6 + i * 6, 28 - heights[i], 4.5, heights[i]));
        }
        break;
    }
    case Tool::Help:
        drawBadge(p, QColor(40, 120, 210), QStringLiteral("?"));
        break;
    case Tool::Exit: {
        // A power symbol.
        const QColor c(200, 50, 50);
        p.setPen(QPen(c, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 6, 22, 22), 120 * 16, 300 * 16);
        p.drawLine(QPointF(16, 3), QPointF(16, 15));
        break;
    }
    }
    return pm;
}

QPixmap background(const QSize &size)
{
    const QSize sz = size.isValid() && !size.isEmpty() ? size : QSize(1024, 768);
    QPixmap pm(sz);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, sz.width(), sz.height());
    g.setColorAt(0, QColor(226, 238, 250));
    g.setColorAt(1, QColor(160, 196, 232));
    p.fillRect(pm.rect(), g);

    // Soft rings in the lower right corner.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        p.setBrush(QColor(255, 255, 255, 26 + i * 6));
        const qreal r = sz.height() * (0.9 - i * 0.15);
        p.drawEllipse(QPointF(sz.width() * 0.92, sz.height() * 1.05), r, r);
    }

    QFont title;
    title.setPixelSize(qMax(24, sz.height() / 12));
    title.setBold(true);
    p.setFont(title);
    const QRectF band(0, sz.height() * 0.28, sz.width(), sz.height() * 0.2);
    p.setPen(QColor(255, 255, 255, 180));
    p.drawText(band.translated(2, 2), Qt::AlignCenter, QStringLiteral("Tavrel进销存软件"));
    p.setPen(QColor(40, 80, 140));
    p.drawText(band, Qt::AlignCenter, QStringLiteral("Tavrel进销存软件"));

    QFont sub;
    sub.setPixelSize(qMax(14, sz.height() / 36));
    p.setFont(sub);
    p.setPen(QColor(60, 100, 150));
    p.drawText(QRectF(0, band.bottom(), sz.width(), sz.height() * 0.08), Qt::AlignCenter,
               QStringLiteral("采购 · 销售 · 库存 · 往来 · 报表"));
    return pm;
}

QPixmap loginBanner(const QSize &size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, size.width(), 0);
    g.setColorAt(0, QColor(30, 90, 170));
    g.setColorAt(1, QColor(90, 160, 230));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawEllipse(QPointF(size.width() - 40, 10), 70, 70);
    p.drawEllipse(QPointF(size.width() - 120, size.height() + 10), 45, 45);

    QFont f;
    f.setPixelSize(qMax(16, size.height() * 2 / 5));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(20, 0, size.width() - 40, size.height() * 0.68), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("Tavrel进销存软件"));
    QFont s;
    s.setPixelSize(qMax(11, size.height() / 6));
    p.setFont(s);
    p.setPen(QColor(220, 235, 255));
    p.drawText(QRectF(22, size.height() * 0.68, size.width() - 40, size.height() * 0.3), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("简单好用的进销存管理"));
    return pm;
}

} // namespace Artwork
