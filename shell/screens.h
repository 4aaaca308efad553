#pragma once
// The register of screens the main window can open, by screen name
// ("frmWare", "frmJH_M"). Each subsystem's screens are added in
// shell/screenlist.cpp; a menu item whose screen is not registered yet opens nothing.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace Screens {

// Creates the screen. For modal screens the caller shows it with exec() and
// deletes it; for child (list) windows the main window puts it in its frame.
using Factory = std::function<QWidget *(QWidget *parent)>;

void add(const QString &name, Factory factory);
bool has(const QString &name);
QWidget *create(const QString &name, QWidget *parent);
// The names registered, in no particular order.
QStringList names();

// Registers every screen of the program (shell/screenlist.cpp).
void registerAll();

} // namespace Screens
