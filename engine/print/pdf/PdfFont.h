#pragma once

#include <QByteArray>
#include <QRawFont>
#include <QRectF>
#include <QStringView>
#include <array>
#include <map>
#include <unordered_map>
#include <vector>

namespace tavim {

// Characters that are drawn as nothing, no glyph and no advance (Unicode's
// Default_Ignorable_Code_Point): zero-width spaces and joiners, the soft
// hyphen, variation selectors, direction marks, the byte order mark.
bool IsDefaultIgnorable(char32_t character);
// Whether the character keeps its place in a left-to-right line, that is
// takes no part in right-to-left reordering.
bool IsLeftToRight(char32_t character);

// One TrueType face embedded in a PDF as a CID-keyed font with the Identity-H
// encoding: the codes shown are the face's glyph ids, so every character the
// face has can be shown and the widths are the face's own. Remembers which
// glyphs were shown, and for which characters, to write the widths, the text
// extraction map and a subset of the face that holds only their outlines.
//
// Used by the thread that draws the pages, then read by finish() once it is
// done; no lock.
class PdfFont {
public:
    // A face without TrueType outlines (no glyf table: CFF, say), or whose
    // licence forbids embedding its outlines, is left invalid.
    explicit PdfFont(const QRawFont& raw);

    bool isValid() const { return !m_tables.empty(); }
    // The face's glyph for the character; 0 when it has none.
    quint16 glyphOf(char32_t character);
    // The glyph ids for `text`, two bytes each (high byte first), when each
    // character is simply its own glyph of this face drawn left to right.
    // False, with `glyphs` as it was, when one is not: a character the face
    // lacks, a combining mark, a right-to-left letter, one not drawn.
    bool appendPlainGlyphs(QStringView text, QByteArray& glyphs);
    // `glyph`, shown for `characters`, as two bytes, high byte first.
    void appendGlyph(quint16 glyph, const QString& characters, QByteArray& glyphs);
    // The box of the glyph's outline in thousandths of the em from its origin,
    // y downward; null for a glyph without outline.
    QRectF ink(quint16 glyph) const;

    // The face's TrueType program as one file, with the outlines of the glyphs
    // shown so far (and the glyphs they are made of) and no other; glyph ids
    // stay as they are. The whole face when its licence forbids subsetting.
    QByteArray program() const;
    const QByteArray& postScriptName() const { return m_name; }
    // The name of program(): a tag of six capitals that differs with the
    // glyphs it holds, a "+", and the PostScript name.
    QByteArray subsetName() const;
    // The glyph's advance in thousandths of the em.
    int width(quint16 glyph) const;
    // In thousandths of the em: the bounding box, ascent, descent and cap height.
    QByteArray descriptorMetrics() const;
    // glyph id -> the characters it was shown for
    const std::map<quint16, QString>& shown() const { return m_shown; }

private:
    // Basic-plane character -> its glyph, with kNotPlain when drawing it
    // takes more than that glyph.
    int plainEntry(char16_t character);
    void readInks(const QByteArray& glyf, const std::vector<quint32>& offsets);
    int scaled(int units) const;

    QRawFont m_raw;
    std::vector<std::pair<quint32, QByteArray>> m_tables;
    bool m_mayBeSubset = true;
    QByteArray m_name;
    QByteArray m_hmtx;
    int m_unitsPerEm = 1000;
    int m_horizontalMetrics = 0;
    int m_box[4] = {0, 0, 0, 0};
    int m_ascent = 0;
    int m_descent = 0;
    int m_capHeight = 0;
    int m_italicAngle = 0;
    // Basic-plane characters met so far, as plainEntry(); -1: not looked up yet.
    std::vector<int> m_glyphOf;
    std::unordered_map<char32_t, quint16> m_glyphOfAstral;
    std::vector<bool> m_isShown;
    std::map<quint16, QString> m_shown;
    // By glyph id: the outline's xMin, yMin, xMax, yMax in thousandths of the em.
    std::vector<std::array<int, 4>> m_inks;
};

} // namespace tavim
