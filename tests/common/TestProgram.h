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

#include <QObject>
#include <cstdlib>

// A window's widget by its design name (objectName). Windows keep their widgets private;
// tests reach them as a user's tools would, by name. A missing widget ends the test run
// with its name, rather than crashing on a null pointer later.
template <class T, class Parent>
T *child(const Parent &parent, const char *name)
{
    const QObject *owner = &*parent;
    T *found = owner->template findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}
// A helper program built beside the test executables (e.g. the reliability tests'
// writer), by its target name.
QString testHelperProgram(const QString &name);
