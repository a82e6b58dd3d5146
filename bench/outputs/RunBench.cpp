// Whole tavim-report runs as a user runs them, each against its anchor
// measured in the same rounds: --save against isql-fb fetching the same rows,
// --pdf against --save and against ReportLab drawing the same rows, --png in
// pages/s, and the peak memory of --save against a 1 000-row run. The machine
// is shared, so every figure is the median of paired rounds, with the best.
// Usage: tavim-bench-run [rows] (100 000 by default). The demo databases are
// built once and kept beside this program, in bench-data/.
#include "DemoRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

using namespace tavim;
using namespace tavim::bench;

namespace {

constexpr int kRounds = 5;
constexpr int kDefaultRows = 100'000;
constexpr int kSmallRows = 1'000;

struct Figures {
    std::vector<double> seconds;
    long peakKiB = 0;

    double median() const {
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double best() const { return *std::min_element(seconds.begin(), seconds.end()); }
};

// The statement the report sends, for February 2024 and every status.
double isqlFetch(const QString& database, const QString& folder) {
    const QString script = QDir(folder).filePath(QStringLiteral("fetch.sql"));
    QFile sql(script);
    if (!sql.open(QIODevice::WriteOnly))
        return -1;
    sql.write("SET HEADING OFF;\nSELECT * FROM TAVIM('2024-02-01', '2024-02-29') WHERE (SITUACAO "
              "IN ('ATIVADO', 'EXTRA JUDICIAL', 'JURIDICO')) OR (SITUACAO IS NULL) OR "
              "(SITUACAO='');\n");
    sql.close();
    QProcess isql;
    isql.setStandardOutputFile(QProcess::nullDevice());
    const auto start = std::chrono::steady_clock::now();
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                QStringLiteral("-i"), script, database});
    if (!isql.waitForFinished(-1) || isql.exitCode() != 0)
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const char* verdict(bool met) {
    return met ? "met" : "NOT met";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : kDefaultRows;
    if (rows <= 0) {
        std::fprintf(stderr, "usage: tavim-bench-run [rows]\n");
        return 2;
    }
    const QString kept = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data");
    QDir().mkpath(kept);
    const QString database = demoDatabase(kept, rows);
    const QString small = demoDatabase(kept, kSmallRows);
    QTemporaryDir dir;
    const auto out = [&dir](const char* name) { return dir.filePath(QString::fromLatin1(name)); };

    const std::vector<std::pair<const char*, QStringList>> runs{
        {"--save", {QStringLiteral("--save"), out("l.brp")}},
        {"--pdf", {QStringLiteral("--pdf"), out("l.pdf")}},
        {"--save --pdf",
         {QStringLiteral("--save"), out("l.brp"), QStringLiteral("--pdf"), out("l.pdf")}},
        {"--png", {QStringLiteral("--png"), out("png")}},
    };
    std::map<std::string, Figures> figures;
    for (int round = 0; round < kRounds; ++round) {
        const double fetch = isqlFetch(database, dir.path());
        if (fetch < 0) {
            std::fprintf(stderr, "isql-fb failed\n");
            return 1;
        }
        figures["isql-fb"].seconds.push_back(fetch);
        for (const auto& [name, args] : runs) {
            const ChildRun run = runReport(database, args);
            if (run.exitCode != 0) {
                std::fprintf(stderr, "tavim-report %s failed\n", name);
                return 1;
            }
            figures[name].seconds.push_back(run.seconds);
            figures[name].peakKiB = std::max(figures[name].peakKiB, run.peakKiB);
        }
    }
    const int pages = savedPages(out("l.brp"));
    const ChildRun smallRun = runReport(small, {QStringLiteral("--save"), out("s.brp")});
    const ChildRun listed = runReport(database, {QStringLiteral("--list"), out("l.csv")});
    const double anchor = reportLab(out("l.csv"), out("rl.pdf")).seconds;
    if (smallRun.exitCode != 0 || listed.exitCode != 0 || pages <= 0) {
        std::fprintf(stderr, "tavim-report failed\n");
        return 1;
    }

    std::printf("about %d rows, %d pages; median (best) of %d paired rounds\n", rows, pages,
                kRounds);
    std::printf("%-14s %8s %8s %9s %10s\n", "run", "median s", "best s", "pages/s", "peak MB");
    for (const char* name : {"isql-fb", "--save", "--pdf", "--save --pdf", "--png"}) {
        const Figures& f = figures[name];
        std::printf("%-14s %8.2f %8.2f %9.0f", name, f.median(), f.best(), pages / f.median());
        // isql-fb runs through QProcess, which does not give its peak.
        if (f.peakKiB > 0)
            std::printf(" %10.1f", double(f.peakKiB) / 1024);
        std::printf("\n");
    }
    std::printf("%-14s %8.2f\n", "ReportLab", anchor);
    const double save = figures["--save"].median();
    const double pdf = figures["--pdf"].median();
    const double png = pages / figures["--png"].median();
    const double memory = double(figures["--save"].peakKiB) / double(smallRun.peakKiB);
    std::printf("--save / isql-fb fetch:   %.2f (goal at most 1.2): %s\n",
                save / figures["isql-fb"].median(),
                verdict(save <= 1.2 * figures["isql-fb"].median()));
    std::printf("--pdf / --save:           %.2f (goal at most 1.5): %s\n", pdf / save,
                verdict(pdf <= 1.5 * save));
    std::printf("--pdf / ReportLab:        %.2f (goal at most 0.3): %s\n", pdf / anchor,
                verdict(anchor > 0 && pdf <= 0.3 * anchor));
    std::printf("--png pages/s:            %.0f (goal at least 300): %s\n", png,
                verdict(png >= 300));
    std::printf("peak --save / %d rows: %.2f (%.1f MB against %.1f MB; goal at most 2 at "
                "1 000 000 rows): %s\n",
                kSmallRows, memory, double(figures["--save"].peakKiB) / 1024,
                double(smallRun.peakKiB) / 1024, verdict(memory <= 2));
    return 0;
}
