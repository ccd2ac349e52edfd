#pragma once

#include <QString>

// A file the user named for the program to write (an exported workbook, a PDF, a picture).
// It is never the database in use nor any other database of this program, an existing file
// is replaced only when the caller was asked to, and the new content goes to a temporary
// file beside it that is renamed into place only when complete: a failure half-way leaves
// the old file whole.
class OutputFile
{
public:
    enum class Refusal { None, DatabaseInUse, ProgramDatabase, Exists };

    // Why `path` may not be written. `database` is the database being read (may be empty
    // or a server location); files are compared as files, not as texts. Exists is only
    // reported when `replaceExisting` is false.
    static Refusal refusal(const QString &path, const QString &database, bool replaceExisting);
    // The message for DatabaseInUse and ProgramDatabase (Exists depends on how the
    // caller lets one replace a file).
    static QString refusalText(Refusal refusal, const QString &path);

    explicit OutputFile(QString path);
    ~OutputFile(); // removes the temporary file unless committed
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    QString temporaryPath() const { return m_temporary; }
    // Moves the temporary file over the named one (atomically, on the same file system).
    bool commit(QString *error = nullptr);

private:
    QString m_path;
    QString m_temporary;
    bool m_committed = false;
};
