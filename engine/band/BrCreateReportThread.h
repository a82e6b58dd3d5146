#pragma once

#include <QThread>
#include <exception>

namespace tavim {

class TBandReport;
class TBrPrinter;

// Runs one generation of a preview. An exception of the run is kept for the
// thread that waits for this one.
class TBrCreateReportThread : public QThread {
public:
    TBrCreateReportThread(TBandReport& report, TBrPrinter& store);
    std::exception_ptr error() const { return m_error; }

protected:
    void run() override;

private:
    TBandReport& m_report;
    TBrPrinter& m_store;
    std::exception_ptr m_error;
};

} // namespace tavim
