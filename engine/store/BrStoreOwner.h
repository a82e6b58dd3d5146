#pragma once

namespace tavim {

// The report a preview's store belongs to.
class TBrStoreOwner {
public:
    virtual ~TBrStoreOwner() = default;
    // Posted by print(): the report generates the document again for the printer.
    virtual void printRequested() = 0;
    // Sent by closePreview(); returns once the report has handled it.
    virtual void previewClosed() = 0;
};

} // namespace tavim
