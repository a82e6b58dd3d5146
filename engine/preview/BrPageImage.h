#pragma once

#include "engine/emf/Metafile.h"

#include <QRect>
#include <QWidget>
#include <optional>
#include <vector>

namespace tavim {

class TBrPrinter;

// The page on display: a white sheet with a frame and a shadow, the page
// picture scaled to the whole widget. Holds only the picture of this page.
// Threads: user-interface thread only.
class TBrPageImage : public QWidget {
public:
    explicit TBrPageImage(QWidget* parent = nullptr);

    // Fetches page `page` from the store; blank when the page is not finished.
    void load(TBrPrinter& store, int page);
    void clear();
    int pageNumber() const { return m_pageNumber; }
    bool pictureLoaded() const { return m_picture.has_value(); }
    const std::optional<TMetafile>& picture() const { return m_picture; }

    // Boxes in page pixels drawn around a match on this page, scaled with the
    // image; a page move drops them.
    void setOutline(std::vector<QRect> boxes);
    // The same boxes in this widget's pixels, as they are drawn.
    std::vector<QRect> outlineOnImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_pageNumber = 0;
    std::optional<TMetafile> m_picture;
    std::vector<QRect> m_outline;
};

} // namespace tavim
