#include "taborder.h"

#include <QWidget>

namespace TabOrder {

void chain(const QList<QWidget *> &widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (!w) continue;
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

} // namespace TabOrder
