#include "batch/ReportBatch.h"

#include "app/PeriodDefaults.h"
#include "batch/BatchOutputs.h"
#include "batch/LiveOutput.h"
#include "batch/StopSignals.h"
#include "data/DataModCad.h"
#include "engine/band/BandReport.h"
#include "engine/export/BrExport.h"
#include "engine/export/BrSaveFolder.h"
#include "engine/print/BrSaveFile.h"
#include "engine/store/BrNotices.h"
#include "engine/store/BrPrinter.h"
#include "engine/store/BrStream.h"
#include "error/Exception.h"
#include "error/FileError.h"
#include "report/FrmImpressao.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>
#include <unistd.h>
#include <vector>

namespace tavim {

namespace {

// The run's progress notices as a bar on standard error, when that is a terminal.
class ProgressBar : public QObject {
public:
    ProgressBar() : m_shown(isatty(STDERR_FILENO)) {}
    // Every row's notice wakes this thread: only worth it when it is drawn.
    QObject* receiver() { return m_shown ? this : nullptr; }
    ~ProgressBar() override {
        if (m_shown && m_drawn)
            std::fputs("\n", stderr);
    }

protected:
    bool event(QEvent* event) override {
        if (const auto* progress = notice<TBrProgressEvent>(event)) {
            draw(progress->percent());
            return true;
        }
        // Rows read as they come have no known count: the pages made so far
        // are shown instead.
        if (const auto* page = notice<TBrPageAvailableEvent>(event)) {
            if (!m_percent)
                drawPages(page->pages());
            return true;
        }
        return QObject::event(event);
    }

private:
    void draw(int percent) {
        if (!m_shown)
            return;
        const int filled = qBound(0, percent, 100) * 40 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", QByteArray(filled, '#').constData(),
                     QByteArray(40 - filled, ' ').constData(), percent);
        std::fflush(stderr);
        m_drawn = true;
        m_percent = true;
    }

    void drawPages(int pages) {
        if (!m_shown)
            return;
        std::fprintf(stderr, "\r%d pages", pages);
        std::fflush(stderr);
        m_drawn = true;
    }

