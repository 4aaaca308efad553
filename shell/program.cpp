// Program entry: the books' folder, one copy at a time on it, the database,
// the main window (hidden) and the login window; the login shows the main
// window.
//
//   jxc [--books DIR] [--server postgresql://…] [--check-books]
//
// --books DIR   keeps the books in DIR (data/booksfolder.h says where they are
//               otherwise).
// --check-books opens the books as a start does (the first start makes them)
//               and ends without any window: it prints "账套：" and where the
//               books are on standard output and exits 0, or prints what a
//               start would have shown in a box on standard error and exits 1
//               (another copy on the same books, books that cannot be opened).
//               For checking an installation and for the tests of the package.
#include "login.h"
#include "main.h"
#include "ui/msg.h"
#include "screens.h"
#include "startup.h"

#include "data/booksfolder.h"
#include "data/connection.h"
#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/singleinstance.h"

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>
#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // "jxc" names the user's folder (~/.local/share/jxc) and the program's
    // windows for the desktop (jxc.desktop: StartupWMClass=jxc); the windows
    // show the title.
    QApplication::setApplicationName(QStringLiteral("jxc"));
    QApplication::setApplicationDisplayName(Msg::appTitle());
    QGuiApplication::setDesktopFileName(QStringLiteral("jxc"));
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) icon.addFile(QStringLiteral(":/icons/jxc-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    // The standard buttons read 确定, 是, 否 and 取消 from the first box on.
    Shell::installQtTranslations();

    const QStringList arguments = QApplication::arguments().mid(1);
    const bool checkOnly = arguments.contains(QStringLiteral("--check-books"));
    if (checkOnly) {
        Msg::setHandler([](const Msg::Shown &shown) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(shown.caption + QStringLiteral("：") + shown.text));
            return 0;
        });
    }

    QString err;
    if (!chooseBooksFolder(Shell::programFolder(), arguments,
                           QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), &G.AppPath, &err)) {
        Msg::error(nullptr, err);
        return 1;
    }
    SingleInstance lock(G.AppPath);
    if (!Shell::claimSingleInstance(lock)) return checkOnly ? 1 : 0;

    // Ending is always explicit: closing the login window or confirming the exit.
    QApplication::setQuitOnLastWindowClosed(false);
    Screens::registerAll();

    Shell::warnExposedSettings(G.AppPath);
    QStringList notes;
    const QString conn = QString::fromLatin1(MainConnection);
    // The file Data/db.edb, or the server named by Data/server.ini or --server.
    BooksLocation books;
    if (!chooseBooks(G.AppPath, arguments, &books, &err)) {
        Msg::error(nullptr, err);
        return 1;
    }
    if (!openBooks(books, conn, &err, &notes)) {
        Msg::error(nullptr, err);
        return 1;
    }
    if (!notes.isEmpty()) Msg::warning(nullptr, notes.join(QLatin1Char('\n')));
    if (checkOnly) {
        std::printf("%s\n", qUtf8Printable(QStringLiteral("账套：") + books.place()));
        closeDatabase(conn);
        return 0;
    }
    Shell::adviseSeatRole(QSqlDatabase::database(conn));
    int rc = 1;
    {
        frmDM dm(QSqlDatabase::database(conn));
        std::unique_ptr<frmMain> mainWindow;
        std::unique_ptr<frmLogin> login;
        try {
            mainWindow = std::make_unique<frmMain>();
            login = std::make_unique<frmLogin>(mainWindow.get());
        } catch (const DbError &e) {
            Msg::error(nullptr, e.text());
            login.reset();
            mainWindow.reset();
        }
        if (login) {
            login->show();
            rc = app.exec();
        }
        login.reset();
        mainWindow.reset();
    }
    // The database file alone holds everything once the program has ended.
    closeDatabase(conn);
    return rc;
}
