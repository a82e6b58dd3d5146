#pragma once

#include "engine/emf/Metafile.h"
#include "engine/print/BrPaperSize.h"
#include "engine/print/pdf/PdfInfo.h"
#include "engine/store/BrNotices.h"
#include "engine/store/BrPageStore.h"
#include "engine/store/BrPrintSession.h"
#include "engine/store/BrRunSurface.h"

#include <QString>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QObject;
class QPainter;

namespace tavim {

class TBrStream;
class TPrinterSettings;
class TPrinterDriver;

enum class TBrDestination { PageImages, Printer };

// The page store's front, the object the band engine and the preview use (no
// printer: the name is the one the report engine has always given it). A
// run's pages go to its page store (BrPageStore.h) as page images in a page
// stream, or through its print session (BrPrintSession.h) to the printer; the
// run draws on its surface (BrRunSurface.h) and the store posts notices
// (BrNotices.h) to a client. It prints, saves and loads the pages.
// Threads: the user-interface thread owns the store; one run at a time
// produces into it, on a worker (a preview) or on the user-interface thread
// (a print run). The run lock is held by the producing calls (beginDoc,
// newPage, endDoc, abortDoc) and by a load, which detaches a busy run: that
// run then draws on throw-away images and touches nothing else. Printer
// settings are handed over before the run starts; the run lays out pages by
// its own copy of them, and only the user-interface thread touches the
// printer.
class TBrPrinter {
public:
    // Throws "There is no default printer currently selected" when printers are
    // installed but none is the default.
    TBrPrinter();
    // The same over another printer driver (tests use a fake one).
    explicit TBrPrinter(std::unique_ptr<TPrinterDriver> driver);
    ~TBrPrinter();
    TBrPrinter(const TBrPrinter&) = delete;
    TBrPrinter& operator=(const TBrPrinter&) = delete;

    // Before a run starts, on the thread that starts it. The printer is named
    // (empty: the system's default) and looked up now, so a queue added or
    // removed since it was chosen changes nothing; one that is gone throws
    // "Printer \"%s\" is not installed".
    void takePrinterSettings(const QString& printerName, TBrPaperSize paper,
                             long double customWidth, long double customLength,
                             TBrOrientation orientation, int copies, TBrBin bin, int firstPage,
                             int lastPage);
    void setDestination(TBrDestination destination) { m_destination = destination; }
    TBrDestination destination() const { return m_destination; }
    void setCompression(bool on);

    void beginDoc(); // EBrError "Report printer not ready"
    void newPage();  // EBrError "Illegal call to NewPage"
    void endDoc();
    void abortDoc();
    void progress(int percent);
    void cancel() { m_cancelled = true; }
    // A run detached by a load is cancelled, whatever the flag says now.
    bool cancelled() const { return m_cancelled || m_detached; }
    // The error that ended the run, kept until taken; the notice tells the
    // client once the report is idle again.
    void keepRunError(std::exception_ptr error) { m_store.keepRunError(std::move(error)); }
    void notifyRunFailed() { m_notifier.post(new TBrRunFailedEvent); }
    bool runFailed() const { return m_store.runFailed(); }
    std::exception_ptr takeRunError() { return m_store.takeRunError(); }

    // The open page's painter (active between newPage and the next newPage/endDoc).
    QPainter* canvas() { return m_surface.canvas(); }

    int toDeviceX(long double x) const { return m_surface.toDeviceX(x); }
    int toDeviceY(long double y) const { return m_surface.toDeviceY(y); }
    int toDeviceWidth(long double w) const { return m_surface.toDeviceWidth(w); }
    int toDeviceHeight(long double h) const { return m_surface.toDeviceHeight(h); }
    long double horizontalFactor() const { return m_surface.horizontalFactor(); }
    long double verticalFactor() const { return m_surface.verticalFactor(); }

