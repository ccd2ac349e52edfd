#pragma once

#include <QString>
#include <stdexcept>

// A statement or connection failure, carrying the engine's own text so that the
// default error report can show it to the operator unchanged. Its kind tells the
// failures that the program answers differently apart: a database busy in another
// program (try again later), a file that cannot be opened, and a file that opens but
// is not this program's database (never to be used, nor turned into one).
class DbError : public std::runtime_error
{
public:
    // StaleRow: a save refused because another workstation changed the row meanwhile.
    enum class Kind { Statement, Busy, CannotOpen, NotOurDatabase, StaleRow };

    explicit DbError(const QString &text, Kind kind = Kind::Statement)
        : std::runtime_error(text.toStdString()), m_text(text), m_kind(kind) {}
    QString text() const { return m_text; }
    Kind kind() const { return m_kind; }

private:
    QString m_text;
    Kind m_kind;
};
