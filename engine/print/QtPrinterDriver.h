#pragma once

#include "engine/print/PrinterDriver.h"

#include <QPrinter>
#include <memory>

namespace tavim {

// The installed printers through Qt, jobs handed to CUPS. Used by one thread
// at a time (print runs and stored-page printing run on the user-interface
// thread); no lock.
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
    void dropSpool();
    QString reserveSpoolFile();
    bool sendToQueue(const QString& fileName);
    bool writesPdf() const;

    QStringList m_printers;
    // The selected printer: its settings and metrics, and the surface of a job
    // printed to a file.
    QPrinter m_printer;
    // A job for a queue is spooled to a PDF of our own, which reaches the queue
    // only when submitted: Qt's own queue job cannot be abandoned once begun.
    std::unique_ptr<QPrinter> m_spool;
    QString m_spoolFile;
    QString m_error;
    TPdfInfo m_pdfInfo;
};

} // namespace tavim
