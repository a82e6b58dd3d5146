#include "engine/print/pdf/PdfPaintEngine.h"

#include "engine/print/pdf/PdfFontSet.h"

#include <QPainterPath>
#include <QTextItem>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace tavim {

namespace {

// Beyond twice the page, and the largest real PDF/A-1 allows.
constexpr double kMaxCoordinate = 32767;
// Hatches and dashes of hairlines are spaced as on a 96-dpi screen, whatever
// the device resolution: 8 screen pixels between hatch lines, one wide.
constexpr double kScreenPixelsPerInch = 96;
constexpr double kHatchSpacingPixels = 8;
// The glyphs of one string: two bytes each, within PDF/A-1's 65 535.
constexpr qsizetype kMaxStringGlyphs = 32'767;
// A listing page's operators take some 40 KB: room for them up front.
constexpr qsizetype kContentReserve = 64 * 1024;

// Fixed point with at most `decimals` (0 to 4) places, trailing zeros left
// out: what PDF readers parse, written without a floating-point conversion.
void appendNumber(QByteArray& out, double v, int decimals = 2) {
    static constexpr qint64 kScales[] = {1, 10, 100, 1000, 10000};
    const qint64 scale = kScales[decimals];
    if (!std::isfinite(v))
        v = 0;
    v = std::clamp(v, -kMaxCoordinate, kMaxCoordinate) * double(scale);
    auto units = qint64(v < 0 ? v - 0.5 : v + 0.5);
    char text[32];
    char* end = text;
    if (units < 0) {
        *end++ = '-';
        units = -units;
    }
    end = std::to_chars(end, text + sizeof text, units / scale).ptr;
    qint64 fraction = units % scale;
    if (fraction != 0) {
        *end++ = '.';
        for (qint64 digit = scale / 10; fraction != 0; digit /= 10) {
            *end++ = char('0' + fraction / digit);
            fraction %= digit;
        }
    }
    *end++ = ' ';
    out.append(text, end - text);
}

void appendColor(QByteArray& out, QRgb rgb) {
    for (const int c : {qRed(rgb), qGreen(rgb), qBlue(rgb)})
        appendNumber(out, c / 255.0, 4);
}

bool isHatch(Qt::BrushStyle style) {
    return style >= Qt::HorPattern && style <= Qt::DiagCrossPattern;
}

QByteArray lineStyle(const QPen& pen, double width, double unit) {
    QByteArray style;
    switch (pen.capStyle()) {
    case Qt::RoundCap:
        style += "1 J ";
        break;
    case Qt::SquareCap:
        style += "2 J ";
        break;
    default:
        style += "0 J ";
    }
    switch (pen.joinStyle()) {
    case Qt::RoundJoin:
        style += "1 j ";
        break;
    case Qt::BevelJoin:
        style += "2 j ";
        break;
    default:
        style += "0 j ";
    }
    style += '[';
    if (pen.style() != Qt::SolidLine) {
        const double dash = width > 0 ? width : unit;
        for (const qreal length : pen.dashPattern())
            appendNumber(style, length * dash);
    }
    style += "] 0 d\n";
    return style;
}

} // namespace

PdfPaintEngine::PdfPaintEngine(PdfFontSet& fonts) : QPaintEngine(AllFeatures), m_fonts(fonts) {}

bool PdfPaintEngine::begin(QPaintDevice* device) {
    m_page = {};
    m_page.operators.reserve(kContentReserve);
    m_pen = QPen();
    m_brush = QBrush();
    m_transform = QTransform();
    m_scale = 1;
    m_clip.reset();
    m_applied.reset();
    m_clipGroupOpen = false;
    m_written = {};
    m_pageRect = QRectF(0, 0, device->width(), device->height());
    m_screenPixel = device->logicalDpiX() / kScreenPixelsPerInch;
    return true;
}

bool PdfPaintEngine::end() {
    return true;
}

PdfPageContent PdfPaintEngine::takePage() {
    if (m_clipGroupOpen)
        m_page.operators += "Q\n";
    m_clipGroupOpen = false;
    m_applied.reset();
    m_written = {};
    return std::exchange(m_page, {});
}

void PdfPaintEngine::updateState(const QPaintEngineState& state) {
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen)
        m_pen = state.pen();
    if (flags & DirtyBrush)
        m_brush = state.brush();
    if (flags & DirtyTransform) {
        m_transform = state.transform();
        m_scale = std::sqrt(std::abs(m_transform.determinant()));
    }
    if (flags & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled))
        updateClip(state, flags);
}

// Clips are kept as device rectangles: the pages replayed here clip to
// rectangles only.
void PdfPaintEngine::updateClip(const QPaintEngineState& state, QPaintEngine::DirtyFlags flags) {
    if ((flags & DirtyClipEnabled) && !state.isClipEnabled()) {
        m_clip.reset();
        return;
    }
    QRectF area;
    if (flags & DirtyClipPath)
        area = m_transform.mapRect(state.clipPath().boundingRect());
    else if (flags & DirtyClipRegion)
        area = m_transform.mapRect(QRectF(state.clipRegion().boundingRect()));
    else
        return;
    switch (state.clipOperation()) {
    case Qt::NoClip:
        m_clip.reset();
        break;
    case Qt::ReplaceClip:
        m_clip = area;
        break;
    case Qt::IntersectClip:
        m_clip = m_clip ? m_clip->intersected(area) : area;
        break;
    }
}

