#pragma once

#include "data/Component.h"
#include "data/Value.h"

namespace tavim {

// Hands a result table all rows at once, with their column descriptions.
class TDataProvider : public TComponent {
public:
    using TComponent::TComponent;
    virtual DataPacket getRecords() = 0;
    // The table that was fed has closed; the next getRecords starts afresh.
    virtual void reset() {}
};

} // namespace tavim
