#pragma once

#include "data/DbDriver.h"
#include "tools/Contracts.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace tavim::test {

// The server the real-database tests use: TAVIM_TEST_SERVER ("localhost/PORT")
// and TAVIM_TEST_PASSWORD, set by scripts/test. Without it the server cases skip.
bool testServerConfigured();
QString testServer();
QString testPassword();

#define TAVIM_REQUIRE_TEST_SERVER()                                                                \
    do {                                                                                           \
        if (!::tavim::test::testServerConfigured())                                                \
            GTEST_SKIP() << "TAVIM_TEST_SERVER is not set";                                        \
    } while (false)

enum class Engine { Embedded, Server };

// Every connection property as the data module declares it (SYSDBA, role,
// no character set, dialect 1, read committed), for database.
ConnectionOptions dataModuleOptions(const QString& database);

// A database file in a temporary folder, built through the embedded engine and
// detached again, so that the test server can open it; the folder is removed
// with the object.
class TestDatabase {
public:
    // The schema of tools/tavim.sql, the contracts, then script: an isql script
    // such as "CREATE OR ALTER PROCEDURE TAVIM ..." for a procedure of another shape.
    explicit TestDatabase(const std::vector<ContractRow>& contracts = {},
                          const QString& script = {});
    // Only script, without the schema, in a database of the given dialect.
    static TestDatabase withoutSchema(const QString& script, int dialect = 1);

    TestDatabase(TestDatabase&&) = default;
    TestDatabase& operator=(TestDatabase&&) = default;

    const QString& path() const { return m_path; }
    // The bare path for the embedded engine, or "$TAVIM_TEST_SERVER:path".
    QString database(Engine engine) const;
    // dataModuleOptions() of database(engine), with the test server's password.
    ConnectionOptions options(Engine engine) const;

    // Runs more isql script through the embedded engine; no server attachment
    // may be open at the time.
    void runScript(const QString& script) const;

private:
    TestDatabase(bool schema, const std::vector<ContractRow>& contracts, const QString& script,
                 int dialect);

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_path;
    int m_dialect = 1;
};

// A TDateTime for a calendar date.
double tdate(int year, int month, int day);

} // namespace tavim::test
