#pragma once

#include "error/Exception.h"

namespace tavim {

// A file that could not be made, written or put in place:
// "Cannot create file "<absolute path>". <reason>".
class EFCreateError : public Exception {
public:
    EFCreateError(const QString& fileName, const QString& reason);
};

} // namespace tavim
