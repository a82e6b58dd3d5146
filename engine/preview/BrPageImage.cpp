#include "engine/preview/BrPageImage.h"

#include "engine/store/BrPrinter.h"

#include <QPainter>
#include <QPolygon>

namespace tavim {

namespace {

constexpr int kShadow = 2;
constexpr int kOutlinePen = 2;
const QColor kOutlineColor(230, 120, 0);
const QColor kOutlineFill(255, 200, 0, 70);

} // namespace

TBrPageImage::TBrPageImage(QWidget* parent) : QWidget(parent) {}

void TBrPageImage::load(TBrPrinter& store, int page) {
    m_pageNumber = page;
    m_picture = store.getPage(page);
    m_outline.clear();
    update();
}

void TBrPageImage::clear() {
    m_picture.reset();
    m_outline.clear();
    update();
}

void TBrPageImage::setOutline(std::vector<QRect> boxes) {
    m_outline = std::move(boxes);
    update();
}

// The page picture fills the whole widget (paintEvent), so page pixels scale
// by the widget's size over the page's; the box grows by the pen on each side.
std::vector<QRect> TBrPageImage::outlineOnImage() const {
    std::vector<QRect> boxes;
    if (!m_picture || m_picture->size().isEmpty())
        return boxes;
    const double sx = double(width()) / m_picture->size().width();
    const double sy = double(height()) / m_picture->size().height();
    for (const QRect& box : m_outline) {
        const QRectF scaled(box.x() * sx, box.y() * sy, box.width() * sx, box.height() * sy);
        boxes.push_back(
            scaled.toAlignedRect().adjusted(-kOutlinePen, -kOutlinePen, kOutlinePen, kOutlinePen));
    }
    return boxes;
}

void TBrPageImage::paintEvent(QPaintEvent*) {
    if (!m_picture)
        return;
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(1, 1), QPoint(w - 4, h - 4)), Qt::white);
    painter.save();
    m_picture->play(painter, QRectF(0, 0, w, h));
    painter.restore();
    painter.setPen(QPen(kOutlineColor, kOutlinePen));
    for (const QRect& box : outlineOnImage()) {
        painter.fillRect(box, kOutlineFill);
        painter.drawRect(box);
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(
        QPolygon({QPoint(0, 0), QPoint(0, h - 3), QPoint(w - 3, h - 3), QPoint(w - 3, 0)}));
    painter.fillRect(QRect(w - kShadow, kShadow, kShadow, h - kShadow), Qt::black);
    painter.fillRect(QRect(kShadow, h - kShadow, w - kShadow, kShadow), Qt::black);
}

} // namespace tavim
