#pragma once

#include <QRectF>
#include <vector>

namespace tavim {

// Where a page has been painted so far, as the device boxes of what was drawn,
// to tell where it is still blank: a white fill there changes nothing and is
// left out (report labels fill their white background before every text).
// Past kMaxBoxes nothing counts as blank, so a page of any size costs bounded
// time. Owned by the page's paint engine; not shared.
class PdfPaintedArea {
public:
    void clear();
    void add(const QRectF& box);
    bool isBlank(const QRectF& box) const;

private:
    static constexpr std::size_t kMaxBoxes = 2048;

    std::vector<QRectF> m_boxes;
    bool m_full = false;
};

} // namespace tavim
