#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QtEndian>
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
    void u8(quint8 v) { m_bytes.append(char(v)); }
    void u16(quint16 v) { field(v); }
    void u32(quint32 v) { field(v); }
    void i32(qint32 v) { field(v); }
    void f32(float v);
    void raw(const QByteArray& bytes) { m_bytes.append(bytes); }
    void raw(const char* data, qsizetype size) { m_bytes.append(data, size); }
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
    // One field in one append, little-endian.
    template <typename T> void field(T v) {
        const T le = qToLittleEndian(v);
        m_bytes.append(reinterpret_cast<const char*>(&le), sizeof le);
    }
    void patch32(qint64 offset, quint32 v);

    QByteArray m_bytes;
    qint64 m_recordStart = -1;
    quint32 m_records = 0;
    quint32 m_handles = 0;
    bool m_finished = false;
};

} // namespace tavim
