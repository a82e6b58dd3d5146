#pragma once

#include <atomic>
#include <thread>

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

private:
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

} // namespace tavim
