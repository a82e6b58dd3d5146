#pragma once

#include "engine/band/BrPrintable.h"

#include <QtGlobal>

class QColor;
class QFont;
class QPainter;
class QPoint;
class QRect;
class QString;

namespace tavim {

class TBrPrinter;

// The character set a text control's font declares (LOGFONT lfCharSet).
enum TBrCharset : quint8 { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1 };

// The surface a printable control draws on: the open page's painter and the
// mapping of tenths of a millimetre to its device pixels.
class TBrCanvas {
public:
    virtual ~TBrCanvas() = default;
    virtual QPainter& painter() = 0;
    virtual int toDeviceX(long double x) const = 0;
    virtual int toDeviceY(long double y) const = 0;
    virtual int toDeviceWidth(long double w) const = 0;
    virtual int toDeviceHeight(long double h) const = 0;
    // Device pixels per tenth of a millimetre, vertically.
    virtual long double verticalFactor() const = 0;

    // One line of a text control: `ref` (device pixels) is the line's top and
    // the left edge, right edge or middle of the text as `alignment` names.
    // A page image records the line as it is, with its alignment; any other
    // device gets it drawn by QPainter.
    void drawTextLine(QPoint ref, TBrAlignment alignment, const QString& text, const QFont& font,
                      const QColor& color, TBrCharset charset);
    // A rectangle filled without outline.
    void fillRect(const QRect& rect, const QColor& color);
};

// The page store's open page.
class TBrPrinterCanvas : public TBrCanvas {
public:
    explicit TBrPrinterCanvas(TBrPrinter& store) : m_store(store) {}
    QPainter& painter() override;
    int toDeviceX(long double x) const override;
    int toDeviceY(long double y) const override;
    int toDeviceWidth(long double w) const override;
    int toDeviceHeight(long double h) const override;
    long double verticalFactor() const override;

private:
    TBrPrinter& m_store;
};

// Any active painter at a given resolution, with the device's origin at the
// paper's top-left corner.
class TBrPainterCanvas : public TBrCanvas {
public:
    TBrPainterCanvas(QPainter& painter, int dpiX, int dpiY);
    QPainter& painter() override { return m_painter; }
    int toDeviceX(long double x) const override;
    int toDeviceY(long double y) const override;
    int toDeviceWidth(long double w) const override;
    int toDeviceHeight(long double h) const override;
    long double verticalFactor() const override { return m_vFactor; }

private:
    QPainter& m_painter;
    long double m_hFactor;
    long double m_vFactor;
};

} // namespace tavim
