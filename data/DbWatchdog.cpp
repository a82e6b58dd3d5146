#include "data/DbWatchdog.h"

#include "error/DatabaseError.h"
#include "error/Interrupted.h"

#include <system_error>

namespace tavim {

TDbWatchdog::~TDbWatchdog() {
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void TDbWatchdog::begin(DbSession& session, Clock::duration limit) {
    std::unique_lock lock(m_mutex);
    if (m_stopSignal != 0)
        throw EInterrupted(m_stopSignal);
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread([this] { watch(); });
        } catch (const std::system_error& e) {
            throw EDatabaseError(
                QStringLiteral("Cannot watch the database call: %1").arg(e.what()));
        }
    }
    m_session = &session;
    m_deadline = Clock::now() + limit;
    m_cancelled.reset();
    m_aborted = false;
    // A thread waiting for an earlier deadline sees this call when it wakes:
    // no wake-up per row.
    if (!m_idle && m_waitingUntil <= m_deadline)
        return;
    lock.unlock();
    m_wake.notify_all();
}

std::optional<DbCallCancelled> TDbWatchdog::end() {
    std::unique_lock lock(m_mutex);
    // The session may go once the call is over: not while it is being cancelled.
    m_wake.wait(lock, [this] { return !m_cancelling; });
    m_session = nullptr;
    // A stop that came while a silent server's call was being cancelled still stops.
    if (m_cancelled && m_stopSignal != 0)
        m_cancelled->signal = m_stopSignal;
    return std::exchange(m_cancelled, std::nullopt);
}

void TDbWatchdog::stop(int signal) noexcept {
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopSignal == 0)
            m_stopSignal = signal;
    }
    m_wake.notify_all();
}

void TDbWatchdog::cancelCall(std::unique_lock<std::mutex>& lock, DbCancel how) {
    DbSession* session = m_session;
    m_cancelling = true;
    // Unlocked: a cancel that waits on the network must not hold back stop().
    lock.unlock();
    session->cancel(how);
    lock.lock();
    m_cancelling = false;
    m_wake.notify_all();
}

void TDbWatchdog::watch() {
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (!m_session || m_aborted) {
            m_idle = true;
            m_wake.wait(lock);
            m_idle = false;
            continue;
        }
        const bool due = m_stopSignal != 0 || Clock::now() >= m_deadline;
        if (!due) {
            m_waitingUntil = m_deadline;
            m_wake.wait_until(lock, m_waitingUntil);
            continue;
        }
        if (!m_cancelled) {
            m_cancelled = DbCallCancelled{m_stopSignal};
            m_deadline = Clock::now() + kAbortAfter;
            cancelCall(lock, DbCancel::Raise);
            continue;
        }
        if (Clock::now() < m_deadline) {
            m_waitingUntil = m_deadline;
            m_wake.wait_until(lock, m_waitingUntil);
            continue;
        }
        m_aborted = true;
        cancelCall(lock, DbCancel::Abort);
    }
}

} // namespace tavim
