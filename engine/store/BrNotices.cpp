#include "engine/store/BrNotices.h"

#include <QCoreApplication>
#include <QObject>

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

TBrNotifier::~TBrNotifier() {
    setClient(nullptr);
}

void TBrNotifier::setClient(QObject* client) {
    std::lock_guard lock(m_mutex);
    QObject::disconnect(m_clientGone);
    m_client = client;
    if (!client)
        return;
    // Direct: it runs in the client's destructor, before its memory goes.
    m_clientGone = QObject::connect(client, &QObject::destroyed, [this] {
        std::lock_guard gone(m_mutex);
        m_client = nullptr;
    });
}

void TBrNotifier::post(QEvent* event) {
    std::lock_guard lock(m_mutex);
    if (!m_client) {
        delete event;
        return;
    }
    handOffRelease(event);
    QCoreApplication::postEvent(m_client, event);
}

} // namespace tavim
