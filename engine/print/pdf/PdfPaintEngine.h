#pragma once

#include "engine/emf/TextLineEngine.h"
#include "engine/print/pdf/PdfPaintedArea.h"

#include <QBrush>
#include <QByteArray>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QTransform>
#include <functional>
#include <optional>
#include <set>

namespace tavim {

class PdfFontSet;

// One page's drawing as PDF content operators.
struct PdfPageContent {
    QByteArray operators;
    std::set<int> fonts; // indexes into the document's font set
    // Something drawn could not be written within PDF/A-1's limits (a text
    // far off the page or larger than it, content without end): the page
    // cannot be held by an archival file.
    bool beyondLimits = false;
};

// The reason given for such a page: "Page N draws beyond ...".
QString PdfBeyondLimits(int page);

// Turns QPainter calls into the content stream of one PDF page, in device
// units with the origin at the top left (the page object maps them to points).
// Rectangles, lines, polygons and paths are filled and stroked as painted;
// texts are shown in the embedded faces at the painter's pixel size, each
// glyph advancing by the face's own width; clips are rectangles. Pixmaps and
// images are not drawn. Positions are whole device units, and a white fill
// where the page is still blank is left out.
//
// Owned by the thread that draws the page; not shared.
class PdfPaintEngine : public QPaintEngine, public TextLineEngine {
public:
    explicit PdfPaintEngine(PdfFontSet& fonts);

    // The page painted since begin(); the engine starts empty again.
    PdfPageContent takePage();

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
    void drawTextLine(const QTransform& toDevice, const std::optional<QRectF>& clip,
                      QPointF baseline, const QString& text, const QFont& font,
                      const QColor& color) override;

private:
    // What the operators written so far have set in the graphics state.
    struct Written {
        std::optional<QRgb> fill;
        std::optional<QRgb> stroke;
        std::optional<double> width;
        std::optional<QByteArray> lineStyle; // cap, join and dashes
    };

    void updateClip(const QPaintEngineState& state, QPaintEngine::DirtyFlags flags);
    void applyClip();
    void setFill(const QColor& color);
    void setStroke();
    double penWidth() const;
    void startPath();
    // The point in device units, then `op`, appended to the path being built.
    void point(const QPointF& p, const char* op);
    void devicePoint(const QPointF& d, const char* op);
    bool fills() const;
    bool strokes() const;
    // True, and the page marked, once the content has grown past its bound.
    bool contentFull();
    // The path just built, in the painter's coordinates: asked for only when
    // the path reaches far beyond the page.
    using PathSource = std::function<QPainterPath()>;
    void paint(bool closed, Qt::FillRule rule, const PathSource& source);
    void paintNearPage(const QPainterPath& source, Qt::FillRule rule);
    void paintArea(const QPainterPath& area);
    void appendPath(const QPainterPath& path, const QTransform& toDevice);
    void paintPath(bool closed, Qt::FillRule rule);
    void hatch(bool evenOdd);
    QRectF clipped(const QRectF& box) const;
    // Ends the text object the last texts were shown in, if one is open.
    void closeText();
    void showText(const QTransform& toDevice, QPointF baseline, const QString& text,
                  const QFont& font, const QColor& color);

    PdfFontSet& m_fonts;
    PdfPageContent m_page;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    double m_scale = 1;              // the transform's linear scale, for pen widths
    std::optional<QRectF> m_clip;    // in device units; none: the whole page
    std::optional<QRectF> m_applied; // the clip the open group set
    bool m_clipGroupOpen = false;
    QRectF m_pageRect;
    QRectF m_nearPage;        // the page and an inch around it: what can show
    double m_screenPixel = 1; // device units per 96-dpi pixel
    QByteArray m_path;        // the path being built, reused
    QRectF m_bounds;          // its device box
    bool m_joins = true;      // its segments meet: separate lines do not
    Written m_written;
    bool m_textOpen = false;
    int m_textFont = -1; // the face the open text object shows in
    PdfPaintedArea m_painted;
};

} // namespace tavim
