#include "DemoRun.h"

#include "tools/DemoDatabase.h"

#include <QDate>
#include <QDir>
#include <chrono>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tavim::bench {

QString demoDatabase(const QString& folder, int rows) {
    const QString path = QDir(folder).filePath(QStringLiteral("demo-%1.fdb").arg(rows));
    if (!QFile::exists(path))
        createDemoDatabase(path, int(rows / kRowsPerContract), 1, QDate(2024, 2, 15));
    return path;
}

// wait4 gives the peak of this child alone, which QProcess does not.
ChildRun runReport(const QString& database, const QStringList& args) {
    QStringList all{QStringLiteral("--database"), database,
                    QStringLiteral("--month"),    QStringLiteral("2"),
                    QStringLiteral("--year"),     QStringLiteral("2024"),
                    QStringLiteral("--status"),   QStringLiteral("ativos,extra-judicial,juridico")};
    all += args;
    std::vector<QByteArray> bytes{QByteArray(TAVIM_REPORT_PROGRAM)};
    for (const QString& arg : all)
        bytes.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    return run;
}

} // namespace tavim::bench
