#pragma once

#include "engine/print/pdf/PdfFont.h"

#include <QFont>
#include <QRawFont>
#include <memory>
#include <utility>
#include <vector>

namespace tavim {

// The faces a document shows, each embedded once however many sizes of it
// are used. Used by the thread that draws the pages, then by finish() once it
// is done; no lock.
class PdfFontSet {
public:
    // The index of the face that draws `font`; Liberation Sans stands in for
    // a face that cannot be embedded. -1 when neither can be.
    int indexOf(const QFont& font);
    PdfFont& at(int index) { return *m_faces[std::size_t(index)].second; }
    int size() const { return int(m_faces.size()); }

private:
    int faceIndex(const QRawFont& raw);

    // QFont -> face index; a report uses a handful of fonts.
    std::vector<std::pair<QFont, int>> m_known;
    // (family and style) -> face
    std::vector<std::pair<QString, std::unique_ptr<PdfFont>>> m_faces;
};

} // namespace tavim
