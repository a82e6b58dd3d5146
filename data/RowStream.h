#pragma once

#include "data/Value.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tavim {

class TTableProvider;

// A query's rows read on a thread of its own and handed over in blocks, so
// that a reader walks them while the server still sends the rest. Few blocks
// wait at a time: the reading waits for room, so the rows held stay few
// however long the listing is.
// Threads: from the start to the destructor the stream's thread alone moves
// the provider's query; blocks are taken by one other thread at a time;
// m_mutex guards
// the queue, the end, the stop and the error.
class TRowStream {
public:
    // The provider's query is open; its rows are read from its current row.
    explicit TRowStream(TTableProvider& provider);
    // Stops the reading after the call to the server under way, if any.
    ~TRowStream();
    TRowStream(const TRowStream&) = delete;
    TRowStream& operator=(const TRowStream&) = delete;

    // The next block of rows, waiting for it; empty once every row has been
    // taken. The reading's error is thrown here, after the rows before it.
    std::vector<RowValues> take();

private:
    static constexpr std::size_t kBlockRows = 512;
    static constexpr std::size_t kBlocks = 4;

    void read(TTableProvider& provider);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<RowValues>> m_blocks;
    bool m_ended = false;
    bool m_stopped = false;
    std::exception_ptr m_error;
    std::thread m_thread;
};

} // namespace tavim
