// The demo database and its tool, through the embedded engine.
#include "tools/DemoDatabase.h"
#include "tests/data/firebird/DriverFixture.h"
#include "tools/DemoContracts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace tavim::test {
namespace {

const QDate kReference(2026, 12, 1);

std::optional<QString> text(const Value& v) {
    return isNull(v) ? std::nullopt : std::optional(std::get<QString>(v));
}
std::optional<double> number(const Value& v) {
    return isNull(v) ? std::nullopt : std::optional(std::get<double>(v));
}
std::optional<QDate> date(const Value& v) {
    if (isNull(v))
        return std::nullopt;
    return QDate(1899, 12, 30).addDays(qint64(std::get<double>(v)));
}

std::vector<ContractRow> storedContracts(const QString& path) {
    const auto session = FirebirdDriver().connectSession(dataModuleOptions(path));
    std::vector<ContractRow> rows;
    for (const RowValues& v : query(*session, "SELECT * FROM CONTRATOS ORDER BY ID")) {
        rows.push_back({qint32(std::get<qint64>(v[0])), text(v[1]), text(v[2]), text(v[3]),
                        number(v[4]), number(v[5]), number(v[6]), text(v[7]), text(v[8]),
                        *date(v[9]), date(v[10])});
    }
    return rows;
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Filled without forced writes for speed, but handed over with them: without,
// a crash of the machine may leave the database corrupt.
TEST(DemoDatabase, HoldsExactlyTheDemoContracts) {
    QTemporaryDir folder;
    const QString path = folder.filePath("demo.fdb");
    createDemoDatabase(path, 240, 42, kReference);
    EXPECT_EQ(storedContracts(path), demoContracts(240, 42, kReference));
    const auto session = FirebirdDriver().connectSession(dataModuleOptions(path));
    const auto forced = query(*session, "SELECT MON$FORCED_WRITES FROM MON$DATABASE");
    ASSERT_EQ(forced.size(), 1u);
    EXPECT_EQ(forced[0][0], Value(qint64(1)));
}

TEST(DemoDatabase, RefusesAnExistingPathAndLeavesItAlone) {
    QTemporaryDir folder;
    const QString path = folder.filePath("existing.fdb");
    writeFile(path, "precious");
    EXPECT_EQ(errorOf([&] { createDemoDatabase(path, 10, 1, kReference); }),
              path + " already exists; it was not changed");
    EXPECT_EQ(contentsOf(path), "precious");
}

struct ToolRun {
    int exitCode;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(TAVIM_DEMO_DB_TOOL), args);
    process.waitForFinished(120'000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

const QString kUsageLine =
    QStringLiteral("Usage: tavim-demo-db PATH [--contracts N] [--seed S] [--month YYYY-MM]\n"
                   "       tavim-demo-db --help | --version\n");

TEST(DemoDatabaseTool, CreatesTheDatabaseAndSaysSo) {
    for (const int count : {25, 0}) {
        QTemporaryDir folder;
        const QString path = folder.filePath("tool.fdb");
        const ToolRun run = runTool(
            {path, "--contracts", QString::number(count), "--seed=9", "--month", "2026-12"});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, QStringLiteral("Created %1 with %2 contracts\n").arg(path).arg(count));
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(storedContracts(path), demoContracts(count, 9, kReference));
    }
}

TEST(DemoDatabaseTool, RefusesAnExistingFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("existing.fdb");
    writeFile(path, "precious");
    const ToolRun run = runTool({path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tavim-demo-db: " + path + " already exists; it was not changed\n");
    EXPECT_EQ(contentsOf(path), "precious");
}

// A stopped run leaves nothing: no half-built database at the path, where
// scripts/run would take it for a finished one, and nothing aside.
TEST(DemoDatabaseTool, AStoppedRunLeavesNothing) {
    QTemporaryDir folder;
    QProcess process;
    process.start(QStringLiteral(TAVIM_DEMO_DB_TOOL),
                  {folder.filePath("big.fdb"), "--contracts", "1000000"});
    const auto entries = [&] {
        return QDir(folder.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    for (int tick = 0; tick < 10'000 && entries().isEmpty(); ++tick)
        QThread::msleep(1);
    ASSERT_FALSE(entries().contains("big.fdb"));
    QThread::msleep(200);
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(10'000));
    EXPECT_EQ(process.exitCode(), 143);
    EXPECT_EQ(entries(), QStringList());
}

TEST(DemoDatabaseTool, ReportsAnEngineFailure) {
    const ToolRun run = runTool({"/nonexistent-folder/x.fdb"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("tavim-demo-db: I/O error during \"open O_CREAT\" operation"))
        << run.err.toStdString();
}

TEST(DemoDatabaseTool, UsageErrorsExitWithTwo) {
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{}, "PATH is missing"},
        {{"a.fdb", "b.fdb"}, "more than one PATH"},
        {{"a.fdb", "--contracts"}, "--contracts needs a value"},
        {{"a.fdb", "--contracts", "-1"}, "invalid --contracts value '-1'"},
        {{"a.fdb", "--contracts", "2000001"}, "invalid --contracts value '2000001'"},
        {{"a.fdb", "--contracts=12x"}, "invalid --contracts value '12x'"},
        {{"a.fdb", "--seed", "+5"}, "invalid --seed value '+5'"},
        {{"a.fdb", "--month", "2026-13"}, "invalid --month value '2026-13'"},
        {{"a.fdb", "--force"}, "unknown option --force"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.message;
        EXPECT_EQ(run.err, QStringLiteral("tavim-demo-db: %1\n").arg(c.message) + kUsageLine);
        EXPECT_FALSE(QFile::exists("a.fdb"));
    }
}

TEST(DemoDatabaseTool, HelpPrintsTheUsage) {
    const ToolRun run = runTool({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.startsWith(kUsageLine));
    EXPECT_TRUE(run.out.contains("same seed and month of reference give the same"));
}

} // namespace
} // namespace tavim::test
