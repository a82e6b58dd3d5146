#pragma once

#include "engine/emf/Metafile.h"

#include <exception>
#include <memory>
#include <mutex>
#include <optional>

namespace tavim {

class TBrPageList;
class TBrStream;

enum class TBrStatus { Ready, Busy, Finished };

// What a run and the user-interface thread both see of a document: its
// status, counts, page list and the error that ended its run. A document
// begun or a file loaded is a new generation; a notice of an older one is
// dropped.
// Threads: written by the run's thread and by the user-interface thread (a
// load, the kept error); every member is guarded by one lock.
class TBrPageStore {
public:
    // The document a run is producing, as it was when asked.
    struct Open {
        int pageNumber;
        int generation;
    };

    // Throws EBrError "Report printer not ready" unless the status is ready.
    void checkReady() const;
    // A new busy document; `stream` holds its page images, none when it goes
    // to the printer.
    void begin(std::unique_ptr<TBrStream> stream);
    // The page now open (0: none); throws EBrError "Illegal call to NewPage"
    // unless the status is busy.
    int openPageNumber() const;
    void countPage();
    // Counts one more page available and returns the count.
    int addAvailable();
    // The busy document, or nothing.
    std::optional<Open> busy() const;
    // `complete`: ended, not aborted; only such a document's file is committed.
    void finish(bool complete);
    bool isGeneration(int generation) const;
    // A loaded file's pages replace the document, finished.
    void replace(std::shared_ptr<TBrPageList> pages, int count);

    void keepRunError(std::exception_ptr error);
    bool runFailed() const;
    std::exception_ptr takeRunError();

    struct Counts {
        TBrStatus status;
        int pageCount;
        int pageNumber;
        int availablePages;
    };
    Counts counts() const;
    // The list a run appends to; null for a printer document.
    std::shared_ptr<TBrPageList> pages() const;
    // A page of a busy or finished document, once appended.
    std::optional<TMetafile> page(int n) const;
    // The pages of a finished document, or null.
    std::shared_ptr<TBrPageList> finishedPages() const;
    // The pages of a document that ended (not aborted), or null.
    std::shared_ptr<TBrPageList> completePages() const;

private:
    mutable std::mutex m_mutex;
    TBrStatus m_status = TBrStatus::Ready;
    int m_pageCount = 0;
    int m_pageNumber = 0;
    int m_availablePages = 0;
    int m_generation = 0;
    bool m_complete = false;
    std::shared_ptr<TBrPageList> m_pages;
    std::exception_ptr m_runError;
};

} // namespace tavim
