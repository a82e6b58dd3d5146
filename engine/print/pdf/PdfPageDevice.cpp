#include "engine/print/pdf/PdfPageDevice.h"

#include "engine/print/BrPaperSize.h"

#include <limits>

namespace tavim {

namespace {

constexpr double kMmPerInch = 25.4;

} // namespace

PdfPageDevice::PdfPageDevice(PdfFontSet& fonts) : m_engine(fonts) {}

QRectF PdfPageDevice::pageRect() {
    return QRectF(0, 0, kA4WidthMm / kMmPerInch * kDotsPerInch,
                  kA4LengthMm / kMmPerInch * kDotsPerInch);
}

int PdfPageDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return int(pageRect().width());
    case PdmHeight:
        return int(pageRect().height());
    case PdmWidthMM:
        return int(kA4WidthMm);
    case PdmHeightMM:
        return int(kA4LengthMm);
    case PdmNumColors:
        return std::numeric_limits<int>::max();
    case PdmDepth:
        return 24;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return kDotsPerInch;
    case PdmDevicePixelRatio:
        return 1;
    default:
        return QPaintDevice::metric(metric);
    }
}

} // namespace tavim
