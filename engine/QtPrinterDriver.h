#pragma once

#include "engine/PrinterDriver.h"

#include <QPrinter>

namespace tavim {

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
    void abortJob() override;

private:
    bool writesPdf() const;

    QStringList m_printers;
    QPrinter m_printer;
    TPdfInfo m_pdfInfo;
};

} // namespace tavim
