#include "engine/store/PendingEvents.h"

#include <QCoreApplication>
#include <QThread>

namespace tavim {

void processPendingEvents() {
    const QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        QCoreApplication::processEvents();
}

} // namespace tavim
