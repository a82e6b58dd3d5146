#include "engine/band/BrLabel.h"

namespace tavim {

TBrLabel::TBrLabel(TBrBand& band, const QString& name) : TBrCustomLabel(band, name) {}

} // namespace tavim
