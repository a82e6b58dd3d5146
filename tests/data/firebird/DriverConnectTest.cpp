// Connecting: refusals with the server's or the client's own text, and new databases.
#include "tests/data/firebird/DriverFixture.h"
#include "tests/data/firebird/SilentPort.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavim::test {
namespace {

// A loopback port nobody listens on: bound once by us, then released.
int closedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

QString connectError(const ConnectionOptions& options,
                     const QString& vendorLib = "libfbclient.so.2") {
    return errorOf([&] { FirebirdDriver(vendorLib).connect(options); });
}

TEST(DriverConnect, ClientLibraryProblemsNameTheLibraryOrEntry) {
    const ConnectionOptions options = dataModuleOptions("/tmp/none.fdb");
    const std::pair<const char*, const char*> cases[] = {
        {"libdoesnotexist.so.2", "Unable to Load libdoesnotexist.so.2"},
        {"libc.so.6", "Unable to Find Procedure isc_attach_database"},
    };
    for (const auto& [library, message] : cases)
        EXPECT_EQ(connectError(options, library), message);
}

TEST(DriverConnect, AnUnreachableServerGivesTheClientsText) {
    const QString database = QStringLiteral("localhost/%1:/tmp/none.fdb").arg(closedPort());
    EXPECT_EQ(connectError(dataModuleOptions(database)),
              "Unable to complete network request to host \"localhost\".\n"
              "Failed to establish a connection.");
}

// Without the connect timeout the client would wait on the silent port for as
// long as the platform lets it; each attempt starts afresh.
TEST(DriverConnect, AServerThatDoesNotAnswerTimesOutAndTheNextAttemptTriesAgain) {
    const SilentPort silent;
    ConnectionOptions options =
        dataModuleOptions(QStringLiteral("localhost/%1:/tmp/none.fdb").arg(silent.port()));
    options.connectTimeout = 1;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        QElapsedTimer waited;
        waited.start();
        const QString message = connectError(options);
        EXPECT_EQ(message, "connection rejected by remote interface") << attempt;
        // Generous: it only tells a bounded wait from an endless one.
        EXPECT_LT(waited.elapsed(), 10'000) << attempt;
    }
}

TEST(DriverConnect, AnUnknownCharsetIsRefusedBeforeConnecting) {
    ConnectionOptions options = dataModuleOptions("/tmp/none.fdb");
    options.serverCharSet = "KLINGON";
    EXPECT_EQ(connectError(options), "Unsupported ServerCharSet KLINGON");
}

TEST(DriverConnect, ARefusedLoginGivesTheServersText) {
    TAVIM_REQUIRE_TEST_SERVER();
    const TestDatabase db;
    ConnectionOptions options = db.options(Engine::Server);
    options.password = "wrong";
    EXPECT_EQ(connectError(options), "Your user name and password are not defined. Ask your "
                                     "database administrator to set up a Firebird login.");
}

TEST(DriverCreateDatabase, GivesTheDialectAndWin1252) {
    for (const int dialect : {1, 3}) {
        QTemporaryDir folder;
        ConnectionOptions options = dataModuleOptions({});
        options.sqlDialect = dialect;
        const auto session = FirebirdSession::createDatabase(folder.filePath("new.fdb"), options);
        const auto rows = query(*session, "SELECT MON$SQL_DIALECT, RDB$CHARACTER_SET_NAME "
                                          "FROM MON$DATABASE CROSS JOIN RDB$DATABASE");
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0], Value(qint64(dialect)));
        EXPECT_EQ(std::get<QString>(rows[0][1]).trimmed(), "WIN1252");
    }
}

TEST(DriverCreateDatabase, NeverOverwritesAFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("kept.fdb");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precious");
    }
    EXPECT_NE(errorOf([&] { FirebirdSession::createDatabase(path, dataModuleOptions({})); }), "");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "precious");
}

TEST(DriverCreateDatabase, DropRemovesTheFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("dropped.fdb");
    FirebirdSession::createDatabase(path, dataModuleOptions({}))->dropDatabase();
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
} // namespace tavim::test