    TBrStatus status() const { return m_store.counts().status; }
    int pageCount() const { return m_store.counts().pageCount; }
    int pageNumber() const { return m_store.counts().pageNumber; }
    int availablePages() const { return m_store.counts().availablePages; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title);
    // Not empty: printer output goes to this PDF file (the print dialog's choice).
    void setOutputFileName(const QString& fileName) { m_session.job().setOutputFileName(fileName); }
    // The title and author of that PDF file.
    void setDocumentInfo(const TPdfInfo& info) { m_session.job().setDocumentInfo(info); }

    // A page image, or nothing (see the readable-page rule).
    std::optional<TMetafile> getPage(int n) { return m_store.page(n); }
    // Throws "Cannot create file \"%s\". %s" or "Stream write error"; an
    // existing file is replaced only once the new one is whole.
    void save(const QString& fileName);
    // The next page-image document is written straight to `fileName` instead of
    // a page stream in memory; commitPages() puts it in place once the document
    // has ended (not when it was aborted). Until then, and for ever without it,
    // the file is not there and its pages cannot be read back. Throws "Cannot
    // create file \"%s\". %s".
    void writePagesTo(const QString& fileName);
    void commitPages();
    // Before a run starts: each page image of its documents is handed to
    // `sink` as well, on the run's thread, once it is in the page list. An
    // exception of the sink ends the run as an error of the run would.
    void setPageSink(std::function<void(int page, const TMetafile& image)> sink);
    // Where those pages are while they wait for commitPages(): a whole file
    // once the document has ended. Empty without writePagesTo().
    QString pagesWrittenTo() const;
    // Replaces the pages only when the whole file has been read and checked;
    // otherwise throws and changes nothing.
    void load(const QString& fileName);
    // True when a job of the stored pages was handed to the printer: a cancel
    // that came after that did not take it back. Pressed again while the
    // pages print, it is refused; the window closing meanwhile abandons the
    // job.
    bool print() { return m_session.print(m_store, m_cancelled); }

    // Notices go to `client` until another is set; one that is destroyed is
    // let go on its own.
    void setClient(QObject* client) { m_notifier.setClient(client); }
    void setOwner(TBrStoreOwner* owner) { m_session.setOwner(owner); }
    bool reportLoaded() const { return m_session.reportLoaded(); }
    void setShowingPreview(bool showing);
    void closePreview() { m_session.closePreview(); }
    void printerSetup() { m_session.printerSetup(); }
    void setPrinterSetupHook(std::function<void()> hook);
    void setAfterPreview(std::function<void()> callback);
    void setAfterPrint(std::function<void()> callback);

    bool printerAvailable() const { return m_session.job().printerAvailable(); }
    // The printer's settings and the paper they give: user-interface thread only.
    TPrinterSettings& settings() { return m_session.job().settings(); }
    TBrPageSetup pageSetup() const { return m_session.job().settings().pageSetup(); }
    int firstPage() const { return m_session.firstPage(); }
    int lastPage() const { return m_session.lastPage(); }

private:
    void closePage();
    void openPage();
    void append(const TMetafile& image);
    void notifyPageAvailable() {
        m_notifier.post(new TBrPageAvailableEvent(m_store.addAvailable()));
    }
    void endDetached();

    TBrPrintSession m_session;
    TBrRunSurface m_surface;
    TBrPageStore m_store;
    TBrNotifier m_notifier;
    // Set before a run starts, read by the run.
    TBrDestination m_destination = TBrDestination::PageImages;
    QString m_title;
    std::atomic<bool> m_cancelled = false;
    std::mutex m_runMutex;
    std::atomic<bool> m_detached = false;
    // The file the next page-image document is written to (writePagesTo).
    std::unique_ptr<TBrStream> m_pageFile;
    // Set before a run; called by the producing thread only.
    std::function<void(int page, const TMetafile& image)> m_pageSink;
    // User-interface thread only.
    bool m_showingPreview = false;
    std::function<void()> m_afterPreview;
};

} // namespace tavim
