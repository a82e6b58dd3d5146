#pragma once

#include <exception>

namespace tavim {

// A run of the batch tool stopped by SIGINT or SIGTERM; the exit code is 128
// plus the signal's number.
class EInterrupted : public std::exception {
public:
    explicit EInterrupted(int signal) : m_signal(signal) {}
    int exitCode() const { return 128 + m_signal; }
    const char* what() const noexcept override { return "interrupted"; }

private:
    int m_signal;
};

} // namespace tavim
