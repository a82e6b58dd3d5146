// SIGINT and SIGTERM stop tavim-report cleanly, wherever they arrive: a normal
// exit with 130 or 143, no output file left, and an interrupted --print
// delivers nothing to the queue. Each signal is sent once the program has
// reached the step under test, seen from outside through its temporary files.
#include "tests/engine/print/CupsQueue.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tavim::test {
namespace {

constexpr quint64 kStopSignals = (1ULL << (SIGINT - 1)) | (1ULL << (SIGTERM - 1));

// Both stop signals blocked: main has begun and took them over.
bool signalsTaken(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigBlk:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) & kStopSignals) == kStopSignals;
    }
    return false;
}

class BatchSignals : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        QProcess demo;
        demo.start(QStringLiteral(TAVIM_DEMO_DB),
                   {s_dir->filePath("demo.fdb"), "--contracts", "400", "--month", "2024-02"});
        ASSERT_TRUE(demo.waitForFinished(300'000));
        ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }

    QString out(const QString& name) const { return m_out.filePath(name); }
    bool tempHas(const QString& pattern) const {
        return !QDir(m_temp.path()).entryList({pattern}, QDir::Files).isEmpty();
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TAVIM_DATABASE", s_dir->filePath("demo.fdb"));
        env.insert("TMPDIR", m_temp.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }

    // Runs the report (or, from `folder`, bash with the arguments); once
    // `ready` holds, sends `signal` (none when 0). Returns the exit code of a
    // normal exit, or -1 after a crash.
    int stopWhen(const QStringList& args, const std::function<bool()>& ready, int signal,
                 const QString& folder = {}) {
        QProcess report;
        report.setWorkingDirectory(folder);
        report.setProcessEnvironment(environment());
        report.start(folder.isEmpty() ? QStringLiteral(TAVIM_REPORT) : QStringLiteral("bash"),
                     args);
        EXPECT_TRUE(report.waitForStarted());
        bool sent = signal == 0;
        for (int tick = 0; !sent && tick < 60'000 && report.state() == QProcess::Running; ++tick) {
            if (signalsTaken(report.processId()) && ready()) {
                ::kill(pid_t(report.processId()), signal);
                sent = true;
                break;
            }
            QThread::msleep(1);
        }
        EXPECT_TRUE(sent) << "the report ended before the step under test";
        EXPECT_TRUE(report.waitForFinished(120'000));
        m_stderr = QString::fromLocal8Bit(report.readAllStandardError());
        return report.exitStatus() == QProcess::NormalExit ? report.exitCode() : -1;
    }

    static QTemporaryDir* s_dir;
    QTemporaryDir m_out;
    QTemporaryDir m_temp;
    QString m_stderr;
};

QTemporaryDir* BatchSignals::s_dir = nullptr;

TEST_F(BatchSignals, StopAtTheStartEndsCleanly) {
    // Right away: the connection or the query of the embedded engine is running.
    EXPECT_EQ(stopWhen(
                  {"--month", "2", "--year", "2024", "--save", out("listing.brp")},
                  [] { return true; }, SIGINT),
              130)
        << m_stderr.toStdString();
    EXPECT_FALSE(QFile::exists(out("listing.brp")));
}

TEST_F(BatchSignals, InterruptedPrintDeliversNothing) {
    if (!cupsQueueEnabled())
        GTEST_SKIP() << "set TAVIM_TEST_CUPS=1 with the queue of scripts/cups";
    const CupsOutput queue;
    // The job's spool file exists: pages are going to the printer.
    EXPECT_EQ(stopWhen(
                  {"--month", "2", "--year", "2024", "--print"},
                  [this] { return tempHas("tavim-job-*"); }, SIGINT),
              130)
        << m_stderr.toStdString();
    EXPECT_FALSE(tempHas("tavim-job-*"));

    // The queue prints in order: once a later job has arrived, an earlier one
    // would have too.
    QProcess sentinel;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TAVIM_DATABASE", s_dir->filePath("demo.fdb"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    sentinel.setProcessEnvironment(env);
    sentinel.start(QStringLiteral(TAVIM_REPORT),
                   {"--month", "2", "--year", "2024", "--print", "--from", "1", "--to", "1"});
    ASSERT_TRUE(sentinel.waitForFinished(120'000));
    ASSERT_EQ(sentinel.exitCode(), 0) << sentinel.readAllStandardError().toStdString();
    const QStringList pdfs = queue.waitFor(1);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_EQ(pdfPages(pdfs.first()), 1) << "the interrupted job was printed";
    QThread::msleep(500);
    EXPECT_EQ(queue.arrived().size(), 1);
    for (const QString& file : queue.arrived())
        QFile::remove(file);
}

// A failing printer is no success: the batch tool exits 1 with the printer's
// error.
using BatchPrint = BatchSignals;

TEST_F(BatchPrint, APausedQueueExitsWithTheError) {
    if (!cupsQueueEnabled())
        GTEST_SKIP() << "set TAVIM_TEST_CUPS=1 with the queue of scripts/cups";
    const PausedQueue paused;
    QProcess report;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TAVIM_DATABASE", s_dir->filePath("demo.fdb"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    report.setProcessEnvironment(env);
    report.start(QStringLiteral(TAVIM_REPORT), {"--month", "2", "--year", "2024", "--print"});
    ASSERT_TRUE(report.waitForFinished(120'000));
    EXPECT_EQ(report.exitCode(), 1);
    EXPECT_TRUE(
        report.readAllStandardError().contains("Printer \"TavimPDF\" is in an error state."));
}

TEST_F(BatchPrint, WithoutATemporaryFolderThePrintFailsClearly) {
    if (!cupsQueueEnabled())
        GTEST_SKIP() << "set TAVIM_TEST_CUPS=1 with the queue of scripts/cups";
    const CupsOutput queue;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TAVIM_DATABASE", s_dir->filePath("demo.fdb"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess save;
    save.setProcessEnvironment(env);
    save.start(QStringLiteral(TAVIM_REPORT),
               {"--month", "2", "--year", "2024", "--save", out("listing.brp")});
    ASSERT_TRUE(save.waitForFinished(120'000));
    ASSERT_EQ(save.exitCode(), 0);

    env.insert("TMPDIR", m_temp.filePath("missing"));
    QProcess report;
    report.setProcessEnvironment(env);
    report.start(QStringLiteral(TAVIM_REPORT), {"--open", out("listing.brp"), "--print"});
    ASSERT_TRUE(report.waitForFinished(120'000));
    EXPECT_EQ(report.exitCode(), 1);
    EXPECT_TRUE(report.readAllStandardError().contains(
        "Printer \"TavimPDF\" could not start the print job: Cannot create file"));
    QThread::msleep(500);
    EXPECT_TRUE(queue.arrived().isEmpty());
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a folder holds, hidden names included, each name with its content
// (a folder as "/", a link as "-> target", a pipe as "|").
QStringList contentsOf(const QString& folder) {
    QStringList contents;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(
             QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name)) {
        QString line = entry.fileName();
        if (entry.isSymLink())
            line += " -> " + QFileInfo(entry.symLinkTarget()).fileName();
        else if (entry.isDir())
            line += "/";
        else if (!entry.isFile())
            line += " |";
        else if (entry.size() < 64)
            line += " = " + QString::fromUtf8(readAll(entry.filePath()));
        contents << line;
    }
    return contents;
}

struct OutputFault {
    const char* name;
    // Earlier files in the output folder, as shell commands run there.
    const char* before;
    // The call's arguments after "--month 2 --year 2024"; run by bash in the
    // output folder, so redirections and limits can be set.
    const char* call;
    // A file whose appearance in the output folder triggers SIGTERM; none: no signal.
    const char* stopWhenSeen;
    int exitCode;
    const char* error; // what standard error holds; empty: nothing is checked
    QStringList after;
};

const OutputFault kOutputFaults[] = {
    {"interrupted: the earlier files stay whole",
     "echo old >listing.brp; echo old >listing.pdf; mkdir pages; echo old >pages/page-001.png",
     "exec tavim-report --save listing.brp --pdf listing.pdf --png pages",
     ".*.listing.brp",
     143,
     "",
     {"listing.brp = old\n", "listing.pdf = old\n", "pages/", "pages/page-001.png = old\n"}},
    {"a full disk mid-file: the earlier file stays whole",
     "tavim-report --save s.brp; echo old >o.pdf",
     "ulimit -f 4; trap '' XFSZ; exec tavim-report --open s.brp --pdf o.pdf",
     "",
     1,
     "Cannot create file \"%1/o.pdf\". File too large",
     {"o.pdf = old\n", "s.brp"}},
    {"standard output on a full device",
     "",
     "exec tavim-report --list >/dev/full",
     "",
     1,
     "Cannot write standard output: No space left on device",
     {}},
    {"standard output closed",
     "",
     "exec tavim-report --list >&-",
     "",
     1,
     "Cannot write standard output: Bad file descriptor",
     {}},
    {"planted links are replaced, not followed",
     "echo keep >../elsewhere; ln -s ../elsewhere out.pdf; mkdir pages; "
     "ln -s ../../elsewhere pages/page-001.png",
     "tavim-report --pdf out.pdf --png pages && grep -qx keep ../elsewhere && test -f out.pdf && "
     "test -f pages/page-001.png",
     "",
     0,
     "",
     {"out.pdf", "pages/"}},
    {"a pipe is written in place and stays",
     "mkfifo pipe",
     "(cat pipe >/dev/null &) && exec tavim-report --pdf pipe",
     "",
     0,
     "",
     {"pipe |"}},
    {"an earlier, longer page set is replaced whole",
     "mkdir pages; for n in 001 002 003 004 005 006 007 008 009 010 011 012; do "
     "echo old >pages/page-$n.png; done",
     "tavim-report --png pages && ! grep -l old pages/*",
     "",
     0,
     "",
     {"pages/"}},
};

QString withTool(const char* commands) {
    return QString::fromUtf8(commands).replace(
        "tavim-report", QStringLiteral(TAVIM_REPORT " --month 2 --year 2024"));
}

class BatchOutputFaults : public BatchSignals, public ::testing::WithParamInterface<OutputFault> {};

// Each call leaves the output folder exactly as the case says: a failed or
// interrupted call leaves every earlier file as it was and nothing of its own.
TEST_P(BatchOutputFaults, LeaveTheFolderAsExpected) {
    const OutputFault& c = GetParam();
    const QString folder = out("work");
    ASSERT_TRUE(QDir().mkpath(folder));
    QProcess setup;
    setup.setWorkingDirectory(folder);
    setup.setProcessEnvironment(environment());
    setup.start("bash", {"-c", withTool(c.before)});
    ASSERT_TRUE(setup.waitForFinished());
    const QString call = withTool(c.call);
    const QString seen = QString::fromUtf8(c.stopWhenSeen);
    const int exitCode = stopWhen(
        {"-c", call},
        [&] {
            return !seen.isEmpty() &&
                   !QDir(folder).entryList({seen}, QDir::AllEntries | QDir::Hidden).isEmpty();
        },
        seen.isEmpty() ? 0 : SIGTERM, folder);
    EXPECT_EQ(exitCode, c.exitCode) << m_stderr.toStdString();
    if (*c.error) {
        EXPECT_TRUE(m_stderr.contains(QString::fromUtf8(c.error).arg(folder)))
            << m_stderr.toStdString();
    }
    QStringList after = contentsOf(folder);
    if (QFileInfo(folder + "/pages").isDir()) {
        for (const QString& line : contentsOf(folder + "/pages"))
            after << "pages/" + line;
        after.erase(std::remove_if(after.begin(), after.end(),
                                   [&](const QString& line) {
                                       return c.exitCode == 0 && line.startsWith("pages/page-");
                                   }),
                    after.end());
    }
    EXPECT_EQ(after, c.after);
}

INSTANTIATE_TEST_SUITE_P(Faults, BatchOutputFaults, ::testing::ValuesIn(kOutputFaults),
                         [](const auto& info) { return std::to_string(info.index); });

// "The server", a proxy to the test server, killed or frozen while
// tavim-report waits for its rows: the tool ends with a message (exit 1)
// within the reply limit, or with 143 at once when stopped; never a hang or an
// abort.
struct ServerFault {
    const char* name;
    int serverSignal;
    int toolSignal; // 300 ms after the server's
    int exitCode;
    const char* message; // a pattern
    qint64 withinMs;     // from the last signal to the exit
    // Pages generated from the rows as they come, rather than the listing.
    bool pages = false;
};

class BatchServerFaults : public ::testing::TestWithParam<ServerFault> {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("TAVIM_TEST_SERVER"))
            GTEST_SKIP() << "TAVIM_TEST_SERVER is not set";
        // Rows that never end, each after a little work: the tool always waits
        // for the next batch.
        QProcess isql;
        isql.start("isql-fb", {"-q"});
        isql.write(QStringLiteral(
                       "CREATE DATABASE '%1' USER 'SYSDBA';\nSET TERM ^ ;\nCREATE PROCEDURE TAVIM "
                       "(DT_INI DATE, DT_FIM DATE) RETURNS (PROPRIETARIO VARCHAR(50), IMOVEL "
                       "VARCHAR(90), INQUILINO VARCHAR(50), ALUGUEL DOUBLE PRECISION, TAXA_ADM "
                       "DOUBLE PRECISION, OUTROS DOUBLE PRECISION, OBSERVACOES VARCHAR(50), "
                       "SITUACAO VARCHAR(20)) AS DECLARE I INTEGER; BEGIN WHILE (1 = 1) DO BEGIN "
                       "I = 0; WHILE (I < 20000) DO I = I + 1; SUSPEND; END END^\nSET TERM ; ^\n")
                       .arg(m_dir.filePath("endless.fdb"))
                       .toUtf8());
        isql.closeWriteChannel();
        ASSERT_TRUE(isql.waitForFinished(60'000));
        ASSERT_EQ(isql.exitCode(), 0) << isql.readAllStandardError().toStdString();
        m_proxy.start(TAVIM_FAULT_PROXY,
                      {qEnvironmentVariable("TAVIM_TEST_SERVER").section('/', 1)});
        ASSERT_TRUE(m_proxy.waitForReadyRead(10'000));
    }
    QTemporaryDir m_dir;
    QProcess m_proxy; // killed when it goes
};

TEST_P(BatchServerFaults, EndsWithinTheLimit) {
    const ServerFault& fault = GetParam();
    QProcess report;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TAVIM_DATABASE",
               QStringLiteral("localhost/%1:%2")
                   .arg(QString(m_proxy.readLine()).trimmed(), m_dir.filePath("endless.fdb")));
    // A stop must not need the limit; the others show it.
    env.insert("TAVIM_REPLY_LIMIT", fault.toolSignal ? "600" : "2");
    // Pages start Qt's GUI, whose note on a missing runtime folder is not the tool's message.
    env.insert("XDG_RUNTIME_DIR", m_dir.path());
    report.setProcessEnvironment(env);
    const QString saved = m_dir.filePath(QStringLiteral("listing.brp"));
    const QStringList output = fault.pages ? QStringList{"--save", saved} : QStringList{"--list"};
    report.start(QStringLiteral(TAVIM_REPORT),
                 output + QStringList{"--month", "2", "--year", "2024"});
    ASSERT_FALSE(report.waitForFinished(2'000)) << report.readAllStandardError().toStdString();
    ::kill(pid_t(m_proxy.processId()), fault.serverSignal);
    if (fault.toolSignal) {
        QThread::msleep(300);
        ::kill(pid_t(report.processId()), fault.toolSignal);
    }
    ASSERT_TRUE(report.waitForFinished(int(fault.withinMs))) << "the tool hangs";
    EXPECT_EQ(report.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(report.exitCode(), fault.exitCode);
    const QString message = QString::fromLocal8Bit(report.readAllStandardError()).trimmed();
    EXPECT_TRUE(message.contains(QRegularExpression(QStringLiteral("^%1$").arg(fault.message))))
        << message.toStdString();
    EXPECT_FALSE(QFile::exists(saved));
}

INSTANTIATE_TEST_SUITE_P(
    , BatchServerFaults,
    ::testing::Values(ServerFault{"Killed", SIGKILL, 0, 1,
                                  "Error (reading|writing) data (from|to) the connection\\.",
                                  5'000},
                      ServerFault{"Frozen", SIGSTOP, 0, 1,
                                  "The database server did not answer within 2 s\\.", 5'000},
                      ServerFault{"FrozenThenTerminated", SIGSTOP, SIGTERM, 143, "", 2'000},
                      ServerFault{"KilledWhilePagesAreMade", SIGKILL, 0, 1,
                                  "Error (reading|writing) data (from|to) the connection\\.", 5'000,
                                  true},
                      ServerFault{"FrozenWhilePagesAreMade", SIGSTOP, 0, 1,
                                  "The database server did not answer within 2 s\\.", 5'000, true},
                      ServerFault{"FrozenThenTerminatedWhilePagesAreMade", SIGSTOP, SIGTERM, 143,
                                  "", 2'000, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tavim::test
