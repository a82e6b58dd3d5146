#include "engine/emf/EmfPaintEngine.h"

#include "engine/emf/EmfRecords.h"
#include "engine/emf/EmfWriter.h"
#include "engine/emf/GlyphAdvances.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QTextItem>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tavim {

namespace {

// Far beyond any page; keeps rounding of wild coordinates defined.
constexpr double kMaxCoordinate = 1 << 30;
constexpr quint32 kCompatibleGraphicsMode = 1;
constexpr double kReferenceDpi = 96.0;

// Half away from zero, as lround, without a call into the maths library:
// within the clamp the truncation and the fraction left are exact.
inline qint32 roundHalfAway(double v) {
    const auto whole = static_cast<qint32>(v);
    const double fraction = v - whole;
    if (fraction >= 0.5)
        return whole + 1;
    if (fraction <= -0.5)
        return whole - 1;
    return whole;
}

qint32 toLong(double v) {
    if (!std::isfinite(v))
        return 0;
    return roundHalfAway(std::clamp(v, -kMaxCoordinate, kMaxCoordinate));
}

quint32 colorRef(const QColor& c) {
    const QRgb rgb = c.rgb();
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

void append32(QByteArray& bytes, quint32 v) {
    for (int i = 0; i < 4; ++i)
        bytes.append(char((v >> (8 * i)) & 0xFF));
}

template <std::size_t N> QByteArrayView asBytes(const quint32 (&words)[N]) {
    return QByteArrayView(reinterpret_cast<const char*>(words), qsizetype(N * 4));
}

// Built once: fills select the null pen for every rectangle.
const QByteArray& stockKey(quint32 stock) {
    static const std::array<QByteArray, emf::DC_PEN + 1> keys = [] {
        std::array<QByteArray, emf::DC_PEN + 1> made;
        for (quint32 i = 0; i < made.size(); ++i)
            made[i] = "stock" + QByteArray::number(i);
        return made;
    }();
    return keys.at(stock);
}

quint32 penStyle(Qt::PenStyle style) {
    switch (style) {
    case Qt::DashLine:
        return emf::PS_DASH;
    case Qt::DotLine:
        return emf::PS_DOT;
    case Qt::DashDotLine:
        return emf::PS_DASHDOT;
    case Qt::DashDotDotLine:
        return emf::PS_DASHDOTDOT;
    default:
        return emf::PS_SOLID;
    }
}

// Width 0 is GDI's one-device-pixel pen, the counterpart of Qt's cosmetic pen.
qint32 penWidth(const QPen& pen) {
    if (pen.isCosmetic() && pen.widthF() <= 1)
        return 0;
    return std::max(1, toLong(pen.widthF()));
}

std::optional<quint32> hatchStyle(Qt::BrushStyle style) {
    switch (style) {
    case Qt::HorPattern:
        return emf::HS_HORIZONTAL;
    case Qt::VerPattern:
        return emf::HS_VERTICAL;
    case Qt::FDiagPattern:
        return emf::HS_FDIAGONAL;
    case Qt::BDiagPattern:
        return emf::HS_BDIAGONAL;
    case Qt::CrossPattern:
        return emf::HS_CROSS;
    case Qt::DiagCrossPattern:
        return emf::HS_DIAGCROSS;
    default:
        return std::nullopt;
    }
}

double emPixels(const QFont& font) {
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return font.pointSizeF() * kReferenceDpi / 72.0;
}

// LOGFONTW followed by the zeroed rest of a LogFontPanose, the form other
// readers expect.
QByteArray logFont(const QFont& font, quint8 charset) {
    QByteArray body;
    append32(body, quint32(-std::max(1, toLong(emPixels(font)))));
    append32(body, 0); // width: the font's own
    append32(body, 0); // escapement
    append32(body, 0); // orientation
    append32(body, quint32(font.weight()));
    body.append(char(font.italic() ? 1 : 0));
    body.append(char(font.underline() ? 1 : 0));
    body.append(char(font.strikeOut() ? 1 : 0));
    body.append(char(charset));
    body.append(4, '\0'); // precisions, quality, pitch and family: defaults
    const QString face = font.family().left(emf::kFaceNameChars - 1);
    for (QChar c : face) {
        body.append(char(c.unicode() & 0xFF));
        body.append(char(c.unicode() >> 8));
    }
    body.append((emf::kFaceNameChars - face.size()) * 2, '\0');
    body.append(emf::kLogFontPanoseSize - emf::kLogFontSize, '\0');
    return body;
}

// A line whose cap covers the end point is lengthened along its main direction.
QPoint lineEnd(QPoint from, QPoint to, Qt::PenCapStyle cap) {
    if (cap == Qt::FlatCap)
        return to;
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    if (dx == 0 && dy == 0)
        return to + QPoint(1, 0);
    if (std::abs(dx) >= std::abs(dy))
        return to + QPoint(dx > 0 ? 1 : -1, 0);
    return to + QPoint(0, dy > 0 ? 1 : -1);
}

} // namespace

EmfPaintEngine::EmfPaintEngine(EmfWriter& writer) : QPaintEngine(AllFeatures), m_writer(writer) {
    m_penSlot.key = stockKey(emf::BLACK_PEN);
    m_brushSlot.key = stockKey(emf::WHITE_BRUSH);
    m_fontSlot.key = stockKey(emf::SYSTEM_FONT);
}

bool EmfPaintEngine::begin(QPaintDevice*) {
    m_pen = QPen();
    m_brush = QBrush();
    m_transform = QTransform();
    return !m_writer.isFinished();
}

bool EmfPaintEngine::end() {
    return true;
}

void EmfPaintEngine::updateState(const QPaintEngineState& state) {
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen)
        m_pen = state.pen();
    if (flags & DirtyBrush)
        m_brush = state.brush();
    if (flags & DirtyTransform)
        m_transform = state.transform();
}

