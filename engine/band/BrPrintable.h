#pragma once

#include "data/Component.h"

#include <QColor>
#include <array>

namespace tavim {

class TBandReport;
class TBrBand;
class TBrCanvas;

enum class TBrAlignment { taLeftJustify, taRightJustify, taCenter };

// A control's size in tenths of a millimetre: height, left, top, width; left
// and top are relative to the band.
struct TBrControlSize {
    std::array<long double, 4> Values{};
};

// What a band puts on paper. Declared as a member of the report's form, after
// its band; the band prints its controls in the order they were created.
class TBrPrintable : public TComponent {
public:
    TBrPrintable(TBrBand& band, const QString& name);
    ~TBrPrintable() override;

    TBrBand& band() const { return m_band; }
    TBandReport& report() const;

    long double height() const { return Size.Values[0]; }
    long double left() const { return Size.Values[1]; }
    long double top() const { return Size.Values[2]; }
    long double width() const { return Size.Values[3]; }
    // Design pixels of 1/96 inch, stored as exact tenths of a millimetre.
    void setPixelBounds(int left, int top, int width, int height);

    // Once per run before the first page, and once after the last.
    virtual void prepare() {}
    virtual void unprepare() {}
    // Draws the control at the band's origin on the page (tenths of a
    // millimetre); true when the control is complete.
    virtual bool print(TBrCanvas& canvas, long double ox, long double oy) = 0;

    TBrControlSize Size;
    TBrAlignment Alignment = TBrAlignment::taLeftJustify;
    QColor Color = Qt::white;
    bool Transparent = false;
    bool Enabled = true;

protected:
    void setHeight(long double h) { Size.Values[0] = h; }
    void setLeft(long double l) { Size.Values[1] = l; }
    void setWidth(long double w) { Size.Values[3] = w; }

private:
    TBrBand& m_band;
};

} // namespace tavim
