// Replaying saved pages to PDF and to PNG files, against QPdfWriter and QImage
// drawing the same page contents directly (the pages' drawing calls recorded
// as QPictures beforehand), all in this run.
#include "DemoRun.h"
#include "Recorded.h"
#include "engine/export/BrExport.h"
#include "engine/store/BrPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace tavim;
using namespace tavim::bench;

namespace {

constexpr int kRows = 10'000;

// Wall time, and the process's CPU time over all its threads: on a busy
// machine the CPU time shows the work done when the wall time cannot.
struct Timing {
    double wall;
    double cpu;
};

Timing timed(const std::function<void()>& work) {
    const std::clock_t cpuStart = std::clock();
    const double wall = seconds(work);
    return {wall, double(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

double kilobytesIn(const QString& folder) {
    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files))
        bytes += file.size();
    return double(bytes) / 1024;
}

void directPngs(const std::vector<QPicture>& pictures, QSize size, const QString& folder) {
    QDir().mkpath(folder);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.drawPicture(0, 0, pictures[i]);
        }
        image.save(QDir(folder).filePath(QStringLiteral("page-%1.png").arg(i + 1)), "PNG");
    }
}

void report(const char* what, int pages, double ours, double direct) {
    std::printf("%s: %d pages, %.1f pages/s; direct %.1f pages/s; ratio (ours / direct time) "
                "%.2f\n",
                what, pages, pages / ours, pages / direct, ours / direct);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("listing.brp"));
    const bench::ChildRun generated =
        bench::runReport(bench::demoDatabase(dir.path(), kRows), {QStringLiteral("--save"), saved});
    if (generated.exitCode != 0) {
        std::fprintf(stderr, "tavim-report --save failed\n");
        return 1;
    }
    TBrPrinter store;
    store.load(saved);
    const int pages = store.pageCount();
    std::printf("about %d rows, %d pages generated and saved in %.2f s (%.1f pages/s)\n", kRows,
                pages, generated.seconds, pages / generated.seconds);
    QSize size;
    const std::vector<QPicture> pictures = record(store, size);

    const double pdf = seconds([&] { ExportPdf(store, dir.filePath(QStringLiteral("ours.pdf"))); });
    const double pdfDirect =
        seconds([&] { directPdf(pictures, size, dir.filePath(QStringLiteral("direct.pdf"))); });
    report("PDF", pages, pdf, pdfDirect);
    const QString ours = dir.filePath(QStringLiteral("ours"));
    const QString direct = dir.filePath(QStringLiteral("direct"));
    const Timing png = timed([&] { ExportPngs(store, ours); });
    const Timing pngDirect = timed([&] { directPngs(pictures, size, direct); });
    report("PNG at 96 dpi", pages, png.wall, pngDirect.wall);
    std::printf("PNG CPU time: %.1f ms/page; direct %.1f ms/page. Files: %.1f KB/page; direct "
                "%.1f KB/page\n",
                png.cpu * 1000 / pages, pngDirect.cpu * 1000 / pages, kilobytesIn(ours) / pages,
                kilobytesIn(direct) / pages);
    return 0;
}
