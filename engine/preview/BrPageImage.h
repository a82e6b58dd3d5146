#pragma once

#include "engine/emf/Metafile.h"

#include <QWidget>
#include <optional>

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_pageNumber = 0;
    std::optional<TMetafile> m_picture;
};

} // namespace tavim
