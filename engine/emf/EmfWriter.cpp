#include "engine/emf/EmfWriter.h"

#include "engine/emf/EmfRecords.h"

#include <QtMath>
#include <cstring>

namespace tavim {

namespace {

constexpr qint32 kDeviceWidth = 1920;
constexpr qint32 kDeviceHeight = 1440;
constexpr qint32 kDeviceWidthMm = 508;
constexpr qint32 kDeviceHeightMm = 381;
constexpr double kHundredthsMmPerPixel = 2540.0 / 96.0;

// A listing page takes about 80 KB; one allocation covers most pages.
constexpr qsizetype kTypicalPageBytes = 96 * 1024;

constexpr qint64 kBytesOffset = 48;
constexpr qint64 kRecordsOffset = 52;
constexpr qint64 kHandlesOffset = 56;

} // namespace

EmfWriter::EmfWriter(QSize pagePixels) {
    m_bytes.resize(kTypicalPageBytes);
    const qint32 frameRight = qRound(pagePixels.width() * kHundredthsMmPerPixel);
    const qint32 frameBottom = qRound(pagePixels.height() * kHundredthsMmPerPixel);
    begin(emf::EMR_HEADER);
    rect(0, 0, pagePixels.width() - 1, pagePixels.height() - 1);
    rect(0, 0, frameRight, frameBottom);
    u32(emf::kSignature);
    u32(emf::kVersion);
    u32(0); // nBytes, on finish
    u32(0); // nRecords, on finish
    u16(0); // nHandles, on finish
    u16(0);
    u32(0); // no description
    u32(0);
    u32(0); // no palette
    i32(kDeviceWidth);
    i32(kDeviceHeight);
    i32(kDeviceWidthMm);
    i32(kDeviceHeightMm);
    u32(0); // no pixel format
    u32(0);
    u32(0); // not OpenGL
    i32(kDeviceWidthMm * 1000);
    i32(kDeviceHeightMm * 1000);
    end();
}

void EmfWriter::begin(quint32 type) {
    m_recordStart = m_size;
    u32(type);
    u32(0);
}

void EmfWriter::f32(float v) {
    quint32 bits;
    std::memcpy(&bits, &v, sizeof bits);
    u32(bits);
}

void EmfWriter::rect(qint32 left, qint32 top, qint32 right, qint32 bottom) {
    const qint32 fields[] = {qToLittleEndian(left), qToLittleEndian(top), qToLittleEndian(right),
                             qToLittleEndian(bottom)};
    raw(reinterpret_cast<const char*>(fields), sizeof fields);
}

void EmfWriter::utf16Padded(const QString& text) {
    const qsizetype bytes = text.size() * 2;
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        raw(reinterpret_cast<const char*>(text.utf16()), bytes);
    } else {
        for (QChar c : text)
            u16(c.unicode());
    }
    pad();
}

void EmfWriter::end() {
    pad();
    patch32(m_recordStart + 4, quint32(m_size - m_recordStart));
    m_recordStart = -1;
    ++m_records;
}

void EmfWriter::record(quint32 type, std::initializer_list<quint32> words) {
    const auto size = quint32(8 + 4 * words.size());
    u32(type);
    u32(size);
    for (quint32 w : words)
        u32(w);
    ++m_records;
}

const QByteArray& EmfWriter::finish() {
    if (m_finished)
        return m_bytes;
    record(emf::EMR_EOF, {0, 0, 20});
    m_bytes.resize(m_size);
    patch32(kBytesOffset, quint32(m_size));
    patch32(kRecordsOffset, m_records);
    const auto handles = quint16(qMin<quint32>(m_handles + 1, 0xFFFF));
    m_bytes[kHandlesOffset] = char(handles & 0xFF);
    m_bytes[kHandlesOffset + 1] = char(handles >> 8);
    m_finished = true;
    return m_bytes;
}

void EmfWriter::pad() {
    const qsizetype n = (4 - m_size % 4) % 4;
    std::memset(grow(n), 0, size_t(n));
}

void EmfWriter::patch32(qint64 offset, quint32 v) {
    qToLittleEndian(v, m_bytes.data() + offset);
}

} // namespace tavim
