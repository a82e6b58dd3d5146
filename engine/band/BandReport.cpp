#include "engine/band/BandReport.h"

#include "data/MemTable.h"
#include "engine/band/BrBand.h"
#include "engine/band/BrCanvas.h"
#include "engine/band/BrCreateReportThread.h"
#include "engine/band/BrCustomLabel.h"
#include "engine/band/BrFonts.h"
#include "engine/band/BrPrintable.h"
#include "engine/band/BrUnits.h"
#include "engine/print/PrinterDriver.h"
#include "engine/store/PendingEvents.h"

#include <QObject>
#include <QPainter>
#include <QSet>
#include <algorithm>
#include <utility>

namespace tavim {

namespace {

// Runs an action when the scope is left, however it is left.
template <class F> class Finally {
public:
    explicit Finally(F action) : m_action(std::move(action)) {}
    ~Finally() { m_action(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    F m_action;
};

void fillRect(TBrCanvas& canvas, long double left, long double top, long double width,
              long double height, const QColor& color) {
    const QPoint topLeft(canvas.toDeviceX(left), canvas.toDeviceY(top));
    const QPoint end(canvas.toDeviceX(left + width), canvas.toDeviceY(top + height));
    canvas.fillRect(QRect(topLeft, end - QPoint(1, 1)), color);
}

} // namespace

TBandReport::TBandReport(TComponent* owner, const QString& name) : TComponent(owner, name) {}

TBandReport::~TBandReport() = default;

void TBandReport::removeBand(TBrBand* band) {
    m_bands.erase(std::remove(m_bands.begin(), m_bands.end(), band), m_bands.end());
}

TBrBand* TBandReport::band(TBrBandType type) const {
    const auto it = std::find_if(m_bands.begin(), m_bands.end(),
                                 [type](const TBrBand* b) { return b->BandType == type; });
    return it == m_bands.end() ? nullptr : *it;
}

bool TBandReport::claim() {
    bool expected = true;
    if (!m_idle.compare_exchange_strong(expected, false))
        return false;
    // Cleared here rather than in the run: a preview may close before its
    // worker has even started.
    m_cancelled = false;
    return true;
}

void TBandReport::ensureFonts() const {
    QSet<QString> families;
    forEachControl([&families](TBrPrintable& control) {
        if (const auto* label = dynamic_cast<const TBrCustomLabel*>(&control))
            families.insert(label->Font.family());
    });
    for (const QString& family : families)
        ensureReportFont(family);
}

void TBandReport::ShowPreview() {
    if (!claim())
        return;
    std::unique_ptr<TBrPrinter> store = pageImageStore();
    TBrPrinter& preview = *store;
    preview.setOwner(this);
    preview.setPrinterSetupHook([this, &preview] {
        if (PrinterSetupHook)
            PrinterSetupHook(*this, preview);
    });
    m_store = std::move(store);
    const Finally end([this] { m_store.reset(); });
    runOnWorker(preview, [&](TBrCreateReportThread&) {
        if (PreviewHook)
            PreviewHook(preview);
    });
}

void TBandReport::runOnWorker(TBrPrinter& store,
                              const std::function<void(TBrCreateReportThread&)>& meanwhile) {
    // The worker moves the table: its views hear nothing until the run is over
    // and then reload, on this thread.
    TMemTable* const table = DataSet;
    if (table)
        table->suspendViews();
    TBrCreateReportThread worker(*this, store);
    const Finally end([&] {
        if (!worker.finished())
            Cancel();
        worker.join();
        if (table)
            table->resumeViews();
    });
    meanwhile(worker);
    worker.join();
    // Not taken yet when the preview closed before it could show it.
    if (const std::exception_ptr error = store.takeRunError())
        std::rethrow_exception(error);
}

void TBandReport::PrintToPrinter() {
    if (!claim())
        return;
    std::unique_ptr<TBrPrinter> fresh;
    std::unique_ptr<QObject> progress;
    try {
        ensureFonts();
        fresh = makeStore();
        if (fresh->printerAvailable()) {
            handOver(*fresh);
            fresh->setDestination(TBrDestination::Printer);
            if (ProgressHook)
                progress = ProgressHook(*fresh, ShowProgress);
        }
    } catch (...) {
        m_idle = true;
        throw;
    }
    if (!fresh->printerAvailable()) {
        m_idle = true;
        return;
    }
    if (progress)
        fresh->setClient(progress.get());
    std::unique_ptr<TBrPrinter> aside = std::exchange(m_store, std::move(fresh));
    const Finally restore([&] {
        m_store->setClient(nullptr);
        progress.reset();
        m_store = std::move(aside);
    });
    run(*m_store);
}

std::unique_ptr<TBrPrinter> TBandReport::Generate(QObject* progress) {
    if (!claim())
        return nullptr;
    std::unique_ptr<TBrPrinter> store = pageImageStore();
    TBrPrinter& generated = *store;
    generated.setClient(progress);
    const Finally letGo([&generated] { generated.setClient(nullptr); });
    // On a worker, as a preview's run: this thread only handles its events
    // (progress, a request to stop) until the run has ended.
    runOnWorker(generated, [](TBrCreateReportThread& worker) { worker.waitHandlingEvents(); });
    return store;
}

void TBandReport::Cancel() {
    m_cancelled = true;
    if (m_store)
        m_store->cancel();
}

void TBandReport::printRequested() {
    PrintToPrinter();
}

void TBandReport::previewClosed() {
    // An idle report's preview store goes when ShowPreview returns.
    if (m_idle)
        return;
    Cancel();
}

// Claimed; on failure the report is idle again.
std::unique_ptr<TBrPrinter> TBandReport::pageImageStore() {
    try {
        ensureFonts();
        std::unique_ptr<TBrPrinter> store = makeStore();
        handOver(*store);
        store->setDestination(TBrDestination::PageImages);
        if (!PageFile.isEmpty())
            store->writePagesTo(PageFile);
        store->setPageSink(PageSink);
        // Settled here, while the grid still hears the table, so that an edit
        // pending in its editor is written before the run owns the table.
        if (DataSet && DataSet->active())
            DataSet->SettleRow();
        return store;
    } catch (...) {
        m_idle = true;
        throw;
    }
}

std::unique_ptr<TBrPrinter> TBandReport::makeStore() const {
    if (PrinterDriver)
        return std::make_unique<TBrPrinter>(PrinterDriver());
    return std::make_unique<TBrPrinter>();
}

void TBandReport::run(TBrPrinter& store) {
    std::exception_ptr error;
    {
        const Finally idleAtEnd([this] {
            m_runStore = nullptr;
            m_canvas = nullptr;
            m_idle = true;
        });
        try {
            generate(store);
        } catch (...) {
            // A failed run's document is incomplete: abandon it and keep the
            // pages so far; the error is kept before the report is idle, so
            // whoever waits for idle finds it.
            error = std::current_exception();
            try {
                store.abortDoc();
            } catch (...) {
            }
            store.keepRunError(error);
        }
    }
    if (!error)
        return;
    store.notifyRunFailed();
    std::rethrow_exception(error);
}

void TBandReport::generate(TBrPrinter& store) {
    m_lastPage = false;
    bool printReport = true;
    if (BeforePrint)
        BeforePrint(*this, printReport);
    if (!printReport)
        return;
    TBrPrinterCanvas canvas(store);
    m_runStore = &store;
    m_canvas = &canvas;
    produce(store);
    if (m_cancelled)
        store.abortDoc();
    else
        store.endDoc();
}

// On the thread that starts the run, before it starts: the printer belongs to
// that thread, and the run lays its pages out by the store's copy.
void TBandReport::handOver(TBrPrinter& store) const {
    store.takePrinterSettings(PrinterSettings.PrinterName, Page.PaperSize, Page.width(),
                              Page.length(), Page.Orientation, PrinterSettings.Copies,
                              PrinterSettings.OutputBin, PrinterSettings.FirstPage,
                              PrinterSettings.LastPage);
    store.setTitle(ReportTitle);
    store.setDocumentInfo(DocumentInfo ? DocumentInfo() : TPdfInfo{});
    store.setOutputFileName(PrinterSettings.OutputFileName);
    store.setCompression(Options.Compression);
}

void TBandReport::produce(TBrPrinter& store) {
    store.beginDoc();
    m_vpos = -1;
    m_pageCount = 0;
    m_footerAllowance = 0;
    for (const TBrBand* b : m_bands) {
        if (b->BandType == TBrBandType::rbPageFooter && b->Enabled)
            m_footerAllowance += b->height();
    }
    m_hpos = nearest(Page.leftMargin());
    forEachControl([](TBrPrintable& control) { control.prepare(); });
    const Finally unprepare(
        [this] { forEachControl([](TBrPrintable& control) { control.unprepare(); }); });
    walk();
    m_hpos = nearest(Page.leftMargin());
    m_lastPage = true;
    if (!m_cancelled)
        finishPage();
}

void TBandReport::forEachControl(const std::function<void(TBrPrintable&)>& action) const {
    for (const TBrBand* b : m_bands) {
        for (TBrPrintable* control : b->controls())
            action(*control);
    }
}

void TBandReport::walk() {
    TMemTable* const table = DataSet;
    if (!table || !table->active()) {
        if (PrintIfEmpty)
            emptyOutput();
        return;
    }
    table->FirstRow();
    bool moreRows = !table->eof();
    // A table read as the rows come does not know how many there are: no
    // percentage is told.
    m_recordCount = table->forwardOnly() ? 0 : table->rowCount();
    if (!moreRows && PrintIfEmpty)
        emptyOutput();
    m_detailCount = 0;
    if (!moreRows)
        return;
    processPendingEvents();
    if (m_cancelled)
        return;
    outputBand(band(TBrBandType::rbTitle));
    TBrBand* const columnHeader = band(TBrBandType::rbColumnHeader);
    if (m_pageCount <= 1 && columnHeader && columnHeader->Enabled)
        outputBand(columnHeader);
    while (moreRows) {
        processPendingEvents();
        if (stopRequested())
            return;
        ++m_detailCount;
        outputBand(band(TBrBandType::rbDetail));
        table->MoveRows(1);
        moreRows = !table->eof();
        if (m_recordCount != 0)
            m_runStore->progress(int(m_detailCount * 100LL / m_recordCount));
    }
    TBrBand* const summary = band(TBrBandType::rbSummary);
    if (!summary)
        return;
    if (m_pageCount == 0)
        beginPage();
    outputBand(summary);
}

void TBandReport::emptyOutput() {
    outputBand(band(TBrBandType::rbTitle));
    outputBand(band(TBrBandType::rbDetail));
    outputBand(band(TBrBandType::rbSummary));
}

void TBandReport::outputBand(TBrBand* band) {
    if (!band)
        return;
    bool printBand = band->Enabled;
    if (band->Enabled && band->BeforePrint)
        band->BeforePrint(*band, printBand);
    if (printBand) {
        spaceCheck(*band);
        if (band->height() != 0) {
            fillRect(*m_canvas, m_hpos, m_vpos, band->width(), band->height(), band->Color);
            for (TBrPrintable* control : band->controls()) {
                if (control->Enabled)
                    control->print(*m_canvas, m_hpos, m_vpos);
            }
            m_vpos += nearest(band->height());
        }
    }
    if (band->AfterPrint)
        band->AfterPrint(*band, printBand);
}

void TBandReport::spaceCheck(const TBrBand& band) {
    // The page footer has its fixed place; the page header starts a page, and
    // breaking again for it could never end.
    const bool mayBreak =
        band.BandType != TBrBandType::rbPageFooter && band.BandType != TBrBandType::rbPageHeader;
    const int h = nearest(band.height());
    if (mayBreak && h > availableSpace() &&
        h <= Page.length() - (Page.topMargin() + Page.bottomMargin())) {
        pageBreak();
        return;
    }
    if (m_pageCount == 0)
        pageBreak();
}

int TBandReport::availableSpace() const {
    if (m_vpos < 0)
        return 0;
    return nearest(Page.length() - Page.bottomMargin() - m_footerAllowance - m_vpos);
}

void TBandReport::pageBreak() {
    m_hpos = nearest(Page.leftMargin());
    finishPage();
    beginPage();
}

void TBandReport::finishPage() {
    if (m_pageCount == 0)
        return;
    m_vpos = nearest(Page.length() - Page.bottomMargin() - m_footerAllowance);
    m_hpos = nearest(Page.leftMargin());
    if (!m_lastPage || Options.LastPageFooter)
        outputBand(band(TBrBandType::rbPageFooter));
}

void TBandReport::beginPage() {
    ++m_pageCount;
    m_runStore->newPage();
    m_vpos = nearest(Page.topMargin());
    if (m_pageCount > 1 || Options.FirstPageHeader)
        outputBand(band(TBrBandType::rbPageHeader));
}

bool TBandReport::stopRequested() const {
    // The report's own flag counts too: beginning the document clears the
    // store's, and a preview may have closed before that.
    return m_cancelled || m_runStore->cancelled();
}

} // namespace tavim
