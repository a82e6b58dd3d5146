#pragma once

#include "batch/ReportCommandLine.h"

#include <memory>

namespace tavim {

class TBrPrinter;
class TBrSaveFile;
class TBrSaveFolder;

// The files one call of tavim-report writes, made aside before its work and
// put in place together by commit() only when the whole call has succeeded: a
// failure or a stop leaves every file that was there byte for byte as it was,
// and removes only what the call wrote aside. Owned by the main thread.
class TBatchOutputs {
public:
    // Throws "Cannot create file \"%s\". %s" for an output that cannot be made.
    explicit TBatchOutputs(const ReportRequest& request);
    ~TBatchOutputs();
    TBatchOutputs(const TBatchOutputs&) = delete;
    TBatchOutputs& operator=(const TBatchOutputs&) = delete;

    // Each is null when the request does not ask for it.
    TBrSaveFile* listFile() const { return m_list.get(); }
    TBrSaveFile* pdf() const { return m_pdf.get(); }
    TBrSaveFolder* pngs() const { return m_pngs.get(); }
    // The finished store that writes the saved report file: its pages go in
    // place with the rest.
    void keepSavedPages(std::unique_ptr<TBrPrinter> store);

    void commit();

private:
    std::unique_ptr<TBrSaveFile> m_list;
    std::unique_ptr<TBrSaveFile> m_pdf;
    std::unique_ptr<TBrSaveFolder> m_pngs;
    std::unique_ptr<TBrPrinter> m_savedPages;
};

} // namespace tavim
