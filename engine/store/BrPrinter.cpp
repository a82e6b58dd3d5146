#include "engine/store/BrPrinter.h"

#include "engine/emf/DeviceRounding.h"
#include "engine/emf/MetafileRecorder.h"
#include "engine/print/BrPrintJob.h"
#include "engine/print/BrSaveFile.h"
#include "engine/print/CachedPrinterDriver.h"
#include "engine/print/PrinterDriver.h"
#include "engine/print/PrinterSettings.h"
#include "engine/store/BrNotices.h"
#include "engine/store/BrPageList.h"
#include "engine/store/BrStream.h"
#include "engine/store/PendingEvents.h"
#include "engine/store/ThreadHandOff.h"
#include "error/BrError.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QObject>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>

namespace tavim {

namespace {

// Paper-table entries that a loaded page's size is compared with.
constexpr int kFirstMatchedPaper = 1;
constexpr int kLastMatchedPaper = 26;

} // namespace

struct TBrPrinter::Private {
    explicit Private(std::unique_ptr<TPrinterDriver> printerDriver)
        : job(std::move(printerDriver)) {}

    // The printer and its job: user-interface thread only.
    TBrPrintJob job;
    // Set before a run starts, read by the run.
    TBrDestination destination = TBrDestination::PageImages;
    QString title;
    int firstPage = 0;
    int lastPage = 0;
    std::atomic<bool> cancelled = false;

    // The run's own: its page setup, copied when it is handed the printer
    // settings, and its device mapping, set when its document begins.
    TBrPageSetup setup;
    long double horizontalFactor = 1;
    long double verticalFactor = 1;
    int leftOffset = 0;
    int topOffset = 0;

    // Document state shared with the user-interface thread.
    mutable std::mutex mutex;
    TBrStatus status = TBrStatus::Ready;
    int pageCount = 0;
    int pageNumber = 0;
    int availablePages = 0;
    std::shared_ptr<TBrPageList> pages;
    // Set by endDoc only: an aborted document is never committed as a saved file.
    bool complete = false;
    std::exception_ptr runError;

    // The notices' receiver. Posting holds the lock, and the receiver is let
    // go under it (by setClient or its own destruction), so a notice never
    // reaches a receiver that is gone: Qt drops what was posted to it.
    std::mutex clientMutex;
    QObject* client = nullptr;
    QMetaObject::Connection clientGone;

    // Held by the producing calls (newPage, endDoc, abortDoc) while they touch
    // the page list, and by load while it detaches a busy document; a
    // detached run keeps drawing on throw-away images and touches nothing else.
    std::mutex runMutex;
    std::atomic<bool> detached = false;
    // Counts documents begun and files loaded; a notice of an older one is dropped.
    int generation = 0;

    // The file the next page-image document is written to, if any (writePagesTo).
    std::unique_ptr<TBrStream> pageFile;
    // Set before a run; called by the producing thread only.
    std::function<void(int page, const TMetafile& image)> pageSink;

    // The open page's drawing surface, used by the producing thread only.
    std::unique_ptr<TMetafileRecorder> recorder;
    QPainter imagePainter;
    QPainter* canvas = nullptr;

    // User-interface thread only.
    TBrStoreOwner* owner = nullptr;
    bool reportLoaded = false;
    bool showingPreview = false;
    std::function<void()> printerSetupHook;
    std::function<void()> afterPreview;
    std::function<void()> afterPrint;

