#pragma once

#include "report/ReportModel.h"

#include <QByteArray>
#include <QString>
#include <optional>

// One report object with the layout loaded from its template file under Reports/.
// A missing file leaves the layout empty until it is designed.
class ReportTemplate
{
public:
    ReportTemplate(QString name, QString relativeFile, QString contactVariable)
        : m_name(std::move(name)), m_file(std::move(relativeFile)), m_contactVariable(std::move(contactVariable)) {}

    QString name() const { return m_name; }
    QString relativeFile() const { return m_file; }
    // The variable that the report's callback fills with the row's contact.
    QString contactVariable() const { return m_contactVariable; }
    QByteArray layout() const { return m_layout; }
    bool hasLayout() const { return !m_layout.isEmpty(); }
    // Loads from programDir + relativeFile; returns false (and keeps an empty layout) when missing.
    bool load(const QString &programDir);
    void setLayout(const QByteArray &layout) { m_layout = layout; }

    // The layout read into its model. A missing or damaged template gives nullopt and a
    // message naming the file and what is wrong with it.
    std::optional<Report::ReportDocument> document(QString *error) const;
    // A new, empty layout for a report that has none yet (the designer starts from it).
    Report::ReportDocument emptyDocument() const;
    // Writes the layout to programDir + relativeFile through a temporary file that replaces
    // the template only when it is complete, and keeps it as the loaded layout.
    bool save(const QString &programDir, const Report::ReportDocument &document, QString *error);

private:
    QString m_name;
    QString m_file;
    QString m_contactVariable;
    QByteArray m_layout;
};
