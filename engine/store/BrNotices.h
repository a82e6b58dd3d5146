#pragma once

#include "engine/store/ThreadHandOff.h"

#include <QEvent>
#include <QMetaObject>
#include <mutex>

class QObject;

namespace tavim {

// Notices the page store posts (never sends) to its client window.
class TBrPageAvailableEvent : public QEvent {
public:
    static QEvent::Type type();
    explicit TBrPageAvailableEvent(int pages) : QEvent(type()), m_pages(pages) {}
    int pages() const { return m_pages; }

private:
    int m_pages;
};

// The run ended with an error, which the store keeps (TBrPrinter::takeRunError).
class TBrRunFailedEvent : public QEvent {
public:
    static QEvent::Type type();
    TBrRunFailedEvent() : QEvent(type()) {}
};

class TBrProgressEvent : public QEvent {
public:
    static QEvent::Type type();
    explicit TBrProgressEvent(int percent) : QEvent(type()), m_percent(percent) {}
    int percent() const { return m_percent; }

private:
    int m_percent;
};

// `event` as the notice T, or null when it is another event. Receivers read
// notices through this: what the store did before posting one is then
// visible to them.
template <class T> T* notice(QEvent* event) {
    if (event->type() != T::type())
        return nullptr;
    handOffAcquire(event);
    return static_cast<T*>(event);
}

// Posts the store's notices (BrNotices.h) to its client window. The client is
// let go under the lock that posting holds (by setClient or the client's own
// destruction), so a notice never reaches a client that is gone: Qt drops
// what was posted to it.
// Threads: posted to from the run's thread, the client set on the
// user-interface thread; the client is guarded by one lock.
class TBrNotifier {
public:
    TBrNotifier() = default;
    ~TBrNotifier();
    TBrNotifier(const TBrNotifier&) = delete;
    TBrNotifier& operator=(const TBrNotifier&) = delete;

    // Notices go to `client` until another is set; null drops them.
    void setClient(QObject* client);
    // Takes `event`; without a client it is dropped.
    void post(QEvent* event);

private:
    std::mutex m_mutex;
    QObject* m_client = nullptr;
    QMetaObject::Connection m_clientGone;
};

} // namespace tavim
