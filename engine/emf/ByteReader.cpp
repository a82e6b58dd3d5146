#include "engine/emf/ByteReader.h"

#include "error/Exception.h"

#include <cstring>

namespace tavim {

namespace {

[[noreturn]] void fail() {
    throw Exception(QStringLiteral("Metafile is not valid"));
}

} // namespace

const char* ByteReader::take(qint64 n) {
    if (n < 0 || n > remaining())
        fail();
    const char* p = m_bytes.data() + m_pos;
    m_pos += n;
    return p;
}

void ByteReader::seek(qint64 offset) {
    if (offset < 0 || offset > size())
        fail();
    m_pos = offset;
}

quint8 ByteReader::u8() {
    return static_cast<quint8>(*take(1));
}

quint16 ByteReader::u16() {
    const auto* p = reinterpret_cast<const uchar*>(take(2));
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

quint32 ByteReader::u32() {
    const auto* p = reinterpret_cast<const uchar*>(take(4));
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

float ByteReader::f32() {
    const quint32 bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace tavim
