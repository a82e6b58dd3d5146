// Appending 1 000 pages to the page list and reading them back, against a
// memcpy of the same bytes into a buffer and against writing them to a file,
// all measured in this run; with the peak resident size at 100 and 1 000 pages,
// and the time opening a saved file of 4 000 pages takes to check every record.
#include "engine/emf/Metafile.h"
#include "engine/emf/MetafileRecorder.h"
#include "engine/print/BrSaveFile.h"
#include "engine/store/BrPageList.h"
#include "engine/store/BrStream.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kPages = 1000;
constexpr int kRounds = 3;
constexpr int kOpenedPages = 4000;

// A page like the report's: about 60 text runs and 60 lines.
tavim::TMetafile realisticPage() {
    tavim::TMetafileRecorder recorder(QSize(794, 1123));
    QPainter painter(recorder.device());
    painter.setFont(QFont(QStringLiteral("Liberation Sans Narrow"), 7));
    for (int row = 0; row < 52; ++row) {
        const int y = 145 + row * 17;
        painter.drawText(
            10, y, QStringLiteral("Imobiliária %1 — Rua das Flores, %2").arg(row).arg(100 + row));
        painter.drawLine(10, y + 3, 784, y + 3);
    }
    for (int i = 0; i < 8; ++i) {
        painter.drawText(10 + i * 95, 1060, QStringLiteral("1.234.%1,00").arg(i));
        painter.drawLine(10 + i * 95, 1040, 10 + i * 95, 1080);
    }
    painter.end();
    return recorder.finish();
}

// Peak resident set in KiB.
long peakRssKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

template <typename Work> double bestMicrosPerPage(Work work) {
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::micro> elapsed =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count() / kPages);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const tavim::TMetafile page = realisticPage();
    const QByteArray& bytes = page.bytes();
    unsigned long long sink = 0;
    long rssAt100 = 0;
    long rssAt1000 = 0;

    const double append = bestMicrosPerPage([&] {
        tavim::TBrPageList list(std::make_unique<tavim::TBrStream>());
        for (int i = 1; i <= kPages; ++i) {
            list.append(page);
            if (i == 100 && rssAt100 == 0)
                rssAt100 = peakRssKiB();
        }
        if (rssAt1000 == 0)
            rssAt1000 = peakRssKiB();
        list.rewriteHeader();
    });

    tavim::TBrPageList list(std::make_unique<tavim::TBrStream>());
    for (int i = 0; i < kPages; ++i)
        list.append(page);
    const double read = bestMicrosPerPage([&] {
        for (int i = 1; i <= kPages; ++i)
            sink += quint64(list.read(i).bytes().size());
    });

    std::vector<char> buffer(std::size_t(bytes.size()));
    const double copy = bestMicrosPerPage([&] {
        for (int i = 0; i < kPages; ++i) {
            std::memcpy(buffer.data(), bytes.constData(), buffer.size());
            sink += quint64(buffer[std::size_t(i) % buffer.size()]);
        }
    });

    const double file = bestMicrosPerPage([&] {
        QTemporaryFile out;
        if (!out.open())
            return;
        for (int i = 0; i < kPages; ++i)
            out.write(bytes);
        out.flush();
        sink += quint64(out.size());
    });

    // Opening reads and walks every page; the file stays in the page cache.
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("opened.brp"));
    {
        tavim::TBrPageList list(std::make_unique<tavim::TBrStream>());
        for (int i = 0; i < kOpenedPages; ++i)
            list.append(page);
        list.rewriteHeader();
        tavim::TBrSaveFile file(saved);
        list.copyTo(file);
        file.commit();
    }
    double opened = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        tavim::TBrPageList list(tavim::TBrStream::openFile(saved));
        list.open();
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        opened = std::min(opened, elapsed.count());
        sink += quint64(list.count());
    }

    std::printf("pages                  %d of %lld bytes (best of %d rounds)\n", kPages,
                static_cast<long long>(bytes.size()), kRounds);
    std::printf("append                 %.2f us/page\n", append);
    std::printf("read back              %.2f us/page\n", read);
    std::printf("memcpy                 %.2f us/page\n", copy);
    std::printf("file write             %.2f us/page\n", file);
    std::printf("ratio append/memcpy    %.1f\n", append / copy);
    std::printf("ratio append/file      %.2f\n", append / file);
    std::printf("ratio read/memcpy      %.1f\n", read / copy);
    std::printf("open %d pages        %.1f ms\n", kOpenedPages, opened);
    std::printf("peak RSS at 100 pages  %ld KiB\n", rssAt100);
    std::printf("peak RSS at 1000 pages %ld KiB\n", rssAt1000);
    std::printf("checksum               %llu\n", sink);
    return 0;
}
