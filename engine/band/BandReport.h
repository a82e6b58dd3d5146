#pragma once

#include "data/Component.h"
#include "engine/print/BrPaperSize.h"
#include "engine/store/BrPrinter.h"

#include <QString>
#include <array>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QObject;

namespace tavim {

class TBrBand;
class TBrCanvas;
class TBrCreateReportThread;
class TBrPrintable;
class TMemTable;
class TPrinterDriver;
enum class TBrBandType;

struct TBrReportOptions {
    bool FirstPageHeader = false; // the page header on page 1 too
    bool LastPageFooter = false;  // the page footer on the last page too
    bool Compression = false;     // handed to the page store
};

// The paper and its margins in tenths of a millimetre.
struct TBrPage {
    TBrPaperSize PaperSize = TBrPaperSize::A4;
    TBrOrientation Orientation = TBrOrientation::Portrait;
    int Columns = 1; // one column: every column break is a page break
    // Bottom margin, length, top margin, width, left margin, right margin,
    // space between columns.
    std::array<long double, 7> Values{0, kA4LengthMm * 10, 0, kA4WidthMm * 10, 0, 0, 0};

    long double bottomMargin() const { return Values[0]; }
    long double length() const { return Values[1]; }
    long double topMargin() const { return Values[2]; }
    long double width() const { return Values[3]; }
    long double leftMargin() const { return Values[4]; }
};

struct TBrReportPrinterSettings {
    // As the print dialog names it; empty: the system's default printer.
    QString PrinterName;
    int Copies = 1;
    int FirstPage = 0; // 0: no limit
    int LastPage = 0;
    TBrBin OutputBin = TBrBin::Auto;
    // Not empty: print to this PDF file (chosen in the print dialog).
    QString OutputFileName;
};

// A banded report over a result table. A run walks the table from its first
// row and raises the report's and the bands' events in a fixed order that the
// report's handlers depend on; the pages go to a page store.
// Threads: the user-interface thread owns the report and its properties; a
// preview's run uses them, with the run state below, on its worker, while
// that thread only shows the preview. The idle and cancelled flags are atomic;
// the worker is joined before the run's store goes.
class TBandReport : public TComponent, public TBrStoreOwner {
public:
    TBandReport(TComponent* owner, const QString& name);
    ~TBandReport() override;

    // Generates the report on a worker thread and shows the preview modally
    // (PreviewHook) meanwhile; returns once the preview has closed and the run
    // has ended. An exception of the run is rethrown here, on this thread.
    // Ignored while a run is in progress.
    void ShowPreview();
    // Generates the report straight to the printer on this thread, with the
    // progress window (ProgressHook). Ignored while a run is in progress.
    void PrintToPrinter();
    // Generates the report into a new store, without a window, and returns
    // the store once the report is idle again: finished, stopped by Cancel, or
    // never begun (status Ready) when BeforePrint declined. The run goes on a
    // worker, as a preview's does, while this thread handles its events; the
    // progress notices go to `progress`, if not null. An error of the run is
    // thrown here. Null while a run is in progress.
    std::unique_ptr<TBrPrinter> Generate(QObject* progress);
    // Stops the run in progress before its next row.
    void Cancel();

    void printRequested() override;
    void previewClosed() override;

    bool idle() const { return m_idle; }
    // Pages begun so far in the current run: what the page number prints.
    int pageNumber() const { return m_pageCount; }
    // The first band of the kind, if any.
    TBrBand* band(TBrBandType type) const;
    const std::vector<TBrBand*>& bands() const { return m_bands; }
    // The store of the preview being shown, or of the print run in progress.
    TBrPrinter* store() const { return m_store.get(); }

    TMemTable* DataSet = nullptr;
    TBrReportOptions Options;
    bool PrintIfEmpty = true;
    TBrPage Page;
    TBrReportPrinterSettings PrinterSettings;
    QString ReportTitle;
    // The title and author of a PDF the report is written to.
    std::function<TPdfInfo()> DocumentInfo;
    bool ShowProgress = true;
    // Raised once at the start of each run; clearing `printReport` ends the run.
    std::function<void(TBandReport& sender, bool& printReport)> BeforePrint;

    // Not empty: a preview run writes its pages straight to this file, which
    // the preview commits (TBrPrinter::writePagesTo), instead of to memory.
    QString PageFile;
    // Not null: a page-image run hands each finished page to it too, on the
    // run's thread (TBrPrinter::setPageSink).
    std::function<void(int page, const TMetafile& image)> PageSink;

    // The preview window: shows `store` modally and returns when it has closed.
    std::function<void(TBrPrinter& store)> PreviewHook;
    // The progress window of a print run, shown when `show`; becomes the
    // store's client for the run.
    std::function<std::unique_ptr<QObject>(TBrPrinter& store, bool show)> ProgressHook;
    // The printer set-up dialog the preview's store offers.
    std::function<void(TBandReport& report, TBrPrinter& store)> PrinterSetupHook;
    // The printers the report's stores print on; empty: the system's.
    std::function<std::unique_ptr<TPrinterDriver>()> PrinterDriver;

private:
    friend class TBrBand;
    friend class TBrCreateReportThread;
    void addBand(TBrBand* band) { m_bands.push_back(band); }
    void removeBand(TBrBand* band);

    // Takes the report from idle to busy; false when a run is in progress.
    bool claim();
    void ensureFonts() const;
    std::unique_ptr<TBrPrinter> makeStore() const;
    // A store for a page-image run, the report's settings handed over.
    std::unique_ptr<TBrPrinter> pageImageStore();
    void handOver(TBrPrinter& store) const;
    // Runs the claimed report into `store` on a worker, and `meanwhile` here;
    // returns once the worker has ended and throws the run's error.
    void runOnWorker(TBrPrinter& store,
                     const std::function<void(TBrCreateReportThread&)>& meanwhile);
    void generate(TBrPrinter& store);
    // One generation run on a claimed report; leaves the report idle. An error
    // is kept by the store, which tells its client, and thrown again.
    void run(TBrPrinter& store);
    void produce(TBrPrinter& store);
    void forEachControl(const std::function<void(TBrPrintable&)>& action) const;
    void walk();
    void emptyOutput();
    void outputBand(TBrBand* band);
    void spaceCheck(const TBrBand& band);
    int availableSpace() const;
    void pageBreak();
    void finishPage();
    void beginPage();
    bool stopRequested() const;

    std::vector<TBrBand*> m_bands;
    std::unique_ptr<TBrPrinter> m_store;

    std::atomic<bool> m_idle{true};
    std::atomic<bool> m_cancelled{false};
    // Run state, valid while a run lasts.
    TBrPrinter* m_runStore = nullptr;
    TBrCanvas* m_canvas = nullptr;
    int m_vpos = -1;
    int m_hpos = 0;
    std::atomic<int> m_pageCount{0};
    long double m_footerAllowance = 0;
    bool m_lastPage = false;
    int m_detailCount = 0;
    int m_recordCount = 0;
};

} // namespace tavim