void PdfPaintEngine::applyClip() {
    std::optional<QRectF> wanted = m_clip;
    if (wanted && wanted->contains(m_pageRect))
        wanted.reset();
    if (wanted == m_applied)
        return;
    if (m_clipGroupOpen) {
        m_page.operators += "Q\n";
        m_written = {};
        m_clipGroupOpen = false;
    }
    m_applied = wanted;
    if (!wanted)
        return;
    m_page.operators += "q ";
    appendNumber(m_page.operators, wanted->x());
    appendNumber(m_page.operators, wanted->y());
    appendNumber(m_page.operators, std::max(0.0, wanted->width()));
    appendNumber(m_page.operators, std::max(0.0, wanted->height()));
    m_page.operators += "re W n\n";
    m_clipGroupOpen = true;
}

void PdfPaintEngine::setFill(const QColor& color) {
    const QRgb rgb = color.rgb();
    if (m_written.fill == rgb)
        return;
    appendColor(m_page.operators, rgb);
    m_page.operators += "rg\n";
    m_written.fill = rgb;
}

// A cosmetic pen of width 0 is a hairline: PDF's width 0, the thinnest line
// the output device can show. Other pens scale with the transform.
// A cosmetic pen's width counts in pixels of the device the page was
// recorded on, the screen, and a zero width is one such pixel, as the preview
// draws it: PDF's own width 0 is the thinnest line a device can draw, faint or
// nearly invisible at a printer's resolution.
double PdfPaintEngine::penWidth() const {
    if (m_pen.isCosmetic())
        return std::max(m_pen.widthF(), 1.0) * m_screenPixel;
    return m_pen.widthF() * m_scale;
}

void PdfPaintEngine::setStroke() {
    const QRgb rgb = m_pen.color().rgb();
    if (m_written.stroke != rgb) {
        appendColor(m_page.operators, rgb);
        m_page.operators += "RG\n";
        m_written.stroke = rgb;
    }
    const double width = penWidth();
    if (m_written.width != width) {
        appendNumber(m_page.operators, width);
        m_page.operators += "w\n";
        m_written.width = width;
    }
    QByteArray style = lineStyle(m_pen, width, m_screenPixel);
    if (m_written.lineStyle != style) {
        m_page.operators += style;
        m_written.lineStyle = std::move(style);
    }
}

void PdfPaintEngine::startPath() {
    m_path.clear();
    m_bounds = QRectF();
}

void PdfPaintEngine::point(const QPointF& p, const char* op) {
    const QPointF d = m_transform.map(p);
    appendNumber(m_path, d.x());
    appendNumber(m_path, d.y());
    m_path += op;
    m_bounds |= QRectF(d, QSizeF(0.001, 0.001));
}

void PdfPaintEngine::paint(bool closed, Qt::FillRule rule) {
    bool fill = m_brush.style() != Qt::NoBrush && m_brush.color().alpha() > 0;
    const bool stroke = m_pen.style() != Qt::NoPen && m_pen.brush().style() != Qt::NoBrush;
    if (m_path.isEmpty() || (!fill && !stroke))
        return;
    applyClip();
    const bool evenOdd = rule == Qt::OddEvenFill;
    if (fill && isHatch(m_brush.style())) {
        hatch(evenOdd);
        fill = false;
    }
    if (!fill && !stroke)
        return;
    if (fill)
        setFill(m_brush.color());
    if (stroke)
        setStroke();
    m_page.operators += m_path;
    if (fill && stroke)
        m_page.operators += closed ? (evenOdd ? "b*\n" : "b\n") : (evenOdd ? "B*\n" : "B\n");
    else if (fill)
        m_page.operators += evenOdd ? "f*\n" : "f\n";
    else
        m_page.operators += closed ? "s\n" : "S\n";
}

