#include "engine/print/pdf/PdfPaintEngine.h"

#include "engine/print/pdf/PdfFontSet.h"

#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTextItem>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tavim {

namespace {

// The largest real PDF/A-1 allows; no number written passes it.
constexpr double kMaxCoordinate = 32767;
// A page's content past this many bytes (a listing page takes some 30 KB)
// is not written: the page cannot be held.
constexpr qsizetype kMaxPageContent = 16 * 1024 * 1024;
// Hatches and dashes of hairlines are spaced as on a 96-dpi screen, whatever
// the device resolution: 8 screen pixels between hatch lines, one wide.
constexpr double kScreenPixelsPerInch = 96;
constexpr double kHatchSpacingPixels = 8;
// The glyphs of one string: two bytes each, within PDF/A-1's 65 535.
constexpr qsizetype kMaxStringGlyphs = 32'767;
// A listing page's operators take some 40 KB: room for them up front.
constexpr qsizetype kContentReserve = 64 * 1024;
// How far a stroke reaches beyond its path, in widths: half a width for caps
// and bevelled or round joins, up to five for a miter join at PDF's default
// limit of ten.
constexpr double kStrokeReach = 0.5;
constexpr double kMiterReach = 5;
// Positions are rounded to whole units: what is drawn may move by half of one.
constexpr double kRounding = 0.5;

// Fixed point with at most `decimals` (0 to 4) places, trailing zeros left
// out: what PDF readers parse, written without a floating-point conversion.
// Positions are whole device units, the finest the recording device draws.
void appendNumber(QByteArray& out, double v, int decimals = 0) {
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
        appendNumber(out, c / 255.0, 3);
}

// One byte of a literal string: the delimiters and the escape escaped, and a
// carriage return too, which a reader would take for an end of line.
void appendCode(QByteArray& out, char byte) {
    switch (byte) {
    case '(':
    case ')':
    case '\\':
        out.append('\\').append(byte);
        return;
    case '\r':
        out.append("\\r");
        return;
    default:
        out.append(byte);
    }
}

// A text's ink so far, in thousandths of the em from its origin: its glyphs'
// boxes, each moved by the advance before it.
struct Ink {
    double left = std::numeric_limits<double>::infinity();
    double top = std::numeric_limits<double>::infinity();
    double right = -std::numeric_limits<double>::infinity();
    double bottom = -std::numeric_limits<double>::infinity();
    int advance = 0;

    void add(const QRectF& glyph) {
        if (glyph.isNull())
            return;
        left = std::min(left, advance + glyph.left());
        right = std::max(right, advance + glyph.right());
        top = std::min(top, glyph.top());
        bottom = std::max(bottom, glyph.bottom());
    }
    QRectF box() const {
        return left < right ? QRectF(QPointF(left, top), QPointF(right, bottom)) : QRectF();
    }
};

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
            appendNumber(style, length * dash, 2);
    }
    style += "] 0 d\n";
    return style;
}

} // namespace

QString PdfBeyondLimits(int page) {
    return QStringLiteral("Page %1 draws beyond what a PDF/A-1 file can hold.").arg(page);
}

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
    m_textOpen = false;
    m_painted.clear(QRectF(0, 0, device->width(), device->height()));
    m_pageRect = QRectF(0, 0, device->width(), device->height());
    m_screenPixel = device->logicalDpiX() / kScreenPixelsPerInch;
    const double inch = device->logicalDpiX();
    m_nearPage = m_pageRect.adjusted(-inch, -inch, inch, inch);
    return true;
}

bool PdfPaintEngine::end() {
    return true;
}

PdfPageContent PdfPaintEngine::takePage() {
    closeText();
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
    if (wanted)
        *wanted &= m_nearPage;
    if (wanted == m_applied)
        return;
    closeText();
    if (m_clipGroupOpen) {
        m_page.operators += "Q\n";
        m_written = {};
        m_clipGroupOpen = false;
    }
    m_applied = wanted;
    if (!wanted)
        return;
    m_page.operators += "q ";
    // Whole units outward: the clip never cuts into what it lets through.
    const double left = std::floor(wanted->left());
    const double top = std::floor(wanted->top());
    appendNumber(m_page.operators, left);
    appendNumber(m_page.operators, top);
    appendNumber(m_page.operators, std::max(0.0, std::ceil(wanted->right()) - left));
    appendNumber(m_page.operators, std::max(0.0, std::ceil(wanted->bottom()) - top));
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
        appendNumber(m_page.operators, width, 2);
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
    m_joins = true;
    m_bounds = QRectF();
}

