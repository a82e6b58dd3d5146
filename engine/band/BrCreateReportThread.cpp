#include "engine/band/BrCreateReportThread.h"

#include "engine/band/BandReport.h"

#include <QEventLoop>

namespace tavim {

TBrCreateReportThread::TBrCreateReportThread(TBandReport& report, TBrPrinter& store)
    : m_thread([this, &report, &store] {
          try {
              report.run(store);
          } catch (...) {
              // The store keeps the error for the preview and ShowPreview.
          }
          ended();
      }) {}

void TBrCreateReportThread::ended() {
    std::lock_guard lock(m_mutex);
    m_finished = true;
    if (m_waiting)
        QMetaObject::invokeMethod(m_waiting, &QEventLoop::quit, Qt::QueuedConnection);
}

void TBrCreateReportThread::waitHandlingEvents() {
    QEventLoop loop;
    {
        std::lock_guard lock(m_mutex);
        if (m_finished)
            return;
        m_waiting = &loop;
    }
    loop.exec();
    std::lock_guard lock(m_mutex);
    m_waiting = nullptr;
}

TBrCreateReportThread::~TBrCreateReportThread() {
    join();
}

void TBrCreateReportThread::join() {
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace tavim
