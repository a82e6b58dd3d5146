#pragma once

#include "batch/ReportCommandLine.h"

#include <QString>

namespace tavim {

class TBandReport;
class TdmdCadastro;
class TStopSignals;

// The page outputs of tavim-report: one generation run of the municipality
// report (as "Imprimir" previews it) or the pages of a saved file, written to
// every output the request names. A stop signal ends the run before its next
// row or the print job before its next page (the job is abandoned), removes
// the files this call wrote and throws EInterrupted.
// Generates `report` on this thread, without a window, and saves its pages to
// `file`: written there directly when `direct`, else copied from the page
// stream. A report that declines to run throws "The report was not generated";
// an error of the run is thrown as it is. Either way no file is left.
void SaveReportPages(TBandReport& report, const QString& file, bool direct, TStopSignals& stop);

void WriteReportPages(const ReportRequest& request, TdmdCadastro& data, TStopSignals& stop);

} // namespace tavim
