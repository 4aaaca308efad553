// Every screen the menu and toolbar can open, by name. A screen not listed here
// yet leaves its menu item present but opening nothing.
#include "screens.h"

#include "about.h"
#include "changepassword.h"
#include "users.h"

namespace Screens {

void registerAll()
{
    static bool done = false;
    if (done) return;
    done = true;

    add(QStringLiteral("frmUser"), [](QWidget *parent) { return new frmUser(parent); });
    add(QStringLiteral("frmCPass"), [](QWidget *parent) { return new frmCPass(parent); });
    add(QStringLiteral("frmAbout"), [](QWidget *parent) { return new frmAbout(parent); });
}

} // namespace Screens
