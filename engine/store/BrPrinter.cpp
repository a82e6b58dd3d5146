#include "engine/store/BrPrinter.h"

#include "engine/print/BrSaveFile.h"
#include "engine/print/CachedPrinterDriver.h"
#include "engine/store/BrPageList.h"
#include "engine/store/BrStream.h"
#include "engine/store/PendingEvents.h"
#include "error/BrError.h"

#include <exception>

namespace tavim {

TBrPrinter::TBrPrinter()
    : TBrPrinter(std::make_unique<TCachedPrinterDriver>(TPrinterCatalog::process())) {}

TBrPrinter::TBrPrinter(std::unique_ptr<TPrinterDriver> driver)
    : m_session(std::move(driver)), m_surface(m_session.job().settings().pageSetup()) {}

TBrPrinter::~TBrPrinter() {
    m_notifier.setClient(nullptr);
    m_session.abandon();
    m_surface.discard();
}

void TBrPrinter::takePrinterSettings(const QString& printerName, TBrPaperSize paper,
                                     long double customWidth, long double customLength,
                                     TBrOrientation orientation, int copies, TBrBin bin,
                                     int firstPage, int lastPage) {
    m_surface.setPageSetup(m_session.takePrinterSettings(printerName, paper, customWidth,
                                                         customLength, orientation, copies, bin,
                                                         firstPage, lastPage));
}

// Pages are never compressed: the flag is accepted and the file says 0.
void TBrPrinter::setCompression(bool) {}

void TBrPrinter::append(const TMetafile& image) {
    const std::shared_ptr<TBrPageList> pages = m_store.pages();
    pages->append(image);
    if (m_pageSink)
        m_pageSink(pages->count(), image);
}

void TBrPrinter::closePage() {
    const int page = m_store.counts().pageCount;
    if (m_destination == TBrDestination::PageImages) {
        if (const std::optional<TMetafile> image = m_surface.closeImage())
            append(*image);
    } else if (m_session.inPrintRange(page)) {
        m_session.endSheet(page);
    } else {
        m_surface.closeImage();
    }
    notifyPageAvailable();
}

// A printer page outside the print range is drawn on an image thrown away.
void TBrPrinter::openPage() {
    if (m_destination == TBrDestination::Printer &&
        m_session.inPrintRange(m_store.counts().pageCount))
        m_surface.drawOn(m_session.sheet());
    else
        m_surface.openImage();
}

// The end of a run whose document a load replaced: its job is abandoned and
// nothing of it reaches the store.
void TBrPrinter::endDetached() {
    m_session.abandon();
    m_surface.discard();
    m_detached = false;
}

void TBrPrinter::beginDoc() {
    std::lock_guard run(m_runMutex);
    if (m_detached)
        throw EBrError(QStringLiteral("Report printer not ready"));
    m_store.checkReady();
    m_surface.discard();
    m_cancelled = false;
    const bool toPrinter = m_destination == TBrDestination::Printer;
    if (toPrinter)
        m_session.beginRun();
    m_surface.mapFor(toPrinter);
    std::unique_ptr<TBrStream> stream = std::move(m_pageFile);
    if (!toPrinter && !stream)
        stream = std::make_unique<TBrStream>();
    m_store.begin(toPrinter ? nullptr : std::move(stream));
}

void TBrPrinter::newPage() {
    std::lock_guard run(m_runMutex);
    if (m_detached) {
        m_surface.discard();
        m_surface.openImage();
        return;
    }
    if (m_store.openPageNumber() > 0)
        closePage();
    m_store.countPage();
    openPage();
}

void TBrPrinter::endDoc() {
    int generation = 0;
    {
        std::lock_guard run(m_runMutex);
        if (m_detached) {
            endDetached();
            return;
        }
        const std::optional<TBrPageStore::Open> open = m_store.busy();
        if (!open)
            return;
        generation = open->generation;
        if (m_destination == TBrDestination::Printer) {
            try {
                m_session.finish();
            } catch (...) {
                m_surface.discard();
                m_store.finish(false);
                throw;
            }
            m_surface.discard();
        } else {
            if (open->pageNumber > 0) {
                if (const std::optional<TMetafile> last = m_surface.closeImage())
                    append(*last);
            }
            // Before the status says finished, so that a save never sees the
            // first page's count.
            m_store.pages()->rewriteHeader();
        }
        m_store.finish(true);
    }
    // Without the run lock: a handler may load a file into this store.
    processPendingEvents();
    if (!m_store.isGeneration(generation))
        return;
    notifyPageAvailable();
    if (m_destination == TBrDestination::Printer)
        m_session.runPrinted();
}

// Unlike endDoc, posts no notice; the header is still rewritten so that a
// saved aborted document states the pages it holds, also when an append failed.
void TBrPrinter::abortDoc() {
    std::lock_guard run(m_runMutex);
    if (m_detached) {
        endDetached();
        return;
    }
    if (!m_store.busy())
        return;
    // Finished even when the stream fails here, so that nobody waits for it.
    std::exception_ptr failure;
    try {
        if (m_destination == TBrDestination::Printer) {
            m_session.abandon();
            m_surface.discard();
        } else {
            const std::shared_ptr<TBrPageList> pages = m_store.pages();
            if (const std::optional<TMetafile> image = m_surface.closeImage())
                pages->append(*image);
            pages->rewriteHeader();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    m_store.finish(false);
    if (failure)
        std::rethrow_exception(failure);
}

void TBrPrinter::progress(int percent) {
    if (m_detached)
        return;
    m_notifier.post(new TBrProgressEvent(percent));
}

void TBrPrinter::setTitle(const QString& title) {
    m_title = title;
    m_session.job().setTitle(title);
}

void TBrPrinter::save(const QString& fileName) {
    const std::shared_ptr<TBrPageList> pages = m_store.finishedPages();
    if (!pages)
        return;
    // Written aside and put in place at the end, so that saving over the opened
    // file itself, or failing half-way, never destroys the pages being copied.
    TBrSaveFile file(fileName);
    pages->copyTo(file);
    file.commit();
}

void TBrPrinter::writePagesTo(const QString& fileName) {
    auto stream = TBrStream::createFile(fileName);
    std::lock_guard run(m_runMutex);
    m_pageFile = std::move(stream);
}

void TBrPrinter::setPageSink(std::function<void(int page, const TMetafile& image)> sink) {
    m_pageSink = std::move(sink);
}

void TBrPrinter::commitPages() {
    if (const std::shared_ptr<TBrPageList> pages = m_store.completePages())
        pages->commit();
}

QString TBrPrinter::pagesWrittenTo() const {
    const std::shared_ptr<TBrPageList> pages = m_store.completePages();
    return pages ? pages->fileName() : QString();
}

// The file is read and checked whole, aside, before anything is replaced: a
// file that fails leaves the pages shown, and a run going on, as they were.
void TBrPrinter::load(const QString& fileName) {
    auto pages = std::make_shared<TBrPageList>(TBrStream::openFile(fileName));
    pages->open();
    const int count = pages->count();
    const TMetafile first = pages->read(1);
    {
        std::lock_guard run(m_runMutex);
        if (m_store.counts().status == TBrStatus::Busy)
            m_detached = true;
        m_cancelled = false;
        m_store.replace(std::move(pages), count);
        m_pageFile.reset();
    }
    m_session.setReportLoaded();
    m_session.matchPaper(first);
}

void TBrPrinter::setShowingPreview(bool showing) {
    const bool leaving = m_showingPreview && !showing;
    m_showingPreview = showing;
    if (!leaving)
        return;
    if (status() == TBrStatus::Busy)
        m_cancelled = true;
    m_session.windowClosed();
    if (m_afterPreview)
        m_afterPreview();
}

void TBrPrinter::setPrinterSetupHook(std::function<void()> hook) {
    m_session.setPrinterSetupHook(std::move(hook));
}

void TBrPrinter::setAfterPreview(std::function<void()> callback) {
    m_afterPreview = std::move(callback);
}

void TBrPrinter::setAfterPrint(std::function<void()> callback) {
    m_session.setAfterPrint(std::move(callback));
}

} // namespace tavim
