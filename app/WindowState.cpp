#include "app/WindowState.h"

#include <QtGlobal>

namespace tavim {

StartState ParseStartState(const QString& request) {
    const QString r = request.trimmed().toLower();
    if (r == QLatin1String("maximized"))
        return StartState::Maximized;
    if (r == QLatin1String("minimized"))
        return StartState::Minimized;
    return StartState::Normal;
}

StartState StartStateFromEnvironment() {
    return ParseStartState(qEnvironmentVariable("TAVIM_WINDOW_STATE"));
}

} // namespace tavim
