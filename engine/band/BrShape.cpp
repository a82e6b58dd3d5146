#include "engine/band/BrShape.h"

#include "engine/band/BrCanvas.h"

#include <QPainter>

namespace tavim {

TBrShape::TBrShape(TBrBand& band, const QString& name) : TBrPrintable(band, name) {}

bool TBrShape::print(TBrCanvas& canvas, long double ox, long double oy) {
    if (!Enabled)
        return true;
    QPainter& painter = canvas.painter();
    // Flat caps leave a line's end point unset; the rectangle's outline runs
    // over its first and up to its last-but-one pixel, as the fill does.
    QPen pen(PenColor, PenWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Brush);
    const long double l = ox + left();
    const long double t = oy + top();
    const int x1 = canvas.toDeviceX(l);
    const int x2 = canvas.toDeviceX(l + width());
    if (Shape == TBrShapeType::brsHorLine) {
        const int y = canvas.toDeviceY(t + height() / 2);
        painter.drawLine(x1, y, x2, y);
        return true;
    }
    const int y1 = canvas.toDeviceY(t);
    const int y2 = canvas.toDeviceY(t + height());
    painter.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    return true;
}

} // namespace tavim
