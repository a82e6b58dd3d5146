#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <optional>

namespace tavim {

// A paint engine that shows a line of text itself from the whole drawing
// state, so that QPainter need not shape and lay out a text the engine only
// needs the characters of. The player hands its texts to such an engine.
class TextLineEngine {
public:
    virtual ~TextLineEngine() = default;

    // `baseline`: the left end of the baseline in logical coordinates, which
    // `toDevice` maps to the device; `clip`: the device rectangle drawing is
    // limited to, if any. Underline and strike-out are the caller's.
    virtual void drawTextLine(const QTransform& toDevice, const std::optional<QRectF>& clip,
                              QPointF baseline, const QString& text, const QFont& font,
                              const QColor& color) = 0;
};

} // namespace tavim
