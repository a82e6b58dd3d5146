#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QString>
#include <array>

namespace tavim {

// The 96-dpi screen-compatible device texts are measured on, one per thread.
const QImage& ScreenMeasuringDevice();

// The advances of one font's glyphs on the 96-dpi reference device, each
// measured once as characters come: a one-character text's advance in Qt's
// layout. Text widths are their sums, as the platform's text extent adds up
// glyph advances without shaping the whole string; page images record the
// same advances, so what was measured is what is written.
//
// One table per font and thread (of()); owned by that thread, no lock.
class GlyphAdvances {
public:
    explicit GlyphAdvances(const QFont& font);
    static GlyphAdvances& of(const QFont& font);

    // The advance of the character starting at `i` (a surrogate pair counts as one).
    double at(const QString& text, qsizetype i);
    // The sum of the text's advances, in pixels.
    double width(const QString& text);
    double ascent() const { return m_metrics.ascent(); }
    double descent() const { return m_metrics.descent(); }

private:
    QFontMetricsF m_metrics;
    std::array<double, 256> m_latin;
    QHash<char32_t, double> m_other; // by code point
};

} // namespace tavim