void PdfPaintEngine::point(const QPointF& p, const char* op) {
    devicePoint(m_transform.map(p), op);
}

void PdfPaintEngine::devicePoint(const QPointF& d, const char* op) {
    appendNumber(m_path, d.x());
    appendNumber(m_path, d.y());
    m_path += op;
    m_bounds |= QRectF(d, QSizeF(0.001, 0.001));
}

bool PdfPaintEngine::fills() const {
    return m_brush.style() != Qt::NoBrush && m_brush.color().alpha() > 0;
}

bool PdfPaintEngine::strokes() const {
    return m_pen.style() != Qt::NoPen && m_pen.brush().style() != Qt::NoBrush;
}

bool PdfPaintEngine::contentFull() {
    if (m_page.operators.size() <= kMaxPageContent)
        return false;
    m_page.beyondLimits = true;
    return true;
}

void PdfPaintEngine::paint(bool closed, Qt::FillRule rule, const PathSource& source) {
    if (contentFull())
        return;
    const double reach = strokes() ? kMiterReach * penWidth() : 0;
    if (m_nearPage.contains(m_bounds.adjusted(-reach, -reach, reach, reach))) {
        paintPath(closed, rule);
        return;
    }
    paintNearPage(source(), rule);
}

// A path reaching far beyond the page, or stroked wider than it: only what
// lies near the page is written, filled and stroked as areas, so that every
// number stays within PDF/A-1's limits and the page looks the same.
void PdfPaintEngine::paintNearPage(const QPainterPath& source, Qt::FillRule rule) {
    QPainterPath nearPage;
    nearPage.addRect(m_nearPage);
    QPainterPath device = m_transform.map(source);
    device.setFillRule(rule);
    const QPen pen = m_pen;
    const double width = penWidth();
    m_pen = QPen(Qt::NoPen);
    if (fills())
        paintArea(device.intersected(nearPage));
    if (pen.style() != Qt::NoPen && pen.brush().style() != Qt::NoBrush) {
        QPen wide = pen;
        wide.setCosmetic(false);
        wide.setWidthF(width);
        const QBrush brush = std::exchange(m_brush, QBrush(pen.color()));
        paintArea(QPainterPathStroker(wide).createStroke(device).intersected(nearPage));
        m_brush = brush;
    }
    m_pen = pen;
}

void PdfPaintEngine::paintArea(const QPainterPath& area) {
    startPath();
    appendPath(area, QTransform());
    paintPath(true, area.fillRule());
}

void PdfPaintEngine::appendPath(const QPainterPath& path, const QTransform& toDevice) {
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount()) {
            devicePoint(toDevice.map(QPointF(e)), "");
            devicePoint(toDevice.map(QPointF(path.elementAt(i + 1))), "");
            devicePoint(toDevice.map(QPointF(path.elementAt(i + 2))), "c\n");
            i += 2;
            continue;
        }
        devicePoint(toDevice.map(QPointF(e)), e.type == QPainterPath::MoveToElement ? "m " : "l\n");
    }
}

void PdfPaintEngine::paintPath(bool closed, Qt::FillRule rule) {
    bool fill = fills();
    const bool stroke = strokes();
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
    // A white fill leaves white what it covers: blank stays blank.
    const bool white = fill && !stroke && m_brush.style() == Qt::SolidPattern &&
                       m_brush.color().rgb() == qRgb(255, 255, 255);
    if (white && m_painted.isBlank(clipped(m_bounds)))
        return;
    closeText();
    if (!white) {
        const bool miter = m_joins && (m_pen.joinStyle() == Qt::MiterJoin ||
                                       m_pen.joinStyle() == Qt::SvgMiterJoin);
        const double reach =
            kRounding + (stroke ? (miter ? kMiterReach : kStrokeReach) * penWidth() : 0);
        m_painted.add(clipped(m_bounds.adjusted(-reach, -reach, reach, reach)));
    }
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
    closeText();
    m_painted.add(box);
    QByteArray& out = m_page.operators;
    out += "q\n";
    out += m_path;
    out += evenOdd ? "W* n\n" : "W n\n";
    appendColor(out, m_brush.color().rgb());
    out += "RG\n";
    appendNumber(out, m_screenPixel, 2);
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
        paint(true, Qt::WindingFill, [&] {
            QPainterPath path;
            path.addRect(r);
            return path;
        });
    }
}

