#include "engine/preview/BrPreview.h"

#include "engine/emf/DeviceRounding.h"
#include "engine/preview/BrPageImage.h"
#include "engine/preview/BrPageText.h"
#include "engine/print/PrinterSettings.h"
#include "engine/store/BrNotices.h"
#include "engine/store/BrPrinter.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <algorithm>

namespace tavim {

namespace {

constexpr int kShadowFrame = 4;

} // namespace

TBrPreview::TBrPreview(QWidget* parent) : QScrollArea(parent), m_image(new TBrPageImage) {
    setAlignment(Qt::AlignCenter);
    setWidgetResizable(false);
    setWidget(m_image);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    layoutImage();
}

void TBrPreview::attach(TBrPrinter& store) {
    m_store = &store;
    store.setClient(this);
    store.setShowingPreview(true);
    m_pageNumber = 1;
    m_image->clear();
    // Notices of pages finished before this view became the client went
    // nowhere; replay the latest once the window is up and has its size.
    if (const int pages = store.availablePages(); pages > 0)
        QCoreApplication::postEvent(this, new TBrPageAvailableEvent(pages));
    if (store.runFailed())
        QCoreApplication::postEvent(this, new TBrRunFailedEvent);
}

void TBrPreview::detach() {
    if (!m_store)
        return;
    m_store->setClient(nullptr);
    m_store = nullptr;
    QCoreApplication::removePostedEvents(this, TBrPageAvailableEvent::type());
    QCoreApplication::removePostedEvents(this, TBrProgressEvent::type());
    QCoreApplication::removePostedEvents(this, TBrRunFailedEvent::type());
}

void TBrPreview::setPageNumber(int page) {
    if (page < 1 || !m_store || page > m_store->pageCount())
        return;
    if (page == m_pageNumber && m_image->pictureLoaded())
        return;
    m_image->load(*m_store, page);
    m_pageNumber = page;
    resetScroll();
}

void TBrPreview::showMatch(int page, qsizetype at, qsizetype length) {
    setPageNumber(page);
    if (m_pageNumber != page || !m_image->picture())
        return;
    m_image->setOutline(TBrPageText(*m_image->picture()).outline(at, length));
    const std::vector<QRect> boxes = m_image->outlineOnImage();
    if (!boxes.empty())
        ensureVisible(boxes.front().center().x(), boxes.front().center().y(), width() / 4,
                      height() / 4);
}

void TBrPreview::reloadFirstPage() {
    QCoreApplication::removePostedEvents(this, TBrPageAvailableEvent::type());
    QCoreApplication::removePostedEvents(this, TBrProgressEvent::type());
    m_image->clear();
    setPageNumber(1);
}

void TBrPreview::setZoom(int zoom) {
    if (zoom < kMinZoom || zoom > kMaxZoom)
        return;
    m_zoom = zoom;
    m_zoomMode = TBrZoomMode::Other;
    layoutImage();
}

void TBrPreview::zoomToFit() {
    const QSize paper = paperPixels();
    const int byWidth = roundHalfEven(static_cast<long double>(width()) / paper.width() * 95);
    const int byHeight = roundHalfEven(static_cast<long double>(height()) / paper.height() * 95);
    setZoom(std::min(byWidth, byHeight));
    m_zoomMode = TBrZoomMode::Fit;
}

void TBrPreview::zoomToWidth() {
    setZoom(roundHalfEven(static_cast<long double>(width()) / paperPixels().width() * 90));
    layoutImage();
    m_zoomMode = TBrZoomMode::Width;
}

void TBrPreview::layoutImage() {
    const QSizeF paper = paperTenths();
    const long double scale = static_cast<long double>(m_zoom) / 100 * kScreenFactor;
    m_image->resize(roundHalfEven(paper.width() * scale) + kShadowFrame,
                    roundHalfEven(paper.height() * scale) + kShadowFrame);
    resetScroll();
}

bool TBrPreview::event(QEvent* event) {
    if (const auto* page = notice<TBrPageAvailableEvent>(event)) {
        pageAvailable(page->pages());
        return true;
    }
    if (notice<TBrRunFailedEvent>(event)) {
        runFailed();
        return true;
    }
    if (const auto* progress = notice<TBrProgressEvent>(event)) {
        if (onProgressUpdate)
            onProgressUpdate(progress->percent());
        return true;
    }
    return QScrollArea::event(event);
}

void TBrPreview::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (m_zoomMode == TBrZoomMode::Fit)
        zoomToFit();
    else if (m_zoomMode == TBrZoomMode::Width)
        zoomToWidth();
    layoutImage();
}

// The paper in tenths of a millimetre, as the page images are laid out.
QSizeF TBrPreview::paperTenths() const {
    const TBrPageSetup setup = m_store ? m_store->pageSetup() : TBrPageSetup{};
    return QSizeF(static_cast<qreal>(setup.paperWidth), static_cast<qreal>(setup.paperLength));
}

QSize TBrPreview::paperPixels() const {
    const QSizeF paper = paperTenths();
    return QSize(roundHalfEven(paper.width() * kScreenFactor),
                 roundHalfEven(paper.height() * kScreenFactor));
}

// A page in view that has no picture yet is loaded as soon as it is finished,
// at fit-width zoom; `pages` covers every page up to it, so a page whose own
// notice was missed is caught up on too.
// The failed run's store is finished: every page begun can be read now,
// including the one that was open when the run stopped.
void TBrPreview::runFailed() {
    if (!m_store)
        return;
    QCoreApplication::removePostedEvents(this, TBrProgressEvent::type());
    pageAvailable(m_store->pageCount());
    if (onRunFailed)
        onRunFailed();
}

void TBrPreview::pageAvailable(int pages) {
    if (m_store && pages >= m_pageNumber && !m_image->pictureLoaded()) {
        zoomToWidth();
        m_image->load(*m_store, m_pageNumber);
    }
    if (onPageAvailable)
        onPageAvailable(pages);
}

void TBrPreview::resetScroll() {
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

} // namespace tavim
