#include "engine/band/BrCanvas.h"

#include "engine/BrError.h"
#include "engine/BrPrinter.h"
#include "engine/band/BrUnits.h"

namespace tavim {

QPainter& TBrPrinterCanvas::painter() {
    QPainter* p = m_store.canvas();
    if (!p)
        throw EBrError(QStringLiteral("No page is open on the report printer"));
    return *p;
}

int TBrPrinterCanvas::toDeviceX(long double x) const {
    return m_store.toDeviceX(x);
}

int TBrPrinterCanvas::toDeviceY(long double y) const {
    return m_store.toDeviceY(y);
}

int TBrPrinterCanvas::toDeviceWidth(long double w) const {
    return m_store.toDeviceWidth(w);
}

int TBrPrinterCanvas::toDeviceHeight(long double h) const {
    return m_store.toDeviceHeight(h);
}

long double TBrPrinterCanvas::verticalFactor() const {
    return m_store.verticalFactor();
}

TBrPainterCanvas::TBrPainterCanvas(QPainter& painter, int dpiX, int dpiY)
    : m_painter(painter), m_hFactor(dpiX / 254.0L), m_vFactor(dpiY / 254.0L) {}

int TBrPainterCanvas::toDeviceX(long double x) const {
    return nearest(x * m_hFactor);
}

int TBrPainterCanvas::toDeviceY(long double y) const {
    return nearest(y * m_vFactor);
}

int TBrPainterCanvas::toDeviceWidth(long double w) const {
    return nearest(w * m_hFactor);
}

int TBrPainterCanvas::toDeviceHeight(long double h) const {
    return nearest(h * m_vFactor);
}

} // namespace tavim
