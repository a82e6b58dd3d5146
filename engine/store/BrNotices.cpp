#include "engine/store/BrNotices.h"

namespace tavim {

QEvent::Type TBrPageAvailableEvent::type() {
    static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
}

QEvent::Type TBrRunFailedEvent::type() {
    static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
}

QEvent::Type TBrProgressEvent::type() {
    static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
}

} // namespace tavim
