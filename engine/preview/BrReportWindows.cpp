#include "engine/preview/BrReportWindows.h"

#include "engine/band/BandReport.h"
#include "engine/preview/BrPrintDialog.h"
#include "engine/preview/BrProgressForm.h"
#include "engine/preview/BrStandardPreview.h"

#include <QApplication>

namespace tavim {

namespace {

void printerSetup(TBandReport& report, TBrPrinter& store, QWidget* owner) {
    TBrPrintSetup setup{report.PrinterSettings.PrinterName, report.Page.Orientation,
                        report.PrinterSettings.Copies,      report.PrinterSettings.FirstPage,
                        report.PrinterSettings.LastPage,    report.PrinterSettings.OutputFileName};
    if (!TBrPrintDialog::execute(setup, store.pageCount(), store.status() == TBrStatus::Finished,
                                 owner))
        return;
    // Used by the next print run; the pages on screen stay as they are.
    report.PrinterSettings.PrinterName = setup.printerName;
    report.Page.Orientation = setup.orientation;
    report.PrinterSettings.Copies = setup.copies;
    report.PrinterSettings.FirstPage = setup.firstPage;
    report.PrinterSettings.LastPage = setup.lastPage;
    report.PrinterSettings.OutputFileName = setup.outputFileName;
}

} // namespace

void AttachStandardWindows(TBandReport& report, QWidget* owner) {
    report.PreviewHook = [owner](TBrPrinter& store) {
        TBrStandardPreview::showPreview(store, owner);
    };
    report.ProgressHook = [owner](TBrPrinter& store, bool show) {
        // A print run starts from the modal preview: a window beside it would
        // be blocked by it, and Cancel with it.
        QWidget* modal = QApplication::activeModalWidget();
        auto form = std::make_unique<TBrProgressForm>(store, modal ? modal : owner);
        if (show)
            form->show();
        return std::unique_ptr<QObject>(std::move(form));
    };
    report.PrinterSetupHook = [owner](TBandReport& r, TBrPrinter& store) {
        printerSetup(r, store, owner);
    };
}

} // namespace tavim
