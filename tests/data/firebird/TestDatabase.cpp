#include "tests/data/firebird/TestDatabase.h"

#include "data/firebird/FirebirdDriver.h"
#include "error/DatabaseError.h"
#include "tools/DemoDatabase.h"
#include "tools/Schema.h"

#include <QDate>
#include <QDir>
#include <QFile>

namespace tavim::test {

namespace {

constexpr char kDefaultPassword[] = "tqzbrwomp";

// The server may run as another user than the tests.
void shareWithServer(const QString& folder, const QString& file) {
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                     QFile::ReadOther | QFile::WriteOther;
    QFile::setPermissions(folder, all | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    QFile::setPermissions(file, all);
}

ConnectionOptions embeddedWithDialect(int dialect) {
    ConnectionOptions options = embeddedOptions();
    options.sqlDialect = dialect;
    return options;
}

} // namespace

bool testServerConfigured() {
    return !testServer().isEmpty();
}

QString testServer() {
    return qEnvironmentVariable("TAVIM_TEST_SERVER").trimmed();
}

QString testPassword() {
    const QString password = qEnvironmentVariable("TAVIM_TEST_PASSWORD");
    return password.isEmpty() ? QString::fromLatin1(kDefaultPassword) : password;
}

ConnectionOptions dataModuleOptions(const QString& database) {
    ConnectionOptions options;
    options.database = database;
    options.userName = QStringLiteral("SYSDBA");
    options.password = testPassword();
    options.roleName = QStringLiteral("RoleName");
    options.sqlDialect = 1;
    options.blobSize = -1;
    options.waitOnLocks = true;
    options.commitRetain = false;
    options.trimChar = false;
    options.isolation = TransIsolation::ReadCommitted;
    return options;
}

TestDatabase::TestDatabase(const std::vector<ContractRow>& contracts, const QString& script)
    : TestDatabase(true, contracts, script, 1) {}

TestDatabase TestDatabase::withoutSchema(const QString& script, int dialect) {
    return TestDatabase(false, {}, script, dialect);
}

TestDatabase::TestDatabase(bool schema, const std::vector<ContractRow>& contracts,
                           const QString& script, int dialect)
    : m_folder(std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                               QStringLiteral("/tavim-firebird-XXXXXX"))),
      m_dialect(dialect) {
    if (!m_folder->isValid())
        throw EDatabaseError(QStringLiteral("Cannot create a temporary folder"));
    m_path = m_folder->filePath(QStringLiteral("test.fdb"));
    {
        const auto session =
            FirebirdSession::createDatabase(m_path, embeddedWithDialect(m_dialect));
        if (schema)
            runIsqlScript(*session, tavimSchemaScript());
        if (!contracts.empty())
            insertContracts(*session, contracts);
        if (!script.isEmpty())
            runIsqlScript(*session, script);
    }
    shareWithServer(m_folder->path(), m_path);
}

QString TestDatabase::database(Engine engine) const {
    if (engine == Engine::Embedded)
        return m_path;
    if (!testServerConfigured())
        throw EDatabaseError(QStringLiteral("TAVIM_TEST_SERVER is not set"));
    return testServer() + QLatin1Char(':') + m_path;
}

ConnectionOptions TestDatabase::options(Engine engine) const {
    ConnectionOptions options = dataModuleOptions(database(engine));
    options.sqlDialect = m_dialect;
    return options;
}

void TestDatabase::runScript(const QString& script) const {
    FirebirdDriver driver;
    ConnectionOptions options = embeddedWithDialect(m_dialect);
    options.database = m_path;
    runIsqlScript(*driver.connectSession(options), script);
}

double tdate(int year, int month, int day) {
    return double(QDate(1899, 12, 30).daysTo(QDate(year, month, day)));
}

} // namespace tavim::test
