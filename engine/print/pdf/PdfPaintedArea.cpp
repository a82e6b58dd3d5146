#include "engine/print/pdf/PdfPaintedArea.h"

#include <algorithm>
#include <cmath>

namespace tavim {

void PdfPaintedArea::clear(const QRectF& page) {
    for (auto& band : m_bands)
        band.clear();
    m_top = page.top();
    m_bandHeight = std::max(1.0, page.height() / kBands);
    m_entries = 0;
    m_full = false;
}

// Boxes above or below the page go to its first or last band.
int PdfPaintedArea::bandOf(double y) const {
    const double band = std::floor((y - m_top) / m_bandHeight);
    return int(std::clamp(band, 0.0, double(kBands - 1)));
}

void PdfPaintedArea::add(const QRectF& box) {
    if (m_full || box.isEmpty())
        return;
    const int first = bandOf(box.top());
    const int last = bandOf(box.bottom());
    m_entries += std::size_t(last - first + 1);
    if (m_entries > kMaxEntries) {
        m_full = true;
        return;
    }
    for (int band = first; band <= last; ++band)
        m_bands[std::size_t(band)].push_back({box.left(), box.top(), box.right(), box.bottom()});
}

bool PdfPaintedArea::isBlank(const QRectF& box) const {
    if (m_full)
        return false;
    const QRectF r = box.normalized();
    for (int band = bandOf(r.top()); band <= bandOf(r.bottom()); ++band)
        for (const Box& b : m_bands[std::size_t(band)])
            if (b.left < r.right() && r.left() < b.right && b.top < r.bottom() &&
                r.top() < b.bottom)
                return false;
    return true;
}

} // namespace tavim
