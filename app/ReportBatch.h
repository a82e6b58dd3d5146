#pragma once

#include "app/ReportCommandLine.h"

namespace tavim {

class TdmdCadastro;

// The page outputs of tavim-report: one generation run of the municipality
// report (as "Imprimir" previews it) or the pages of a saved file, written to
// every output the request names.
void WriteReportPages(const ReportRequest& request, TdmdCadastro& data);

} // namespace tavim
