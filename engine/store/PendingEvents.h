#pragma once

namespace tavim {

// Lets the user interface answer during a long loop: handles pending events
// when called on the user-interface thread, and does nothing on any other,
// whose events are not ours to handle.
void processPendingEvents();

} // namespace tavim
