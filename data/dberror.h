#pragma once
// An error of the database engine (or of a value the engine refused). Thrown by
// the data module; the screens show its text in the standard error box.
//
// Engine errors are told in Chinese by what is wrong and where (the file is
// busy, read-only, full, not a database …), with the engine's own words kept
// as detail below.
#include <QString>
#include <stdexcept>

class QSqlError;

class DbError : public std::runtime_error {
public:
    enum class Kind { Other, Busy, ReadOnly, DiskFull, NotADatabase, Corrupt, CannotOpen, Io };

    explicit DbError(const QString &text, Kind kind = Kind::Other)
        : std::runtime_error(text.toStdString()), m_text(text), m_kind(kind) {}

    // An error reported by the engine on the database in `file`.
    static DbError fromSql(const QSqlError &e, const QString &file);
    // The kind of an engine error.
    static Kind kindOf(const QSqlError &e);
    // What the user is told for an error of that kind on that file (no detail).
    static QString describe(Kind kind, const QString &file);

    QString text() const { return m_text; }
    Kind kind() const { return m_kind; }

private:
    QString m_text;
    Kind m_kind;
};
