#pragma once

#include "app/ReportCommandLine.h"

namespace tavim {

class TdmdCadastro;
class TStopSignals;

// The page outputs of tavim-report: one generation run of the municipality
// report (as "Imprimir" previews it) or the pages of a saved file, written to
// every output the request names. A stop signal ends the run before its next
// row or the print job before its next page (the job is abandoned), removes
// the files this call wrote and throws EInterrupted.
void WriteReportPages(const ReportRequest& request, TdmdCadastro& data, TStopSignals& stop);

} // namespace tavim
