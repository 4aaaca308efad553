#pragma once
// The one database connection: the file Data/db.edb below the program folder,
// an SQLite database created with the schema and initial rows when missing.
#include <QSqlDatabase>
#include <QString>

// The password of the original shared database. SQLite files carry no password,
// so it is kept here for reference only and used nowhere.
inline constexpr const char *DatabasePassword = "qzk480";

// Connection name of the program's one connection.
inline constexpr const char *MainConnection = "ADOConnection1";

// AppPath + "Data/db.edb".
QString databaseFile(const QString &appPath);

// Opens (creating folder, file, schema and initial rows when the file does not
// exist yet) the database at `file` under the connection name `name`. An existing
// file is opened as it is. On failure returns false with the engine's text in *error.
bool openDatabase(const QString &file, const QString &name, QString *error);

// Creates every table, index and initial row in an empty database.
// Throws DbError.
void createSchema(QSqlDatabase db);
