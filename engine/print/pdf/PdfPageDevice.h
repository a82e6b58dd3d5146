#pragma once

#include "engine/print/pdf/PdfPaintEngine.h"

#include <QPaintDevice>
#include <QRectF>
#include <QSize>

namespace tavim {

class PdfFontSet;

// A sheet of paper in device pixels at `dpi`: the page a PDF page shows, and
// the printable area within it that drawing covers, its origin at the area's
// top left (as a printer's painter sees it).
struct PdfSheet {
    QSize dpi;
    QSizeF paper;
    QRectF printable;

    // A4 portrait at 1200 dots per inch, drawn on whole.
    static PdfSheet a4();
};

// A page whose painting becomes PDF content operators, by default an A4
// portrait page at 1200 dots per inch. Owned by the thread that draws on it;
// not shared.
class PdfPageDevice : public QPaintDevice {
public:
    static constexpr int kDotsPerInch = 1200;

    explicit PdfPageDevice(PdfFontSet& fonts, const PdfSheet& sheet = PdfSheet::a4());

    // The printable area in device units, from the origin.
    QRectF pageRect() const;
    // What was painted since the last painter began on the device.
    PdfPageContent takePage() { return m_engine.takePage(); }
    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    PdfSheet m_sheet;
    mutable PdfPaintEngine m_engine;
};

} // namespace tavim
