#pragma once

#include <QBrush>
#include <QByteArray>
#include <QByteArrayView>
#include <QFont>
#include <QPaintEngine>
#include <QPen>
#include <QPoint>
#include <QTransform>
#include <optional>
#include <vector>

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
// - text drawn through QPainter keeps Qt's baseline reference point
//   (TA_BASELINE | TA_LEFT); text drawn with drawTextLine keeps the caller's
//   alignment and reference point, so other players place it as we do. Fonts
//   carry their em height in pixels as a negative LOGFONT height;
// - per-character advances are the font's glyph advances, measured once per
//   font and character;
// - pens, brushes and fonts are created once per page and selected again by
//   their handle when they come back.
//
// Owned by the thread that records the page; not shared.
class EmfPaintEngine : public QPaintEngine {
public:
    static constexpr quint8 kAnsiCharset = 0;
    static constexpr quint8 kDefaultCharset = 1;

    explicit EmfPaintEngine(EmfWriter& writer);

    // One line of text, without a layout by Qt: `align` is a combination of the
    // TA_* flags and `ref` the reference point they name, in logical
    // coordinates (the painter's transform applies).
    void drawTextLine(QPointF ref, quint32 align, const QString& text, const QFont& font,
                      quint8 charset, const QColor& color);
    // What QPainter::fillRect records, without its round of state changes.
    void fillRect(const QRect& rect, const QColor& color);

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
    void selectBrush(const QBrush& brush);
    void selectBrush(quint32 style, quint32 color, quint32 hatch);
    void selectFont(const QFont& font, quint8 charset);
    void selectStock(Slot& slot, quint32 stock);
    void selectCreated(Slot& slot, quint32 type, QByteArrayView body);
    void setTextColor(const QColor& color);
    void setTextMode(quint32 align);
    void writeRectangle(const QRectF& rect);
    void writeText(QPoint ref, quint32 align, const QString& text, const QFont& font);
    void setFillMode(quint32 mode);
    QPoint toDevice(const QPointF& p) const;
    void writeBounds(const QPoint* points, int count);

    EmfWriter& m_writer;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    Slot m_penSlot;
    Slot m_brushSlot;
    Slot m_fontSlot;
    // The font selected last, to skip building its LOGFONT again.
    std::optional<std::pair<QFont, quint8>> m_selectedFont;
    std::vector<Slot> m_created; // the objects this page created, by body
    quint32 m_textColor = 0;
    bool m_bkModeSet = false;
    std::optional<quint32> m_textAlign;
    quint32 m_fillMode = 1;
    std::optional<QPoint> m_position;
    std::vector<qint32> m_dx; // a text's advances, reused from text to text
};

} // namespace tavim
