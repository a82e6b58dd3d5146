#include "engine/print/pdf/PdfPageDevice.h"

#include "engine/print/BrPaperSize.h"

#include <cmath>
#include <limits>

namespace tavim {

namespace {

constexpr double kMmPerInch = 25.4;

} // namespace

PdfSheet PdfSheet::a4() {
    constexpr double dpi = PdfPageDevice::kDotsPerInch;
    const QSizeF paper(kA4WidthMm / kMmPerInch * dpi, kA4LengthMm / kMmPerInch * dpi);
    return {QSize(int(dpi), int(dpi)), paper, QRectF(QPointF(0, 0), paper)};
}

PdfPageDevice::PdfPageDevice(PdfFontSet& fonts, const PdfSheet& sheet)
    : m_sheet(sheet), m_engine(fonts) {}

QRectF PdfPageDevice::pageRect() const {
    return QRectF(QPointF(0, 0), m_sheet.printable.size());
}

int PdfPageDevice::metric(PaintDeviceMetric metric) const {
    const QSizeF area = m_sheet.printable.size();
    switch (metric) {
    case PdmWidth:
        return int(area.width());
    case PdmHeight:
        return int(area.height());
    case PdmWidthMM:
        return int(std::lround(area.width() / m_sheet.dpi.width() * kMmPerInch));
    case PdmHeightMM:
        return int(std::lround(area.height() / m_sheet.dpi.height() * kMmPerInch));
    case PdmNumColors:
        return std::numeric_limits<int>::max();
    case PdmDepth:
        return 24;
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return m_sheet.dpi.width();
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return m_sheet.dpi.height();
    case PdmDevicePixelRatio:
        return 1;
    default:
        return QPaintDevice::metric(metric);
    }
}

} // namespace tavim
