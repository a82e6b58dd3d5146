#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace tavim {

// Builds the bytes of an enhanced metafile record by record: the header first,
// EMR_EOF and the header's totals on finish. Records are padded to 4 bytes.
//
// Reference device: an ideal 96-dpi screen of 1920 x 1440 pixels, 508 x 381 mm
// (both exact at 96 dpi, so a page's frame converts back to whole pixels
// without drift). Logical units are that device's pixels.
class EmfWriter {
public:
    explicit EmfWriter(QSize pagePixels);

    void begin(quint32 type);
    void u8(quint8 v) { *grow(1) = char(v); }
    void u16(quint16 v) { field(v); }
    void u32(quint32 v) { field(v); }
    void i32(qint32 v) { field(v); }
    void f32(float v);
    void raw(const QByteArray& bytes) { raw(bytes.constData(), bytes.size()); }
    void raw(const char* data, qsizetype size) { std::memcpy(grow(size), data, size_t(size)); }
    // UTF-16 code units, little-endian, padded to a whole 32-bit word.
    void utf16Padded(const QString& text);
    void rect(qint32 left, qint32 top, qint32 right, qint32 bottom);
    void end();
    // A record whose parameters are all 32-bit values.
    void record(quint32 type, std::initializer_list<quint32> words);

    // The next object-table index (0 belongs to the metafile itself).
    quint32 newHandle() { return ++m_handles; }

    bool isFinished() const { return m_finished; }
    // Appends EMR_EOF once and fills in the header's totals.
    const QByteArray& finish();

private:
    // One field in one copy, little-endian.
    template <typename T> void field(T v) {
        const T le = qToLittleEndian(v);
        std::memcpy(grow(sizeof le), &le, sizeof le);
    }
    // Room for `n` more bytes at the end; the buffer doubles when full, so
    // appending costs a copy and no reallocation most of the time.
    char* grow(qsizetype n) {
        if (m_size + n > m_bytes.size())
            m_bytes.resize(std::max(m_bytes.size() * 2, m_size + n));
        char* at = m_bytes.data() + m_size;
        m_size += n;
        return at;
    }
    void pad(); // zeros to the next multiple of 4 bytes
    void patch32(qint64 offset, quint32 v);

    QByteArray m_bytes; // the first m_size bytes are written
    qsizetype m_size = 0;
    qint64 m_recordStart = -1;
    quint32 m_records = 0;
    quint32 m_handles = 0;
    bool m_finished = false;
};

} // namespace tavim
