#pragma once

#include "error/Interrupted.h"

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tavim {

// SIGINT and SIGTERM, taken as requests to stop rather than as the end of the
// process: a signal handler running inside the database engine would tear its
// session down under a running statement. The signals stay blocked in every
// thread and are read here, on the main thread. Owned by the main thread.
class TStopSignals : public QObject {
public:
    // Blocks both signals for this thread and every thread started after it;
    // the first thing main does.
    static void block();

    TStopSignals();
    ~TStopSignals() override;

    // The signal received so far, or 0.
    int received();
    // Throws EInterrupted once a signal has been received.
    void check();
    // Called on the main thread when a signal arrives while events are handled.
    std::function<void()> onStop;

private:
    void readPending();

    int m_fd = -1;
    int m_signal = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace tavim
