#include "engine/band/BrCustomLabel.h"

#include "engine/band/BrFonts.h"

#include "engine/band/BrCanvas.h"
#include "engine/band/BrScreenText.h"
#include "engine/band/BrUnits.h"

#include <QPainter>
#include <algorithm>

namespace tavim {

TBrCustomLabel::TBrCustomLabel(TBrBand& band, const QString& name) : TBrPrintable(band, name) {}

void TBrCustomLabel::setCaption(const QString& caption) {
    m_caption = caption;
    m_printCaption = caption;
    format();
}

void TBrCustomLabel::format() {
    TBrScreenText& text = TBrScreenText::of(Font);
    const int widthPx = toScreenPixels(width());
    text.breakLines(m_printCaption, AutoSize || printsWhole(), widthPx, m_lines);
    if (!AutoSize)
        return;
    int widest = 0;
    for (const QString& line : m_lines)
        widest = std::max(widest, text.width(line));
    const long double newWidth = fromScreenPixels(widest);
    if (Alignment == TBrAlignment::taRightJustify)
        setLeft(left() + width() - newWidth);
    else if (Alignment == TBrAlignment::taCenter)
        setLeft(left() - fromScreenPixels((widest - widthPx) / 2));
    setWidth(newWidth);
    const int minHeight = text.lineHeight() + 1;
    if (toScreenPixels(height()) < minHeight)
        setHeight(fromScreenPixels(minHeight));
}

long double TBrCustomLabel::textReference(long double left) const {
    switch (Alignment) {
    case TBrAlignment::taRightJustify:
        return left + width();
    case TBrAlignment::taCenter:
        return left + width() / 2;
    case TBrAlignment::taLeftJustify:
        break;
    }
    return left;
}

const TBrCustomLabel::PrintFont& TBrCustomLabel::printFont(TBrCanvas& canvas) {
    const int dpi = qRound(double(canvas.verticalFactor() * 254));
    if (m_printFont.dpi == dpi && m_printFont.declared == Font)
        return m_printFont;
    const QFont realized = realizedFont(Font, dpi);
    const int lineHeight = QFontMetrics(realized, canvas.painter().device()).height();
    m_printFont = PrintFont{Font, dpi, realized, lineHeight};
    return m_printFont;
}

bool TBrCustomLabel::print(TBrCanvas& canvas, long double ox, long double oy) {
    if (!Enabled)
        return true;
    updatePrintCaption();
    const PrintFont& font = printFont(canvas);
    const long double lineHeight = font.lineHeight / canvas.verticalFactor();
    // Auto-sizing may move and widen the control; the fill and the text both
    // take the rectangle it ends up with.
    format();
    const long double left = ox + this->left();
    const long double top = oy + this->top();
    const long double bottom = top + height();
    if (!Transparent) {
        const QPoint topLeft(canvas.toDeviceX(left), canvas.toDeviceY(top));
        const QPoint end(canvas.toDeviceX(left + width()), canvas.toDeviceY(bottom));
        canvas.fillRect(QRect(topLeft, end - QPoint(1, 1)), Color);
    }
    const int x = canvas.toDeviceX(textReference(left));
    long double lineTop = top;
    for (const QString& line : m_lines) {
        if (bottom + 1 < lineTop + lineHeight)
            break;
        if (!line.isEmpty())
            canvas.drawTextLine(QPoint(x, canvas.toDeviceY(lineTop)), Alignment, line,
                                font.realized, FontColor, Charset);
        lineTop += lineHeight;
    }
    return true;
}

} // namespace tavim
