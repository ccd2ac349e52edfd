#include "TestProgram.h"
#include "store/Connection.h"
#include "store/ProgramDir.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

QString templateDatabase()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.path() + QStringLiteral("/Custom.mdb");
        Schema::createDatabase(file);
        return file;
    }();
    return path;
}

TestProgram::TestProgram()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("DataBase"));
    QFile::copy(templateDatabase(), databasePath());
    QFile(databasePath()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ProgramDir::setPath(m_dir.path());
}

TestProgram::~TestProgram()
{
    ProgramDir::setPath(QString());
}

QString TestProgram::dir() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString TestProgram::databasePath() const
{
    return dir() + QStringLiteral("DataBase/Custom.mdb");
}

std::unique_ptr<Connection> TestProgram::connect() const
{
    return Connection::open(databasePath());
}

void TestProgram::writeConfig(const QString &text) const
{
    QFile file(dir() + QStringLiteral("Config.ini"));
    file.open(QIODevice::WriteOnly);
    file.write(text.toUtf8());
}

QString testHelperProgram(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}
