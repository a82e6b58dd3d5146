#include "engine/print/pdf/PdfFontSet.h"

#include <QRawFont>

namespace tavim {

namespace {

constexpr std::size_t kMaxKnownFonts = 256;

} // namespace

int PdfFontSet::indexOf(const QFont& font) {
    for (const auto& [known, index] : m_known)
        if (known == font)
            return index;
    int index = faceIndex(QRawFont::fromFont(font));
    if (index < 0) {
        // A face that cannot be embedded whole (CFF outlines, say): its texts
        // are shown in the report's own face, of the same weight and slant,
        // rather than lost.
        QFont fallback(font);
        fallback.setFamilies({QStringLiteral("Liberation Sans")});
        index = faceIndex(QRawFont::fromFont(fallback));
    }
    if (m_known.size() == kMaxKnownFonts)
        m_known.clear();
    m_known.emplace_back(font, index);
    return index;
}

int PdfFontSet::faceIndex(const QRawFont& raw) {
    if (!raw.isValid())
        return -1;
    const QString face = raw.familyName() + QLatin1Char('/') + raw.styleName();
    for (std::size_t i = 0; i < m_faces.size(); ++i)
        if (m_faces[i].first == face)
            return int(i);
    auto embedded = std::make_unique<PdfFont>(raw);
    if (!embedded->isValid())
        return -1;
    m_faces.emplace_back(face, std::move(embedded));
    return int(m_faces.size()) - 1;
}

} // namespace tavim
