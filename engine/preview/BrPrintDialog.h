#pragma once

#include "engine/print/BrPaperSize.h"

#include <QString>

class QPrintDialog;
class QPrinter;
class QWidget;

namespace tavim {

// What the printer set-up dialog starts from and hands back.
struct TBrPrintSetup {
    // The printer's name, looked up again when printing (queues come and go
    // meanwhile); empty: the system's default printer.
    QString printerName;
    TBrOrientation orientation = TBrOrientation::Portrait;
    int copies = 1;
    // 0 on both sides: all pages.
    int firstPage = 0;
    int lastPage = 0;
    // Not empty when the user chose to print to a PDF file: the job goes
    // there instead of to the printer.
    QString outputFileName;
};

// The system print dialog for the preview's Printer setup button.
class TBrPrintDialog {
public:
    // Shows the dialog on `setup`; on OK writes the choice into it and returns
    // true. `pageCount` and `finished` describe the store on screen.
    static bool execute(TBrPrintSetup& setup, int pageCount, bool finished,
                        QWidget* parent = nullptr);

    // The dialog's start state, and the choice read back after OK; apart so
    // that they can be checked without a modal dialog.
    static void prepare(QPrintDialog& dialog, const TBrPrintSetup& setup, int pageCount,
                        bool finished);
    static TBrPrintSetup choice(const QPrinter& printer);
};

} // namespace tavim
