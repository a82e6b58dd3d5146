#include "batch/StopSignals.h"

#include "data/DbConnection.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/signalfd.h>
#include <system_error>
#include <unistd.h>

namespace tavim {

namespace {

sigset_t stopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// The signal's default action: the process ends by it.
void endBySignal(int signal) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Unblocked with a handler of ours: the database client library takes over
// signals still at their default action, and its handler only shuts its
// connections down, leaving the process running.
void leaveToDefaultAction() {
    struct sigaction action {};
    action.sa_handler = endBySignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void closeFd(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

} // namespace

void TStopSignals::block() {
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TStopSignals::TStopSignals() {
    if (startReading())
        return;
    const int error = errno;
    closeFd(m_signalFd);
    leaveToDefaultAction();
    std::fprintf(stderr,
                 "tavim-report: warning: cannot read the stop signals (%s); Ctrl+C ends "
                 "the tool at once\n",
                 std::strerror(error));
}

bool TStopSignals::startReading() {
    const sigset_t set = stopSet();
    m_signalFd = signalfd(-1, &set, SFD_CLOEXEC);
    if (m_signalFd < 0)
        return false;
    try {
        m_thread = std::thread([this] { readSignals(); });
    } catch (const std::system_error& e) {
        errno = e.code().value();
        return false;
    }
    return true;
}

TStopSignals::~TStopSignals() {
    m_quit = true;
    if (m_thread.joinable())
        m_thread.join();
    closeFd(m_signalFd);
}

void TStopSignals::check() const {
    if (const int signal = received(); signal != 0)
        throw EInterrupted(signal);
}

void TStopSignals::setConnection(TDbConnection* connection) {
    const std::lock_guard lock(m_mutex);
    m_connection = connection;
    if (m_connection && m_signal.load() != 0)
        m_connection->interrupt(m_signal.load());
}

void TStopSignals::readSignals() {
    // Wakes now and then to see whether it should end: nothing to fail there.
    constexpr int kQuitCheckMs = 50;
    pollfd stopFd{m_signalFd, POLLIN, 0};
    while (!m_quit) {
        const int ready = poll(&stopFd, 1, kQuitCheckMs);
        if (ready < 0 && errno != EINTR) {
            // Delivered to this thread by their default action rather than never.
            leaveToDefaultAction();
            while (!m_quit)
                poll(nullptr, 0, kQuitCheckMs);
            return;
        }
        signalfd_siginfo info{};
        if (ready > 0 && read(m_signalFd, &info, sizeof info) == ssize_t(sizeof info))
            take(int(info.ssi_signo));
    }
}

void TStopSignals::take(int signal) {
    int none = 0;
    if (!m_signal.compare_exchange_strong(none, signal))
        return;
    {
        const std::lock_guard lock(m_mutex);
        if (m_connection)
            m_connection->interrupt(signal);
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (onStop)
                onStop();
        },
        Qt::QueuedConnection);
}

} // namespace tavim
