#pragma once

#include <QByteArray>
#include <QEvent>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class QObject;

namespace tavim {

class TBrPrinter;

// A match: its page and where it lies in that page's folded text
// (TBrPageText). Small: a short text may match millions of times.
struct TBrTextMatch {
    int page = 0;
    int at = 0;
    int length = 0;
};

// Posted by the search to its receiver: matches found since the last one.
// Filled by the worker, read by the receiver's thread once delivered.
class TBrSearchEvent : public QEvent {
public:
    static QEvent::Type type();
    TBrSearchEvent() : QEvent(type()) {}

    quint64 query = 0; // which setQuery() these belong to
    std::vector<TBrTextMatch> matches;
    int searchedPages = 0;
    bool caughtUp = false; // every finished page so far is searched
    QString error;         // a page could not be read; the search stopped there
};

// Searches a store's finished pages on a thread of its own: reads each page's
// texts once into an index of folded texts (kept for the next query) and
// posts what it finds, in page order, to the receiver. Pages finished later
// are read as wake() announces them.
// Threads: the user-interface thread calls it; the worker owns the index;
// the request fields are guarded by m_mutex.
class TBrPageSearch {
public:
    TBrPageSearch(TBrPrinter& store, QObject* receiver);
    ~TBrPageSearch(); // stops and waits for the worker
    TBrPageSearch(const TBrPageSearch&) = delete;
    TBrPageSearch& operator=(const TBrPageSearch&) = delete;

    // Starts the search for `text` over again; returns its number.
    quint64 setQuery(const QString& text);
    // New pages may be finished.
    void wake();
    // The store holds other pages now: the index is read again.
    void pagesReplaced();
    // The bytes the index holds, and the bytes of page text it was read from.
    std::pair<qint64, qint64> indexSize() const;

private:
    void run();
    // Reads the next page into the index; false when there is none to read.
    bool indexNextPage();
    void searchPage(int page, const QByteArray& needle, std::vector<TBrTextMatch>& found) const;
    int readablePages() const;
    void post(quint64 query, std::vector<TBrTextMatch> matches, int searched, bool caughtUp,
              const QString& error = {});

    TBrPrinter& m_store;
    QObject* m_receiver;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    bool m_replaced = false;
    quint64 m_query = 0;
    QByteArray m_needle;
    quint64 m_wakes = 0;
    qint64 m_indexBytes = 0;
    qint64 m_textBytes = 0;

    // The worker's own.
    std::vector<QByteArray> m_pages;
    bool m_failed = false;

    std::thread m_worker;
};

} // namespace tavim
