// Every screen the menu and toolbar can open, by name. A screen not listed here
// yet leaves its menu item present but opening nothing.
#include "screens.h"

namespace Screens {

void registerAll()
{
    static bool done = false;
    if (done) return;
    done = true;
}

} // namespace Screens
