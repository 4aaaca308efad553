#pragma once
// The order Tab walks through a screen's fields. A screen lists its fields in
// the order of its layout (top to bottom, left to right); Tab then follows
// that list and comes back round from the last to the first.
#include <QList>

class QWidget;

namespace TabOrder {

// Puts the widgets one after the other in the Tab chain. Null entries are skipped.
void chain(const QList<QWidget *> &widgets);

} // namespace TabOrder
