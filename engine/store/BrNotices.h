#pragma once

#include "engine/store/ThreadHandOff.h"

#include <QEvent>

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

} // namespace tavim
