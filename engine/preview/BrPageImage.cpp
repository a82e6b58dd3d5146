#include "engine/preview/BrPageImage.h"

#include "engine/store/BrPrinter.h"

#include <QPainter>
#include <QPolygon>

namespace tavim {

namespace {

constexpr int kShadow = 2;

} // namespace

TBrPageImage::TBrPageImage(QWidget* parent) : QWidget(parent) {}

void TBrPageImage::load(TBrPrinter& store, int page) {
    m_pageNumber = page;
    m_picture = store.getPage(page);
    update();
}

void TBrPageImage::clear() {
    m_picture.reset();
    update();
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
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(
        QPolygon({QPoint(0, 0), QPoint(0, h - 3), QPoint(w - 3, h - 3), QPoint(w - 3, 0)}));
    painter.fillRect(QRect(w - kShadow, kShadow, kShadow, h - kShadow), Qt::black);
    painter.fillRect(QRect(kShadow, h - kShadow, w - kShadow, kShadow), Qt::black);
}

} // namespace tavim
