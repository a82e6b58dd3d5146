#pragma once

#include "engine/emf/Metafile.h"
#include "engine/print/pdf/PdfInfo.h"

#include <QString>
#include <functional>
#include <optional>
#include <utility>

namespace tavim {

class TBrPrinter;
class TBrSaveFile;
class TBrSaveFolder;

// The finished pages of a store as files, drawn the way printing draws them:
// each page image replayed scaled to the whole page.

// A document's pages in order, one a call: its number and image; nothing once
// every page has been given.
using TPageSource = std::function<std::optional<std::pair<int, TMetafile>>()>;
// The finished pages of a store.
TPageSource StorePages(TBrPrinter& store);

// An A4 portrait PDF/A-1b (texts stay texts, in the faces they were drawn
// with, embedded), one PDF page per page image. Written aside and put in place
// whole; throws "Cannot create file ..." when it cannot be.
void ExportPdf(TBrPrinter& store, const QString& fileName, const TPdfInfo& info = {});
// The same into a file the caller puts in place.
void ExportPdf(TBrPrinter& store, TBrSaveFile& file, const TPdfInfo& info);
// The same from pages as they come.
void ExportPdf(const TPageSource& pages, TBrSaveFile& file, const TPdfInfo& info);
// folder/page-001.png, ... at 96 dpi, each the page image's own size. The set
// replaces an earlier one whole: no page of it is left beside the new pages,
// and a failure leaves the folder as it was.
void ExportPngs(TBrPrinter& store, const QString& folder);
// The same into a set the caller puts in place.
void ExportPngs(TBrPrinter& store, TBrSaveFolder& set);
// The same from pages as they come; `pages` is called from two threads, one
// call at a time.
void ExportPngs(const TPageSource& pages, TBrSaveFolder& set);
// The names of a page set: page-001.png, ...
bool IsPngPageName(const QString& name);

} // namespace tavim
