#include "engine/band/BrScreenText.h"

#include "engine/band/BrFonts.h"
#include "engine/band/BrUnits.h"
#include "engine/emf/GlyphAdvances.h"
#include "engine/emf/PerFont.h"

namespace tavim {

namespace {

bool isBreak(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QChar(13);
}

// Words keep the break character that ends them.
QStringList words(const QString& piece) {
    QStringList out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < piece.size(); ++i) {
        if (isBreak(piece[i])) {
            out << piece.mid(start, i + 1 - start);
            start = i + 1;
        }
    }
    if (start < piece.size())
        out << piece.mid(start);
    return out;
}

} // namespace

TBrScreenText::TBrScreenText(const QFont& font)
    : m_font(realizedFont(font, int(kScreenDpi))), m_metrics(m_font, &ScreenMeasuringDevice()) {}

TBrScreenText& TBrScreenText::of(const QFont& font) {
    return perFont<TBrScreenText>(font);
}

int TBrScreenText::width(const QString& text) {
    if (const int* known = m_widths.find(text))
        return *known;
    return m_widths.insert(text, qRound(GlyphAdvances::of(m_font).width(text)) + 1);
}

void TBrScreenText::breakLines(const QString& text, bool autoSize, int widthPx,
                               QStringList& lines) {
    lines.clear();
    // Most texts are a single piece that fits: no copy and no split for them.
    if (!text.contains(QChar(10)) && !text.contains(QChar(13)) &&
        (autoSize || width(text) <= widthPx)) {
        lines.append(text);
        return;
    }
    QString clean = text;
    clean.remove(QChar(10));
    for (const QString& piece : clean.split(QChar(13))) {
        if (autoSize)
            lines << piece;
        else
            breakPiece(piece, widthPx, lines);
    }
}

void TBrScreenText::breakPiece(const QString& piece, int widthPx, QStringList& lines) {
    // Widths grow with every word added, so a piece that fits as a whole is
    // what the word-by-word walk would build; most texts take this way.
    if (width(piece) <= widthPx) {
        lines << piece;
        return;
    }
    const qsizetype before = lines.size();
    QString line;
    for (const QString& word : words(piece)) {
        if (width(line + word) <= widthPx) {
            line += word;
            continue;
        }
        if (line.isEmpty()) {
            // A word wider than the control on its own: keep the longest front
            // part that stays narrower than the control, lose the rest.
            qsizetype n = 0;
            while (n < word.size() && width(word.left(n + 1)) < widthPx)
                ++n;
            lines << word.left(n);
            continue;
        }
        lines << line;
        line.clear();
        if (width(word) <= widthPx) {
            line = word;
            continue;
        }
        QString cut = word;
        while (!cut.isEmpty() && width(cut) > widthPx)
            cut.chop(1);
        lines << cut;
    }
    // An empty piece still takes a line of its own.
    if (!line.isEmpty() || lines.size() == before)
        lines << line;
}

} // namespace tavim
