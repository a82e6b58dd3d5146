#include "data/firebird/Windows1252.h"

#include <QList>
#include <algorithm>
#include <array>

namespace tavim {

namespace {

// 0x80 to 0x9F; the five bytes Windows-1252 leaves undefined keep their
// Latin-1 control characters, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

bool isHighTableByte(unsigned byte) {
    return byte >= 0x80 && byte <= 0x9F;
}

char encodeCodePoint(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return char(codePoint);
    const auto it = std::find(kHighTable.begin(), kHighTable.end(), codePoint);
    if (it == kHighTable.end())
        return '?';
    return char(0x80 + (it - kHighTable.begin()));
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = isHighTableByte(byte) ? QChar(kHighTable[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QByteArray encodeWindows1252(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t codePoint : text.toUcs4())
        bytes.append(encodeCodePoint(codePoint));
    return bytes;
}

} // namespace tavim
