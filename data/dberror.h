#pragma once
// An error of the database engine (or of a value the engine refused). Thrown by
// the data module; the screens show its text in the standard error box.
//
// Engine errors are told in Chinese by what is wrong and where (the file is
// busy, read-only, full, not a database …), with the engine's own words kept
// as detail below.
#include <QString>
#include <stdexcept>

class QSqlDatabase;
class QSqlError;

class DbError : public std::runtime_error {
public:
    // Duplicate: a value that must be unique (a document number) is taken.
    enum class Kind { Other, Busy, ReadOnly, DiskFull, NotADatabase, Corrupt, CannotOpen, Io, Duplicate };

    explicit DbError(const QString &text, Kind kind = Kind::Other)
        : std::runtime_error(text.toStdString()), m_text(text), m_kind(kind) {}

    // An error reported by the engine on the database in `file` (SQLite).
    static DbError fromSql(const QSqlError &e, const QString &file);
    // An error reported by the engine of a connection, file or server.
    static DbError fromSql(const QSqlError &e, const QSqlDatabase &db);
    // The kind of an SQLite error.
    static Kind kindOf(const QSqlError &e);
    // The kind of a PostgreSQL error (by its SQLSTATE).
    static Kind serverKindOf(const QSqlError &e);
    // What the user is told for an error of that kind on that file (no detail).
    static QString describe(Kind kind, const QString &file);
    // The same for the books on a server (`where` names server and database).
    static QString describeServer(Kind kind, const QString &where);
    // Where the books of a server connection are, as the messages name them:
    // "服务器 host:port 上的账套 database", or the socket folder on this machine.
    static QString serverPlace(const QSqlDatabase &db);
    static QString serverPlace(const QString &host, int port, const QString &database);

    QString text() const { return m_text; }
    Kind kind() const { return m_kind; }

private:
    QString m_text;
    Kind m_kind;
};