void PdfPaintEngine::drawLines(const QLineF* lines, int lineCount) {
    if (m_pen.style() == Qt::NoPen)
        return;
    const QBrush brush = std::exchange(m_brush, QBrush());
    startPath();
    m_joins = false;
    for (int i = 0; i < lineCount; ++i) {
        point(lines[i].p1(), "m ");
        point(lines[i].p2(), "l\n");
    }
    paint(false, Qt::WindingFill, [&] {
        QPainterPath path;
        for (int i = 0; i < lineCount; ++i) {
            path.moveTo(lines[i].p1());
            path.lineTo(lines[i].p2());
        }
        return path;
    });
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
    paint(!outline, mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill, [&] {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + pointCount)));
        if (!outline)
            path.closeSubpath();
        return path;
    });
    m_brush = brush;
}

void PdfPaintEngine::drawPath(const QPainterPath& path) {
    startPath();
    appendPath(path, m_transform);
    paint(false, path.fillRule(), [&] { return path; });
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

QRectF PdfPaintEngine::clipped(const QRectF& box) const {
    return m_clip ? box & *m_clip : box;
}

void PdfPaintEngine::closeText() {
    if (!m_textOpen)
        return;
    m_page.operators += "ET\n";
    m_textOpen = false;
}

// Shown from the left end of the baseline in the face at the font's pixel
// size: glyph space is turned upright in the page's downward device space.
// Texts that follow one another share a text object and name their face only
// when it changes.
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
    if (contentFull())
        return;
    const QPointF origin = toDevice.map(baseline);
    const double matrix[] = {size * toDevice.m11(), size * toDevice.m12(), -size * toDevice.m21(),
                             -size * toDevice.m22()};
    if (!m_nearPage.contains(origin) ||
        std::any_of(std::begin(matrix), std::end(matrix),
                    [](double v) { return !(std::abs(v) <= kMaxCoordinate); })) {
        m_page.beyondLimits = true;
        return;
    }
    applyClip();
    QByteArray& out = m_page.operators;
    if (!m_textOpen) {
        out += "BT\n";
        m_textOpen = true;
        m_textFont = -1;
    }
    setFill(color);
    for (const double v : matrix)
        appendNumber(out, v, 3);
    appendNumber(out, origin.x());
    appendNumber(out, origin.y());
    out += "Tm";
    // Runs of other faces go on where the last one ended. PDF/A-1 holds a
    // string to 65 535 bytes, two a glyph: a longer run is shown in parts.
    Ink ink;
    for (const PdfGlyphRun& run : m_fonts.glyphRuns(index, font, text)) {
        m_page.fonts.insert(run.face);
        if (m_textFont != run.face) {
            out += "\n/F";
            appendNumber(out, run.face);
            out += "1 Tf";
            m_textFont = run.face;
        }
        const PdfFont& face = m_fonts.at(run.face);
        for (qsizetype at = 0; at < run.glyphs.size(); at += 2 * kMaxStringGlyphs) {
            const qsizetype end = std::min(at + 2 * kMaxStringGlyphs, run.glyphs.size());
            out += " (";
            for (qsizetype i = at; i + 1 < end; i += 2) {
                const auto glyph = quint16((uchar(run.glyphs[i]) << 8) | uchar(run.glyphs[i + 1]));
                appendCode(out, run.glyphs[i]);
                appendCode(out, run.glyphs[i + 1]);
                ink.add(face.ink(glyph));
                ink.advance += face.width(glyph);
            }
            out += ") Tj";
        }
    }
    out += '\n';
    const QRectF drawn = ink.box();
    if (drawn.isNull())
        return;
    const double em = size / 1000.0;
    const QRectF box = toDevice.mapRect(QRectF(baseline + drawn.topLeft() * em, drawn.size() * em));
    m_painted.add(clipped(box.adjusted(-kRounding, -kRounding, kRounding, kRounding)));
}

} // namespace tavim
