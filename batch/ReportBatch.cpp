#include "batch/ReportBatch.h"

#include "app/PeriodDefaults.h"
#include "batch/BatchOutputs.h"
#include "batch/StopSignals.h"
#include "data/DataModCad.h"
#include "engine/band/BandReport.h"
#include "engine/print/BrExport.h"
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
        const auto* progress = notice<TBrProgressEvent>(event);
        if (!progress)
            return QObject::event(event);
        draw(progress->percent());
        return true;
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
    }

    bool m_shown;
    bool m_drawn = false;
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

// Generates the report as the preview would, its pages written aside for
// `file`. Gives the finished store, whose commitPages() puts the file in place,
// and what a PDF of the pages is titled.
std::pair<std::unique_ptr<TBrPrinter>, TPdfInfo> generate(const ReportRequest& request,
                                                          TdmdCadastro& data, const QString& file,
                                                          TStopSignals& stop) {
    TfrmImpressao form(data);
    form.setPeriod(MonthNames().at(request.monthIndex), request.yearText);
    auto store = GenerateReportPages(form.relatorio, file, stop);
    return {std::move(store), form.relatorio.DocumentInfo()};
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
    // Pages that are neither opened nor saved live in a scratch folder.
    std::optional<QTemporaryDir> scratch;
    QString file = request.open.value_or(QString());
    TPdfInfo info; // a saved file does not say which period and firm it lists
    if (!request.open) {
        if (!request.save) {
            const QString scratchTemplate =
                TBrStream::temporaryFolder() + QStringLiteral("/tavim-XXXXXX");
            scratch.emplace(scratchTemplate);
            if (!scratch->isValid())
                throw EFCreateError(scratchTemplate, scratch->errorString());
        }
        const QString target =
            request.save ? *request.save : scratch->filePath(QStringLiteral("listing.brp"));
        auto [generated, documentInfo] = generate(request, data, target, stop);
        info = documentInfo;
        if (request.save) {
            file = generated->pagesWrittenTo();
            outputs.keepSavedPages(std::move(generated));
        } else {
            generated->commitPages();
            file = target;
        }
        stop.check();
    }
    // Nothing reads the pages back: the saved file is all there is to write.
    if (!request.pdf && !request.pngFolder && !request.print)
        return;

    TBrPrinter store;
    store.load(file);
    if (outputs.pdf()) {
        ExportPdf(store, *outputs.pdf(), info);
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
