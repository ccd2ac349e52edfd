#include "ReportTemplate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool ReportTemplate::load(const QString &programDir)
{
    m_layout.clear();
    QFile file(programDir + m_file);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_layout = file.readAll();
    return true;
}

std::optional<Report::ReportDocument> ReportTemplate::document(QString *error) const
{
    if (m_layout.isEmpty()) {
        if (error)
            *error = QStringLiteral("报表模板“%1”不存在或是空的，请先设计报表格式。").arg(m_file);
        return std::nullopt;
    }
    QString reason;
    auto document = Report::read(m_layout, &reason);
    if (!document) {
        if (error)
            *error = QStringLiteral("报表模板“%1”已损坏，无法使用：%2。").arg(m_file, reason);
        return std::nullopt;
    }
    if (document->name.isEmpty())
        document->name = m_name;
    return document;
}

Report::ReportDocument ReportTemplate::emptyDocument() const
{
    Report::ReportDocument document;
    document.name = m_name;
    Report::Band data;
    data.kind = Report::BandKind::MasterData;
    data.height = 20;
    document.bands.append(data);
    return document;
}

bool ReportTemplate::save(const QString &programDir, const Report::ReportDocument &document, QString *error)
{
    const QString path = programDir + m_file;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray text = Report::write(document);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("报表模板“%1”保存失败：%2").arg(path, file.errorString());
        return false;
    }
    m_layout = text;
    return true;
}
