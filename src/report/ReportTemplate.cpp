#include "ReportTemplate.h"

#include <QFile>

bool ReportTemplate::load(const QString &programDir)
{
    m_layout.clear();
    QFile file(programDir + m_file);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_layout = file.readAll();
    return true;
}
