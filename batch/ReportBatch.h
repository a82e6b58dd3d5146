#pragma once

#include "batch/ReportCommandLine.h"

#include <QString>
#include <memory>

namespace tavim {

class TBandReport;
class TBatchOutputs;
class TBrPrinter;
class TdmdCadastro;
class TStopSignals;

// The page outputs of tavim-report: one generation run of the municipality
// report (as "Imprimir" previews it) or the pages of a saved file, written to
// every output the request names, into `outputs`, which the caller puts in
// place once the whole call has succeeded. A stop signal ends the run before
// its next row or the print job before its next page (the job is abandoned)
// and throws EInterrupted.
void WriteReportPages(const ReportRequest& request, TdmdCadastro& data, TStopSignals& stop,
                      TBatchOutputs& outputs);

// Generates `report` on this thread, without a window, its pages written
// aside for `file`, and gives the finished store: its commitPages() puts the
// file in place, and without it the file is never there. A report that
// declines to run throws "The report was not generated"; an error of the run
// is thrown as it is.
std::unique_ptr<TBrPrinter> GenerateReportPages(TBandReport& report, const QString& file,
                                                TStopSignals& stop);

} // namespace tavim
