#pragma once

#include <QRectF>
#include <array>
#include <vector>

namespace tavim {

// Where a page has been painted so far, as the device boxes of what was drawn,
// to tell where it is still blank: a white fill there changes nothing and is
// left out (report labels fill their white background before every text).
// Boxes are kept by the horizontal bands of the page they cross, so a question
// looks at the boxes of its own rows only; past kMaxEntries nothing counts as
// blank, so a page of any size costs bounded time. Owned by the page's paint
// engine; not shared.
class PdfPaintedArea {
public:
    // Forgets every box; `page` is the page's rectangle in device units.
    void clear(const QRectF& page);
    void add(const QRectF& box);
    bool isBlank(const QRectF& box) const;

private:
    static constexpr int kBands = 64;
    static constexpr std::size_t kMaxEntries = 8192;

    struct Box {
        double left;
        double top;
        double right;
        double bottom;
    };

    int bandOf(double y) const;

    std::array<std::vector<Box>, kBands> m_bands;
    double m_top = 0;
    double m_bandHeight = 1;
    std::size_t m_entries = 0;
    bool m_full = false;
};

} // namespace tavim
