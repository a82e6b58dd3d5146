#pragma once

#include "engine/print/PrinterSettings.h"
#include "engine/print/pdf/PdfInfo.h"

#include <QPainter>
#include <QRectF>
#include <QString>
#include <memory>

namespace tavim {

class Exception;
class TBrSaveFile;
class TPrinterDriver;

// A store's printer, its device mode and the job on it. Owned by the
// user-interface thread: print runs, the preview's Print and printer set-up
// and a loaded file's paper all happen there; no lock. A preview run's worker
// never touches it: the run works on a copy of its page setup.
class TBrPrintJob {
public:
    // Binds the settings to the default printer when there are printers;
    // throws "There is no default printer currently selected" when none is.
    explicit TBrPrintJob(std::unique_ptr<TPrinterDriver> driver);
    // A job still open is abandoned.
    ~TBrPrintJob();
    TBrPrintJob(const TBrPrintJob&) = delete;
    TBrPrintJob& operator=(const TBrPrintJob&) = delete;

    bool printerAvailable() const { return m_printerAvailable; }
    TPrinterSettings& settings() { return m_settings; }
    const TPrinterSettings& settings() const { return m_settings; }

    void setTitle(const QString& title) { m_title = title; }
    // Not empty: the job goes to this PDF file instead of the printer. It is
    // written aside and replaces the file there only once the job succeeded.
    void setOutputFileName(const QString& fileName);
    // The title and author of that PDF file.
    void setDocumentInfo(const TPdfInfo& info);

    // Throws the printer's failure text and leaves no job open.
    void start();
    // Throws the printer's failure text; the job stays open for the caller
    // to abandon.
    void nextSheet();
    // Hands the job to the printer only when every step went through.
    void finish();
    // Nothing of an abandoned job is printed.
    void abandon();

    bool started() const { return m_started; }
    // The open job's painter.
    QPainter& painter() { return m_painter; }
    // Where a whole page image goes on a sheet.
    QRectF sheetRect() const;

private:
    Exception failure(const QString& what) const;

    std::unique_ptr<TPrinterDriver> m_driver;
    bool m_printerAvailable;
    TPrinterSettings m_settings;
    QPainter m_painter;
    bool m_started = false;
    // The open job's PDF file, while it is written.
    std::unique_ptr<TBrSaveFile> m_aside;
    QString m_title;
    QString m_outputFileName;
};

} // namespace tavim
