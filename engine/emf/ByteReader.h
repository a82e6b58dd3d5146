#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace tavim {

// Little-endian reads over a byte span that it does not own. Reading past the end
// throws Exception("Metafile is not valid"): the span always comes from a page image.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView bytes) : m_bytes(bytes) {}

    qint64 size() const { return m_bytes.size(); }
    qint64 position() const { return m_pos; }
    qint64 remaining() const { return m_bytes.size() - m_pos; }

    quint8 u8();
    quint16 u16();
    quint32 u32();
    qint32 i32() { return static_cast<qint32>(u32()); }
    float f32();
    void skip(qint64 n) { take(n); }
    QByteArrayView bytes(qint64 n) { return QByteArrayView(take(n), n); }
    // A reader over the next n bytes; this one moves past them.
    ByteReader sub(qint64 n) { return ByteReader(bytes(n)); }
    // Moves to an offset from the start of the span, at most its end.
    void seek(qint64 offset);

private:
    const char* take(qint64 n);

    QByteArrayView m_bytes;
    qint64 m_pos = 0;
};

} // namespace tavim
