#pragma once

#include "engine/print/pdf/PdfInfo.h"

#include <QString>

class QPdfWriter;
class QPrinter;

namespace tavim {

// Makes the writer produce PDF/A-1b (fonts embedded) with the title and "Tavim"
// as creator. The author needs AddPdfAuthor once the file is closed.
void PrepareArchivePdf(QPdfWriter& writer, const TPdfInfo& info);
void PrepareArchivePdf(QPrinter& printer, const TPdfInfo& info);

// Qt writes no author: appends an update to the closed PDF `fileName` that
// adds it to the document information and to the XMP metadata, which PDF/A
// requires to agree. Nothing happens for an empty author. Throws
// "Cannot open file ..." or "Cannot create file ..." when the file cannot be
// updated.
void AddPdfAuthor(const QString& fileName, const QString& author);

} // namespace tavim
