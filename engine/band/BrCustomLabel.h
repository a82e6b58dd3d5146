#pragma once

#include "engine/band/BrPrintable.h"

#include <QFont>
#include <QStringList>

namespace tavim {

// Base of the text controls: breaks its print caption into lines on the
// screen's measure and draws the lines that fit its height.
//
// Drawing convention (what the page image records): each line is drawn with
// QPainter::drawText on an empty rectangle at the line's reference point with
// Qt::AlignTop and Qt::TextDontClip, so the top of the line's ascent is at the
// line top and the text starts at (left-justified), ends at (right-justified)
// or is centred on (centred) the reference point.
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
    QFont Font{QStringLiteral("Arial"), 10};
    QColor FontColor = Qt::black;

protected:
    // Data texts and the page number fetch their text here, just before printing.
    virtual void updatePrintCaption() {}
    void setPrintCaption(const QString& text) { m_printCaption = text; }

private:
    // Breaks the print caption into lines; with AutoSize, fits the control's
    // width to the widest line (keeping the edge or centre its alignment names)
    // and its height to at least one line.
    void format();
    long double textReference(long double left) const;

    QString m_caption;
    QString m_printCaption;
    QStringList m_lines;
};

} // namespace tavim
