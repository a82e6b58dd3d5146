// Time from ShowPreview to the first page in the store, over 12 previews of
// the municipality report in one process (the first one included), against
// the first page's drawing calls replayed straight onto a QImage in this run.
#include "DemoRun.h"
#include "data/DataModCad.h"
#include "engine/print/CachedPrinterDriver.h"
#include "engine/store/BrPrinter.h"
#include "format/LocaleSettings.h"
#include "report/FrmImpressao.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace tavim;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRows = 1'000;
constexpr int kRuns = 12;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LocaleSettings::reload();
    QTemporaryDir dir;
    TdmdCadastro data;
    data.sql.setParam("Database", bench::demoDatabase(dir.path(), kRows));
    data.RunReportQuery(1, QStringLiteral("2024"), true, true, true);
    TfrmImpressao form(data);
    form.setPeriod(QStringLiteral("FEVEREIRO"), QStringLiteral("2024"));
    // As the program does once its main window is shown.
    TPrinterCatalog::process()->warm();

    std::vector<double> latencies;
    std::vector<double> shown; // the preview's hook called: store made, worker started
    QPicture firstPage;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        form.relatorio.PreviewHook = [&](TBrPrinter& store) {
            shown.push_back(millisecondsSince(start));
            while (store.availablePages() < 1 && !form.relatorio.idle()) {
                QCoreApplication::processEvents();
                QThread::usleep(100);
            }
            latencies.push_back(millisecondsSince(start));
            if (run == 0) {
                const auto page = store.getPage(1);
                QPainter painter(&firstPage);
                page->play(painter, QRectF(QPointF(0, 0), page->size()));
            }
        };
        form.relatorio.ShowPreview();
    }

    // The best of three: the first also fills the glyph caches.
    double direct = 1e300;
    for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        QImage image(794, 1123, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.drawPicture(0, 0, firstPage);
        painter.end();
        direct = std::min(direct, millisecondsSince(start));
    }

    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    const double median = (sorted[kRuns / 2 - 1] + sorted[kRuns / 2]) / 2;
    std::printf("first page in the store after ShowPreview, %d runs: min %.1f ms, median %.1f ms, "
                "max %.1f ms (first run %.1f ms)\n",
                kRuns, sorted.front(), median, sorted.back(), latencies.front());
    std::printf("preview shown after: first run %.1f ms, then at most %.1f ms\n", shown.front(),
                *std::max_element(shown.begin() + 1, shown.end()));
    std::printf("page 1 drawn directly onto a QImage: %.1f ms; ratio (median / direct) %.1f\n",
                direct, median / direct);
    return 0;
}
