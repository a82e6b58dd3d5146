#include "engine/BrPrinter.h"

#include "engine/BrError.h"
#include "engine/BrNotices.h"
#include "engine/BrPageList.h"
#include "engine/BrStream.h"
#include "engine/CachedPrinterDriver.h"
#include "engine/DeviceRounding.h"
#include "engine/PrinterDriver.h"
#include "engine/PrinterSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QObject>
#include <QPainter>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace tavim {

namespace {

constexpr long double kA4Width = 2100;
constexpr long double kA4Length = 2970;
// Paper-table entries that a loaded page's size is compared with.
constexpr int kFirstMatchedPaper = 1;
constexpr int kLastMatchedPaper = 26;

// Pending user-interface events are only ours to handle on the user-interface thread.
void processPendingEvents() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        QCoreApplication::processEvents();
}

} // namespace

struct TBrPrinter::Private {
    explicit Private(std::unique_ptr<TPrinterDriver> printerDriver)
        : driver(std::move(printerDriver)), printerAvailable(!driver->printers().isEmpty()),
          settings(driver.get()) {}

    std::unique_ptr<TPrinterDriver> driver;
    bool printerAvailable;
    TPrinterSettings settings;
    TBrDestination destination = TBrDestination::PageImages;
    QString title;
    int firstPage = 0;
    int lastPage = 0;
    std::atomic<bool> cancelled = false;

    // Device mapping; written by the producing thread and by load, which never
    // runs while a printer document is busy and finds page-image factors in place.
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
    QObject* client = nullptr;

    // Held by the producing calls (newPage, endDoc, abortDoc, progress) while they
    // touch the page list, and by load while it detaches a busy document; a
    // detached run keeps drawing on throw-away images and touches nothing else.
    std::mutex runMutex;
    std::atomic<bool> detached = false;
    // Counts documents begun and files loaded; a notice of an older one is dropped.
    int generation = 0;

    // The open page's drawing surface, used by the producing thread only.
    std::unique_ptr<TMetafileRecorder> recorder;
    QPainter imagePainter;
    QPainter printerPainter;
    bool jobStarted = false;
    QPainter* canvas = nullptr;

    TBrStoreOwner* owner = nullptr;
    bool reportLoaded = false;
    bool showingPreview = false;
    std::function<void()> printerSetupHook;
    std::function<void()> afterPreview;
    std::function<void()> afterPrint;
    QString outputFileName;
    QString pdfAuthor;

    void post(QEvent* event);
    void notifyPageAvailable();
    bool inPrintRange(int page) const;
    QSize pageImageSize() const;
    void openImage();
    std::optional<TMetafile> closeImage();
    void closePage();
    void openPage();
    void endJob(bool abort);
    void finishPdfFile();
    void discardSurface();
    void endDetached();
    void matchPaper(const TMetafile& page);
};

void TBrPrinter::Private::post(QEvent* event) {
    std::unique_lock lock(mutex);
    QObject* target = client;
    lock.unlock();
    if (!target) {
        delete event;
        return;
    }
    QCoreApplication::postEvent(target, event);
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
    long double width = settings.pageWidth();
    long double length = settings.pageLength();
    if (width <= 0 || length <= 0) {
        width = kA4Width;
        length = kA4Length;
    }
    if (settings.orientation() == TBrOrientation::Landscape)
        std::swap(width, length);
    return QSize(roundHalfEven(width * kScreenFactor), roundHalfEven(length * kScreenFactor));
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

void TBrPrinter::Private::closePage() {
    if (destination == TBrDestination::PageImages) {
        if (const std::optional<TMetafile> image = closeImage())
            pages->append(*image);
    } else if (inPrintRange(pageCount)) {
        if (pageCount != lastPage)
            driver->newSheet();
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
    if (!jobStarted) {
        driver->setJobName(title);
        jobStarted = printerPainter.begin(driver->device());
    }
    horizontalFactor = static_cast<long double>(settings.pixelsPerInchX()) / 254;
    verticalFactor = static_cast<long double>(settings.pixelsPerInchY()) / 254;
    canvas = &printerPainter;
}

void TBrPrinter::Private::endJob(bool abort) {
    if (!jobStarted)
        return;
    if (abort)
        driver->abortJob();
    printerPainter.end();
    jobStarted = false;
    if (!abort)
        finishPdfFile();
}

void TBrPrinter::Private::finishPdfFile() {
    if (!outputFileName.isEmpty())
        AddPdfAuthor(outputFileName, pdfAuthor);
}

void TBrPrinter::Private::discardSurface() {
    closeImage();
    canvas = nullptr;
}

// The end of a run whose document a load replaced: its job is abandoned and
// nothing of it reaches the store.
void TBrPrinter::Private::endDetached() {
    endJob(true);
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
            settings.setPaperSize(paper);
            settings.setOrientation(TBrOrientation::Portrait);
        } else if (width == paperLength && length == paperWidth) {
            settings.setPaperSize(paper);
            settings.setOrientation(TBrOrientation::Landscape);
        }
    }
}

TBrPrinter::TBrPrinter()
    : TBrPrinter(std::make_unique<TCachedPrinterDriver>(TPrinterCatalog::process())) {}

TBrPrinter::TBrPrinter(std::unique_ptr<TPrinterDriver> driver)
    : d(std::make_unique<Private>(std::move(driver))) {
    if (d->printerAvailable)
        d->settings.bind();
    d->leftOffset = d->settings.leftOffset();
    d->topOffset = d->settings.topOffset();
}

TBrPrinter::~TBrPrinter() {
    d->endJob(true);
    d->discardSurface();
}