    void post(QEvent* event);
    void setClient(QObject* receiver);
    void notifyPageAvailable();
    bool inPrintRange(int page) const;
    QSize pageImageSize() const;
    void openImage();
    std::optional<TMetafile> closeImage();
    void append(const TMetafile& image);
    void closePage();
    void openPage();
    void discardSurface();
    void endDetached();
    void matchPaper(const TMetafile& page);
};

void TBrPrinter::Private::post(QEvent* event) {
    std::lock_guard lock(clientMutex);
    if (!client) {
        delete event;
        return;
    }
    handOffRelease(event);
    QCoreApplication::postEvent(client, event);
}

void TBrPrinter::Private::setClient(QObject* receiver) {
    std::lock_guard lock(clientMutex);
    QObject::disconnect(clientGone);
    client = receiver;
    if (!receiver)
        return;
    // Direct: it runs in the receiver's destructor, before its memory goes.
    clientGone = QObject::connect(receiver, &QObject::destroyed, [this] {
        std::lock_guard gone(clientMutex);
        client = nullptr;
    });
}

void TBrPrinter::Private::notifyPageAvailable() {
    std::unique_lock lock(mutex);
    const int available = ++availablePages;
    lock.unlock();
    post(new TBrPageAvailableEvent(available));
}

bool TBrPrinter::Private::inPrintRange(int page) const {
    return (firstPage <= 0 || page >= firstPage) && (lastPage <= 0 || page <= lastPage);
}

QSize TBrPrinter::Private::pageImageSize() const {
    return QSize(roundHalfEven(setup.paperWidth * kScreenFactor),
                 roundHalfEven(setup.paperLength * kScreenFactor));
}

void TBrPrinter::Private::openImage() {
    recorder = std::make_unique<TMetafileRecorder>(pageImageSize());
    imagePainter.begin(recorder->device());
    canvas = &imagePainter;
}

std::optional<TMetafile> TBrPrinter::Private::closeImage() {
    if (!recorder)
        return std::nullopt;
    if (imagePainter.isActive())
        imagePainter.end();
    canvas = nullptr;
    TMetafile image = recorder->finish();
    recorder.reset();
    return image;
}

void TBrPrinter::Private::append(const TMetafile& image) {
    pages->append(image);
    if (pageSink)
        pageSink(pages->count(), image);
}

void TBrPrinter::Private::closePage() {
    if (destination == TBrDestination::PageImages) {
        if (const std::optional<TMetafile> image = closeImage())
            append(*image);
    } else if (inPrintRange(pageCount)) {
        if (pageCount != lastPage)
            job.nextSheet();
    } else {
        closeImage();
    }
    notifyPageAvailable();
}

void TBrPrinter::Private::openPage() {
    if (destination == TBrDestination::PageImages) {
        horizontalFactor = verticalFactor = kScreenFactor;
        openImage();
        return;
    }
    if (!inPrintRange(pageCount)) {
        openImage();
        return;
    }
    if (!job.started())
        job.start();
    horizontalFactor = static_cast<long double>(setup.pixelsPerInchX) / 254;
    verticalFactor = static_cast<long double>(setup.pixelsPerInchY) / 254;
    canvas = &job.painter();
}

void TBrPrinter::Private::discardSurface() {
    closeImage();
    canvas = nullptr;
}

// The end of a run whose document a load replaced: its job is abandoned and
// nothing of it reaches the store.
void TBrPrinter::Private::endDetached() {
    job.abandon();
    discardSurface();
    detached = false;
}

// Requests the paper whose size (in whole units of 4 mm) matches the page,
// portrait or the other way round; a later match overrides an earlier one.
void TBrPrinter::Private::matchPaper(const TMetafile& page) {
    const int width = static_cast<int>(page.size().width() / kScreenFactor / 40);
    const int length = static_cast<int>(page.size().height() / kScreenFactor / 40);
    for (int i = kFirstMatchedPaper; i <= kLastMatchedPaper; ++i) {
        const TBrPaperSize paper = paperAt(i);
        const int paperWidth = static_cast<int>(paperWidthMm(paper) / 4);
        const int paperLength = static_cast<int>(paperLengthMm(paper) / 4);
        if (width == paperWidth && length == paperLength) {
            job.settings().setPaperSize(paper);
            job.settings().setOrientation(TBrOrientation::Portrait);
        } else if (width == paperLength && length == paperWidth) {
            job.settings().setPaperSize(paper);
            job.settings().setOrientation(TBrOrientation::Landscape);
        }
    }
}

TBrPrinter::TBrPrinter()
    : TBrPrinter(std::make_unique<TCachedPrinterDriver>(TPrinterCatalog::process())) {}

TBrPrinter::TBrPrinter(std::unique_ptr<TPrinterDriver> driver)
    : d(std::make_unique<Private>(std::move(driver))) {
    d->setup = d->job.settings().pageSetup();
    d->leftOffset = d->setup.leftOffset;
    d->topOffset = d->setup.topOffset;
}

TBrPrinter::~TBrPrinter() {
    d->setClient(nullptr);
    d->job.abandon();
    d->discardSurface();
}

void TBrPrinter::takePrinterSettings(const QString& printerName, TBrPaperSize paper,
                                     long double customWidth, long double customLength,
                                     TBrOrientation orientation, int copies, TBrBin bin,
                                     int firstPage, int lastPage) {
    TPrinterSettings& settings = d->job.settings();
    if (d->job.printerAvailable())
        settings.selectPrinter(printerName);
    settings.setPaperSize(paper);
    if (settings.paperSize() == TBrPaperSize::Custom) {
        settings.setPaperWidth(customWidth);
        settings.setPaperLength(customLength);
    }
    settings.setOrientation(orientation);
    settings.setCopies(copies);
    settings.setOutputBin(bin);
    d->firstPage = firstPage;
    d->lastPage = lastPage;
    d->setup = settings.pageSetup();
}

void TBrPrinter::setDestination(TBrDestination destination) {
    d->destination = destination;
}

TBrDestination TBrPrinter::destination() const {
    return d->destination;
}

// Pages are never compressed: the flag is accepted and the file says 0.
void TBrPrinter::setCompression(bool) {}

void TBrPrinter::beginDoc() {
    std::lock_guard run(d->runMutex);
    {
        std::lock_guard lock(d->mutex);
        if (d->status != TBrStatus::Ready || d->detached)
            throw EBrError(QStringLiteral("Report printer not ready"));
    }
    d->discardSurface();
    d->cancelled = false;
    const bool toPrinter = d->destination == TBrDestination::Printer;
    // A print run is on the user-interface thread, the printer's owner.
    if (toPrinter && d->job.printerAvailable())
        d->job.settings().applyToPrinter();
    d->leftOffset = toPrinter ? d->setup.leftOffset : 0;
    d->topOffset = toPrinter ? d->setup.topOffset : 0;
    if (toPrinter) {
        d->horizontalFactor = static_cast<long double>(d->setup.pixelsPerInchX) / 254;
        d->verticalFactor = static_cast<long double>(d->setup.pixelsPerInchY) / 254;
    } else {
        d->horizontalFactor = d->verticalFactor = kScreenFactor;
    }
    std::unique_ptr<TBrStream> stream = std::move(d->pageFile);
    std::lock_guard lock(d->mutex);
    ++d->generation;
    d->availablePages = 0;
    d->pageNumber = 0;
    d->pageCount = 0;
    d->complete = false;
    d->status = TBrStatus::Busy;
    if (!toPrinter)
        d->pages = std::make_shared<TBrPageList>(stream ? std::move(stream)
                                                        : std::make_unique<TBrStream>());
}

void TBrPrinter::newPage() {
    std::lock_guard run(d->runMutex);
    if (d->detached) {
        d->discardSurface();
        d->openImage();
        return;
    }
    int open = 0;
    {
        std::lock_guard lock(d->mutex);
        if (d->status != TBrStatus::Busy)
            throw EBrError(QStringLiteral("Illegal call to NewPage"));
        open = d->pageNumber;
    }
    if (open > 0)
        d->closePage();
    {
        std::lock_guard lock(d->mutex);
        ++d->pageCount;
        ++d->pageNumber;
    }
    d->openPage();
}

void TBrPrinter::endDoc() {
    int generation = 0;
    {
        std::lock_guard run(d->runMutex);
        if (d->detached) {
            d->endDetached();
            return;
        }
        int begun = 0;
        {
            std::lock_guard lock(d->mutex);
            if (d->status != TBrStatus::Busy)
                return;
            begun = d->pageNumber;
            generation = d->generation;
        }
        if (d->destination == TBrDestination::Printer) {
            try {
                d->job.finish();
            } catch (...) {
                d->discardSurface();
                std::lock_guard lock(d->mutex);
                d->status = TBrStatus::Finished;
                throw;
            }
            d->discardSurface();
        } else {
            if (begun > 0) {
                if (const std::optional<TMetafile> last = d->closeImage())
                    d->append(*last);
            }
            // Before the status says finished, so that a save never sees the
            // first page's count.
            d->pages->rewriteHeader();
        }
        std::lock_guard lock(d->mutex);
        d->complete = true;
        d->status = TBrStatus::Finished;
    }
    // Without the run lock: a handler may load a file into this store.
    processPendingEvents();
    {
        std::unique_lock lock(d->mutex);
        if (d->generation != generation)
            return;
    }
    d->notifyPageAvailable();
    if (d->destination == TBrDestination::Printer && d->afterPrint)
        d->afterPrint();
}

// Unlike endDoc, posts no notice; the header is still rewritten so that a
// saved aborted document states the pages it holds, also when an append failed.
void TBrPrinter::abortDoc() {
    std::lock_guard run(d->runMutex);
    if (d->detached) {
        d->endDetached();
        return;
    }
    {
        std::lock_guard lock(d->mutex);
        if (d->status != TBrStatus::Busy)
            return;
    }
    // Finished even when the stream fails here, so that nobody waits for it.
    std::exception_ptr failure;
    try {
        if (d->destination == TBrDestination::Printer) {
            d->job.abandon();
            d->discardSurface();
        } else {
            if (const std::optional<TMetafile> image = d->closeImage())
                d->pages->append(*image);
            d->pages->rewriteHeader();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    {
        std::lock_guard lock(d->mutex);
        d->status = TBrStatus::Finished;
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TBrPrinter::progress(int percent) {
    if (d->detached)
        return;
    d->post(new TBrProgressEvent(percent));
}

void TBrPrinter::cancel() {
    d->cancelled = true;
}

// A run detached by a load is cancelled, whatever the flag says now.
bool TBrPrinter::cancelled() const {
    return d->cancelled || d->detached;
}

void TBrPrinter::keepRunError(std::exception_ptr error) {
    std::lock_guard lock(d->mutex);
    d->runError = std::move(error);
}

void TBrPrinter::notifyRunFailed() {
    d->post(new TBrRunFailedEvent);
}

bool TBrPrinter::runFailed() const {
    std::lock_guard lock(d->mutex);
    return bool(d->runError);
}

std::exception_ptr TBrPrinter::takeRunError() {
    std::lock_guard lock(d->mutex);
    return std::exchange(d->runError, nullptr);
}

QPainter* TBrPrinter::canvas() {
    return d->canvas;
}

int TBrPrinter::toDeviceX(long double x) const {
    return roundHalfEven((x - d->leftOffset) * d->horizontalFactor);
}

int TBrPrinter::toDeviceY(long double y) const {
    return roundHalfEven((y - d->topOffset) * d->verticalFactor);
}

int TBrPrinter::toDeviceWidth(long double w) const {
    return roundHalfEven(w * d->horizontalFactor);
}

int TBrPrinter::toDeviceHeight(long double h) const {
    return roundHalfEven(h * d->verticalFactor);
}

long double TBrPrinter::horizontalFactor() const {
    return d->horizontalFactor;
}

long double TBrPrinter::verticalFactor() const {
    return d->verticalFactor;
}

TBrStatus TBrPrinter::status() const {
    std::lock_guard lock(d->mutex);
    return d->status;
}

int TBrPrinter::pageCount() const {
    std::lock_guard lock(d->mutex);
    return d->pageCount;
}

int TBrPrinter::pageNumber() const {
    std::lock_guard lock(d->mutex);
    return d->pageNumber;
}

int TBrPrinter::availablePages() const {
    std::lock_guard lock(d->mutex);
    return d->availablePages;
}

const QString& TBrPrinter::title() const {
    return d->title;
}

void TBrPrinter::setTitle(const QString& title) {
    d->title = title;
    d->job.setTitle(title);
}

std::optional<TMetafile> TBrPrinter::getPage(int n) {
    std::shared_ptr<TBrPageList> pages;
    {
        std::lock_guard lock(d->mutex);
        if (d->status == TBrStatus::Ready || n < 1 || n > d->pageCount)
            return std::nullopt;
        pages = d->pages;
    }
    if (!pages || n > pages->count())
        return std::nullopt;
    return pages->read(n);
}

void TBrPrinter::save(const QString& fileName) {
    std::shared_ptr<TBrPageList> pages;
    {
        std::lock_guard lock(d->mutex);
        if (d->status != TBrStatus::Finished || !d->pages)
            return;
        pages = d->pages;
    }
    // Written aside and put in place at the end, so that saving over the opened
    // file itself, or failing half-way, never destroys the pages being copied.
    TBrSaveFile file(fileName);
    pages->copyTo(file);
    file.commit();
}

void TBrPrinter::writePagesTo(const QString& fileName) {
    auto stream = TBrStream::createFile(fileName);
    std::lock_guard run(d->runMutex);
    d->pageFile = std::move(stream);
}

void TBrPrinter::setPageSink(std::function<void(int page, const TMetafile& image)> sink) {
    d->pageSink = std::move(sink);
}

void TBrPrinter::commitPages() {
    std::shared_ptr<TBrPageList> pages;
    {
        std::lock_guard lock(d->mutex);
        if (d->status != TBrStatus::Finished || !d->complete || !d->pages)
            return;
        pages = d->pages;
    }
    pages->commit();
}

QString TBrPrinter::pagesWrittenTo() const {
    std::lock_guard lock(d->mutex);
    return d->complete && d->pages ? d->pages->fileName() : QString();
}

// The file is read and checked whole, aside, before anything is replaced: a
// file that fails leaves the pages shown, and a run going on, as they were.
void TBrPrinter::load(const QString& fileName) {
    auto pages = std::make_shared<TBrPageList>(TBrStream::openFile(fileName));
    pages->open();
    const int count = pages->count();
    const TMetafile first = pages->read(1);
    {
        std::lock_guard run(d->runMutex);
        std::lock_guard lock(d->mutex);
        if (d->status == TBrStatus::Busy)
            d->detached = true;
        d->cancelled = false;
        ++d->generation;
        d->pages = std::move(pages);
        d->pageFile.reset();
        d->complete = false;
        d->status = TBrStatus::Finished;
        d->pageCount = count;
        d->pageNumber = 0;
        d->availablePages = count;
        d->printerSetupHook = nullptr;
        d->reportLoaded = true;
    }
    d->matchPaper(first);
}

bool TBrPrinter::print() {
    if (d->owner && !d->reportLoaded) {
        d->owner->printRequested();
        return false;
    }
    std::shared_ptr<TBrPageList> pages;
    int count = 0;
    {
        std::lock_guard lock(d->mutex);
        if (d->status != TBrStatus::Finished || !d->pages || !d->job.printerAvailable())
            return false;
        pages = d->pages;
        count = std::min(d->pageCount, pages->count());
    }
    d->job.abandon();
    d->job.settings().applyToPrinter();
    const int first = d->firstPage > 0 ? d->firstPage : 1;
    const int last = d->lastPage > 0 ? std::min(d->lastPage, count) : count;
    if (first > last)
        return false;
    d->job.start();
    const QRectF target = d->job.sheetRect();
    // Cancelling is looked at once more after the last page: a job cancelled
    // at any point is abandoned whole.
    const auto cancelledNow = [this] {
        processPendingEvents();
        return bool(d->cancelled);
    };
    try {
        for (int i = first; i <= last && !cancelledNow(); ++i) {
            pages->read(i).play(d->job.painter(), target);
            if (i != last)
                d->job.nextSheet();
        }
    } catch (...) {
        d->job.abandon();
        throw;
    }
    if (cancelledNow()) {
        d->job.abandon();
        return false;
    }
    d->job.finish();
    return true;
}

void TBrPrinter::setClient(QObject* client) {
    d->setClient(client);
}

void TBrPrinter::setOwner(TBrStoreOwner* owner) {
    d->owner = owner;
}

bool TBrPrinter::reportLoaded() const {
    return d->reportLoaded;
}

void TBrPrinter::setShowingPreview(bool showing) {
    const bool leaving = d->showingPreview && !showing;
    d->showingPreview = showing;
    if (!leaving)
        return;
    if (status() == TBrStatus::Busy)
        d->cancelled = true;
    if (d->afterPreview)
        d->afterPreview();
}

void TBrPrinter::closePreview() {
    if (d->owner)
        d->owner->previewClosed();
}

// The dialog lists the system's printers afresh: so does the next store.
void TBrPrinter::printerSetup() {
    if (!d->printerSetupHook)
        return;
    d->printerSetupHook();
    TPrinterCatalog::process()->refresh();
}

void TBrPrinter::setPrinterSetupHook(std::function<void()> hook) {
    d->printerSetupHook = std::move(hook);
}

void TBrPrinter::setAfterPreview(std::function<void()> callback) {
    d->afterPreview = std::move(callback);
}

void TBrPrinter::setAfterPrint(std::function<void()> callback) {
    d->afterPrint = std::move(callback);
}

bool TBrPrinter::printerAvailable() const {
    return d->job.printerAvailable();
}

TPrinterSettings& TBrPrinter::settings() {
    return d->job.settings();
}

TBrPageSetup TBrPrinter::pageSetup() const {
    return d->job.settings().pageSetup();
}

int TBrPrinter::firstPage() const {
    return d->firstPage;
}

int TBrPrinter::lastPage() const {
    return d->lastPage;
}

void TBrPrinter::setOutputFileName(const QString& fileName) {
    d->job.setOutputFileName(fileName);
}

void TBrPrinter::setDocumentInfo(const TPdfInfo& info) {
    d->job.setDocumentInfo(info);
}

} // namespace tavim
