#include "engine/band/BrCanvas.h"

#include "engine/band/BrUnits.h"
#include "engine/emf/EmfPaintEngine.h"
#include "engine/emf/EmfRecords.h"
#include "engine/store/BrPrinter.h"
#include "error/BrError.h"

#include <QPainter>

namespace tavim {

namespace {

quint32 textAlign(TBrAlignment alignment) {
    switch (alignment) {
    case TBrAlignment::taRightJustify:
        return emf::TA_TOP | emf::TA_RIGHT;
    case TBrAlignment::taCenter:
        return emf::TA_TOP | emf::TA_CENTER;
    case TBrAlignment::taLeftJustify:
        break;
    }
    return emf::TA_TOP | emf::TA_LEFT;
}

int drawTextFlags(TBrAlignment alignment) {
    const int flags = Qt::AlignTop | Qt::TextDontClip;
    switch (alignment) {
    case TBrAlignment::taRightJustify:
        return flags | Qt::AlignRight;
    case TBrAlignment::taCenter:
        return flags | Qt::AlignHCenter;
    case TBrAlignment::taLeftJustify:
        break;
    }
    return flags | Qt::AlignLeft;
}

} // namespace

void TBrCanvas::drawTextLine(QPoint ref, TBrAlignment alignment, const QString& text,
                             const QFont& font, const QColor& color, TBrCharset charset) {
    QPainter& p = painter();
    if (auto* recorder = dynamic_cast<EmfPaintEngine*>(p.paintEngine())) {
        recorder->drawTextLine(ref, textAlign(alignment), text, font, charset, color);
        return;
    }
    // An empty rectangle at the reference point: Qt places the text by it
    // without clipping.
    p.setFont(font);
    p.setPen(color);
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawText(QRect(ref, QSize(0, 0)), drawTextFlags(alignment), text);
}

QPainter& TBrPrinterCanvas::painter() {
    QPainter* p = m_store.canvas();
    if (!p)
        throw EBrError(QStringLiteral("No page is open on the report printer"));
    return *p;
}

void TBrCanvas::fillRect(const QRect& rect, const QColor& color) {
    QPainter& p = painter();
    if (auto* recorder = dynamic_cast<EmfPaintEngine*>(p.paintEngine())) {
        recorder->fillRect(rect, color);
        return;
    }
    p.fillRect(rect, color);
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