    bool m_shown;
    bool m_drawn = false;
    bool m_percent = false;
};

// Clears a stop action when its step is over, however it ends.
class StopAction {
public:
    StopAction(TStopSignals& stop, std::function<void()> action) : m_stop(stop) {
        m_stop.onStop = std::move(action);
    }
    ~StopAction() { m_stop.onStop = nullptr; }
    StopAction(const StopAction&) = delete;
    StopAction& operator=(const StopAction&) = delete;

private:
    TStopSignals& m_stop;
};

// The PDF and the page images the request asks for, written from the run's
// pages as they are finished.
std::vector<std::unique_ptr<TLiveOutput>> liveOutputs(TBatchOutputs& outputs,
                                                      const TPdfInfo& info) {
    std::vector<std::unique_ptr<TLiveOutput>> live;
    if (TBrSaveFile* pdf = outputs.pdf())
        live.push_back(std::make_unique<TLiveOutput>(
            [pdf, info](const TPageSource& pages) { ExportPdf(pages, *pdf, info); }));
    if (TBrSaveFolder* pngs = outputs.pngs())
        live.push_back(std::make_unique<TLiveOutput>(
            [pngs](const TPageSource& pages) { ExportPngs(pages, *pngs); }));
    return live;
}

// Generates the report as the preview would, its pages written aside for
// `file` and to the page outputs as they come. Gives the finished store, whose
// commitPages() puts the file in place.
std::unique_ptr<TBrPrinter> generate(const ReportRequest& request, TdmdCadastro& data,
                                     const QString& file, TStopSignals& stop,
                                     TBatchOutputs& outputs) {
    TfrmImpressao form(data);
    form.setPeriod(MonthNames().at(request.monthIndex), request.yearText);
    const TPdfInfo info = form.relatorio.DocumentInfo();
    const std::vector<std::unique_ptr<TLiveOutput>> live = liveOutputs(outputs, info);
    if (!live.empty())
        form.relatorio.PageSink = [&live](int page, const TMetafile& image) {
            for (const auto& output : live)
                output->feed().put(page, image);
        };
    auto store = GenerateReportPages(form.relatorio, file, stop);
    for (const auto& output : live)
        output->finish();
    stop.check();
    return store;
}

void print(const ReportRequest& request, TBrPrinter& store, TStopSignals& stop) {
    // Printing without a printer does nothing in the preview; here that would
    // report success for pages that went nowhere.
    if (!store.printerAvailable())
        throw Exception(QStringLiteral("No printer is installed"));
    store.takePrinterSettings(request.printer, TBrPaperSize::A4, 0, 0, TBrOrientation::Portrait,
                              request.copies, TBrBin::Auto, request.fromPage, request.toPage);
    stop.check();
    bool sent = false;
    {
        const StopAction cancel(stop, [&store] { store.cancel(); });
        sent = store.print();
    }
    // The queue has the job and will print it: a stop now cannot take it back,
    // so the call is no failure.
    if (sent) {
        if (stop.received() != 0)
            std::fputs("tavim-report: the print job had been sent when the stop arrived\n", stderr);
        return;
    }
    stop.check();
}

// Generates the listing into the outputs; pages neither saved nor printed are
// written in a scratch folder that goes with the call.
void writeGenerated(const ReportRequest& request, TdmdCadastro& data, TStopSignals& stop,
                    TBatchOutputs& outputs) {
    std::optional<QTemporaryDir> scratch;
    if (!request.save) {
        const QString scratchTemplate =
            TBrStream::temporaryFolder() + QStringLiteral("/tavim-XXXXXX");
        scratch.emplace(scratchTemplate);
        if (!scratch->isValid())
            throw EFCreateError(scratchTemplate, scratch->errorString());
    }
    const QString target =
        request.save ? *request.save : scratch->filePath(QStringLiteral("listing.brp"));
    std::unique_ptr<TBrPrinter> generated = generate(request, data, target, stop, outputs);
    // The PDF and the page images were written as the pages came; only
    // printing reads them back.
    QString file = target;
    if (request.save) {
        file = generated->pagesWrittenTo();
        outputs.keepSavedPages(std::move(generated));
    } else if (request.print) {
        generated->commitPages();
    }
    stop.check();
    if (!request.print)
        return;
    TBrPrinter store;
    store.load(file);
    print(request, store, stop);
}

} // namespace

std::unique_ptr<TBrPrinter> GenerateReportPages(TBandReport& report, const QString& file,
                                                TStopSignals& stop) {
    ProgressBar bar;
    report.PageFile = file;
    std::unique_ptr<TBrPrinter> store;
    {
        // The run ends before its next row.
        const StopAction cancel(stop, [&report] { report.Cancel(); });
        store = report.Generate(bar.receiver());
    }
    stop.check();
    if (!store || store->status() != TBrStatus::Finished)
        throw Exception(QStringLiteral("The report was not generated"));
    return store;
}

// Signals are only read between steps, so a step is never left half done;
// nothing is put in place before the last step has succeeded.
void WriteReportPages(const ReportRequest& request, TdmdCadastro& data, TStopSignals& stop,
                      TBatchOutputs& outputs) {
    if (!request.open) {
        writeGenerated(request, data, stop, outputs);
        return;
    }
    TBrPrinter store;
    store.load(*request.open);
    // A saved file does not say which period and firm it lists.
    if (outputs.pdf()) {
        ExportPdf(store, *outputs.pdf(), TPdfInfo{});
        stop.check();
    }
    if (outputs.pngs()) {
        ExportPngs(store, *outputs.pngs());
        stop.check();
    }
    if (request.print)
        print(request, store, stop);
}

} // namespace tavim
