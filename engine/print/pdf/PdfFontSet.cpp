#include "engine/print/pdf/PdfFontSet.h"

#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tavim {

namespace {

constexpr char32_t kSoftHyphen = 0x00AD;
// The most UTF-16 units of a line laid out at once to find its visual order.
constexpr qsizetype kOrderWindow = 256;

// The code point at `at` and the UTF-16 units it takes.
std::pair<char32_t, qsizetype> codePointAt(QStringView text, qsizetype at) {
    const QChar c = text[at];
    if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text[at + 1]), 2};
    return {c.unicode(), 1};
}

// A line ends here in a text of several lines; one line shows nothing for it.
bool isLineBreak(char32_t character) {
    return character == u'\n' || character == u'\r' || character == 0x2028 || character == 0x2029;
}

// `text` laid out on one line, left to right, as QPainter::drawText does.
void layOut(QTextLayout& layout) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

} // namespace

int PdfFontSet::indexOf(const QFont& font) {
    if (const int* known = m_known.find(font))
        return *known;
    int index = faceIndex(QRawFont::fromFont(font));
    if (index < 0) {
        // A face that cannot be embedded whole (CFF outlines, say): its texts
        // are shown in the report's own face, of the same weight and slant,
        // rather than lost.
        QFont fallback(font);
        fallback.setFamilies({QStringLiteral("Liberation Sans")});
        index = faceIndex(QRawFont::fromFont(fallback));
    }
    return m_known.insert(font, index);
}

int PdfFontSet::faceIndex(const QRawFont& raw) {
    if (!raw.isValid())
        return -1;
    const QString face = raw.familyName() + QLatin1Char('/') + raw.styleName();
    for (std::size_t i = 0; i < m_faces.size(); ++i)
        if (m_faces[i].first == face)
            return int(i);
    auto embedded = std::make_unique<PdfFont>(raw);
    if (!embedded->isValid())
        return -1;
    m_faces.emplace_back(face, std::move(embedded));
    return int(m_faces.size()) - 1;
}

std::span<const PdfGlyphRun> PdfFontSet::glyphRuns(int index, const QFont& font, QStringView text) {
    m_runCount = 0;
    if (!at(index).appendPlainGlyphs(text, runIn(index).glyphs)) {
        m_runCount = 0;
        split(index, font, text);
    }
    return {m_runs.data(), m_runCount};
}

PdfGlyphRun& PdfFontSet::runIn(int face) {
    if (m_runCount > 0 && m_runs[m_runCount - 1].face == face)
        return m_runs[m_runCount - 1];
    if (m_runCount == m_runs.size())
        m_runs.emplace_back();
    PdfGlyphRun& run = m_runs[m_runCount++];
    run.face = face;
    run.glyphs.truncate(0);
    return run;
}

// A letter and the combining marks after it go together.
void PdfFontSet::split(int index, const QFont& font, QStringView text) {
    m_pieces.clear();
    bool rightToLeft = false;
    for (qsizetype from = 0; from < text.size();) {
        const auto [base, length] = codePointAt(text, from);
        qsizetype end = from + length;
        while (end < text.size() && QChar::isMark(codePointAt(text, end).first))
            end += codePointAt(text, end).second;
        rightToLeft = rightToLeft || !IsLeftToRight(base);
        addPieces(index, font, text, from, end - from);
        from = end;
    }
    if (rightToLeft)
        orderVisually(font, text);
    for (const Piece& piece : m_pieces)
        at(piece.face).appendGlyph(piece.glyph, piece.characters, runIn(piece.face).glyphs);
}

