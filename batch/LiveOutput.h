#pragma once

#include "batch/PageFeed.h"
#include "engine/export/BrExport.h"

#include <functional>
#include <thread>

namespace tavim {

// An output written on a thread of its own from a run's pages as they are
// finished, so that writing them overlaps generating the next ones.
// Threads: the thread that runs the report owns it; the feed is the only
// thing the two threads share.
class TLiveOutput {
public:
    // `write` runs on the output's thread over the pages put into feed().
    explicit TLiveOutput(std::function<void(const TPageSource& pages)> write);
    // Stops and joins the output when finish() was not reached.
    ~TLiveOutput();
    TLiveOutput(const TLiveOutput&) = delete;
    TLiveOutput& operator=(const TLiveOutput&) = delete;

    TPageFeed& feed() { return m_feed; }
    // After the run's last page: waits for the output and throws its error.
    void finish();

private:
    TPageFeed m_feed;
    std::thread m_thread;
};

} // namespace tavim
