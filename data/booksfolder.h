#pragma once
// The folder of the books: Data/ (db.edb, server.ini, the lock of the running
// program, backups' safety copies), Image/, Export/, the background picture
// and the help page all live below it (the global AppPath).
//
//   1. "--books DIR" (or "--books=DIR") on the command line: DIR.
//   2. A folder Data/ beside the program file: the program's own folder. A
//      copy run from a folder of its own keeps its books with it, and so does
//      the build folder (the build makes build/Data).
//   3. Otherwise, the installed program: the user's data folder, given as
//      `userDataFolder` (QStandardPaths::AppDataLocation, ~/.local/share/jxc).
//      Every user of the machine has books of their own.
#include <QString>
#include <QStringList>

// Decides the folder as above from the program's folder, its command line
// (arguments without the program name) and the user's data folder. Sets
// *folder to an absolute path ending with '/'; returns false with the
// reason in Chinese in *error ("--books" without a folder, no user folder).
bool chooseBooksFolder(const QString &programFolder, const QStringList &arguments, const QString &userDataFolder,
                       QString *folder, QString *error);
