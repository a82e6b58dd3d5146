#include "engine/print/pdf/PdfPaintedArea.h"

#include <algorithm>

namespace tavim {

void PdfPaintedArea::clear() {
    m_boxes.clear();
    m_full = false;
}

void PdfPaintedArea::add(const QRectF& box) {
    if (m_full || box.isEmpty())
        return;
    if (m_boxes.size() == kMaxBoxes) {
        m_full = true;
        return;
    }
    m_boxes.push_back(box);
}

bool PdfPaintedArea::isBlank(const QRectF& box) const {
    return !m_full && std::none_of(m_boxes.begin(), m_boxes.end(),
                                   [&](const QRectF& b) { return b.intersects(box); });
}

} // namespace tavim
