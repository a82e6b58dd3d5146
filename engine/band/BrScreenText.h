#pragma once

#include <QFontMetrics>
#include <QStringList>

class QFont;

namespace tavim {

// Text measured as on the screen (96 pixels per inch), whatever the output
// device: line breaking and auto-sizing depend on these widths only.
class TBrScreenText {
public:
    explicit TBrScreenText(const QFont& font);
    // The text's extent plus one pixel, so an empty text measures 1.
    int width(const QString& text) const { return m_metrics.horizontalAdvance(text) + 1; }
    int lineHeight() const { return m_metrics.height(); }

    // Breaks `text` into the lines a control `widthPx` screen pixels wide shows.
    // Line feeds are dropped and every carriage return starts a new line; with
    // `autoSize` a line is never broken further.
    QStringList breakLines(const QString& text, bool autoSize, int widthPx) const;

private:
    void breakPiece(const QString& piece, int widthPx, QStringList& lines) const;

    QFontMetrics m_metrics;
};

} // namespace tavim
