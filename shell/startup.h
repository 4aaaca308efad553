#pragma once
// Program-wide steps of the shell: the single-instance check, the one date
// format, the program folder, ending the program and opening web addresses.
// Ending and opening addresses go through hooks so tests can watch them
// without the test process quitting or a browser starting.
#include <QSqlDatabase>
#include <QString>
#include <functional>

class QUrl;
class SingleInstance;

namespace Shell {

// The folder of the program file, ending with '/'. The books' folder (AppPath)
// is this folder only for a copy with Data/ beside it (data/booksfolder.h).
QString programFolder();

// Takes the single-instance lock of the books' folder. When another copy
// works on these books, shows the warning "Tavrel进销存软件 已经打开了！"
// naming the folder and returns false: the caller then ends without creating
// any window. A lock that cannot be made is shown as an error (false too).
bool claimSingleInstance(SingleInstance &lock);

// Every date shown reads "yyyy-MM-dd": Chinese names in the calendar and every
// date picker that does not set its own display format shows the program's one
// format. Safe to call more than once. Also makes the window a closed window was
// opened from take the keyboard again, whatever the window manager does.
void installDateFormat();

// Qt's own Chinese texts for the standard buttons and dialogs ("确定", "是",
// "否", "取消"), from Qt's translations folder (qtbase_zh_CN.qm) or the copy
// installed with the program (<prefix>/share/jxc/translations). Returns
// false when the translation file is missing; the texts then stay English.
// Safe to call more than once.
bool installQtTranslations();

// Ends the program (leaves every event loop). Screens that force a new login
// (saved defaults, changed password) and the confirmed close call this.
void endProgram();
// Test hook: called instead of quitting. Pass nullptr to restore.
void setEndHook(std::function<void()> hook);

// When the settings file of `appPath` (Data/server.ini) holds a password that
// other users of the machine may read, says so in a warning naming the
// command that fixes it ("chmod 600 <file>"). Called once at start.
void warnExposedSettings(const QString &appPath);

// Books on a server opened under the role that owns them (or a superuser):
// says once (per user of this machine and books) that the seats should
// connect under the seats' role (data/serverrights.h). Nothing for the file
// or a seat's role. Called at start.
void adviseSeatRole(QSqlDatabase db);

// Opens an address (help page, web site) in the system's browser.
void openUrl(const QUrl &url);
// Test hook: receives the address instead of the browser. Pass nullptr to restore.
void setUrlHook(std::function<void(const QUrl &)> hook);

// Where the help page and the web site live.
QString helpPage();      // AppPath + "help/index.html"
QString webSite();

} // namespace Shell
