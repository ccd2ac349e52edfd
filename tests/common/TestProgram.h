#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

class Connection;

// A scratch program directory holding a fresh copy of the delivered database
// (DataBase/Custom.mdb), made by the same code as the build-time tool. It becomes the
// program directory for as long as it lives.
class TestProgram
{
public:
    TestProgram();
    ~TestProgram();
    QString dir() const;           // with trailing '/'
    QString databasePath() const;
    std::unique_ptr<Connection> connect() const;
    void writeConfig(const QString &text) const;

private:
    QTemporaryDir m_dir;
};

// The delivered database is made once per test run and copied for each fixture.
QString templateDatabase();

// A helper program built beside the test executables (e.g. the reliability tests'
// writer), by its target name.
QString testHelperProgram(const QString &name);
