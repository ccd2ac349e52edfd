#pragma once

#include <QString>
#include <stdexcept>

// A statement or connection failure, carrying the engine's own text so that the
// default error report can show it to the operator unchanged.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &text)
        : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};
