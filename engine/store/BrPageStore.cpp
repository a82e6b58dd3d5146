#include "engine/store/BrPageStore.h"

#include "engine/store/BrPageList.h"
#include "error/BrError.h"

namespace tavim {

void TBrPageStore::checkReady() const {
    std::lock_guard lock(m_mutex);
    if (m_status != TBrStatus::Ready)
        throw EBrError(QStringLiteral("Report printer not ready"));
}

void TBrPageStore::begin(std::unique_ptr<TBrStream> stream) {
    auto pages = stream ? std::make_shared<TBrPageList>(std::move(stream)) : nullptr;
    std::lock_guard lock(m_mutex);
    ++m_generation;
    m_availablePages = 0;
    m_pageNumber = 0;
    m_pageCount = 0;
    m_complete = false;
    m_status = TBrStatus::Busy;
    if (pages)
        m_pages = std::move(pages);
}

int TBrPageStore::openPageNumber() const {
    std::lock_guard lock(m_mutex);
    if (m_status != TBrStatus::Busy)
        throw EBrError(QStringLiteral("Illegal call to NewPage"));
    return m_pageNumber;
}

void TBrPageStore::countPage() {
    std::lock_guard lock(m_mutex);
    ++m_pageCount;
    ++m_pageNumber;
}

int TBrPageStore::addAvailable() {
    std::lock_guard lock(m_mutex);
    return ++m_availablePages;
}

std::optional<TBrPageStore::Open> TBrPageStore::busy() const {
    std::lock_guard lock(m_mutex);
    if (m_status != TBrStatus::Busy)
        return std::nullopt;
    return Open{m_pageNumber, m_generation};
}

void TBrPageStore::finish(bool complete) {
    std::lock_guard lock(m_mutex);
    m_complete = complete;
    m_status = TBrStatus::Finished;
}

bool TBrPageStore::isGeneration(int generation) const {
    std::lock_guard lock(m_mutex);
    return m_generation == generation;
}

void TBrPageStore::replace(std::shared_ptr<TBrPageList> pages, int count) {
    std::lock_guard lock(m_mutex);
    ++m_generation;
    m_pages = std::move(pages);
    m_complete = false;
    m_status = TBrStatus::Finished;
    m_pageCount = count;
    m_pageNumber = 0;
    m_availablePages = count;
}

void TBrPageStore::keepRunError(std::exception_ptr error) {
    std::lock_guard lock(m_mutex);
    m_runError = std::move(error);
}

bool TBrPageStore::runFailed() const {
    std::lock_guard lock(m_mutex);
    return bool(m_runError);
}

std::exception_ptr TBrPageStore::takeRunError() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_runError, nullptr);
}

TBrPageStore::Counts TBrPageStore::counts() const {
    std::lock_guard lock(m_mutex);
    return {m_status, m_pageCount, m_pageNumber, m_availablePages};
}

std::shared_ptr<TBrPageList> TBrPageStore::pages() const {
    std::lock_guard lock(m_mutex);
    return m_pages;
}

std::optional<TMetafile> TBrPageStore::page(int n) const {
    std::shared_ptr<TBrPageList> pages;
    {
        std::lock_guard lock(m_mutex);
        if (m_status == TBrStatus::Ready || n < 1 || n > m_pageCount)
            return std::nullopt;
        pages = m_pages;
    }
    if (!pages || n > pages->count())
        return std::nullopt;
    return pages->read(n);
}

std::shared_ptr<TBrPageList> TBrPageStore::finishedPages() const {
    std::lock_guard lock(m_mutex);
    return m_status == TBrStatus::Finished ? m_pages : nullptr;
}

std::shared_ptr<TBrPageList> TBrPageStore::completePages() const {
    std::lock_guard lock(m_mutex);
    return m_status == TBrStatus::Finished && m_complete ? m_pages : nullptr;
}

} // namespace tavim