QPoint EmfPaintEngine::toDevice(const QPointF& p) const {
    const QPointF d = m_transform.map(p);
    return QPoint(toLong(d.x()), toLong(d.y()));
}

void EmfPaintEngine::selectStock(Slot& slot, quint32 stock) {
    const QByteArray& key = stockKey(stock);
    if (slot.key == key)
        return;
    m_writer.record(emf::EMR_SELECTOBJECT, {emf::kStockFlag | stock});
    slot = Slot{key, 0};
}

// Objects live until the page ends: one coming back is selected by its handle.
// The body is the key: pens, brushes and fonts differ in size, stock keys too.
void EmfPaintEngine::selectCreated(Slot& slot, quint32 type, QByteArrayView body) {
    if (slot.key == body)
        return;
    // A page creates a handful of objects: a scan finds one without copying the body.
    const auto known = std::find_if(m_created.begin(), m_created.end(),
                                    [&](const Slot& created) { return created.key == body; });
    if (known == m_created.end()) {
        const quint32 handle = m_writer.newHandle();
        m_writer.begin(type);
        m_writer.u32(handle);
        m_writer.raw(body.data(), body.size());
        m_writer.end();
        m_created.push_back(Slot{body.toByteArray(), handle});
        slot = m_created.back();
    } else {
        slot = *known;
    }
    m_writer.record(emf::EMR_SELECTOBJECT, {slot.handle});
}

void EmfPaintEngine::selectPen() {
    if (m_pen.style() == Qt::NoPen || m_pen.brush().style() == Qt::NoBrush) {
        selectStock(m_penSlot, emf::NULL_PEN);
        return;
    }
    const quint32 body[] = {qToLittleEndian(penStyle(m_pen.style())),
                            qToLittleEndian(quint32(penWidth(m_pen))), 0,
                            qToLittleEndian(colorRef(m_pen.color()))};
    selectCreated(m_penSlot, emf::EMR_CREATEPEN, asBytes(body));
}

void EmfPaintEngine::selectBrush(const QBrush& brush) {
    if (brush.style() == Qt::NoBrush) {
        selectStock(m_brushSlot, emf::NULL_BRUSH);
        return;
    }
    const std::optional<quint32> hatch = hatchStyle(brush.style());
    selectBrush(hatch ? emf::BS_HATCHED : emf::BS_SOLID, colorRef(brush.color()),
                hatch.value_or(0));
}

