#include "engine/print/PrinterSettings.h"

#include "engine/emf/DeviceRounding.h"
#include "engine/print/PrinterDriver.h"
#include "error/Exception.h"

#include <algorithm>
#include <utility>

namespace tavim {

namespace {

constexpr int kSingleSided = 1;
constexpr int kDuplexShortEdge = 3;
constexpr int kKeepSourceBit = 256;

// Device pixels to tenths of a millimetre.
int toTenths(int pixels, int pixelsPerInch) {
    if (pixelsPerInch <= 0)
        return 0;
    return roundHalfEven(static_cast<long double>(pixels) / pixelsPerInch * 254);
}

[[noreturn]] void noDefaultPrinter() {
    throw Exception(QStringLiteral("There is no default printer currently selected"));
}

} // namespace

TPrinterSettings::TPrinterSettings(TPrinterDriver* driver) : m_driver(driver) {
    m_supported[static_cast<std::size_t>(TBrPaperSize::Custom)] = true;
}

void TPrinterSettings::bind() {
    const int index = m_driver->defaultPrinter();
    if (index < 0 || index >= m_driver->printers().size())
        noDefaultPrinter();
    m_driver->select(index);
    readFromPrinter();
}

void TPrinterSettings::selectPrinter(const QString& name) {
    const QStringList printers = m_driver->printers();
    int index = int(printers.indexOf(name));
    if (name.isEmpty()) {
        index = m_driver->defaultPrinter();
        if (index < 0 || index >= printers.size())
            noDefaultPrinter();
    } else if (index < 0) {
        throw Exception(QStringLiteral("Printer \"%1\" is not installed").arg(name));
    }
    m_driver->select(index);
    m_driver->resetDeviceMode();
    readFromPrinter();
}

void TPrinterSettings::readFromPrinter() {
    m_deviceName = m_driver->deviceName();
    m_driverName = m_driver->driverName();
    m_portName = m_driver->portName();
    const TDeviceMode mode = m_driver->deviceMode();
    const TPrinterCapabilities caps = m_driver->capabilities();
    m_canSetCopies = caps.copies;
    m_canSetBin = caps.paperSource;
    m_canSetOrientation = caps.orientation;
    m_canSetPaper = caps.paper;

    m_pixelsPerInchX = m_driver->resolution().width();
    m_pixelsPerInchY = m_driver->resolution().height();
    m_copies = caps.copies ? mode.copies : 1;
    m_outputBin = TBrBin::First;
    if (caps.paperSource)
        m_outputBin = binFromCode(mode.paperSource).value_or(TBrBin::First);
    m_duplex = caps.duplex && mode.duplex != kSingleSided;
    m_leftOffset = toTenths(m_driver->physicalOffset().x(), m_pixelsPerInchX);
    m_topOffset = toTenths(m_driver->physicalOffset().y(), m_pixelsPerInchY);
    m_paperSize = TBrPaperSize::Default;
    if (caps.paper)
        m_paperSize = paperFromCode(mode.paperCode).value_or(TBrPaperSize::Default);
    m_paperWidth = toTenths(m_driver->physicalPageSize().width(), m_pixelsPerInchX);
    m_paperLength = toTenths(m_driver->physicalPageSize().height(), m_pixelsPerInchY);
    for (int i = 0; i < kPaperSizeCount; ++i)
        m_supported[std::size_t(i)] = caps.paperCodes.contains(paperCode(paperAt(i)));
    m_supported[static_cast<std::size_t>(TBrPaperSize::Custom)] = true;
}

void TPrinterSettings::applyToPrinter() {
    const TPrinterCapabilities caps = m_driver->capabilities();
    TDeviceMode mode = m_driver->deviceMode();
    if (m_paperSize == TBrPaperSize::Custom) {
        if (caps.paperLength)
            mode.paperLength = roundHalfEven(m_paperLength);
        if (caps.paperWidth)
            mode.paperWidth = roundHalfEven(m_paperWidth);
    }
    if (m_duplex)
        mode.duplex = kDuplexShortEdge;
    if (caps.paper && m_paperSize != TBrPaperSize::Default)
        mode.paperCode = paperCode(m_paperSize);
    mode.copies = std::max(1, m_copies);
    mode.paperSource = (mode.paperSource & kKeepSourceBit) | binCode(m_outputBin);
    mode.orientation = m_orientation == TBrOrientation::Landscape ? 2 : 1;
    m_driver->setDeviceMode(mode);
}

void TPrinterSettings::setPaperSize(TBrPaperSize paper) {
    if (paper == TBrPaperSize::Default || supports(paper))
        m_paperSize = paper;
}

void TPrinterSettings::setOrientation(TBrOrientation orientation) {
    if (m_canSetOrientation)
        m_orientation = orientation;
}

void TPrinterSettings::setCopies(int copies) {
    if (m_canSetCopies)
        m_copies = copies;
}

void TPrinterSettings::setOutputBin(TBrBin bin) {
    if (m_canSetBin)
        m_outputBin = bin;
}

bool TPrinterSettings::supports(TBrPaperSize paper) const {
    return m_supported[static_cast<std::size_t>(paper)];
}

long double TPrinterSettings::pageWidth() const {
    if (m_paperSize == TBrPaperSize::Default || m_paperSize == TBrPaperSize::Custom)
        return m_paperWidth;
    return roundHalfEven(static_cast<long double>(paperWidthMm(m_paperSize)) * 10);
}

long double TPrinterSettings::pageLength() const {
    if (m_paperSize == TBrPaperSize::Default || m_paperSize == TBrPaperSize::Custom)
        return m_paperLength;
    return roundHalfEven(static_cast<long double>(paperLengthMm(m_paperSize)) * 10);
}

TBrPageSetup TPrinterSettings::pageSetup() const {
    TBrPageSetup setup;
    if (pageWidth() > 0 && pageLength() > 0) {
        setup.paperWidth = pageWidth();
        setup.paperLength = pageLength();
    }
    if (m_orientation == TBrOrientation::Landscape)
        std::swap(setup.paperWidth, setup.paperLength);
    setup.pixelsPerInchX = m_pixelsPerInchX;
    setup.pixelsPerInchY = m_pixelsPerInchY;
    setup.leftOffset = m_leftOffset;
    setup.topOffset = m_topOffset;
    return setup;
}

} // namespace tavim
