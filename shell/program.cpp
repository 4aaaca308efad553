// Program entry: one copy at a time, the database, the main window (hidden) and
// the login window; the login shows the main window.
#include "login.h"
#include "main.h"
#include "msg.h"
#include "screens.h"
#include "startup.h"

#include "data/connection.h"
#include "data/dberror.h"
#include "data/dm.h"
#include "data/singleinstance.h"

#include <QApplication>
#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The standard buttons read 确定, 是, 否 and 取消 from the first box on.
    Shell::installQtTranslations();

    // Before the application gets its title: the lock records the process name,
    // and a running copy is recognised by that name matching its program file.
    SingleInstance lock;
    if (!Shell::claimSingleInstance(lock)) return 0;

    QApplication::setApplicationName(Msg::appTitle());
    // Ending is always explicit: closing the login window or confirming the exit.
    QApplication::setQuitOnLastWindowClosed(false);
    Screens::registerAll();

    Shell::warnExposedSettings(Shell::programFolder());
    QString err;
    QStringList notes;
    const QString conn = QString::fromLatin1(MainConnection);
    // The file Data/db.edb, or the server named by Data/server.ini or --server.
    BooksLocation books;
    if (!chooseBooks(Shell::programFolder(), QApplication::arguments().mid(1), &books, &err)) {
        Msg::error(nullptr, err);
        return 1;
    }
    if (!openBooks(books, conn, &err, &notes)) {
        Msg::error(nullptr, err);
        return 1;
    }
    if (!notes.isEmpty()) Msg::warning(nullptr, notes.join(QLatin1Char('\n')));
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
