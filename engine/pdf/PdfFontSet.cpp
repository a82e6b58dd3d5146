#include "engine/pdf/PdfFontSet.h"

#include <QRawFont>

namespace tavim {

namespace {

constexpr std::size_t kMaxKnownFonts = 256;

} // namespace

int PdfFontSet::indexOf(const QFont& font) {
    for (const auto& [known, index] : m_known)
        if (known == font)
            return index;
    const QRawFont raw = QRawFont::fromFont(font);
    int index = -1;
    if (raw.isValid()) {
        const QString face = raw.familyName() + QLatin1Char('/') + raw.styleName();
        for (std::size_t i = 0; i < m_faces.size() && index < 0; ++i)
            if (m_faces[i].first == face)
                index = int(i);
        if (index < 0) {
            auto embedded = std::make_unique<PdfFont>(raw);
            if (embedded->isValid()) {
                m_faces.emplace_back(face, std::move(embedded));
                index = int(m_faces.size()) - 1;
            }
        }
    }
    if (m_known.size() == kMaxKnownFonts)
        m_known.clear();
    m_known.emplace_back(font, index);
    return index;
}

} // namespace tavim
