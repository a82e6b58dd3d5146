#include "engine/preview/BrPrintDialog.h"

#include <QApplication>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <algorithm>

namespace tavim {

namespace {

constexpr int kUnfinishedMaxPage = 9999;

// Centred horizontally, a third of the free height above it.
void place(QPrintDialog& dialog) {
    const QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    dialog.adjustSize();
    const QRect free = screen->availableGeometry();
    dialog.move(free.x() + (free.width() - dialog.width()) / 2,
                free.y() + (free.height() - dialog.height()) / 3);
}

} // namespace

bool TBrPrintDialog::execute(TBrPrintSetup& setup, int pageCount, bool finished, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent ? parent : QApplication::activeWindow());
    prepare(dialog, setup, pageCount, finished);
    place(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    setup = choice(printer);
    return true;
}

// Print to file stays offered: on this platform it is the only way to a PDF.
void TBrPrintDialog::prepare(QPrintDialog& dialog, const TBrPrintSetup& setup, int pageCount,
                             bool finished) {
    QPrinter& printer = *dialog.printer();
    if (QPrinterInfo::availablePrinterNames().contains(setup.printerName))
        printer.setPrinterName(setup.printerName);
    if (!setup.outputFileName.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(setup.outputFileName);
    }
    printer.setPageOrientation(setup.orientation == TBrOrientation::Landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    printer.setCopyCount(std::max(1, setup.copies));

    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    if (finished)
        dialog.setMinMax(1, std::max(1, pageCount));
    else
        dialog.setMinMax(0, kUnfinishedMaxPage);
    dialog.setFromTo(1, std::max(1, pageCount));
}

TBrPrintSetup TBrPrintDialog::choice(const QPrinter& printer) {
    TBrPrintSetup setup;
    setup.printerName = printer.printerName();
    if (printer.outputFormat() == QPrinter::PdfFormat)
        setup.outputFileName = printer.outputFileName();
    setup.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                            ? TBrOrientation::Landscape
                            : TBrOrientation::Portrait;
    setup.copies = printer.copyCount();
    if (printer.printRange() == QPrinter::PageRange) {
        setup.firstPage = printer.fromPage();
        setup.lastPage = printer.toPage();
    }
    return setup;
}

} // namespace tavim
