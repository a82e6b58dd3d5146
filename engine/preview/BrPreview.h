#pragma once

#include <QScrollArea>
#include <functional>

namespace tavim {

class TBrPrinter;
class TBrPageImage;

enum class TBrZoomMode { Fit, Width, Other };

// The page view: a scrolling box holding the image of one page, which follows
// the page store's notices while a run fills it.
// Threads: user-interface thread only; it learns of the run only by notices.
class TBrPreview : public QScrollArea {
public:
    static constexpr int kMinZoom = 2;
    static constexpr int kMaxZoom = 2000;

    explicit TBrPreview(QWidget* parent = nullptr);

    // Becomes the store's client and shows it; pages finished before this
    // view became the client are caught up on as if their notice arrived.
    void attach(TBrPrinter& store);
    // Stops receiving notices; the store is not touched afterwards.
    void detach();
    TBrPrinter* store() const { return m_store; }

    int pageNumber() const { return m_pageNumber; }
    void setPageNumber(int page);
    // Goes to the match's page and outlines the match there, in view.
    void showMatch(int page, qsizetype at, qsizetype length);
    // After the store has taken a file's pages: page 1 from the new pages,
    // dropping notices of the run those pages replaced.
    void reloadFirstPage();

    int zoom() const { return m_zoom; }
    TBrZoomMode zoomMode() const { return m_zoomMode; }
    void setZoom(int zoom);
    void zoomToFit();
    void zoomToWidth();
    void layoutImage();
    TBrPageImage& image() const { return *m_image; }

    // Raised after the view has handled the notice.
    std::function<void(int pages)> onPageAvailable;
    std::function<void(int percent)> onProgressUpdate;
    // The run ended with an error; the view shows what it finished.
    std::function<void()> onRunFailed;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSizeF paperTenths() const;
    QSize paperPixels() const;
    void pageAvailable(int pages);
    void runFailed();
    void resetScroll();

    TBrPrinter* m_store = nullptr;
    TBrPageImage* m_image;
    int m_pageNumber = 1;
    int m_zoom = 100;
    TBrZoomMode m_zoomMode = TBrZoomMode::Other;
};

} // namespace tavim
