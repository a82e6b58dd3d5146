#include "engine/preview/BrPreviewIcons.h"

#include <QPainter>
#include <QPolygonF>

namespace tavim {

namespace {

constexpr int kIconSize = 16;
const QColor kInk(32, 32, 32);
const QColor kGlass(200, 225, 255);
const QColor kArrow(20, 90, 190);

void magnifier(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kGlass);
    p.drawEllipse(QRectF(1.5, 1.5, 10, 10));
    p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(14.5, 14.5));
}

void zoomFit(QPainter& p) {
    magnifier(p);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 3.5, 4, 6));
}

void zoom100(QPainter& p) {
    magnifier(p);
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(6.5, 3.5), QPointF(6.5, 9.5));
    p.drawLine(QPointF(3.5, 6.5), QPointF(9.5, 6.5));
}

void zoomToWidth(QPainter& p) {
    magnifier(p);
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(3.5, 6.5), QPointF(9.5, 6.5));
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({{3, 6.5}, {5, 4.5}, {5, 8.5}}));
    p.drawPolygon(QPolygonF({{10, 6.5}, {8, 4.5}, {8, 8.5}}));
}

void triangle(QPainter& p, qreal tipX, qreal baseX) {
    p.setPen(Qt::NoPen);
    p.setBrush(kArrow);
    p.drawPolygon(QPolygonF({{tipX, 8}, {baseX, 3}, {baseX, 13}}));
}

void bar(QPainter& p, qreal x) {
    p.setPen(Qt::NoPen);
    p.setBrush(kArrow);
    p.drawRect(QRectF(x, 3, 2, 10));
}

void firstPage(QPainter& p) {
    bar(p, 3);
    triangle(p, 5, 12);
}

void previousPage(QPainter& p) {
    triangle(p, 4, 11);
}

void nextPage(QPainter& p) {
    triangle(p, 12, 5);
}

void lastPage(QPainter& p) {
    triangle(p, 11, 4);
    bar(p, 11);
}

void printer(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(170, 170, 170));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
}

void printerSetup(QPainter& p) {
    printer(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kArrow);
    p.drawEllipse(QRectF(10, 9, 6, 6));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(12, 11, 2, 2));
}

void loadReport(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(230, 190, 80));
    p.drawPolygon(
        QPolygonF({{1.5, 3.5}, {5.5, 3.5}, {7, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}}));
    p.setBrush(QColor(250, 215, 110));
    p.drawPolygon(QPolygonF({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
}

void saveReport(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(60, 90, 160));
    p.drawPolygon(QPolygonF({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
}

using Glyph = void (*)(QPainter&);
constexpr Glyph kGlyphs[kPreviewIconCount] = {zoomFit,      zoom100,    zoomToWidth, firstPage,
                                              previousPage, nextPage,   lastPage,    printerSetup,
                                              printer,      loadReport, saveReport};

} // namespace

QList<QPixmap> previewImageList() {
    QList<QPixmap> images;
    for (const Glyph glyph : kGlyphs) {
        QPixmap image(kIconSize, kIconSize);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        glyph(painter);
        images.append(image);
    }
    return images;
}

} // namespace tavim
