#include "batch/LiveOutput.h"

namespace tavim {

TLiveOutput::TLiveOutput(std::function<void(const TPageSource& pages)> write)
    : m_thread([this, write = std::move(write)] {
          try {
              write([this] { return m_feed.take(); });
          } catch (...) {
              m_feed.fail(std::current_exception());
          }
      }) {}

TLiveOutput::~TLiveOutput() {
    if (!m_thread.joinable())
        return;
    m_feed.abandon();
    m_thread.join();
}

void TLiveOutput::finish() {
    m_feed.end();
    m_thread.join();
    if (const std::exception_ptr error = m_feed.error())
        std::rethrow_exception(error);
}

} // namespace tavim
