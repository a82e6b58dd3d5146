#pragma once

#include "error/Exception.h"

namespace tavim {

// The band engine's report of its own misuse ("Report printer not ready", ...).
class EBrError : public Exception {
public:
    using Exception::Exception;
};

} // namespace tavim
