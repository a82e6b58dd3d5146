#pragma once

#include <QMetaObject>
#include <mutex>

class QEvent;
class QObject;

namespace tavim {

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