void TBrPrinter::takePrinterSettings(int printerIndex, TBrPaperSize paper, long double customWidth,
                                     long double customLength, TBrOrientation orientation,
                                     int copies, TBrBin bin, int firstPage, int lastPage) {
    if (d->printerAvailable)
        d->settings.selectPrinter(printerIndex);
    d->settings.setPaperSize(paper);
    if (d->settings.paperSize() == TBrPaperSize::Custom) {
        d->settings.setPaperWidth(customWidth);
        d->settings.setPaperLength(customLength);
    }
    d->settings.setOrientation(orientation);
    d->settings.setCopies(copies);
    d->settings.setOutputBin(bin);
    d->firstPage = firstPage;
    d->lastPage = lastPage;
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
    if (toPrinter && d->printerAvailable)
        d->settings.applyToPrinter();
    d->leftOffset = toPrinter ? d->settings.leftOffset() : 0;
    d->topOffset = toPrinter ? d->settings.topOffset() : 0;
    if (toPrinter) {
        d->horizontalFactor = static_cast<long double>(d->settings.pixelsPerInchX()) / 254;
        d->verticalFactor = static_cast<long double>(d->settings.pixelsPerInchY()) / 254;
    } else {
        d->horizontalFactor = d->verticalFactor = kScreenFactor;
    }
    std::lock_guard lock(d->mutex);
    ++d->generation;
    d->availablePages = 0;
    d->pageNumber = 0;
    d->pageCount = 0;
    d->status = TBrStatus::Busy;
    if (!toPrinter)
        d->pages = std::make_shared<TBrPageList>(std::make_unique<TBrStream>());
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
            d->endJob(false);
            d->discardSurface();
        } else {
            if (begun > 0) {
                if (const std::optional<TMetafile> last = d->closeImage())
                    d->pages->append(*last);
            }
            // Before the status says finished, so that a save never sees the
            // first page's count.
            d->pages->rewriteHeader();
        }
        std::lock_guard lock(d->mutex);
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
// saved aborted document states the pages it holds.
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
    if (d->destination == TBrDestination::Printer) {
        d->endJob(true);
        d->discardSurface();
    } else if (const std::optional<TMetafile> image = d->closeImage()) {
        d->pages->append(*image);
        d->pages->rewriteHeader();
    }
    std::lock_guard lock(d->mutex);
    d->status = TBrStatus::Finished;
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
    // Written aside and renamed, so that saving over the opened file itself, or
    // failing half-way, never destroys the pages being copied.
    QSaveFile file(fileName);
    const auto cannotCreate = [&] {
        return Exception(QStringLiteral("Cannot create file \"%1\". %2")
                             .arg(QFileInfo(fileName).absoluteFilePath(), file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreate();
    pages->copyTo(file);
    if (!file.commit())
        throw cannotCreate();
}

void TBrPrinter::load(const QString& fileName) {
    {
        std::lock_guard run(d->runMutex);
        std::lock_guard lock(d->mutex);
        if (d->status == TBrStatus::Busy)
            d->detached = true;
        d->cancelled = false;
        ++d->generation;
        d->pages.reset();
        d->status = TBrStatus::Ready;
        d->pageCount = 0;
        d->pageNumber = 0;
        d->availablePages = 0;
    }
    auto pages = std::make_shared<TBrPageList>(TBrStream::openFile(fileName));
    pages->open();
    if (!d->detached) {
        d->horizontalFactor = d->verticalFactor = kScreenFactor;
        d->leftOffset = d->topOffset = 0;
    }
    const int count = pages->count();
    if (count > 0)
        d->matchPaper(pages->read(1));
    std::lock_guard lock(d->mutex);
    d->pages = std::move(pages);
    d->pageCount = count;
    d->availablePages = count;
    d->status = TBrStatus::Finished;
    d->printerSetupHook = nullptr;
    d->reportLoaded = true;
}

void TBrPrinter::print() {
    if (d->owner && !d->reportLoaded) {
        d->owner->printRequested();
        return;
    }
    std::shared_ptr<TBrPageList> pages;
    int count = 0;
    {
        std::lock_guard lock(d->mutex);
        if (d->status != TBrStatus::Finished || !d->pages || !d->printerAvailable)
            return;
        pages = d->pages;
        count = std::min(d->pageCount, pages->count());
    }
    d->driver->setJobName(d->title);
    d->endJob(true);
    d->settings.applyToPrinter();
    const int first = d->firstPage > 0 ? d->firstPage : 1;
    const int last = d->lastPage > 0 ? std::min(d->lastPage, count) : count;
    if (first > last)
        return;
    QPainter painter;
    if (!painter.begin(d->driver->device()))
        return;
    const QRectF target(QPointF(0, 0), QSizeF(d->driver->printableSize()));
    try {
        for (int i = first; i <= last; ++i) {
            processPendingEvents();
            pages->read(i).play(painter, target);
            if (i != last)
                d->driver->newSheet();
            if (d->cancelled) {
                d->driver->abortJob();
                break;
            }
        }
    } catch (...) {
        d->driver->abortJob();
        painter.end();
        throw;
    }
    painter.end();
    if (!d->cancelled)
        d->finishPdfFile();
}

void TBrPrinter::setClient(QObject* client) {
    std::lock_guard lock(d->mutex);
    d->client = client;
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
    return d->printerAvailable;
}

TPrinterSettings& TBrPrinter::settings() {
    return d->settings;
}

int TBrPrinter::firstPage() const {
    return d->firstPage;
}

int TBrPrinter::lastPage() const {
    return d->lastPage;
}

void TBrPrinter::setOutputFileName(const QString& fileName) {
    d->outputFileName = fileName;
    d->driver->setOutputFileName(fileName);
}

void TBrPrinter::setDocumentInfo(const TPdfInfo& info) {
    d->pdfAuthor = info.author;
    d->driver->setDocumentInfo(info);
}

} // namespace tavim
