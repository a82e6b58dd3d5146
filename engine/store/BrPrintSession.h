#pragma once

#include "engine/emf/Metafile.h"
#include "engine/print/BrPrintJob.h"

#include <QPainter>
#include <atomic>
#include <functional>
#include <memory>

namespace tavim {

class TBrPageStore;
class TPrinterDriver;

// The report a preview's store belongs to.
class TBrStoreOwner {
public:
    virtual ~TBrStoreOwner() = default;
    // Posted by print(): the report generates the document again for the printer.
    virtual void printRequested() = 0;
    // Sent by closePreview(); returns once the report has handled it.
    virtual void previewClosed() = 0;
};

// The store's printing: the printer's settings and the print job, a print
// run's sheets, and the stored pages printed when the preview's Print is
// pressed. Printing stored pages handles the user's events between pages: a
// second Print meanwhile is refused, and the window closing abandons the job.
// Threads: the user-interface thread only, the printer's owner; no lock. A
// preview run's worker never touches it: the run works on a copy of its page
// setup.
class TBrPrintSession {
public:
    explicit TBrPrintSession(std::unique_ptr<TPrinterDriver> driver);

    TBrPrintJob& job() { return m_job; }
    const TBrPrintJob& job() const { return m_job; }
    // The named printer (empty: the default) and what the report asks of it,
    // as far as it supports it; returns the page setup they give.
    TBrPageSetup takePrinterSettings(const QString& printerName, TBrPaperSize paper,
                                     long double customWidth, long double customLength,
                                     TBrOrientation orientation, int copies, TBrBin bin,
                                     int firstPage, int lastPage);
    int firstPage() const { return m_firstPage; }
    int lastPage() const { return m_lastPage; }
    bool inPrintRange(int page) const;
    // Requests the paper of a loaded file's first page.
    void matchPaper(const TMetafile& page);

    // A print run: the settings go to the printer when its document begins;
    // the first sheet drawn on starts the job, each page in the range but the
    // last is followed by a new sheet.
    void beginRun();
    QPainter& sheet();
    void endSheet(int page);
    void finish() { m_job.finish(); }
    void abandon() { m_job.abandon(); }

    // The preview's Print: the owner generates the document again, or the
    // store's finished pages are printed. True when a job was handed to the
    // printer.
    bool print(const TBrPageStore& store, const std::atomic<bool>& cancelled);
    // The window closes: a print on the stack is abandoned.
    void windowClosed() { m_windowClosed = true; }
    // Tells the owner, which may discard the store before this returns.
    void closePreview();

    void setOwner(TBrStoreOwner* owner) { m_owner = owner; }
    bool reportLoaded() const { return m_reportLoaded; }
    // A file was loaded: printing prints its pages, the set-up hook is let go.
    void setReportLoaded();
    void printerSetup();
    void setPrinterSetupHook(std::function<void()> hook) { m_printerSetupHook = std::move(hook); }
    void setAfterPrint(std::function<void()> callback) { m_afterPrint = std::move(callback); }
    void runPrinted();

private:
    bool printStored(const TBrPageStore& store, const std::atomic<bool>& cancelled);

    TBrPrintJob m_job;
    int m_firstPage = 0;
    int m_lastPage = 0;
    TBrStoreOwner* m_owner = nullptr;
    bool m_reportLoaded = false;
    std::function<void()> m_printerSetupHook;
    std::function<void()> m_afterPrint;
    // Set while print() is on the stack.
    bool m_printing = false;
    bool m_windowClosed = false;
};

} // namespace tavim
