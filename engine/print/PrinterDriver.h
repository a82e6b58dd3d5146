#pragma once

#include "engine/print/pdf/PdfInfo.h"

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>

class QPaintDevice;

namespace tavim {

// A printer's device mode in driver codes: paper codes as in the paper table,
// bin codes as in the bin table, duplex 1 single-sided, 2 long edge, 3 short
// edge; orientation 1 portrait, 2 landscape; sizes in tenths of a millimetre.
struct TDeviceMode {
    int copies = 1;
    int paperSource = 0;
    int duplex = 1;
    int paperCode = 0;
    int orientation = 1;
    int paperWidth = 0;
    int paperLength = 0;
};

// What the selected printer lets a program set.
struct TPrinterCapabilities {
    bool copies = false;
    bool paperSource = false;
    bool duplex = false;
    bool paper = false;
    bool orientation = false;
    bool paperWidth = false;
    bool paperLength = false;
    QList<int> paperCodes;
};

// The platform's printers, as the page store and the printer settings need them.
class TPrinterDriver {
public:
    virtual ~TPrinterDriver() = default;

    virtual QStringList printers() const = 0;
    // Index into printers(), or -1 when the system names no default among them.
    virtual int defaultPrinter() const = 0;
    virtual void select(int index) = 0;
    virtual QString deviceName() const = 0;
    virtual QString driverName() const = 0;
    virtual QString portName() const = 0;

    virtual TPrinterCapabilities capabilities() const = 0;
    // Back to the selected printer's own defaults.
    virtual void resetDeviceMode() = 0;
    virtual TDeviceMode deviceMode() const = 0;
    virtual void setDeviceMode(const TDeviceMode& mode) = 0;

    // Pixels per inch.
    virtual QSize resolution() const = 0;
    // Top-left corner of the printable area on the sheet, in device pixels.
    virtual QPoint physicalOffset() const = 0;
    virtual QSize physicalPageSize() const = 0;
    virtual QSize printableSize() const = 0;

    // A job: a painter begun on device() starts it and newSheet() advances it;
    // once that painter has ended, submitJob() hands the job to the printer or
    // abortJob() abandons it, and then nothing of it is printed.

    // The document's title; the job's name in the queue.
    virtual void setJobName(const QString& name) = 0;
    // Not empty: the job goes to this PDF file instead of the printer.
    virtual void setOutputFileName(const QString&) {}
    // The title and author of the job's PDF.
    virtual void setDocumentInfo(const TPdfInfo&) {}
    // Null when the job cannot begin; errorString() says why.
    virtual QPaintDevice* device() = 0;
    virtual bool newSheet() = 0;
    // False when the printer refused the job; errorString() may say why.
    virtual bool submitJob() = 0;
    virtual void abortJob() = 0;
    // The selected printer reports a fault (stopped, jammed, offline).
    virtual bool inErrorState() const = 0;
    // The platform's text for the last failure; may be empty.
    virtual QString errorString() const = 0;
};

// The installed printers through Qt (CUPS on Linux).
std::unique_ptr<TPrinterDriver> createQtPrinterDriver();

} // namespace tavim
