#include "engine/band/BrSysData.h"

#include "engine/band/BandReport.h"

namespace tavim {

TBrSysData::TBrSysData(TBrBand& band, const QString& name) : TBrCustomLabel(band, name) {}

void TBrSysData::updatePrintCaption() {
    setCaption(Text + QString::number(report().pageNumber()));
}

} // namespace tavim