void EmfPaintEngine::selectBrush(quint32 style, quint32 color, quint32 hatch) {
    const quint32 body[] = {qToLittleEndian(style), qToLittleEndian(color), qToLittleEndian(hatch)};
    selectCreated(m_brushSlot, emf::EMR_CREATEBRUSHINDIRECT, asBytes(body));
}

void EmfPaintEngine::selectFont(const QFont& font, quint8 charset) {
    if (m_selectedFont && m_selectedFont->second == charset && m_selectedFont->first == font)
        return;
    selectCreated(m_fontSlot, emf::EMR_EXTCREATEFONTINDIRECTW, logFont(font, charset));
    m_selectedFont.emplace(font, charset);
}

void EmfPaintEngine::setTextColor(const QColor& color) {
    const quint32 ref = colorRef(color);
    if (ref == m_textColor)
        return;
    m_writer.record(emf::EMR_SETTEXTCOLOR, {ref});
    m_textColor = ref;
}

void EmfPaintEngine::setTextMode(quint32 align) {
    if (!m_bkModeSet) {
        m_writer.record(emf::EMR_SETBKMODE, {emf::TRANSPARENT});
        m_bkModeSet = true;
    }
    if (m_textAlign == align)
        return;
    m_writer.record(emf::EMR_SETTEXTALIGN, {align});
    m_textAlign = align;
}

void EmfPaintEngine::setFillMode(quint32 mode) {
    if (mode == m_fillMode)
        return;
    m_writer.record(emf::EMR_SETPOLYFILLMODE, {mode});
    m_fillMode = mode;
}

void EmfPaintEngine::writeBounds(const QPoint* points, int count) {
    QRect box(points[0], QSize(1, 1));
    for (int i = 1; i < count; ++i)
        box |= QRect(points[i], QSize(1, 1));
    m_writer.rect(box.left(), box.top(), box.right(), box.bottom());
}

void EmfPaintEngine::drawRects(const QRectF* rects, int rectCount) {
    if (m_pen.style() == Qt::NoPen && m_brush.style() == Qt::NoBrush)
        return;
    selectPen();
    selectBrush(m_brush);
    for (int i = 0; i < rectCount; ++i)
        writeRectangle(rects[i]);
}

void EmfPaintEngine::fillRect(const QRect& rect, const QColor& color) {
    selectStock(m_penSlot, emf::NULL_PEN);
    selectBrush(emf::BS_SOLID, colorRef(color), 0);
    writeRectangle(QRectF(rect));
}

void EmfPaintEngine::writeRectangle(const QRectF& rect) {
    const QRectF r = m_transform.mapRect(rect.normalized());
    m_writer.record(emf::EMR_RECTANGLE,
                    {quint32(toLong(r.left())), quint32(toLong(r.top())),
                     quint32(toLong(r.right()) + 1), quint32(toLong(r.bottom()) + 1)});
}

void EmfPaintEngine::drawLines(const QLineF* lines, int lineCount) {
    if (m_pen.style() == Qt::NoPen)
        return;
    selectPen();
    for (int i = 0; i < lineCount; ++i) {
        const QPoint from = toDevice(lines[i].p1());
        const QPoint to = lineEnd(from, toDevice(lines[i].p2()), m_pen.capStyle());
        if (m_position != from)
            m_writer.record(emf::EMR_MOVETOEX, {quint32(from.x()), quint32(from.y())});
        m_writer.record(emf::EMR_LINETO, {quint32(to.x()), quint32(to.y())});
        m_position = to;
    }
}

void EmfPaintEngine::drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) {
    const bool polyline = mode == PolylineMode;
    if (pointCount < 2 ||
        (m_pen.style() == Qt::NoPen && (polyline || m_brush.style() == Qt::NoBrush)))
        return;
    selectPen();
    if (!polyline) {
        selectBrush(m_brush);
        setFillMode(mode == WindingMode ? emf::WINDING : emf::ALTERNATE);
    }
    std::vector<QPoint> mapped(static_cast<std::size_t>(pointCount));
    for (int i = 0; i < pointCount; ++i)
        mapped[std::size_t(i)] = toDevice(points[i]);
    m_writer.begin(polyline ? emf::EMR_POLYLINE : emf::EMR_POLYGON);
    writeBounds(mapped.data(), pointCount);
    m_writer.u32(quint32(pointCount));
    for (const QPoint& p : mapped) {
        m_writer.i32(p.x());
        m_writer.i32(p.y());
    }
    m_writer.end();
}

