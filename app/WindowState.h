#pragma once

#include <QString>

namespace tavim {

// How the main window opens: the system's start request, which on this platform
// arrives as TAVIM_WINDOW_STATE ("maximized" or "minimized").
enum class StartState { Normal, Maximized, Minimized };

StartState ParseStartState(const QString& request);
StartState StartStateFromEnvironment();

} // namespace tavim
