#pragma once

#include "data/DbDriver.h"
#include "data/firebird/FbClient.h"

#include <memory>

namespace tavim {

class FbConnection;

// One attachment to a database. Besides preparing statements it runs DDL and
// DML at once, and creates and drops database files, for the tools.
class FirebirdSession : public DbSession {
public:
    FirebirdSession(const FbClient& client, const ConnectionOptions& options);
    ~FirebirdSession() override;

    std::unique_ptr<DbStatement> prepare(const QString& sql) override;
    void cancel(DbCancel how) noexcept override;
    // Runs sql in a transaction of its own, committed when it succeeds.
    void executeImmediate(const QString& sql);
    // Drops the database file; the session is closed afterwards.
    void dropDatabase();

    // Creates the database file at path (never over an existing file) with the
    // options' user and SQL dialect and default character set WIN1252, and
    // attaches to it with the options.
    static std::unique_ptr<FirebirdSession>
    createDatabase(const QString& path, const ConnectionOptions& options,
                   const QString& vendorLib = QString::fromLatin1(kDefaultClientLibrary));

private:
    std::shared_ptr<FbConnection> m_connection;
};

} // namespace tavim
