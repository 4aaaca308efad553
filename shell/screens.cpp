#include "screens.h"

#include <QHash>

namespace Screens {

namespace {
QHash<QString, Factory> &table()
{
    static QHash<QString, Factory> t;
    return t;
}
}

void add(const QString &name, Factory factory) { table().insert(name, std::move(factory)); }
bool has(const QString &name) { return table().contains(name); }

QStringList names() { return table().keys(); }

QWidget *create(const QString &name, QWidget *parent)
{
    const auto it = table().constFind(name);
    return it == table().constEnd() ? nullptr : it.value()(parent);
}

} // namespace Screens
