#include "data/RowStream.h"

#include "data/TableProvider.h"

namespace tavim {

TRowStream::TRowStream(TTableProvider& provider)
    : m_thread([this, &provider] { read(provider); }) {}

TRowStream::~TRowStream() {
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_changed.notify_all();
    }
    m_thread.join();
}

void TRowStream::read(TTableProvider& provider) {
    try {
        for (;;) {
            std::vector<RowValues> rows = provider.nextRows(kBlockRows);
            const bool last = rows.size() < kBlockRows;
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_blocks.size() < kBlocks || m_stopped; });
            if (m_stopped)
                return;
            if (!rows.empty())
                m_blocks.push_back(std::move(rows));
            m_ended = last;
            m_changed.notify_all();
            if (last)
                return;
        }
    } catch (...) {
        std::lock_guard lock(m_mutex);
        m_error = std::current_exception();
        m_ended = true;
        m_changed.notify_all();
    }
}

std::vector<RowValues> TRowStream::take() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_blocks.empty() || m_ended; });
    if (m_blocks.empty()) {
        if (m_error)
            std::rethrow_exception(m_error);
        return {};
    }
    std::vector<RowValues> rows = std::move(m_blocks.front());
    m_blocks.pop_front();
    m_changed.notify_all();
    return rows;
}

} // namespace tavim
