#pragma once

#include "error/Interrupted.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace tavim {

class TDbConnection;

// SIGINT and SIGTERM, taken as requests to stop rather than as the end of the
// process: a signal handler running inside the database engine would tear its
// session down under a running statement. The signals stay blocked in every
// thread and are read on a stop thread of this object's own, so that a main
// thread blocked in a database call is still reached: the stop thread cancels
// the call of the connection it is given. Owned by the main thread; the stop
// thread reads m_signalFd and touches only the atomics and, under m_mutex,
// m_connection.
class TStopSignals : public QObject {
public:
    // Blocks both signals for this thread and every thread started after it;
    // the first thing main does.
    static void block();

    // When the signals cannot be read they are unblocked again, with a
    // warning: a stop then ends the process at once rather than never.
    TStopSignals();
    ~TStopSignals() override;

    // The signal received so far, or 0.
    int received() const { return m_signal.load(); }
    // Throws EInterrupted once a signal has been received.
    void check() const;
    // Called on the main thread when a signal arrives while events are handled.
    std::function<void()> onStop;
    // The connection whose calls a signal ends (EInterrupted), or null.
    void setConnection(TDbConnection* connection);

private:
    bool startReading();
    void readSignals();
    void take(int signal);

    std::atomic<int> m_signal = 0;
    int m_signalFd = -1;
    std::atomic<bool> m_quit = false;
    std::thread m_thread;
    std::mutex m_mutex;
    TDbConnection* m_connection = nullptr;
};

// While it lives, a stop signal also ends the connection's database calls.
class TStopDatabase {
public:
    TStopDatabase(TStopSignals& stop, TDbConnection& connection) : m_stop(stop) {
        m_stop.setConnection(&connection);
    }
    ~TStopDatabase() { m_stop.setConnection(nullptr); }
    TStopDatabase(const TStopDatabase&) = delete;
    TStopDatabase& operator=(const TStopDatabase&) = delete;

private:
    TStopSignals& m_stop;
};

} // namespace tavim
