#pragma once
// An error of the database engine (or of a value the engine refused). Thrown by
// the data module; the screens show its text in the standard error box.
#include <QString>
#include <stdexcept>

class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }
private:
    QString m_text;
};
