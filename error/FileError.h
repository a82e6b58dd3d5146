#pragma once

#include "error/Exception.h"

namespace tavim {

// A file that could not be made, written or put in place:
// "Cannot create file "<path>". <reason>", the path shown as given.
class EFCreateError : public Exception {
public:
    EFCreateError(const QString& shownPath, const QString& reason);
};

} // namespace tavim
