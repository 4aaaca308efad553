#pragma once
// The main menu as one table: it builds the menu of the main window and seeds
// the rights codes (SMenu). A code is the top-level index (one digit) followed
// by the two-digit item index inside that menu, separators counted.
#include <QString>
#include <QVector>

struct MenuEntry {
    QString code;      // "000" … "511"; empty for the help menu, which has no rights
    QString caption;   // shown caption; "-" for a separator
    QString screen;    // the screen it opens ("frmJH_In"), or a command word
    bool child = false; // list or query window shown inside the frame
    bool isSeparator() const { return caption == QLatin1String("-"); }
    // SMenu.MName: the caption up to and including its first blank; "-" for a separator.
    QString rightsName() const;
};

// The operation log's item: added after the file menu's last item, so that the
// codes of the items before it stay as users' rights hold them.
inline constexpr const char *OpLogMenuCode = "015";

struct MenuTop {
    QString caption;
    QVector<MenuEntry> items;
};

// The seven top-level menus in order; the first six carry rights codes.
const QVector<MenuTop> &menuTree();
// All coded items of the first six menus, in code order.
QVector<MenuEntry> codedMenuItems();
// The entry for a code, or nullptr.
const MenuEntry *menuEntryByCode(const QString &code);
