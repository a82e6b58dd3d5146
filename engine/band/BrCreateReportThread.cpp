#include "engine/band/BrCreateReportThread.h"

#include "engine/band/BandReport.h"

namespace tavim {

TBrCreateReportThread::TBrCreateReportThread(TBandReport& report, TBrPrinter& store)
    : m_thread([this, &report, &store] {
          try {
              report.run(store);
          } catch (...) {
              // The store keeps the error for the preview and ShowPreview.
          }
          m_finished = true;
      }) {}

TBrCreateReportThread::~TBrCreateReportThread() {
    join();
}

void TBrCreateReportThread::join() {
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace tavim
