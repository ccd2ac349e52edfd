#pragma once

#include <QByteArray>
#include <QString>

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

private:
    QString m_name;
    QString m_file;
    QString m_contactVariable;
    QByteArray m_layout;
};
