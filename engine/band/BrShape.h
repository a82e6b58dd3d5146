#pragma once

#include "engine/band/BrPrintable.h"

#include <QBrush>
#include <QPen>

namespace tavim {

enum class TBrShapeType { brsRectangle, brsHorLine };

// A rectangle or a horizontal line. The pen's width is in device pixels: one
// screen pixel on a page image, one printer pixel on the printer.
class TBrShape : public TBrPrintable {
public:
    TBrShape(TBrBand& band, const QString& name);

    bool print(TBrCanvas& canvas, long double ox, long double oy) override;

    TBrShapeType Shape = TBrShapeType::brsRectangle;
    QColor PenColor = Qt::black;
    int PenWidth = 1;
    QBrush Brush{Qt::white};
};

} // namespace tavim
