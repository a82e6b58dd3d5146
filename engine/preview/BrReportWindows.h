#pragma once

class QWidget;

namespace tavim {

class TBandReport;

// Gives a report the standard windows: the preview of ShowPreview, the
// progress window of a print run and the system print dialog for Printer setup.
void AttachStandardWindows(TBandReport& report, QWidget* owner = nullptr);

} // namespace tavim
