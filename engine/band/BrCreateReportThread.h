#pragma once

#include <QThread>

namespace tavim {

class TBandReport;
class TBrPrinter;

// Runs one generation of a preview; the store keeps an error of the run.
class TBrCreateReportThread : public QThread {
public:
    TBrCreateReportThread(TBandReport& report, TBrPrinter& store);

protected:
    void run() override;

private:
    TBandReport& m_report;
    TBrPrinter& m_store;
};

} // namespace tavim
