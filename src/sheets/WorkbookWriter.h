#pragma once

#include "store/Dataset.h"

#include <QString>
#include <QVariant>
#include <memory>

// Writes one worksheet of an .xlsx workbook row by row through libxlsxwriter in its
// constant-memory mode, so a workbook of any size takes the same memory. Numbers are
// written as numbers and dates as dates (shown yyyy-mm-dd, with the time when there is
// one); a number in a text column stays the text a grid shows (a code, a phone number),
// as does everything else. Rows are written in ascending order, each row's cells left to
// right, as the constant-memory mode requires.
class WorkbookWriter
{
public:
    // Starts the workbook at path (replacing a file there when close() succeeds). Throws
    // std::runtime_error when the file cannot be started.
    explicit WorkbookWriter(const QString &path);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter &) = delete;
    WorkbookWriter &operator=(const WorkbookWriter &) = delete;

    // Row 0 of the sheet: a bold title and the column's width in pixels as a grid shows it.
    void title(int column, const QString &text, int widthPixels);
    // A cell of a field of that kind; null values leave the cell empty.
    void cell(int row, int column, FieldKind kind, const QVariant &value);
    void text(int row, int column, const QString &value);

    // Writes the file. Returns false and removes it when writing fails; error() says why.
    bool close();
    QString error() const { return m_error; }
    // Stops without a file: whatever was written is removed.
    void discard();

private:
    struct Book;
    std::unique_ptr<Book> m_book;
    QString m_path, m_error;
};