// Hatch lines in the brush's colour over the path's box, clipped to the path.
// Only the box's part on the page and in the clip gets lines: a path far
// larger than the page would otherwise make content without bound.
void PdfPaintEngine::hatch(bool evenOdd) {
    const Qt::BrushStyle style = m_brush.style();
    const double step = kHatchSpacingPixels * m_screenPixel;
    const QRectF box = m_bounds.intersected(m_clip ? m_pageRect & *m_clip : m_pageRect);
    if (box.isEmpty())
        return;
    QByteArray& out = m_page.operators;
    out += "q\n";
    out += m_path;
    out += evenOdd ? "W* n\n" : "W n\n";
    appendColor(out, m_brush.color().rgb());
    out += "RG\n";
    appendNumber(out, m_screenPixel);
    out += "w 0 J [] 0 d\n";
    const auto line = [&](double x1, double y1, double x2, double y2) {
        appendNumber(out, x1);
        appendNumber(out, y1);
        out += "m ";
        appendNumber(out, x2);
        appendNumber(out, y2);
        out += "l\n";
    };
    const double left = std::floor(box.left() / step) * step;
    const double top = std::floor(box.top() / step) * step;
    if (style == Qt::HorPattern || style == Qt::CrossPattern)
        for (double y = top; y <= box.bottom(); y += step)
            line(box.left(), y, box.right(), y);
    if (style == Qt::VerPattern || style == Qt::CrossPattern)
        for (double x = left; x <= box.right(); x += step)
            line(x, box.top(), x, box.bottom());
    const double span = box.width() + box.height();
    if (style == Qt::FDiagPattern || style == Qt::DiagCrossPattern)
        for (double x = left - box.height(); x <= box.right(); x += step)
            line(x, box.top(), x + span, box.top() + span);
    if (style == Qt::BDiagPattern || style == Qt::DiagCrossPattern)
        for (double x = left; x <= box.right() + box.height(); x += step)
            line(x, box.top(), x - span, box.top() + span);
    out += "S\nQ\n";
    m_written = {};
}

void PdfPaintEngine::drawRects(const QRectF* rects, int rectCount) {
    for (int i = 0; i < rectCount; ++i) {
        const QRectF& r = rects[i];
        startPath();
        point(r.topLeft(), "m ");
        point(r.topRight(), "l ");
        point(r.bottomRight(), "l ");
        point(r.bottomLeft(), "l h\n");
        paint(true, Qt::WindingFill);
    }
}

void PdfPaintEngine::drawLines(const QLineF* lines, int lineCount) {
    if (m_pen.style() == Qt::NoPen)
        return;
    const QBrush brush = std::exchange(m_brush, QBrush());
    startPath();
    for (int i = 0; i < lineCount; ++i) {
        point(lines[i].p1(), "m ");
        point(lines[i].p2(), "l\n");
    }
    paint(false, Qt::WindingFill);
    m_brush = brush;
}

void PdfPaintEngine::drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) {
    if (pointCount < 2)
        return;
    const bool outline = mode == PolylineMode;
    const QBrush brush = outline ? std::exchange(m_brush, QBrush()) : m_brush;
    startPath();
    point(points[0], "m ");
    for (int i = 1; i < pointCount; ++i)
        point(points[i], "l ");
    m_path += outline ? "\n" : "h\n";
    paint(!outline, mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
    m_brush = brush;
}

void PdfPaintEngine::drawPath(const QPainterPath& path) {
    startPath();
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount()) {
            point(e, "");
            point(path.elementAt(i + 1), "");
            point(path.elementAt(i + 2), "c\n");
            i += 2;
            continue;
        }
        point(e, e.type == QPainterPath::MoveToElement ? "m " : "l\n");
    }
    paint(false, path.fillRule());
}

void PdfPaintEngine::drawTextItem(const QPointF& p, const QTextItem& textItem) {
    if (m_pen.style() == Qt::NoPen)
        return;
    showText(m_transform, p, textItem.text(), textItem.font(), m_pen.color());
}

void PdfPaintEngine::drawTextLine(const QTransform& toDevice, const std::optional<QRectF>& clip,
                                  QPointF baseline, const QString& text, const QFont& font,
                                  const QColor& color) {
    m_clip = clip;
    showText(toDevice, baseline, text, font, color);
}

// Shown from the left end of the baseline in the face at the font's pixel
// size: glyph space is turned upright in the page's downward device space.
void PdfPaintEngine::showText(const QTransform& toDevice, QPointF baseline, const QString& text,
                              const QFont& font, const QColor& color) {
    if (text.isEmpty())
        return;
    const int index = m_fonts.indexOf(font);
    if (index < 0)
        return;
    const double size = font.pixelSize() > 0
                            ? font.pixelSize()
                            : font.pointSizeF() * m_screenPixel * kScreenPixelsPerInch / 72.0;
    applyClip();
    setFill(color);
    QByteArray& out = m_page.operators;
    out += "BT ";
    appendNumber(out, size * toDevice.m11(), 3);
    appendNumber(out, size * toDevice.m12(), 3);
    appendNumber(out, -size * toDevice.m21(), 3);
    appendNumber(out, -size * toDevice.m22(), 3);
    const QPointF origin = toDevice.map(baseline);
    appendNumber(out, origin.x());
    appendNumber(out, origin.y());
    out += "Tm";
    // Runs of other faces go on where the last one ended. PDF/A-1 holds a
    // string to 65 535 bytes, two a glyph: a longer run is shown in parts.
    for (const PdfGlyphRun& run : m_fonts.glyphRuns(index, font, text)) {
        m_page.fonts.insert(run.face);
        out += " /F";
        appendNumber(out, run.face);
        out += "1 Tf";
        for (qsizetype at = 0; at < run.hex.size(); at += 4 * kMaxStringGlyphs) {
            out += " <";
            out += QByteArrayView(run.hex).sliced(
                at, std::min(4 * kMaxStringGlyphs, run.hex.size() - at));
            out += "> Tj";
        }
    }
    out += " ET\n";
}

} // namespace tavim
