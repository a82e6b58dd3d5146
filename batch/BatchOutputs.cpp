#include "batch/BatchOutputs.h"

#include "engine/export/BrExport.h"
#include "engine/export/BrSaveFolder.h"
#include "engine/print/BrSaveFile.h"
#include "engine/store/BrPrinter.h"

namespace tavim {

TBatchOutputs::TBatchOutputs(const ReportRequest& request) {
    if (request.listFile)
        m_list = std::make_unique<TBrSaveFile>(*request.listFile);
    if (request.pdf)
        m_pdf = std::make_unique<TBrSaveFile>(*request.pdf);
    if (request.pngFolder)
        m_pngs = std::make_unique<TBrSaveFolder>(*request.pngFolder, IsPngPageName);
}

TBatchOutputs::~TBatchOutputs() = default;

void TBatchOutputs::keepSavedPages(std::unique_ptr<TBrPrinter> store) {
    m_savedPages = std::move(store);
}

// Every file is whole and on disk before the first is put in place.
void TBatchOutputs::commit() {
    for (TBrSaveFile* file : {m_list.get(), m_pdf.get()}) {
        if (file)
            file->finish();
    }
    if (m_savedPages)
        m_savedPages->commitPages();
    if (m_list)
        m_list->commit();
    if (m_pdf)
        m_pdf->commit();
    if (m_pngs)
        m_pngs->commit();
}

} // namespace tavim
