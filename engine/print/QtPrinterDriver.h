#pragma once

#include "engine/print/PdfPrintFile.h"
#include "engine/print/PrinterDriver.h"

#include <QPrinter>
#include <memory>

namespace tavim {

// The installed printers through Qt, jobs written as our own PDF at the
// printer's resolution and paper, either to the chosen file or to a spool
// file handed to CUPS. Used by one thread at a time (print runs and
// stored-page printing run on the user-interface thread); no lock.
class TQtPrinterDriver : public TPrinterDriver {
public:
    TQtPrinterDriver();

    QStringList printers() const override;
    int defaultPrinter() const override;
    void select(int index) override;
    QString deviceName() const override;
    QString driverName() const override;
    QString portName() const override;

    TPrinterCapabilities capabilities() const override;
    void resetDeviceMode() override;
    TDeviceMode deviceMode() const override;
    void setDeviceMode(const TDeviceMode& mode) override;

    QSize resolution() const override;
    QPoint physicalOffset() const override;
    QSize physicalPageSize() const override;
    QSize printableSize() const override;

    void setJobName(const QString& name) override;
    void setOutputFileName(const QString& fileName) override;
    void setDocumentInfo(const TPdfInfo& info) override;
    QPaintDevice* device() override;
    bool newSheet() override;
    bool submitJob() override;
    void abortJob() override;
    bool inErrorState() const override;
    QString errorString() const override;

private:
    bool printsToFile() const;
    std::unique_ptr<QFile> openOutputFile();
    std::unique_ptr<QFile> reserveSpoolFile();
    PdfSheet sheet() const;
    bool sendToQueue(const QString& fileName);

    QStringList m_printers;
    // The selected printer: its settings and metrics (those of Qt's PDF
    // output while a file is chosen).
    QPrinter m_printer;
    QString m_jobName;
    TPdfInfo m_pdfInfo;
    // The open job; a queue's reaches it only when submitted, so that an
    // abandoned job prints nothing.
    std::unique_ptr<TPdfPrintFile> m_job;
    QString m_error;
};

} // namespace tavim
