#pragma once

#include <QString>

// A scratch database on the throwaway PostgreSQL server the test run started (its URI in
// KEHU_TEST_PG_URI, see scripts/pg-test-server.sh), dropped again when the fixture ends.
// Without a server, available() is false and tests skip with SKIP_WITHOUT_SERVER().
class TestServerDatabase
{
public:
    static bool available();
    // A new, empty database; prepared with the program's schema and initial rows when
    // initialise is true.
    explicit TestServerDatabase(bool initialise = true);
    ~TestServerDatabase();
    TestServerDatabase(const TestServerDatabase &) = delete;
    TestServerDatabase &operator=(const TestServerDatabase &) = delete;
    QString uri() const { return m_uri; }

private:
    QString m_name;
    QString m_uri;
};

// The URI of another database on the same server.
QString testServerUri(const QString &database);

#define SKIP_WITHOUT_SERVER()                                                                               \
    do {                                                                                                   \
        if (!TestServerDatabase::available())                                                              \
            QSKIP("no PostgreSQL test server (KEHU_TEST_PG_URI unset): the server case is skipped");       \
    } while (false)
