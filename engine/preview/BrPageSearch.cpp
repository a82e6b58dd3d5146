#include "engine/preview/BrPageSearch.h"

#include "engine/preview/BrPageText.h"
#include "engine/store/BrPrinter.h"
#include "engine/store/ThreadHandOff.h"

#include <QCoreApplication>
#include <chrono>
#include <cstring>

namespace tavim {

namespace {

// Matches are handed over at once when they are a query's first, else at
// most this often: the window redraws its count, not every page's matches.
constexpr auto kPostInterval = std::chrono::milliseconds(100);

} // namespace

QEvent::Type TBrSearchEvent::type() {
    static const auto registered = QEvent::Type(QEvent::registerEventType());
    return registered;
}

TBrPageSearch::TBrPageSearch(TBrPrinter& store, QObject* receiver)
    : m_store(store), m_receiver(receiver), m_worker([this] { run(); }) {}

TBrPageSearch::~TBrPageSearch() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_worker.join();
    QCoreApplication::removePostedEvents(m_receiver, TBrSearchEvent::type());
}

quint64 TBrPageSearch::setQuery(const QString& text) {
    quint64 query = 0;
    {
        std::lock_guard lock(m_mutex);
        m_needle = FoldForSearch(text);
        query = ++m_query;
    }
    m_wake.notify_all();
    return query;
}

void TBrPageSearch::wake() {
    {
        std::lock_guard lock(m_mutex);
        ++m_wakes;
    }
    m_wake.notify_all();
}

void TBrPageSearch::pagesReplaced() {
    {
        std::lock_guard lock(m_mutex);
        m_replaced = true;
    }
    m_wake.notify_all();
}

std::pair<qint64, qint64> TBrPageSearch::indexSize() const {
    std::lock_guard lock(m_mutex);
    return {m_indexBytes, m_textBytes};
}

int TBrPageSearch::readablePages() const {
    switch (m_store.status()) {
    case TBrStatus::Finished:
        return m_store.pageCount();
    case TBrStatus::Busy:
        return m_store.availablePages();
    case TBrStatus::Ready:
        return 0;
    }
    return 0;
}

bool TBrPageSearch::indexNextPage() {
    const int page = int(m_pages.size()) + 1;
    if (page > readablePages())
        return false;
    const std::optional<TMetafile> image = m_store.getPage(page);
    if (!image)
        return false;
    const TBrPageText text(*image, false);
    QByteArray folded = text.folded();
    folded.squeeze();
    std::lock_guard lock(m_mutex);
    m_indexBytes += folded.size();
    m_textBytes += text.characters() * 2;
    m_pages.push_back(std::move(folded));
    return true;
}

void TBrPageSearch::searchPage(int page, const QByteArray& needle,
                               std::vector<TBrTextMatch>& found) const {
    const QByteArray& text = m_pages[std::size_t(page - 1)];
    const char* begin = text.constData();
    const char* end = begin + text.size();
    for (const char* at = begin; at < end;) {
        const void* hit =
            memmem(at, std::size_t(end - at), needle.constData(), std::size_t(needle.size()));
        if (!hit)
            return;
        const auto* match = static_cast<const char*>(hit);
        found.push_back(TBrTextMatch{page, int(match - begin), int(needle.size())});
        at = match + needle.size();
    }
}

void TBrPageSearch::post(quint64 query, std::vector<TBrTextMatch> matches, int searched,
                         bool caughtUp, const QString& error) {
    auto* event = new TBrSearchEvent;
    event->query = query;
    event->matches = std::move(matches);
    event->searchedPages = searched;
    event->caughtUp = caughtUp;
    event->error = error;
    handOffRelease(event);
    QCoreApplication::postEvent(m_receiver, event);
}

// One step at a time without the lock: search the next indexed page, else
// index the next finished one; between steps the requests are read again.
void TBrPageSearch::run() {
    using Clock = std::chrono::steady_clock;
    quint64 query = 0;
    QByteArray needle;
    int searched = 0;
    std::vector<TBrTextMatch> found;
    bool postedAny = false;
    bool postedCaughtUp = false;
    Clock::time_point lastPost = Clock::now();
    QString error;

    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_stopping)
            return;
        const bool replaced = std::exchange(m_replaced, false);
        if (replaced || query != m_query) {
            query = m_query;
            needle = m_needle;
            searched = 0;
            found.clear();
            postedAny = postedCaughtUp = false;
        }
        if (replaced)
            m_indexBytes = m_textBytes = 0;
        const quint64 wakes = m_wakes;
        lock.unlock();
        if (replaced) {
            m_pages.clear();
            m_failed = false;
            error.clear();
        }
        bool worked = false;
        if (!needle.isEmpty() && searched < int(m_pages.size())) {
            searchPage(++searched, needle, found);
            worked = true;
        } else if (!m_failed) {
            try {
                worked = indexNextPage();
            } catch (const std::exception& e) {
                // A worker has no one to throw to: the bar shows why the search stopped.
                m_failed = true;
                error = QString::fromUtf8(e.what());
            }
        }
        const bool due = !found.empty() && (!postedAny || Clock::now() - lastPost >= kPostInterval);
        if (!needle.isEmpty() && (due || (!worked && !postedCaughtUp))) {
            post(query, std::exchange(found, {}), searched, !worked, error);
            postedAny = true;
            postedCaughtUp = !worked;
            lastPost = Clock::now();
        }
        lock.lock();
        if (!worked)
            m_wake.wait(lock, [&] {
                return m_stopping || m_replaced || m_query != query || m_wakes != wakes;
            });
        if (worked)
            postedCaughtUp = false;
    }
}

} // namespace tavim
