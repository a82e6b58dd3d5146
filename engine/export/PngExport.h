#pragma once

#include "engine/export/BrExport.h"

#include <QString>

namespace tavim {

// Writes the pages as folder/page-001.png, ... (the folder
// exists) on two workers, the calling thread and one more: each takes, draws
// and encodes its own pages and writes them in any order, each file whole or
// not at all. The first failure stops both and is thrown once they have ended:
// "Cannot create file \"%s\". The image could not be written." (a page far
// larger than any paper included) or the error of reading a page.
// Errors name the pages as they will be in `shownFolder`.
void WritePngPages(const TPageSource& pages, const QString& folder, const QString& shownFolder);

} // namespace tavim
