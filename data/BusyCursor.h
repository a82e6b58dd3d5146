#pragma once

#include <functional>

namespace tavim {

// Shows the wait pointer while it lives. The data layer knows no widgets: the
// program installs the hook that turns the pointer on and off.
class BusyCursor {
public:
    using Hook = std::function<void(bool busy)>;
    static void setHook(Hook hook);

    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace tavim
