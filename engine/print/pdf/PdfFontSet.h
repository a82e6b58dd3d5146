#pragma once

#include "engine/emf/BoundedCache.h"
#include "engine/print/pdf/PdfFont.h"

#include <QFont>
#include <QRawFont>
#include <QStringView>
#include <memory>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tavim {

// Glyphs of one face, shown one after the other.
struct PdfGlyphRun {
    int face = -1;
    QByteArray glyphs; // the glyph ids, two bytes each, high byte first
};

// The faces a document shows, each embedded once however many sizes of it
// are used. Used by the thread that draws the pages, then by finish() once it
// is done; no lock.
class PdfFontSet {
public:
    // The index of the face that draws `font`; Liberation Sans stands in for
    // a face that cannot be embedded. -1 when neither can be.
    int indexOf(const QFont& font);
    PdfFont& at(int index) { return *m_faces[std::size_t(index)].second; }
    int size() const { return int(m_faces.size()); }
    // The glyphs that show `text` in `font`, whose face is at `index`, left
    // to right, as an image painted with `font` shows it: a character the face
    // lacks in the face Qt's fallback draws it in, characters drawn as nothing
    // left out, a letter and its combining marks as one precomposed character
    // where there is one, right-to-left letters reversed. Valid until the next call.
    std::span<const PdfGlyphRun> glyphRuns(int index, const QFont& font, QStringView text);

private:
    // One glyph of a text, and where it stands in the text's logical order.
    struct Piece {
        int face;
        quint16 glyph;
        QString characters;
        qsizetype from;
        qsizetype length;
    };

    int faceIndex(const QRawFont& raw);
    // (face index, glyph) that draws `character`, in the face at `index`
    // when it has it, else in the face Qt falls back to; glyph 0 of the face
    // at `index` when no face that can be embedded has it.
    std::pair<int, quint16> glyphFor(int index, const QFont& font, char32_t character);
    void split(int index, const QFont& font, QStringView text);
    void addPieces(int index, const QFont& font, QStringView text, qsizetype from,
                   qsizetype length);
    void orderVisually(const QFont& font, QStringView text);
    // Orders m_pieces[first, end), which `part` holds from `from` of the line on.
    void orderPart(const QFont& font, QStringView part, qsizetype from, std::size_t first,
                   std::size_t end);
    PdfGlyphRun& runIn(int face);

    // QFont -> face index; a report uses a handful of fonts.
    static constexpr qsizetype kMaxKnownFonts = 256;
    BoundedCache<QFont, int> m_known{kMaxKnownFonts};
    // (family and style) -> face
    std::vector<std::pair<QString, std::unique_ptr<PdfFont>>> m_faces;
    // (face index << 32 | character) -> glyphFor() of a character the face lacks
    std::unordered_map<quint64, std::pair<int, quint16>> m_fallbacks;
    std::vector<Piece> m_pieces;     // of the text being split, reused
    std::vector<PdfGlyphRun> m_runs; // the first m_runCount are glyphRuns()'s
    std::size_t m_runCount = 0;
};

} // namespace tavim
