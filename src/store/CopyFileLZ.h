#pragma once

#include <QString>
#include <stdexcept>

// A file that could not be read, written or replaced; the text names the file and the
// reason, ready to be shown to the operator.
class FileCopyError : public std::runtime_error
{
public:
    explicit FileCopyError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// Copies source over destination byte for byte. The copy is written beside the
// destination under a temporary name and renamed into place only when every byte is
// written and flushed, so an existing destination is either replaced whole or left as it
// was; nothing half-written is ever left under its name. Throws FileCopyError when the
// source cannot be read, the destination cannot be written, or the two are the same file.
void CopyFileLZ(const QString &source, const QString &destination);
