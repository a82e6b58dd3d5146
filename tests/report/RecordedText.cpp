#include "RecordedText.h"

#include "engine/emf/EmfRecords.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <unordered_map>

namespace tavim::test {

namespace {

quint32 u32At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// Offsets of the fields read below, from the record's start.
constexpr qsizetype kFontHandle = 8;
constexpr qsizetype kFontCharset = 12 + 23; // lfCharSet in the LOGFONT after the handle
constexpr qsizetype kTextRef = 36;
constexpr qsizetype kTextChars = 44;
constexpr qsizetype kTextOffString = 48;

} // namespace

std::vector<RecordedText> recordedTexts(const TMetafile& page) {
    const QByteArray& bytes = page.bytes();
    std::unordered_map<quint32, int> charsets; // font handle -> lfCharSet
    int charset = -1;
    quint32 align = 0;
    std::vector<RecordedText> out;
    for (qsizetype at = 0; at + 8 <= bytes.size();) {
        const quint32 type = u32At(bytes, at);
        const quint32 size = u32At(bytes, at + 4);
        if (size < 8 || at + size > bytes.size())
            break;
        switch (type) {
        case emf::EMR_EXTCREATEFONTINDIRECTW:
            charsets[u32At(bytes, at + kFontHandle)] = quint8(bytes[at + kFontCharset]);
            break;
        case emf::EMR_SELECTOBJECT:
            if (const auto found = charsets.find(u32At(bytes, at + 8)); found != charsets.end())
                charset = found->second;
            break;
        case emf::EMR_SETTEXTALIGN:
            align = u32At(bytes, at + 8);
            break;
        case emf::EMR_EXTTEXTOUTW: {
            const QPoint ref(qint32(u32At(bytes, at + kTextRef)),
                             qint32(u32At(bytes, at + kTextRef + 4)));
            const qsizetype chars = u32At(bytes, at + kTextChars);
            const auto* units = reinterpret_cast<const char16_t*>(
                bytes.constData() + at + u32At(bytes, at + kTextOffString));
            out.push_back({QString::fromUtf16(units, chars), ref, align, charset});
            break;
        }
        default:
            break;
        }
        at += size;
    }
    return out;
}

RecordedText recordedText(const std::vector<RecordedText>& texts, const QString& text) {
    for (const RecordedText& t : texts)
        if (t.text == text)
            return t;
    ADD_FAILURE() << "no text record \"" << text.toStdString() << "\"";
    return {};
}

} // namespace tavim::test
