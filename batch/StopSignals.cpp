#include "batch/StopSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/signalfd.h>
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

} // namespace

void TStopSignals::block() {
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TStopSignals::TStopSignals() {
    const sigset_t set = stopSet();
    m_fd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        readPending();
        if (m_signal != 0 && onStop)
            onStop();
    });
}

TStopSignals::~TStopSignals() {
    m_notifier.reset();
    if (m_fd >= 0)
        close(m_fd);
}

void TStopSignals::readPending() {
    if (m_fd < 0)
        return;
    signalfd_siginfo info{};
    while (read(m_fd, &info, sizeof info) == ssize_t(sizeof info)) {
        if (m_signal == 0)
            m_signal = int(info.ssi_signo);
    }
}

int TStopSignals::received() {
    readPending();
    return m_signal;
}

void TStopSignals::check() {
    if (const int signal = received(); signal != 0)
        throw EInterrupted(signal);
}

} // namespace tavim
