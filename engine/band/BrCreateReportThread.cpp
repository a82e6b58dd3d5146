#include "engine/band/BrCreateReportThread.h"

#include "engine/band/BandReport.h"

namespace tavim {

TBrCreateReportThread::TBrCreateReportThread(TBandReport& report, TBrPrinter& store)
    : m_report(report), m_store(store) {}

void TBrCreateReportThread::run() {
    try {
        m_report.run(m_store);
    } catch (...) {
        // The store keeps the error for the preview and ShowPreview.
    }
}

} // namespace tavim
