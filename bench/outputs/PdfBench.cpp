// The PDF written from saved listings of 1, 2, 197 and 1 251 pages: bytes and
// pages/s against ReportLab drawing the same rows with the same faces embedded
// as subsets, and against QPdfWriter drawing the same page contents, all in
// this run; then the page content of the 197 pages deflated at zlib levels 1,
// 6 and 9.
#include "DemoRun.h"
#include "Recorded.h"
#include "engine/export/BrExport.h"
#include "engine/print/pdf/PdfFontSet.h"
#include "engine/print/pdf/PdfPageDevice.h"
#include "engine/store/BrPrinter.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>
#include <zlib.h>

using namespace tavim;
using namespace tavim::bench;

namespace {

struct Written {
    double kilobytes = 0;
    double seconds = 0;
};

double kilobytesOf(const QString& file) {
    return double(QFileInfo(file).size()) / 1024;
}

std::vector<QByteArray> pageContents(TBrPrinter& store) {
    PdfFontSet fonts;
    PdfPageDevice device(fonts);
    std::vector<QByteArray> contents;
    for (int n = 1; n <= store.pageCount(); ++n) {
        QPainter painter(&device);
        store.getPage(n)->play(painter, device.pageRect());
        painter.end();
        contents.push_back(device.takePage().operators);
    }
    return contents;
}

void compressionLevels(const std::vector<QByteArray>& contents) {
    std::printf("\nPage content of %zu pages deflated:\n", contents.size());
    for (const int level : {1, 6, 9}) {
        uLong bytes = 0;
        const double time = seconds([&] {
            for (const QByteArray& content : contents) {
                uLongf size = compressBound(uLong(content.size()));
                std::vector<Bytef> out(size);
                compress2(out.data(), &size, reinterpret_cast<const Bytef*>(content.constData()),
                          uLong(content.size()), level);
                bytes += size;
            }
        });
        std::printf("  level %d: %.1f KB/page, %.2f ms/page\n", level,
                    double(bytes) / 1024 / double(contents.size()),
                    time * 1000 / double(contents.size()));
    }
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("%6s %6s | %10s %8s | %10s %8s | %10s %8s | %s\n", "rows", "pages", "ours KB",
                "pages/s", "ReportLab", "pages/s", "QPdfWriter", "pages/s", "ours / ReportLab");
    bool smallWithin = true;
    bool largeWithin = true;
    std::vector<QByteArray> contents;
    for (const int rows : {30, 80, 10'000, 64'000}) {
        const QString base = dir.filePath(QString::number(rows));
        const QString database = demoDatabase(dir.path(), rows);
        if (runReport(database, {QStringLiteral("--save"), base + QStringLiteral(".brp"),
                                 QStringLiteral("--list"), base + QStringLiteral(".csv")})
                .exitCode != 0) {
            std::fprintf(stderr, "tavim-report failed for %d rows\n", rows);
            return 1;
        }
        TBrPrinter store;
        store.load(base + QStringLiteral(".brp"));
        const int pages = store.pageCount();
        QSize size;
        const std::vector<QPicture> pictures = record(store, size);
        const QString oursFile = base + QStringLiteral("-ours.pdf");
        const QString directFile = base + QStringLiteral("-qt.pdf");
        const Written ours{0, seconds([&] { ExportPdf(store, oursFile); })};
        const Written direct{0, seconds([&] { directPdf(pictures, size, directFile); })};
        const ReportLabRun anchor =
            reportLab(base + QStringLiteral(".csv"), base + QStringLiteral("-rl.pdf"));
        const double oursKB = kilobytesOf(oursFile);
        std::printf("%6d %6d | %10.1f %8.0f | %10.1f %8.0f | %10.1f %8.0f | %.2f\n", rows, pages,
                    oursKB, pages / ours.seconds, anchor.kilobytes, pages / anchor.seconds,
                    kilobytesOf(directFile), pages / direct.seconds, oursKB / anchor.kilobytes);
        if (pages <= 2)
            smallWithin = smallWithin && oursKB <= 40;
        else
            largeWithin = largeWithin && oursKB <= anchor.kilobytes;
        if (rows == 10'000)
            contents = pageContents(store);
    }
    std::printf("Goals: a listing of one or two pages at most 40 KB: %s; longer listings at "
                "most ReportLab's bytes: %s\n",
                smallWithin ? "met" : "NOT met", largeWithin ? "met" : "NOT met");
    compressionLevels(contents);
    return 0;
}
