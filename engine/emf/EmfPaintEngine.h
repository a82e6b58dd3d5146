#pragma once

#include <QBrush>
#include <QByteArray>
#include <QPaintEngine>
#include <QPen>
#include <QPoint>
#include <QTransform>
#include <optional>

namespace tavim {

class EmfWriter;

// Turns QPainter calls into EMF records: rectangles, lines, polygons and text
// runs, with the pen, brush and font objects they need. Pixmaps and images are
// not recorded. Coordinates are rounded to whole reference-device pixels.
//
// Conventions, chosen so that a replay paints what QPainter would have painted:
// - a rectangle of QPainter becomes EMR_RECTANGLE one pixel larger to the right
//   and below, as GDI leaves out those edges (and one more without a pen);
// - a line drawn with a cap that covers its end point is lengthened by one
//   pixel, as LineTo never sets the end point;
// - text keeps Qt's baseline reference point (TA_BASELINE | TA_LEFT), with the
//   font's em height in pixels as a negative LOGFONT height.
class EmfPaintEngine : public QPaintEngine {
public:
    EmfPaintEngine(EmfWriter& writer, QPaintDevice* device);

    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;
    void drawRects(const QRectF* rects, int rectCount) override;
    void drawLines(const QLineF* lines, int lineCount) override;
    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override;
    void drawPath(const QPainterPath& path) override;
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override;
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return User; }

private:
    // The object of one kind selected into the recorded device context.
    struct Slot {
        QByteArray key;
        quint32 handle = 0; // 0: a stock object
    };

    void selectPen();
    void selectBrush();
    void selectFont(const QFont& font);
    void selectStock(Slot& slot, quint32 stock);
    void selectCreated(Slot& slot, quint32 type, const QByteArray& body);
    void setTextColor(const QColor& color);
    void setTextMode();
    void setFillMode(quint32 mode);
    QPoint toDevice(const QPointF& p) const;
    void writeBounds(const QPoint* points, int count);

    EmfWriter& m_writer;
    QPaintDevice* m_device;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    Slot m_penSlot;
    Slot m_brushSlot;
    Slot m_fontSlot;
    quint32 m_textColor = 0;
    bool m_textModeSet = false;
    quint32 m_fillMode = 1;
    std::optional<QPoint> m_position;
};

} // namespace tavim
