#pragma once

#include "engine/band/BrCustomLabel.h"

namespace tavim {

// A fixed text: prints its Caption.
class TBrLabel : public TBrCustomLabel {
public:
    TBrLabel(TBrBand& band, const QString& name);
};

} // namespace tavim
