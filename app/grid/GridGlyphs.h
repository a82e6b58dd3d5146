#pragma once

#include <QBitmap>
#include <array>

namespace tavim {

// The indicator column's marks for the current row, 6 x 11 pixels each.
enum class GridGlyph { Arrow, Edit, Insert };

constexpr int kGlyphWidth = 6;
constexpr int kGlyphHeight = 11;

// One row of a glyph per string, '#' for a black pixel.
using GlyphRows = std::array<const char*, kGlyphHeight>;

const GlyphRows& glyphRows(GridGlyph glyph);
// Set bits draw in the pen colour, clear bits are transparent.
const QBitmap& glyphBitmap(GridGlyph glyph);

} // namespace tavim
