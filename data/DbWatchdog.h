#pragma once

#include "data/DbDriver.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace tavim {

// Why the watchdog cancelled a call: a stop signal, or no reply within the
// call's limit (signal 0).
struct DbCallCancelled {
    int signal = 0;
};

// Watches one connection's calls to its server from a thread of its own, so
// that neither a server that stopped answering nor a stop request leaves the
// caller blocked: the call is cancelled through its session, by asking the
// server first and, when the call has not returned shortly after, by cutting
// the connection. Owned by the connection's thread; stop() from any thread.
// Lock: m_mutex guards every member below it.
class TDbWatchdog {
public:
    using Clock = std::chrono::steady_clock;

    TDbWatchdog() = default;
    ~TDbWatchdog();
    TDbWatchdog(const TDbWatchdog&) = delete;
    TDbWatchdog& operator=(const TDbWatchdog&) = delete;

    // A call on session starts that may wait `limit` for the server's reply.
    // EInterrupted when a stop came before it; EDatabaseError when the
    // watching thread cannot be started.
    void begin(DbSession& session, Clock::duration limit);
    // The call returned, or failed; whether the watchdog cancelled it.
    std::optional<DbCallCancelled> end();
    // Cancels the running call and refuses every later one with EInterrupted.
    void stop(int signal) noexcept;

private:
    // How long a raised cancel may take before the connection is cut.
    static constexpr Clock::duration kAbortAfter = std::chrono::milliseconds(500);

    void watch();
    void cancelCall(std::unique_lock<std::mutex>& lock, DbCancel how);

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_quit = false;
    int m_stopSignal = 0;
    DbSession* m_session = nullptr; // the running call's, or null between calls
    Clock::time_point m_deadline;
    std::optional<DbCallCancelled> m_cancelled; // of the running call
    bool m_aborted = false;
    bool m_cancelling = false;        // the session is in use on the watching thread
    bool m_idle = true;               // the watching thread waits for a call
    Clock::time_point m_waitingUntil; // or for this time
};

} // namespace tavim
