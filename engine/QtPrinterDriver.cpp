#include "engine/QtPrinterDriver.h"

#include <QPageSize>
#include <QPrinterInfo>

#include <array>
#include <cmath>

namespace tavim {

namespace {

constexpr int kUserDefinedPaper = 256;

// Qt's paper sources in enum order against the driver's bin codes.
constexpr std::array<int, 13> kSourceCodes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15};

int sourceCode(QPrinter::PaperSource source) {
    const auto index = static_cast<std::size_t>(source);
    return index < kSourceCodes.size() ? kSourceCodes[index] : 0;
}

QPrinter::PaperSource sourceFromCode(int code) {
    for (std::size_t i = 0; i < kSourceCodes.size(); ++i) {
        if (kSourceCodes[i] == code)
            return static_cast<QPrinter::PaperSource>(i);
    }
    return QPrinter::Auto;
}

int duplexCode(QPrinter::DuplexMode mode) {
    switch (mode) {
    case QPrinter::DuplexNone:
        return 1;
    case QPrinter::DuplexShortSide:
        return 3;
    default:
        return 2;
    }
}

QPrinter::DuplexMode duplexFromCode(int code) {
    switch (code) {
    case 2:
        return QPrinter::DuplexLongSide;
    case 3:
        return QPrinter::DuplexShortSide;
    default:
        return QPrinter::DuplexNone;
    }
}

int paperCodeOf(const QPageSize& size) {
    if (size.id() == QPageSize::Custom)
        return kUserDefinedPaper;
    return size.windowsId();
}

} // namespace

std::unique_ptr<TPrinterDriver> createQtPrinterDriver() {
    return std::make_unique<TQtPrinterDriver>();
}

TQtPrinterDriver::TQtPrinterDriver()
    : m_printers(QPrinterInfo::availablePrinterNames()), m_printer(QPrinter::HighResolution) {}

QStringList TQtPrinterDriver::printers() const {
    return m_printers;
}

int TQtPrinterDriver::defaultPrinter() const {
    const QString name = QPrinterInfo::defaultPrinterName();
    return name.isEmpty() ? -1 : int(m_printers.indexOf(name));
}

void TQtPrinterDriver::select(int index) {
    m_printer.setPrinterName(m_printers.at(index));
}

QString TQtPrinterDriver::deviceName() const {
    return m_printer.printerName();
}

QString TQtPrinterDriver::driverName() const {
    return QPrinterInfo::printerInfo(m_printer.printerName()).makeAndModel();
}

QString TQtPrinterDriver::portName() const {
    return QPrinterInfo::printerInfo(m_printer.printerName()).location();
}

TPrinterCapabilities TQtPrinterDriver::capabilities() const {
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
    TPrinterCapabilities caps;
    caps.copies = m_printer.supportsMultipleCopies();
    // Qt does not list a CUPS printer's input slots.
    caps.paperSource = false;
    caps.duplex = info.supportedDuplexModes().size() > 1;
    caps.orientation = true;
    caps.paperWidth = caps.paperLength = info.supportsCustomPageSizes();
    for (const QPageSize& size : info.supportedPageSizes()) {
        const int code = paperCodeOf(size);
        if (code > 0)
            caps.paperCodes.append(code);
    }
    caps.paper = !caps.paperCodes.isEmpty();
    return caps;
}

void TQtPrinterDriver::resetDeviceMode() {
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
    m_printer.setPageSize(info.defaultPageSize());
    m_printer.setPageOrientation(QPageLayout::Portrait);
    m_printer.setDuplex(info.defaultDuplexMode());
    m_printer.setCopyCount(1);
}

TDeviceMode TQtPrinterDriver::deviceMode() const {
    const QPageSize size = m_printer.pageLayout().pageSize();
    const QSizeF mm = size.size(QPageSize::Millimeter);
    TDeviceMode mode;
    mode.copies = m_printer.copyCount();
    mode.paperSource = sourceCode(m_printer.paperSource());
    mode.duplex = duplexCode(m_printer.duplex());
    mode.paperCode = paperCodeOf(size);
    mode.orientation = m_printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    mode.paperWidth = int(std::lround(mm.width() * 10));
    mode.paperLength = int(std::lround(mm.height() * 10));
    return mode;
}

void TQtPrinterDriver::setDeviceMode(const TDeviceMode& mode) {
    m_printer.setCopyCount(mode.copies);
    m_printer.setPaperSource(sourceFromCode(mode.paperSource & ~kUserDefinedPaper));
    m_printer.setDuplex(duplexFromCode(mode.duplex));
    if (mode.paperCode == kUserDefinedPaper && mode.paperWidth > 0 && mode.paperLength > 0) {
        m_printer.setPageSize(QPageSize(QSizeF(mode.paperWidth / 10.0, mode.paperLength / 10.0),
                                        QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    } else if (mode.paperCode > 0 && mode.paperCode != kUserDefinedPaper) {
        const QPageSize::PageSizeId id = QPageSize::id(mode.paperCode);
        if (id != QPageSize::Custom)
            m_printer.setPageSize(QPageSize(id));
    }
    m_printer.setPageOrientation(mode.orientation == 2 ? QPageLayout::Landscape
                                                       : QPageLayout::Portrait);
}

QSize TQtPrinterDriver::resolution() const {
    return QSize(m_printer.logicalDpiX(), m_printer.logicalDpiY());
}

QPoint TQtPrinterDriver::physicalOffset() const {
    return m_printer.pageRect(QPrinter::DevicePixel).topLeft().toPoint();
}

QSize TQtPrinterDriver::physicalPageSize() const {
    return m_printer.paperRect(QPrinter::DevicePixel).size().toSize();
}

QSize TQtPrinterDriver::printableSize() const {
    return m_printer.pageRect(QPrinter::DevicePixel).size().toSize();
}

// A PDF file is titled after its document; a printer job keeps the report's name.
void TQtPrinterDriver::setJobName(const QString& name) {
    m_printer.setDocName(writesPdf() && !m_pdfInfo.title.isEmpty() ? m_pdfInfo.title : name);
}

QPaintDevice* TQtPrinterDriver::device() {
    return &m_printer;
}

bool TQtPrinterDriver::newSheet() {
    return m_printer.newPage();
}

void TQtPrinterDriver::abortJob() {
    m_printer.abort();
}

void TQtPrinterDriver::setOutputFileName(const QString& fileName) {
    m_printer.setOutputFileName(fileName);
    if (fileName.isEmpty()) {
        m_printer.setOutputFormat(QPrinter::NativeFormat);
        return;
    }
    PrepareArchivePdf(m_printer, m_pdfInfo);
}

void TQtPrinterDriver::setDocumentInfo(const TPdfInfo& info) {
    m_pdfInfo = info;
    if (writesPdf())
        PrepareArchivePdf(m_printer, m_pdfInfo);
}

bool TQtPrinterDriver::writesPdf() const {
    return m_printer.outputFormat() == QPrinter::PdfFormat && !m_printer.outputFileName().isEmpty();
}

} // namespace tavim
