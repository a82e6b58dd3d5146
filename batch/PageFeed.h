#pragma once

#include "engine/emf/Metafile.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>

namespace tavim {

// Finished pages handed from a run to an output that writes them while the
// run goes on. Few pages wait at a time: the run waits for room, so the pages
// held stay few however long the report is.
// Threads: put by the run's thread, taken by the output's workers; m_mutex
// guards everything.
class TPageFeed {
public:
    // Waits while the feed is full; throws the output's error once it failed,
    // which ends the run.
    void put(int page, const TMetafile& image);
    // The next page; nothing once every page was taken after end(), or at once
    // after abandon().
    std::optional<std::pair<int, TMetafile>> take();
    // Every page has been put.
    void end();
    // The run ended without its last page: the output stops.
    void abandon();
    void fail(std::exception_ptr error);
    // The output's error, if any.
    std::exception_ptr error() const;

private:
    static constexpr std::size_t kDepth = 8;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::pair<int, TMetafile>> m_pages;
    bool m_ended = false;
    bool m_abandoned = false;
    std::exception_ptr m_error;
};

} // namespace tavim
