#include "app/grid/GridGlyphs.h"

#include <QImage>

namespace tavim {

namespace {

// DBGARROW: a solid triangle pointing right.
constexpr GlyphRows kArrow = {
    "......", "......", ".#....", ".##...", ".###..", ".####.",
    ".###..", ".##...", ".#....", "......", "......",
};

// DBEDIT: an I-beam.
constexpr GlyphRows kEdit = {
    ".##.##", "...#..", "...#..", "...#..", "...#..", "...#..",
    "...#..", "...#..", "...#..", "...#..", ".##.##",
};

// DBINSERT: an asterisk.
constexpr GlyphRows kInsert = {
    "......", "......", "......", "#.#.#.", ".###..", "#####.",
    ".###..", "#.#.#.", "......", "......", "......",
};

QBitmap makeBitmap(const GlyphRows& rows) {
    QImage image(kGlyphWidth, kGlyphHeight, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < kGlyphHeight; ++y) {
        for (int x = 0; x < kGlyphWidth; ++x)
            image.setPixel(x, y, rows[size_t(y)][x] == '#' ? 1 : 0);
    }
    return QBitmap::fromImage(image, Qt::MonoOnly | Qt::ThresholdDither);
}

} // namespace

const GlyphRows& glyphRows(GridGlyph glyph) {
    switch (glyph) {
    case GridGlyph::Edit:
        return kEdit;
    case GridGlyph::Insert:
        return kInsert;
    case GridGlyph::Arrow:
        break;
    }
    return kArrow;
}

const QBitmap& glyphBitmap(GridGlyph glyph) {
    static const QBitmap arrow = makeBitmap(kArrow);
    static const QBitmap edit = makeBitmap(kEdit);
    static const QBitmap insert = makeBitmap(kInsert);
    switch (glyph) {
    case GridGlyph::Edit:
        return edit;
    case GridGlyph::Insert:
        return insert;
    case GridGlyph::Arrow:
        break;
    }
    return arrow;
}

} // namespace tavim
