#include "engine/store/BrPrintSession.h"

#include "engine/emf/DeviceRounding.h"
#include "engine/print/CachedPrinterDriver.h"
#include "engine/store/BrPageList.h"
#include "engine/store/BrPageStore.h"
#include "engine/store/PendingEvents.h"

#include <QScopedValueRollback>
#include <algorithm>

namespace tavim {

namespace {

// Paper-table entries that a loaded page's size is compared with.
constexpr int kFirstMatchedPaper = 1;
constexpr int kLastMatchedPaper = 26;

} // namespace

TBrPrintSession::TBrPrintSession(std::unique_ptr<TPrinterDriver> driver)
    : m_job(std::move(driver)) {}

TBrPageSetup TBrPrintSession::takePrinterSettings(const QString& printerName, TBrPaperSize paper,
                                                  long double customWidth, long double customLength,
                                                  TBrOrientation orientation, int copies,
                                                  TBrBin bin, int firstPage, int lastPage) {
    TPrinterSettings& settings = m_job.settings();
    if (m_job.printerAvailable())
        settings.selectPrinter(printerName);
    settings.setPaperSize(paper);
    if (settings.paperSize() == TBrPaperSize::Custom) {
        settings.setPaperWidth(customWidth);
        settings.setPaperLength(customLength);
    }
    settings.setOrientation(orientation);
    settings.setCopies(copies);
    settings.setOutputBin(bin);
    m_firstPage = firstPage;
    m_lastPage = lastPage;
    return settings.pageSetup();
}

bool TBrPrintSession::inPrintRange(int page) const {
    return (m_firstPage <= 0 || page >= m_firstPage) && (m_lastPage <= 0 || page <= m_lastPage);
}

// Requests the paper whose size (in whole units of 4 mm) matches the page,
// portrait or the other way round; a later match overrides an earlier one.
void TBrPrintSession::matchPaper(const TMetafile& page) {
    const int width = static_cast<int>(page.size().width() / kScreenFactor / 40);
    const int length = static_cast<int>(page.size().height() / kScreenFactor / 40);
    TPrinterSettings& settings = m_job.settings();
    for (int i = kFirstMatchedPaper; i <= kLastMatchedPaper; ++i) {
        const TBrPaperSize paper = paperAt(i);
        const int paperWidth = static_cast<int>(paperWidthMm(paper) / 4);
        const int paperLength = static_cast<int>(paperLengthMm(paper) / 4);
        if (width == paperWidth && length == paperLength) {
            settings.setPaperSize(paper);
            settings.setOrientation(TBrOrientation::Portrait);
        } else if (width == paperLength && length == paperWidth) {
            settings.setPaperSize(paper);
            settings.setOrientation(TBrOrientation::Landscape);
        }
    }
}

// A print run is on the user-interface thread, the printer's owner.
void TBrPrintSession::beginRun() {
    if (m_job.printerAvailable())
        m_job.settings().applyToPrinter();
}

QPainter& TBrPrintSession::sheet() {
    if (!m_job.started())
        m_job.start();
    return m_job.painter();
}

void TBrPrintSession::endSheet(int page) {
    if (page != m_lastPage)
        m_job.nextSheet();
}

bool TBrPrintSession::print(const TBrPageStore& store, const std::atomic<bool>& cancelled) {
    if (m_printing)
        return false;
    // Marks the print on the stack for as long as it is there.
    const QScopedValueRollback<bool> printing(m_printing, true);
    m_windowClosed = false;
    if (m_owner && !m_reportLoaded) {
        m_owner->printRequested();
        return false;
    }
    return printStored(store, cancelled);
}

bool TBrPrintSession::printStored(const TBrPageStore& store, const std::atomic<bool>& cancelled) {
    const std::shared_ptr<TBrPageList> pages = store.finishedPages();
    if (!pages || !m_job.printerAvailable())
        return false;
    const int count = std::min(store.counts().pageCount, pages->count());
    m_job.abandon();
    m_job.settings().applyToPrinter();
    const int first = m_firstPage > 0 ? m_firstPage : 1;
    const int last = m_lastPage > 0 ? std::min(m_lastPage, count) : count;
    if (first > last)
        return false;
    m_job.start();
    const QRectF target = m_job.sheetRect();
    // Stopping is looked at once more after the last page: a job cancelled,
    // or whose window closed, at any point is abandoned whole.
    const auto stopped = [&] {
        processPendingEvents();
        return cancelled || m_windowClosed;
    };
    try {
        for (int i = first; i <= last && !stopped(); ++i) {
            pages->read(i).play(m_job.painter(), target);
            if (i != last)
                m_job.nextSheet();
        }
    } catch (...) {
        m_job.abandon();
        throw;
    }
    if (stopped()) {
        m_job.abandon();
        return false;
    }
    m_job.finish();
    return true;
}

void TBrPrintSession::closePreview() {
    if (m_owner)
        m_owner->previewClosed();
}

void TBrPrintSession::setReportLoaded() {
    m_printerSetupHook = nullptr;
    m_reportLoaded = true;
}

// The dialog lists the system's printers afresh: so does the next store.
void TBrPrintSession::printerSetup() {
    if (!m_printerSetupHook)
        return;
    m_printerSetupHook();
    TPrinterCatalog::process()->refresh();
}

void TBrPrintSession::runPrinted() {
    if (m_afterPrint)
        m_afterPrint();
}

} // namespace tavim
