#pragma once

#include <QByteArray>
#include <QSize>
#include <initializer_list>
#include <vector>

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
    void u16(quint16 v);
    void u32(quint32 v);
    void i32(qint32 v) { u32(static_cast<quint32>(v)); }
    void f32(float v);
    void raw(const QByteArray& bytes) { m_bytes.append(bytes); }
    void rect(qint32 left, qint32 top, qint32 right, qint32 bottom);
    void end();
    // A record whose parameters are all 32-bit values.
    void record(quint32 type, std::initializer_list<quint32> words);

    // The lowest free object-table index (0 belongs to the metafile itself).
    quint32 newHandle();
    void releaseHandle(quint32 handle);

    bool isFinished() const { return m_finished; }
    // Appends EMR_EOF once and fills in the header's totals.
    const QByteArray& finish();

private:
    void patch32(qint64 offset, quint32 v);

    QByteArray m_bytes;
    qint64 m_recordStart = -1;
    quint32 m_records = 0;
    std::vector<bool> m_handleInUse{true};
    bool m_finished = false;
};

} // namespace tavim
