#pragma once
// The private test database that scripts/test starts (PROLIS_TEST_DB_*).
#include "db/ConnectionSettings.h"

#include <QtTest>

namespace prolis::test {

inline bool haveTestDb() {
    return qEnvironmentVariableIsSet("PROLIS_TEST_DB_PORT");
}

// Connection settings of the test database; `database` defaults to the fixture.
inline ConnectionSettings testDbSettings(const QString& database = {}) {
    ConnectionSettings s;
    s.HostName = qEnvironmentVariable("PROLIS_TEST_DB_HOST", QStringLiteral("127.0.0.1"));
    s.Port = qEnvironmentVariableIntValue("PROLIS_TEST_DB_PORT");
    s.Database = database.isEmpty() ? qEnvironmentVariable("PROLIS_TEST_DB_NAME") : database;
    s.User = qEnvironmentVariable("PROLIS_TEST_DB_USER");
    s.Password = qEnvironmentVariable("PROLIS_TEST_DB_PASSWORD");
    return s;
}

// A settings file (without the password) for the test database.
inline QByteArray testDbIni(const QString& database = {}) {
    const ConnectionSettings s = testDbSettings(database);
    return QStringLiteral("[Database]\r\nHostName=%1\r\nPort=%2\r\nDatabase=%3\r\nUser=%4\r\n")
        .arg(s.HostName)
        .arg(s.Port)
        .arg(s.Database, s.User)
        .toUtf8();
}

// Makes the process-wide settings point at the test database.
inline void useTestDb(const QString& database = {}) {
    connectionSettings() = testDbSettings(database);
}

} // namespace prolis::test

// Without the test database a database case fails, unless the run asks to
// skip them (PROLIS_TEST_SKIP_DB=1): a suite must not pass on skips alone.
#define REQUIRE_TEST_DB()                                                                                    \
    do {                                                                                                     \
        if (!prolis::test::haveTestDb()) {                                                                   \
            if (qEnvironmentVariableIntValue("PROLIS_TEST_SKIP_DB") == 1)                                    \
                QSKIP("no test database (PROLIS_TEST_SKIP_DB=1)");                                           \
            QFAIL("no test database: run scripts/test, or set PROLIS_TEST_SKIP_DB=1 to skip these cases");   \
        }                                                                                                    \
    } while (0)
