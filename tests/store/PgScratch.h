#pragma once

#include "store/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUuid>

// A fresh database on the test server named by KEHU_TEST_PG_URI (for example one from
// scripts/pg-test-server.sh), holding the server form of the schema and its initial rows,
// loaded through psql as the server set-up loads them: in one transaction, stopping at
// the first error. It is dropped again when the object goes. Statements reach it through
// psql, until the program talks to the server itself.
class PgScratch
{
public:
    // Why server tests cannot run here, or an empty string when they can.
    static QString skipReason()
    {
        if (qEnvironmentVariableIsEmpty("KEHU_TEST_PG_URI"))
            return QStringLiteral("KEHU_TEST_PG_URI is not set: no PostgreSQL server to test the server form on "
                                  "(start one with scripts/pg-test-server.sh and set the variable to its URI)");
        if (QStandardPaths::findExecutable(QStringLiteral("psql")).isEmpty())
            return QStringLiteral("psql is not installed: the server form cannot be loaded");
        return {};
    }

    struct Result
    {
        int exitCode = -1;
        QString output; // standard output
        QString errors; // standard error
    };

    PgScratch()
        : m_base(qEnvironmentVariable("KEHU_TEST_PG_URI")),
          m_name(QStringLiteral("kehu_test_") + QUuid::createUuid().toString(QUuid::Id128).left(16))
    {
        const Result created = psql(m_base, {QStringLiteral("-c"), QStringLiteral("CREATE DATABASE %1").arg(m_name)});
        if (created.exitCode != 0) {
            m_error = QStringLiteral("CREATE DATABASE failed: ") + created.errors;
            return;
        }
        m_created = true;
        const Result loaded = runScript(Schema::schemaSql(SqlEngine::Postgres) + QLatin1Char('\n')
                                        + Schema::initialRowsSql(SqlEngine::Postgres));
        if (loaded.exitCode != 0)
            m_error = QStringLiteral("the server schema did not load: ") + loaded.errors;
    }

    ~PgScratch()
    {
        if (m_created)
            psql(m_base, {QStringLiteral("-c"), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name)});
    }

    PgScratch(const PgScratch &) = delete;
    PgScratch &operator=(const PgScratch &) = delete;

    // Empty when the database is there with its schema and initial rows.
    QString error() const { return m_error; }

    // The URI of this database: the base URI with its database name replaced.
    QString uri() const
    {
        static const QRegularExpression path(QStringLiteral("^(postgres(?:ql)?://[^/?]*)(/[^?]*)?"));
        QString result = m_base;
        const QRegularExpressionMatch m = path.match(result);
        if (m.hasMatch())
            result.replace(0, m.capturedLength(0), m.captured(1) + QLatin1Char('/') + m_name);
        return result;
    }

    // A script in one transaction, stopping at the first error.
    Result runScript(const QString &sql) const
    {
        QTemporaryFile file;
        file.open();
        file.write(sql.toUtf8());
        file.flush();
        return psql(uri(), {QStringLiteral("-1"), QStringLiteral("-f"), file.fileName()});
    }

    // Rows of a query, unaligned: one line a row, fields apart by '|', NULL as "<null>".
    Result query(const QString &sql) const
    {
        return psql(uri(), {QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-P"), QStringLiteral("null=<null>"),
                            QStringLiteral("-c"), sql});
    }

private:
    static Result psql(const QString &uri, const QStringList &arguments)
    {
        QProcess process;
        QStringList all{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                        QStringLiteral("-d"), uri};
        all += arguments;
        process.start(QStringLiteral("psql"), all);
        process.waitForFinished(120000);
        Result result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.output = QString::fromUtf8(process.readAllStandardOutput());
        result.errors = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QString m_base;
    QString m_name;
    QString m_error;
    bool m_created = false;
};
