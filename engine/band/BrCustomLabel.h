#pragma once

#include "engine/band/BrCanvas.h"
#include "engine/band/BrPrintable.h"

#include <QFont>
#include <QStringList>

namespace tavim {

// Base of the text controls: breaks its print caption into lines on the
// screen's measure and draws the lines that fit its height.
//
// Each line is drawn at its reference point: the line's top, and the point the
// text starts at (left-justified), ends at (right-justified) or is centred on
// (centred); see TBrCanvas::drawTextLine.
class TBrCustomLabel : public TBrPrintable {
public:
    TBrCustomLabel(TBrBand& band, const QString& name);

    const QString& caption() const { return m_caption; }
    // Sets the print caption as well and formats it at once.
    void setCaption(const QString& caption);
    // The lines of the last formatting.
    const QStringList& lines() const { return m_lines; }

    bool print(TBrCanvas& canvas, long double ox, long double oy) override;

    bool AutoSize = true;
    // Never broken nor cut: the text prints whole on one line, overflowing its
    // box as its alignment places it. For amounts, where lost digits would
    // change the number.
    bool KeepWhole = false;
    QFont Font{QStringLiteral("Arial"), 10};
    QColor FontColor = Qt::black;
    TBrCharset Charset = DEFAULT_CHARSET;

protected:
    // Data texts and the page number fetch their text here, just before printing.
    virtual void updatePrintCaption() {}
    virtual bool printsWhole() const { return KeepWhole; }
    void setPrintCaption(const QString& text) { m_printCaption = text; }

private:
    // Breaks the print caption into lines; with AutoSize, fits the control's
    // width to the widest line (keeping the edge or centre its alignment names)
    // and its height to at least one line.
    void format();
    long double textReference(long double left) const;

    // The font as the output device realises it, and its line height in
    // device pixels; kept while the font and the device's resolution stay.
    struct PrintFont {
        QFont declared;
        int dpi = 0;
        QFont realized;
        int lineHeight = 0;
    };
    const PrintFont& printFont(TBrCanvas& canvas);

    QString m_caption;
    QString m_printCaption;
    QStringList m_lines;
    PrintFont m_printFont;
};

} // namespace tavim
