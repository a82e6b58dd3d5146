#pragma once

#include "engine/print/pdf/PdfPaintEngine.h"

#include <QPaintDevice>
#include <QRectF>

namespace tavim {

class PdfFontSet;

// An A4 portrait page at 1200 dots per inch whose painting becomes PDF
// content operators. Owned by the thread that draws on it; not shared.
class PdfPageDevice : public QPaintDevice {
public:
    static constexpr int kDotsPerInch = 1200;

    explicit PdfPageDevice(PdfFontSet& fonts);

    // The whole page in device units.
    static QRectF pageRect();
    // What was painted since the last painter began on the device.
    PdfPageContent takePage() { return m_engine.takePage(); }
    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    mutable PdfPaintEngine m_engine;
};

} // namespace tavim
