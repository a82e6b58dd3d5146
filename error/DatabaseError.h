#pragma once

#include "error/Exception.h"

namespace tavim {

// Data-set and field failures, and the driver's or server's own errors.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// A refusal of the in-memory storage engine.
class ETableEngineError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// "%s: %s" with the data set's component name, as data sets report about themselves.
[[noreturn]] void raiseDataSetError(const QString& componentName, const QString& text);

} // namespace tavim