// Paths (ellipses, curves) are approximated by their polygons: filled without
// outline first, then stroked.
void EmfPaintEngine::drawPath(const QPainterPath& path) {
    const QPen pen = m_pen;
    if (m_brush.style() != Qt::NoBrush) {
        m_pen = QPen(Qt::NoPen);
        const PolygonDrawMode fill = path.fillRule() == Qt::WindingFill ? WindingMode : OddEvenMode;
        for (const QPolygonF& polygon : path.toFillPolygons())
            drawPolygon(polygon.constData(), int(polygon.size()), fill);
        m_pen = pen;
    }
    if (pen.style() == Qt::NoPen)
        return;
    for (const QPolygonF& polygon : path.toSubpathPolygons())
        drawPolygon(polygon.constData(), int(polygon.size()), PolylineMode);
}

void EmfPaintEngine::drawTextItem(const QPointF& p, const QTextItem& textItem) {
    const QString text = textItem.text();
    if (text.isEmpty() || m_pen.style() == Qt::NoPen)
        return;
    const QFont font = textItem.font();
    selectFont(font, kDefaultCharset);
    setTextColor(m_pen.color());
    setTextMode(emf::TA_BASELINE | emf::TA_LEFT);
    writeText(toDevice(p), emf::TA_BASELINE | emf::TA_LEFT, text, font);
}

void EmfPaintEngine::drawTextLine(QPointF ref, quint32 align, const QString& text,
                                  const QFont& font, quint8 charset, const QColor& color) {
    if (text.isEmpty())
        return;
    selectFont(font, charset);
    setTextColor(color);
    setTextMode(align);
    writeText(toDevice(ref), align, text, font);
}

void EmfPaintEngine::writeText(QPoint ref, quint32 align, const QString& text, const QFont& font) {
    GlyphAdvances& advances = GlyphAdvances::of(font);
    const qint32 ascent = toLong(advances.ascent());
    const qint32 descent = toLong(advances.descent());
    const qint32 chars = qint32(text.size());
    // Advances per UTF-16 unit for readers that place each character themselves;
    // a surrogate pair's advance goes to its first unit.
    std::vector<qint32>& dx = m_dx;
    dx.resize(static_cast<std::size_t>(chars));
    double pen = 0;
    qint32 placed = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool secondOfPair =
            i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate();
        if (!secondOfPair)
            pen += advances.at(text, i);
        // A sum of glyph advances: finite and far inside the clamp, so rounded
        // as toLong would without its checks, once per character.
        const qint32 next = roundHalfAway(pen);
        dx[std::size_t(i)] = next - placed;
        placed = next;
    }

    qint32 left = ref.x();
    if ((align & emf::kHorizontalAlignMask) == emf::TA_RIGHT)
        left -= placed;
    else if ((align & emf::kHorizontalAlignMask) == emf::TA_CENTER)
        left -= placed / 2;
    qint32 top = ref.y();
    if ((align & emf::kVerticalAlignMask) == emf::TA_BASELINE)
        top -= ascent;
    else if ((align & emf::kVerticalAlignMask) == emf::TA_BOTTOM)
        top -= ascent + descent;
    const qint32 textBytes = (chars * 2 + 3) / 4 * 4;

    m_writer.begin(emf::EMR_EXTTEXTOUTW);
    m_writer.rect(left, top, left + placed, top + ascent + descent);
    m_writer.u32(kCompatibleGraphicsMode);
    m_writer.f32(0);
    m_writer.f32(0);
    m_writer.i32(ref.x());
    m_writer.i32(ref.y());
    m_writer.u32(quint32(chars));
    m_writer.u32(emf::kExtTextOutFixedSize);
    m_writer.u32(0); // no options
    m_writer.rect(0, 0, -1, -1);
    m_writer.u32(quint32(emf::kExtTextOutFixedSize + textBytes));
    m_writer.utf16Padded(text);
    for (qint32& d : dx)
        d = qToLittleEndian(d);
    m_writer.raw(reinterpret_cast<const char*>(dx.data()), qsizetype(dx.size() * sizeof(qint32)));
    m_writer.end();
}

} // namespace tavim
