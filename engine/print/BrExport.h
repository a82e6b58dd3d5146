#pragma once

#include "engine/print/pdf/PdfInfo.h"

#include <QString>

namespace tavim {

class TBrPrinter;

// The finished pages of a store as files, drawn the way printing draws them:
// each page image replayed scaled to the whole page.

// An A4 portrait PDF/A-1b (texts stay texts, in the faces they were drawn
// with, embedded), one PDF page per page image. Written aside and put in place
// whole; throws "Cannot create file ..." when it cannot be.
void ExportPdf(TBrPrinter& store, const QString& fileName, const TPdfInfo& info = {});
// folder/page-001.png, ... at 96 dpi, each the page image's own size.
void ExportPngs(TBrPrinter& store, const QString& folder);

} // namespace tavim
