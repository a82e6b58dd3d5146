#include "batch/PageFeed.h"

namespace tavim {

void TPageFeed::put(int page, const TMetafile& image) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_pages.size() < kDepth || m_error; });
    if (m_error)
        std::rethrow_exception(m_error);
    m_pages.emplace_back(page, image);
    m_changed.notify_all();
}

std::optional<std::pair<int, TMetafile>> TPageFeed::take() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_pages.empty() || m_ended || m_abandoned; });
    if (m_abandoned || m_pages.empty())
        return std::nullopt;
    std::pair<int, TMetafile> next = std::move(m_pages.front());
    m_pages.pop_front();
    m_changed.notify_all();
    return next;
}

void TPageFeed::end() {
    std::lock_guard lock(m_mutex);
    m_ended = true;
    m_changed.notify_all();
}

void TPageFeed::abandon() {
    std::lock_guard lock(m_mutex);
    m_abandoned = true;
    m_changed.notify_all();
}

void TPageFeed::fail(std::exception_ptr error) {
    std::lock_guard lock(m_mutex);
    if (!m_error)
        m_error = std::move(error);
    m_changed.notify_all();
}

std::exception_ptr TPageFeed::error() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

} // namespace tavim
