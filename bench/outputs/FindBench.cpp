// The preview's text search over a 4 344-page listing (225 841 rows, as
// measured at an office), the way the find bar runs it: the saved file
// opened, then a tenant's name searched on the worker. Figures: the first
// match and all matches counted, on a fresh index (pages read as the search
// goes) and on the index kept for the next query; the index's bytes per
// byte of page text (UTF-16, as the records hold it). Baseline: reading
// every page from the store, without looking at it.
// Usage: tavim-bench-find [rows] (225 841 by default); the demo database and
// the saved file are kept beside this program, in bench-data/.
#include "DemoRun.h"
#include "engine/preview/BrPageSearch.h"
#include "engine/preview/BrPageText.h"
#include "engine/store/BrPrinter.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <chrono>
#include <cstdio>

using namespace tavim;
using namespace tavim::bench;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDefaultRows = 225'841;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Times the search's events: its first match and the moment it has caught up.
class Timing : public QObject {
public:
    Clock::time_point start = Clock::now();
    double firstMatchMs = -1;
    double allMs = -1;
    qint64 matches = 0;
    QEventLoop loop;

protected:
    bool event(QEvent* event) override {
        if (event->type() != TBrSearchEvent::type())
            return QObject::event(event);
        const auto* found = static_cast<TBrSearchEvent*>(event);
        matches += qint64(found->matches.size());
        if (firstMatchMs < 0 && matches > 0)
            firstMatchMs = msSince(start);
        if (found->caughtUp) {
            allMs = msSince(start);
            loop.quit();
        }
        return true;
    }
};

// Timed from `timing.start`.
void search(TBrPageSearch& search, Timing& timing, const QString& text, const char* what) {
    timing.matches = 0;
    timing.firstMatchMs = timing.allMs = -1;
    search.setQuery(text);
    QTimer::singleShot(60'000, &timing.loop, &QEventLoop::quit);
    timing.loop.exec();
    if (timing.allMs < 0) {
        std::printf("%s \"%s\": not caught up within a minute\n", what, qPrintable(text));
        return;
    }
    std::printf("%s \"%s\": first match %.1f ms (goal 100), %lld matches counted in %.1f ms (goal "
                "1000): %s\n",
                what, qPrintable(text), timing.firstMatchMs, static_cast<long long>(timing.matches),
                timing.allMs,
                timing.firstMatchMs >= 0 && timing.firstMatchMs < 100 && timing.allMs < 1000
                    ? "met"
                    : "NOT met");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : kDefaultRows;
    if (rows <= 0) {
        std::fprintf(stderr, "usage: tavim-bench-find [rows]\n");
        return 2;
    }
    const QString kept = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data");
    QDir().mkpath(kept);
    const QString file = QDir(kept).filePath(QStringLiteral("find-%1.brp").arg(rows));
    if (!QFile::exists(file) &&
        runReport(demoDatabase(kept, rows), {QStringLiteral("--save"), file}).exitCode != 0) {
        std::fprintf(stderr, "tavim-report could not save %s\n", qPrintable(file));
        return 1;
    }

    TBrPrinter store;
    auto start = Clock::now();
    store.load(file);
    const int pages = store.pageCount();
    std::printf("%d pages, opened in %.1f ms\n", pages, msSince(start));

    start = Clock::now();
    for (int page = 1; page <= pages; ++page)
        store.getPage(page);
    const double readMs = msSince(start);
    // A row of the last page: its first match is found only once every page
    // before it is searched.
    const TBrPageText last(*store.getPage(pages));
    const QList<QByteArray> lines = last.folded().split('\n');
    qsizetype at = 0;
    for (qsizetype i = 0; i < lines.size() / 2; ++i)
        at += lines[i].size() + 1;
    const QString lastLine = last.lines(at, lines[lines.size() / 2].size());

    Timing timing; // from before the worker starts: nothing is read yet
    TBrPageSearch finder(store, &timing);
    search(finder, timing, QStringLiteral("joao"), "fresh index,");
    const double freshMs = timing.allMs;
    for (const QString& text : {lastLine.toUpper(), QStringLiteral("JOSÉ DA SILVA")}) {
        timing.start = Clock::now();
        search(finder, timing, text, "kept index,");
    }
    const auto [indexBytes, textBytes] = finder.indexSize();
    std::printf("index: %.1f MB for %.1f MB of page text: %.2f byte per byte (goal below 1)\n",
                double(indexBytes) / 1e6, double(textBytes) / 1e6,
                double(indexBytes) / double(textBytes));
    std::printf("baseline: reading the %d pages from the store, %.1f ms; fresh search %.2f x\n",
                pages, readMs, freshMs / readMs);
    return 0;
}
