#include "tools/DemoDatabase.h"

#include "data/firebird/FirebirdSession.h"
#include "error/DatabaseError.h"
#include "tools/DemoContracts.h"
#include "tools/Schema.h"

#include <QFileInfo>

namespace tavim {

namespace {

// The original failure matters more than one in removing the file it left.
void dropQuietly(FirebirdSession& session) noexcept {
    try {
        session.dropDatabase();
    } catch (const Exception&) {
    }
}

} // namespace

ConnectionOptions embeddedOptions() {
    ConnectionOptions options;
    options.userName = QStringLiteral("SYSDBA");
    options.serverCharSet = QStringLiteral("WIN1252");
    options.sqlDialect = 1;
    return options;
}

void createDemoDatabase(const QString& path, int contracts, quint64 seed, QDate reference) {
    if (contracts < 0)
        throw EDatabaseError(QStringLiteral("Invalid number of contracts: %1").arg(contracts));
    const QFileInfo file(path);
    // CREATE DATABASE refuses an existing file as well; this gives the plain reason.
    if (file.exists() || file.isSymLink())
        throw EDatabaseError(QStringLiteral("%1 already exists; it was not changed").arg(path));
    // A relative name would be looked up as a database alias by the engine.
    const auto session =
        FirebirdSession::createDatabase(file.absoluteFilePath(), embeddedOptions());
    try {
        runIsqlScript(*session, tavimSchemaScript());
        insertContracts(*session, demoContracts(contracts, seed, reference));
    } catch (...) {
        dropQuietly(*session);
        throw;
    }
}

} // namespace tavim
