#include "engine/band/BrPrintable.h"

#include "engine/band/BrBand.h"
#include "engine/band/BrUnits.h"

namespace tavim {

TBrPrintable::TBrPrintable(TBrBand& band, const QString& name)
    : TComponent(&band, name), m_band(band) {
    m_band.addControl(this);
}

TBrPrintable::~TBrPrintable() {
    m_band.removeControl(this);
}

TBandReport& TBrPrintable::report() const {
    return m_band.report();
}

void TBrPrintable::setPixelBounds(int left, int top, int width, int height) {
    Size.Values = {fromScreenPixels(height), fromScreenPixels(left), fromScreenPixels(top),
                   fromScreenPixels(width)};
}

} // namespace tavim
