#include "TestServer.h"
#include "store/Connection.h"
#include "store/ServerDatabase.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <atomic>

namespace {

QString adminUri()
{
    return qEnvironmentVariable("KEHU_TEST_PG_URI");
}

} // namespace

bool TestServerDatabase::available()
{
    return !adminUri().isEmpty();
}

QString testServerUri(const QString &database)
{
    static const QRegularExpression path(QStringLiteral("^(postgres(?:ql)?://[^/?]*)(/[^?]*)?(.*)$"));
    QString uri = adminUri();
    return uri.replace(path, QStringLiteral("\\1/") + database + QStringLiteral("\\3"));
}

TestServerDatabase::TestServerDatabase(bool initialise)
{
    static std::atomic<int> counter{0};
    m_name = QStringLiteral("kehu_t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    m_uri = testServerUri(m_name);
    Connection::create(adminUri())->exec(QStringLiteral("CREATE DATABASE %1").arg(m_name));
    if (initialise)
        ServerDatabase::initialise(m_uri);
}

TestServerDatabase::~TestServerDatabase()
{
    try {
        Connection::create(adminUri())->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    } catch (...) {
    }
}
