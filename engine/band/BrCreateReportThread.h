#pragma once

#include <atomic>
#include <mutex>
#include <thread>

class QEventLoop;

namespace tavim {

class TBandReport;
class TBrPrinter;

// Runs one generation of a preview on a thread of its own, started at once;
// the store keeps an error of the run. The thread that creates it owns it and
// joins it: a standard join, which ThreadSanitizer sees, orders everything the
// run did before whatever follows.
class TBrCreateReportThread {
public:
    TBrCreateReportThread(TBandReport& report, TBrPrinter& store);
    ~TBrCreateReportThread();
    TBrCreateReportThread(const TBrCreateReportThread&) = delete;
    TBrCreateReportThread& operator=(const TBrCreateReportThread&) = delete;

    // The run has returned; joining will not wait.
    bool finished() const { return m_finished; }
    void join();
    // Handles the calling thread's events until the run has returned.
    void waitHandlingEvents();

private:
    void ended();

    std::atomic<bool> m_finished{false};
    // The loop waiting for the end, if any; the lock orders setting it against
    // the end, so the end never posts to a loop that is gone.
    std::mutex m_mutex;
    QEventLoop* m_waiting = nullptr;
    std::thread m_thread;
};

} // namespace tavim
