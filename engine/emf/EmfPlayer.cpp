#include "engine/emf/EmfPlayer.h"

#include "engine/emf/BoundedCache.h"
#include "engine/emf/ByteReader.h"
#include "engine/emf/EmfRecordWalk.h"
#include "engine/emf/EmfRecords.h"
#include "engine/emf/MetafileLog.h"
#include "engine/emf/PerFont.h"
#include "engine/emf/TextLineEngine.h"
#include "error/Exception.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>
#include <algorithm>
#include <cmath>

namespace tavim {

namespace {

constexpr std::size_t kMaxSavedDcs = 1024;
constexpr quint32 kMaxTextChars = emf::kMaxTextChars;
constexpr double kMaxCoordinate = 1 << 22;
constexpr double kMaxScale = 1e4;
constexpr double kMaxOffset = 1e7;
constexpr int kMaxPenWidth = 10000;
constexpr int kMaxFontPixels = 10000;
constexpr int kDefaultFontPixels = 16;
// Qt's glyph cache crashes on glyphs stretched far more along one axis than the
// other (seen at 1800 x 2 device pixels) or squeezed below a pixel. Page targets
// keep the page's proportions, printers at most 1:2; such text is not drawn.
constexpr double kMaxGlyphStretch = 8;
constexpr double kMinGlyphDevicePixels = 1;
constexpr double kMaxGlyphDevicePixels = 4096;
constexpr int kNormalWeight = 400;

void ended(const char* check) {
    qCDebug(lcMetafile, "ended: %s", check);
}

void skipped(const char* check) {
    qCDebug(lcMetafile, "skipped: %s", check);
}

// Qt resolves these through fontconfig already; the explicit substitutes keep
// the choice when a configuration lacks the aliases.
QStringList familiesFor(const QString& face) {
    static const QList<QPair<QString, QString>> substitutes = {
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")},
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")},
    };
    if (face.isEmpty())
        return {QStringLiteral("Liberation Sans")};
    for (const auto& [windows, local] : substitutes) {
        if (face.compare(windows, Qt::CaseInsensitive) == 0)
            return {face, local};
    }
    return {face};
}

QFont defaultFont() {
    QFont font;
    font.setFamilies(familiesFor(QString()));
    font.setPixelSize(kDefaultFontPixels);
    return font;
}

// Every page creates its fonts again; resolving one through the font database,
// and shaping a text only to learn its width, costs more than drawing it. Both
// are remembered for the thread's later pages, within bounds that a hostile
// file's every new text cannot pass.
constexpr qsizetype kMaxResolvedFonts = 4096;
constexpr qsizetype kMaxMeasuredTexts = 65536;

BoundedCache<QString, QFont>& resolvedFonts() {
    thread_local BoundedCache<QString, QFont> fonts(kMaxResolvedFonts);
    return fonts;
}

// A font's measured texts; found by the font itself, which costs less than
// spelling out its key for every text.
struct MeasuredWidths {
    explicit MeasuredWidths(const QFont&) {}
    BoundedCache<QString, double> widths{kMaxMeasuredTexts};
};

double textWidth(const QFont& font, const QFontMetricsF& metrics, const QString& text) {
    BoundedCache<QString, double>& widths = perFont<MeasuredWidths>(font).widths;
    if (const double* known = widths.find(text))
        return *known;
    return widths.insert(text, metrics.horizontalAdvance(text));
}

double coordinate(qint32 v) {
    return std::clamp(double(v), -kMaxCoordinate, kMaxCoordinate);
}

QPointF readPoint(ByteReader& r) {
    const double x = coordinate(r.i32());
    const double y = coordinate(r.i32());
    return QPointF(x, y);
}

QPointF readShortPoint(ByteReader& r) {
    const double x = qint16(r.u16());
    const double y = qint16(r.u16());
    return QPointF(x, y);
}

QColor readColor(ByteReader& r) {
    const quint32 ref = r.u32();
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

// All six are read whatever their values, so that the fields after them are
// read where they are.
std::optional<QTransform> readXform(ByteReader& r) {
    double m[6];
    for (double& v : m)
        v = r.f32();
    for (const double v : m) {
        if (!std::isfinite(v))
            return std::nullopt;
    }
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// The glyph's extent along the transform's most and least stretched directions
// (the singular values of its linear part).
bool isReadableSize(double pixels, const QTransform& t) {
    const double squares =
        t.m11() * t.m11() + t.m12() * t.m12() + t.m21() * t.m21() + t.m22() * t.m22();
    const double det = std::abs(t.m11() * t.m22() - t.m12() * t.m21());
    const double largest =
        std::sqrt((squares + std::sqrt(std::max(0.0, squares * squares - 4 * det * det))) / 2);
    if (largest <= 0)
        return false;
    const double most = pixels * largest;
    const double least = pixels * det / largest;
    return least >= kMinGlyphDevicePixels && most <= kMaxGlyphDevicePixels &&
           most <= kMaxGlyphStretch * least;
}

bool isDrawable(const QTransform& t) {
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22()}) {
        if (!std::isfinite(v) || std::abs(v) > kMaxScale)
            return false;
    }
    return std::isfinite(t.dx()) && std::isfinite(t.dy()) && std::abs(t.dx()) <= kMaxOffset &&
           std::abs(t.dy()) <= kMaxOffset && t.m13() == 0 && t.m23() == 0;
}

Qt::PenStyle qtPenStyle(quint32 style) {
    switch (style & emf::kPenStyleMask) {
    case emf::PS_NULL:
        return Qt::NoPen;
    case emf::PS_DASH:
        return Qt::DashLine;
    case emf::PS_DOT:
        return Qt::DotLine;
    case emf::PS_DASHDOT:
        return Qt::DashDotLine;
    case emf::PS_DASHDOTDOT:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle qtHatch(quint32 hatch) {
    switch (hatch) {
    case emf::HS_HORIZONTAL:
        return Qt::HorPattern;
    case emf::HS_VERTICAL:
        return Qt::VerPattern;
    case emf::HS_FDIAGONAL:
        return Qt::FDiagPattern;
    case emf::HS_BDIAGONAL:
        return Qt::BDiagPattern;
    case emf::HS_CROSS:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

std::optional<EmfPlayer::Object> stockObject(quint32 index) {
    switch (index) {
    case emf::WHITE_BRUSH:
    case emf::DC_BRUSH:
        return QBrush(Qt::white);
    case emf::LTGRAY_BRUSH:
        return QBrush(QColor(0xC0, 0xC0, 0xC0));
    case emf::GRAY_BRUSH:
        return QBrush(QColor(0x80, 0x80, 0x80));
    case emf::DKGRAY_BRUSH:
        return QBrush(QColor(0x40, 0x40, 0x40));
    case emf::BLACK_BRUSH:
        return QBrush(Qt::black);
    case emf::NULL_BRUSH:
        return QBrush(Qt::NoBrush);
    case emf::WHITE_PEN:
        return QPen(Qt::white, 0);
    case emf::BLACK_PEN:
    case emf::DC_PEN:
        return QPen(Qt::black, 0);
    case emf::NULL_PEN:
        return QPen(Qt::NoPen);
    case emf::OEM_FIXED_FONT:
    case emf::ANSI_FIXED_FONT:
    case emf::ANSI_VAR_FONT:
    case emf::SYSTEM_FONT:
    case emf::DEVICE_DEFAULT_FONT:
    case emf::SYSTEM_FIXED_FONT:
    case emf::DEFAULT_GUI_FONT:
        return defaultFont();
    default:
        return std::nullopt;
    }
}

// Millimetres per logical unit of the fixed mapping modes; y grows upwards there.
double millimetresPerUnit(quint32 mapMode) {
    switch (mapMode) {
    case emf::MM_LOMETRIC:
        return 0.1;
    case emf::MM_HIMETRIC:
        return 0.01;
    case emf::MM_LOENGLISH:
        return 0.254;
    case emf::MM_HIENGLISH:
        return 0.0254;
    case emf::MM_TWIPS:
        return 25.4 / 1440;
    default:
        return 0;
    }
}

} // namespace

EmfPlayer::EmfPlayer(QPainter& painter, const EmfHeader& header)
    : m_painter(painter), m_textLines(dynamic_cast<TextLineEngine*>(painter.paintEngine())),
      m_header(header) {
    m_dc.pen = QPen(Qt::black, 0);
    m_dc.brush = QBrush(Qt::white);
    m_dc.font = defaultFont();
}

void EmfPlayer::play(QByteArrayView bytes, const QRectF& target) {
    const QRect page = m_header.pageRect();
    if (page.isEmpty() || !target.isValid())
        return;
    const double sx = target.width() / page.width();
    const double sy = target.height() / page.height();
    // Drawn in the painter's own coordinates, whatever transform it already has.
    m_base = QTransform(sx, 0, 0, sy, target.x() - page.x() * sx, target.y() - page.y() * sy) *
             m_painter.transform();

    m_painter.save();
    m_painter.setClipRect(target, Qt::IntersectClip);
    try {
        EmfRecordWalk records(bytes, m_header);
        playAll(records);
    } catch (const Exception&) {
        // A malformed record ends the replay; what was drawn stays.
        ended("a read past the end of its record");
    }
    m_painter.restore();
}

void EmfPlayer::playAll(EmfRecordWalk& records) {
    while (std::optional<EmfRecordWalk::Record> record = records.next()) {
        if (!playRecord(record->type, record->body))
            return;
    }
    if (records.fault())
        ended(records.fault());
}

bool EmfPlayer::playRecord(quint32 type, ByteReader& r) {
    switch (type) {
    case emf::EMR_EOF:
        return false;
    case emf::EMR_SETBKMODE:
        m_dc.bkMode = r.u32();
        break;
    case emf::EMR_SETTEXTALIGN:
        m_dc.textAlign = r.u32();
        break;
    case emf::EMR_SETTEXTCOLOR:
        m_dc.textColor = readColor(r);
        break;
    case emf::EMR_SETBKCOLOR:
        m_dc.bkColor = readColor(r);
        break;
    case emf::EMR_SETPOLYFILLMODE:
        m_dc.fillRule = r.u32() == emf::WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case emf::EMR_SETMAPMODE:
        m_dc.mapMode = r.u32();
        break;
    case emf::EMR_SETWINDOWEXTEX:
        m_dc.windowExt = QSizeF(r.i32(), r.i32());
        break;
    case emf::EMR_SETWINDOWORGEX:
        m_dc.windowOrg = readPoint(r);
        break;
    case emf::EMR_SETVIEWPORTEXTEX:
        m_dc.viewportExt = QSizeF(r.i32(), r.i32());
        break;
    case emf::EMR_SETVIEWPORTORGEX:
        m_dc.viewportOrg = readPoint(r);
        break;
    case emf::EMR_SETWORLDTRANSFORM:
        if (const std::optional<QTransform> xform = readXform(r))
            m_dc.world = *xform;
        else
            skipped("a transform with an element that is not finite");
        break;
    case emf::EMR_MODIFYWORLDTRANSFORM:
        modifyWorldTransform(r);
        break;
    case emf::EMR_SAVEDC:
        if (m_saved.size() < kMaxSavedDcs)
            m_saved.push_back(m_dc);
        else
            skipped("a SaveDC beyond the saved-context cap");
        break;
    case emf::EMR_RESTOREDC:
        restoreDc(r.i32());
        break;
    case emf::EMR_CREATEPEN:
        createPen(r);
        break;
    case emf::EMR_CREATEBRUSHINDIRECT:
        createBrush(r);
        break;
    case emf::EMR_EXTCREATEFONTINDIRECTW:
        createFont(r);
        break;
    case emf::EMR_SELECTOBJECT:
        selectObject(r.u32());
        break;
    case emf::EMR_DELETEOBJECT:
        deleteObject(r.u32());
        break;
    case emf::EMR_MOVETOEX:
        m_dc.position = readPoint(r);
        break;
    case emf::EMR_LINETO:
        lineTo(readPoint(r));
        break;
    case emf::EMR_RECTANGLE:
        rectangle(r);
        break;
    case emf::EMR_POLYGON:
    case emf::EMR_POLYLINE:
        return poly(r, type == emf::EMR_POLYGON, false);
    case emf::EMR_POLYGON16:
    case emf::EMR_POLYLINE16:
        return poly(r, type == emf::EMR_POLYGON16, true);
    case emf::EMR_EXTTEXTOUTA:
    case emf::EMR_EXTTEXTOUTW:
        text(r, type == emf::EMR_EXTTEXTOUTW);
        break;
    default:
        break;
    }
    return true;
}

void EmfPlayer::storeObject(quint32 handle, Object object) {
    // Index 0 is the metafile itself; the header says how many indices exist.
    if (handle == 0 || handle >= m_header.nHandles)
        return skipped("an object handle outside the header's handle table");
    m_objects.insert_or_assign(handle, std::move(object));
}

void EmfPlayer::createPen(ByteReader& r) {
    const quint32 handle = r.u32();
    const quint32 style = r.u32();
    const qint32 width = r.i32();
    r.skip(4);
    const QColor color = readColor(r);
    QPen pen(color);
    pen.setStyle(qtPenStyle(style));
    // Width 0 is one device pixel whatever the scale; wider pens scale.
    pen.setWidth(std::clamp(width, 0, kMaxPenWidth));
    pen.setCapStyle(width <= 1 ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(width <= 1 ? Qt::MiterJoin : Qt::RoundJoin);
    storeObject(handle, pen);
}

void EmfPlayer::createBrush(ByteReader& r) {
    const quint32 handle = r.u32();
    const quint32 style = r.u32();
    const QColor color = readColor(r);
    const quint32 hatch = r.u32();
    if (style == emf::BS_NULL) {
        storeObject(handle, QBrush(Qt::NoBrush));
        return;
    }
    storeObject(handle,
                QBrush(color, style == emf::BS_HATCHED ? qtHatch(hatch) : Qt::SolidPattern));
}

void EmfPlayer::createFont(ByteReader& r) {
    const quint32 handle = r.u32();
    const qint32 height = r.i32();
    r.skip(12); // width, escapement, orientation
    const qint32 weight = r.i32();
    const bool italic = r.u8() != 0;
    const bool underline = r.u8() != 0;
    const bool strikeOut = r.u8() != 0;
    r.skip(5); // character set, precisions, quality, pitch and family
    QString face;
    for (int i = 0; i < emf::kFaceNameChars; ++i) {
        const QChar c(r.u16());
        if (c.isNull())
            break;
        face.append(c);
    }
    const QString key = QStringLiteral("%1/%2/%3/%4")
                            .arg(height)
                            .arg(weight)
                            .arg(int(italic) | int(underline) << 1 | int(strikeOut) << 2) +
                        face;
    if (const QFont* known = resolvedFonts().find(key)) {
        storeObject(handle, *known);
        return;
    }

    QFont font;
    font.setFamilies(familiesFor(face));
    // Negative: the em height; positive: the cell height, ascent plus descent.
    const qint64 magnitude = std::abs(qint64(height));
    int pixels =
        height == 0 ? kDefaultFontPixels : int(std::min<qint64>(magnitude, kMaxFontPixels));
    if (height > 0) {
        font.setPixelSize(pixels);
        const double cell = QFontMetricsF(font).height();
        if (cell > 0)
            pixels = int(std::lround(pixels * pixels / cell));
    }
    font.setPixelSize(std::max(1, pixels));
    font.setWeight(QFont::Weight(weight <= 0 ? kNormalWeight : std::min(weight, 1000)));
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    resolvedFonts().insert(key, font);
    storeObject(handle, font);
}

void EmfPlayer::selectObject(quint32 handle) {
    std::optional<Object> object;
    if (handle & emf::kStockFlag) {
        object = stockObject(handle & ~emf::kStockFlag);
    } else if (const auto it = m_objects.find(handle); it != m_objects.end()) {
        object = it->second;
    }
    if (!object)
        return;
    if (const auto* pen = std::get_if<QPen>(&*object))
        m_dc.pen = *pen;
    else if (const auto* brush = std::get_if<QBrush>(&*object))
        m_dc.brush = *brush;
    else
        m_dc.font = std::get<QFont>(*object);
}

// The selected copy stays in the device context, as GDI keeps a selected object.
void EmfPlayer::deleteObject(quint32 handle) {
    m_objects.erase(handle);
}

void EmfPlayer::restoreDc(qint32 relative) {
    const auto depth = qint64(m_saved.size());
    const qint64 level = relative < 0 ? depth + relative : qint64(relative) - 1;
    if (level < 0 || level >= depth)
        return skipped("a RestoreDC to a level that was not saved");
    m_dc = m_saved[std::size_t(level)];
    m_saved.resize(std::size_t(level));
}

void EmfPlayer::modifyWorldTransform(ByteReader& r) {
    const std::optional<QTransform> xform = readXform(r);
    const quint32 mode = r.u32();
    if (mode == emf::MWT_IDENTITY)
        m_dc.world = QTransform();
    else if (!xform)
        skipped("a transform with an element that is not finite");
    else if (mode == emf::MWT_LEFTMULTIPLY)
        m_dc.world = *xform * m_dc.world;
    else if (mode == emf::MWT_RIGHTMULTIPLY)
        m_dc.world = m_dc.world * *xform;
}

QTransform EmfPlayer::pageTransform() const {
    double sx = 1;
    double sy = 1;
    if (m_dc.mapMode == emf::MM_ISOTROPIC || m_dc.mapMode == emf::MM_ANISOTROPIC) {
        if (m_dc.windowExt.width() != 0 && m_dc.windowExt.height() != 0) {
            sx = m_dc.viewportExt.width() / m_dc.windowExt.width();
            sy = m_dc.viewportExt.height() / m_dc.windowExt.height();
        }
        if (m_dc.mapMode == emf::MM_ISOTROPIC) {
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
    } else if (const double mm = millimetresPerUnit(m_dc.mapMode); mm > 0) {
        const QRect page = m_header.pageRect();
        const double frameMm = (double(m_header.frame.right) - m_header.frame.left) / 100.0;
        sx = frameMm > 0 ? mm * page.width() / frameMm : 1;
        sy = -sx;
    }
    return QTransform::fromTranslate(-m_dc.windowOrg.x(), -m_dc.windowOrg.y()) *
           QTransform::fromScale(sx, sy) *
           QTransform::fromTranslate(m_dc.viewportOrg.x(), m_dc.viewportOrg.y());
}

bool EmfPlayer::prepare() {
    const QTransform transform = m_dc.world * pageTransform() * m_base;
    if (!isDrawable(transform)) {
        skipped("a drawing whose transform is too large or not affine");
        return false;
    }
    m_painter.setTransform(transform);
    m_painter.setPen(m_dc.pen);
    m_painter.setBrush(m_dc.brush);
    return true;
}

void EmfPlayer::lineTo(const QPointF& to) {
    const QPointF from = m_dc.position;
    m_dc.position = to;
    if (m_dc.pen.style() == Qt::NoPen || !prepare())
        return;
    m_painter.drawLine(from, to);
}

// GDI leaves out the right and bottom edges, and one more pixel of each
// without a pen.
void EmfPlayer::rectangle(ByteReader& r) {
    const QPointF a = readPoint(r);
    const QPointF b = readPoint(r);
    const double left = std::min(a.x(), b.x());
    const double top = std::min(a.y(), b.y());
    const double width = std::abs(b.x() - a.x()) - 1;
    const double height = std::abs(b.y() - a.y()) - 1;
    if (width <= 0 || height <= 0 || !prepare())
        return;
    const QRectF box(left, top, width, height);
    if (m_dc.pen.style() == Qt::NoPen) {
        m_painter.fillRect(box, m_dc.brush);
        return;
    }
    m_painter.drawRect(box);
}

// False when the record claims more points than it holds: that ends the replay.
bool EmfPlayer::poly(ByteReader& r, bool filled, bool shortPoints) {
    r.skip(16); // bounds
    const quint32 count = r.u32();
    const qint64 pointSize = shortPoints ? 4 : 8;
    if (qint64(count) > r.remaining() / pointSize) {
        ended("a point count beyond its record");
        return false;
    }
    QPolygonF points;
    points.reserve(qsizetype(count));
    for (quint32 i = 0; i < count; ++i)
        points.append(shortPoints ? readShortPoint(r) : readPoint(r));
    if (points.size() < 2 || !prepare())
        return true;
    if (filled)
        m_painter.drawPolygon(points, m_dc.fillRule);
    else
        m_painter.drawPolyline(points);
    return true;
}

// Where Qt's left baseline point lies for the text alignment of the context.
QPointF EmfPlayer::alignedBaseline(QPointF ref, double width, const QFontMetricsF& metrics) const {
    const quint32 horizontal = m_dc.textAlign & emf::kHorizontalAlignMask;
    if (horizontal == emf::TA_CENTER)
        ref.rx() -= width / 2;
    else if (horizontal == emf::TA_RIGHT)
        ref.rx() -= width;
    const quint32 vertical = m_dc.textAlign & emf::kVerticalAlignMask;
    if (vertical == emf::TA_TOP)
        ref.ry() += metrics.ascent();
    else if (vertical == emf::TA_BOTTOM)
        ref.ry() -= metrics.descent();
    return ref;
}

// Offsets in the record count from its start, 8 bytes before `record`.
void EmfPlayer::text(ByteReader& record, bool wide) {
    record.skip(16 + 4 + 4 + 4); // bounds, graphics mode, scales
    QPointF ref = readPoint(record);
    const quint32 chars = record.u32();
    const quint32 offString = record.u32();
    const quint32 options = record.u32();
    const QPointF clipA = readPoint(record);
    const QPointF clipB = readPoint(record);
    if (chars == 0)
        return;
    if (chars > kMaxTextChars)
        return skipped("a text longer than the character cap");
    if (offString < 8)
        return skipped("a text offset inside the record's type and size");
    record.seek(qint64(offString) - 8);
    QString text;
    text.reserve(qsizetype(chars));
    for (quint32 i = 0; i < chars; ++i)
        text.append(wide ? QChar(record.u16()) : QChar(record.u8()));

    const QFontMetricsF metrics(m_dc.font);
    // A left-aligned line without a background needs no width.
    const bool needsWidth = (m_dc.textAlign & emf::kHorizontalAlignMask) != emf::TA_LEFT ||
                            (m_dc.textAlign & emf::TA_UPDATECP) || m_dc.bkMode == emf::OPAQUE;
    const double width = needsWidth ? textWidth(m_dc.font, metrics, text) : 0;
    if (m_dc.textAlign & emf::TA_UPDATECP)
        ref = m_dc.position;
    const QPointF baseline = alignedBaseline(ref, width, metrics);
    if (m_dc.textAlign & emf::TA_UPDATECP)
        m_dc.position = QPointF(baseline.x() + width, ref.y());

    if (!prepare())
        return;
    if (!isReadableSize(m_dc.font.pixelSize(), m_painter.transform()))
        return skipped("a text size unreadable under its transform");
    const QRectF clip = QRectF(clipA, clipB).normalized();
    if (options & emf::ETO_OPAQUE)
        m_painter.fillRect(clip, m_dc.bkColor);
    if (m_dc.bkMode == emf::OPAQUE)
        m_painter.fillRect(QRectF(baseline.x(), baseline.y() - metrics.ascent(), width,
                                  metrics.ascent() + metrics.descent()),
                           m_dc.bkColor);
    const bool clipped = options & emf::ETO_CLIPPED;
    if (clipped) {
        m_painter.save();
        m_painter.setClipRect(clip, Qt::IntersectClip);
    }
    if (m_textLines && !m_dc.font.underline() && !m_dc.font.strikeOut()) {
        std::optional<QRectF> deviceClip;
        if (m_painter.hasClipping())
            deviceClip = m_painter.transform().mapRect(m_painter.clipBoundingRect());
        m_textLines->drawTextLine(m_painter.transform(), deviceClip, baseline, text, m_dc.font,
                                  m_dc.textColor);
    } else {
        m_painter.setFont(m_dc.font);
        m_painter.setPen(QPen(m_dc.textColor));
        m_painter.drawText(baseline, text);
    }
    if (clipped)
        m_painter.restore();
}

} // namespace tavim
