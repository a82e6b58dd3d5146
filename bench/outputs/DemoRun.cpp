#include "DemoRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <chrono>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tavim::bench {

// Made by the demo tool in a process of its own: a child's peak as wait4 gives
// it starts from this process's size at the spawn, which the embedded engine
// would have grown.
QString demoDatabase(const QString& folder, int rows) {
    const QString path = QDir(folder).filePath(QStringLiteral("demo-%1.fdb").arg(rows));
    if (QFile::exists(path))
        return path;
    QProcess tool;
    tool.start(QStringLiteral(TAVIM_DEMO_DB_PROGRAM),
               {path, QStringLiteral("--contracts"), QString::number(int(rows / kRowsPerContract)),
                QStringLiteral("--month"), QStringLiteral("2024-02")});
    tool.waitForFinished(-1);
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

ReportLabRun reportLab(const QString& csv, const QString& pdf) {
    QProcess script;
    script.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(TAVIM_REPORTLAB_SCRIPT), csv, pdf});
    script.waitForFinished(-1);
    const QList<QByteArray> figures = script.readAllStandardOutput().trimmed().split(' ');
    if (script.exitCode() != 0 || figures.size() != 2)
        return {};
    return {figures[0].toDouble() / 1024, figures[1].toDouble()};
}

int savedPages(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(8))
        return -1;
    const QByteArray count = f.read(4);
    return count.size() == 4 ? qFromLittleEndian<qint32>(count.constData()) : -1;
}

} // namespace tavim::bench