void PdfFontSet::addPieces(int index, const QFont& font, QStringView text, qsizetype from,
                           qsizetype length) {
    const QStringView cluster = text.mid(from, length);
    const auto [base, baseLength] = codePointAt(cluster, 0);
    // A soft hyphen shows only where the line ends, as a hyphen.
    if (base == kSoftHyphen && length == 1 && from + 1 == text.size()) {
        const auto [face, glyph] = glyphFor(index, font, base);
        m_pieces.push_back({face, glyph, QStringLiteral("-"), from, length});
        return;
    }
    if (length > baseLength) {
        const QString composed = cluster.toString().normalized(QString::NormalizationForm_C);
        const auto [character, units] = codePointAt(composed, 0);
        if (units == composed.size() && !IsDefaultIgnorable(character)) {
            const auto [face, glyph] = glyphFor(index, font, character);
            if (glyph != 0) {
                m_pieces.push_back({face, glyph, composed, from, length});
                return;
            }
        }
    }
    for (qsizetype at = 0; at < length;) {
        const auto [character, units] = codePointAt(cluster, at);
        at += units;
        if (IsDefaultIgnorable(character) || isLineBreak(character))
            continue;
        // A tab stands for the space it leaves.
        const QString shown =
            character == u'\t' ? QStringLiteral(" ") : cluster.mid(at - units, units).toString();
        const auto [face, glyph] = glyphFor(index, font, codePointAt(shown, 0).first);
        m_pieces.push_back({face, glyph, shown, from, length});
    }
}

// What Qt draws a character the face lacks in is found once per face and
// character: laying the character out asks Qt's own fallback.
std::pair<int, quint16> PdfFontSet::glyphFor(int index, const QFont& font, char32_t character) {
    if (const quint16 glyph = at(index).glyphOf(character); glyph != 0)
        return {index, glyph};
    const quint64 key = (quint64(index) << 32) | character;
    if (const auto known = m_fallbacks.find(key); known != m_fallbacks.end())
        return known->second;
    std::pair<int, quint16> found(index, 0);
    QTextLayout layout(QString::fromUcs4(&character, 1), font);
    layOut(layout);
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (!runs.isEmpty()) {
        const int face = faceIndex(runs.front().rawFont());
        if (const quint16 glyph = face >= 0 ? at(face).glyphOf(character) : 0; glyph != 0)
            found = {face, glyph};
    }
    m_fallbacks.emplace(key, found);
    return found;
}

// The line is ordered in parts, each laid out alone: a left-to-right letter
// ends any reversal before it, so a part ends before one where it can. A part
// without one ends after kOrderWindow units, which keeps hostile lines of
// 65 536 characters from taking seconds; only right-to-left spans longer than
// that, wider than any page, then come out in the wrong order.
void PdfFontSet::orderVisually(const QFont& font, QStringView text) {
    for (std::size_t first = 0; first < m_pieces.size();) {
        const qsizetype from = m_pieces[first].from;
        std::size_t end = first + 1;
        std::size_t leftToRight = first;
        for (; end < m_pieces.size() && m_pieces[end].from - from < kOrderWindow; ++end)
            if (m_pieces[end].from != m_pieces[end - 1].from &&
                QChar::direction(codePointAt(text, m_pieces[end].from).first) == QChar::DirL)
                leftToRight = end;
        if (end < m_pieces.size() && leftToRight > first)
            end = leftToRight;
        while (end < m_pieces.size() && m_pieces[end].from == m_pieces[end - 1].from)
            ++end; // a letter's pieces stay together
        const qsizetype to = end < m_pieces.size() ? m_pieces[end].from : text.size();
        orderPart(font, text.mid(from, to - from), from, first, end);
        first = end;
    }
}

// Each piece goes where Qt's layout puts the leftmost glyph of its letter.
void PdfFontSet::orderPart(const QFont& font, QStringView part, qsizetype from, std::size_t first,
                           std::size_t end) {
    QTextLayout layout(part.toString(), font);
    layOut(layout);
    const QTextLine line = layout.lineAt(0);
    std::vector<std::pair<double, Piece>> placed;
    placed.reserve(end - first);
    double x = 0;
    qsizetype placedFrom = -1;
    for (std::size_t i = first; i < end; ++i) {
        Piece& piece = m_pieces[i];
        if (piece.from != placedFrom) {
            placedFrom = piece.from;
            double left = std::numeric_limits<double>::infinity();
            for (const QGlyphRun& run : line.glyphRuns(int(piece.from - from), int(piece.length)))
                for (const QPointF& p : run.positions())
                    left = std::min(left, p.x());
            if (std::isfinite(left))
                x = left;
        }
        placed.emplace_back(x, std::move(piece));
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < placed.size(); ++i)
        m_pieces[first + i] = std::move(placed[i].second);
}

} // namespace tavim
