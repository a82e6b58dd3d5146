#include "data/BusyCursor.h"

namespace tavim {

namespace {
BusyCursor::Hook& hook() {
    static BusyCursor::Hook h;
    return h;
}
} // namespace

void BusyCursor::setHook(Hook h) {
    hook() = std::move(h);
}

BusyCursor::BusyCursor() {
    if (hook())
        hook()(true);
}

BusyCursor::~BusyCursor() {
    if (hook())
        hook()(false);
}

} // namespace tavim
