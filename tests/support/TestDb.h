#pragma once
// The private test database that scripts/test starts (PROLIS_TEST_DB_*).
#include "app/ConnectionSettings.h"

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

// Makes the process-wide settings point at the test database.
inline void useTestDb(const QString& database = {}) {
    connectionSettings() = testDbSettings(database);
}

} // namespace prolis::test

#define REQUIRE_TEST_DB()                                                                                    \
    do {                                                                                                     \
        if (!prolis::test::haveTestDb()) QSKIP("no test database: run scripts/test");                        \
    } while (0)
