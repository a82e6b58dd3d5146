#pragma once

#include "error/Exception.h"

#include <functional>

namespace tavim::test {

// The message f fails with, or "<no error>".
inline QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace tavim::test
