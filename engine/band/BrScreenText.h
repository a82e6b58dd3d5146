#pragma once

#include "engine/emf/BoundedCache.h"

#include <QFont>
#include <QFontMetrics>
#include <QStringList>

namespace tavim {

// Text measured as on the screen (96 pixels per inch), whatever the output
// device: line breaking and auto-sizing depend on these widths only.
//
// One per font and thread (of()): each distinct text is measured once and its
// width reused for the rest of the thread's run. Owned by that thread; no lock.
class TBrScreenText {
public:
    explicit TBrScreenText(const QFont& font);
    // The measure of `font` for the calling thread.
    static TBrScreenText& of(const QFont& font);

    // The text's extent plus one pixel, so an empty text measures 1. The
    // extent is the sum of the glyphs' advances at the font's pixel size, as
    // the platform's text extent is: no kerning between them.
    int width(const QString& text);
    int lineHeight() const { return m_metrics.height(); }

    // Breaks `text` into the lines a control `widthPx` screen pixels wide shows.
    // Line feeds are dropped and every carriage return starts a new line; with
    // `autoSize` a line is never broken further. `lines` is replaced, its
    // storage kept: a control breaks its text again for every row.
    void breakLines(const QString& text, bool autoSize, int widthPx, QStringList& lines);

private:
    void breakPiece(const QString& piece, int widthPx, QStringList& lines);

    QFont m_font; // realised at 96 dpi
    QFontMetrics m_metrics;
    // Half the texts of a listing repeat; the bound keeps a long run's memory flat.
    static constexpr qsizetype kMaxTexts = 32768;
    BoundedCache<QString, int> m_widths{kMaxTexts};
};

} // namespace tavim
