#pragma once

#include "engine/emf/Metafile.h"
#include "engine/print/BrPaperSize.h"
#include "engine/print/pdf/PdfInfo.h"

#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QObject;
class QPainter;
class QPrinter;

namespace tavim {

class TBrPageList;
class TPrinterSettings;
class TPrinterDriver;
class TMetafileRecorder;
struct TBrPageSetup;

enum class TBrDestination { PageImages, Printer };
enum class TBrStatus { Ready, Busy, Finished };

// The report a preview's store belongs to.
class TBrStoreOwner {
public:
    virtual ~TBrStoreOwner() = default;
    // Posted by print(): the report generates the document again for the printer.
    virtual void printRequested() = 0;
    // Sent by closePreview(); returns once the report has handled it.
    virtual void previewClosed() = 0;
};

// The page store: receives a run's pages, keeps them as page images in a page
// stream (or hands them to its print job), posts notices to a client, prints,
// saves and loads them.
// Threads: the user-interface thread owns the store; one run at a time
// produces into it, on a worker (a preview) or on the user-interface thread
// (a print run). What both see (status, counts, the page list, the kept
// error) is guarded by one lock, the run's own surface and device mapping by
// the run lock, the notices' receiver by a lock of its own. Printer settings
// are handed over before the run starts; the run lays out pages by its own
// copy of them, and only the user-interface thread touches the printer.
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
    void setDestination(TBrDestination destination);
    TBrDestination destination() const;
    void setCompression(bool on);

    void beginDoc(); // EBrError "Report printer not ready"
    void newPage();  // EBrError "Illegal call to NewPage"
    void endDoc();
    void abortDoc();
    void progress(int percent);
    void cancel();
    bool cancelled() const;
    // The error that ended the run, kept until taken; the notice tells the
    // client once the report is idle again.
    void keepRunError(std::exception_ptr error);
    void notifyRunFailed();
    bool runFailed() const;
    std::exception_ptr takeRunError();

    // The open page's painter (active between newPage and the next newPage/endDoc).
    QPainter* canvas();

    int toDeviceX(long double x) const;
    int toDeviceY(long double y) const;
    int toDeviceWidth(long double w) const;
    int toDeviceHeight(long double h) const;
    long double horizontalFactor() const;
    long double verticalFactor() const;

    TBrStatus status() const;
    int pageCount() const;
    int pageNumber() const;
    int availablePages() const;
    const QString& title() const;
    void setTitle(const QString& title);
    // Not empty: printer output goes to this PDF file (the print dialog's choice).
    void setOutputFileName(const QString& fileName);
    // The title and author of that PDF file.
    void setDocumentInfo(const TPdfInfo& info);

    // A page image, or nothing (see the readable-page rule).
    std::optional<TMetafile> getPage(int n);
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
    // that came after that did not take it back.
    bool print();

    // Notices go to `client` until another is set; one that is destroyed is
    // let go on its own.
    void setClient(QObject* client);
    void setOwner(TBrStoreOwner* owner);
    bool reportLoaded() const;
    void setShowingPreview(bool showing);
    void closePreview();
    void printerSetup();
    void setPrinterSetupHook(std::function<void()> hook);
    void setAfterPreview(std::function<void()> callback);
    void setAfterPrint(std::function<void()> callback);

    bool printerAvailable() const;
    // The printer's settings and the paper they give: user-interface thread only.
    TPrinterSettings& settings();
    TBrPageSetup pageSetup() const;
    int firstPage() const;
    int lastPage() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tavim
