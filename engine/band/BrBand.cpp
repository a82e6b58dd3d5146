#include "engine/band/BrBand.h"

#include "engine/band/BandReport.h"
#include "engine/band/BrUnits.h"

#include <algorithm>

namespace tavim {

TBrBand::TBrBand(TBandReport& report, const QString& name, TBrBandType type)
    : TComponent(&report, name), BandType(type), m_report(report) {
    m_report.addBand(this);
}

TBrBand::~TBrBand() {
    m_report.removeBand(this);
}

void TBrBand::setPixelSize(int height, int width) {
    Size.Values = {fromScreenPixels(height), fromScreenPixels(width)};
}

void TBrBand::removeControl(TBrPrintable* control) {
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
}

} // namespace tavim
