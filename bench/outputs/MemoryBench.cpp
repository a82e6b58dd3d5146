// Peak resident size of whole tavim-report --save runs (query, result table,
// generation, saved file) at 1 000, 10 000, 100 000 and 1 000 000 rows, each
// against the 1 000-row run measured here (goal: at most 2 at 1 000 000). The
// demo databases are built once and kept beside this program, in bench-data/. With
// TAVIM_BENCH_SERVER (host/port) the runs reach the database over TCP, as a desk does
// (TAVIM_PASSWORD for its SYSDBA); otherwise through the embedded engine, whose page cache then
// counts too.
#include "DemoRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace tavim;
using namespace tavim::bench;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString kept = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data");
    QDir().mkpath(kept);
    const QString server = qEnvironmentVariable("TAVIM_BENCH_SERVER");
    std::printf("database %s\n", server.isEmpty() ? "embedded" : qPrintable(server));
    long baseline = 0;
    long previous = 0;
    int previousRows = 0;
    for (const int rows : {1'000, 10'000, 100'000, 1'000'000}) {
        const QString saved = dir.filePath(QStringLiteral("listing-%1.brp").arg(rows));
        QString database = bench::demoDatabase(kept, rows);
        if (!server.isEmpty())
            database = server + QLatin1Char(':') + database;
        const bench::ChildRun run = bench::runReport(database, {QStringLiteral("--save"), saved});
        if (run.exitCode != 0) {
            std::fprintf(stderr, "tavim-report --save failed at %d rows\n", rows);
            return 1;
        }
        if (baseline == 0)
            baseline = run.peakKiB;
        std::printf("about %7d rows: %4d pages in %6.2f s, peak %7ld kB, ratio to 1 000 rows %.2f",
                    rows, savedPages(saved), run.seconds, run.peakKiB,
                    double(run.peakKiB) / double(baseline));
        if (previousRows > 0)
            std::printf(", %.0f bytes per added row",
                        double(run.peakKiB - previous) * 1024 / (rows - previousRows));
        std::printf("\n");
        QFile::remove(saved);
        previous = run.peakKiB;
        previousRows = rows;
    }
    const double ratio = double(previous) / double(baseline);
    std::printf("peak at 1 000 000 rows / 1 000 rows: %.2f (goal at most 2): %s\n", ratio,
                ratio <= 2 ? "met" : "NOT met");
    return 0;
}
