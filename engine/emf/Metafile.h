#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <memory>

class QPaintDevice;
class QPainter;

namespace tavim {

// One page image: the bytes of an enhanced metafile (EMF) as the published
// format defines them. A value type; copying shares the bytes.
class TMetafile {
public:
    // Checks the bytes before anything else looks at them: an EMR_HEADER record
    // with the " EMF" signature whose nBytes equals bytes.size(). Throws
    // Exception("Metafile is not valid") otherwise.
    static TMetafile fromBytes(QByteArray bytes);

    // nBytes of an EMF header at the start of `head` (at least 52 bytes), or -1
    // when `head` does not start with a valid EMR_HEADER. Lets a reader learn a
    // page image's length before reading it.
    static qint64 sizeFromHeader(const char* head, qint64 available);

    const QByteArray& bytes() const { return m_bytes; }
    // The page size in reference-device pixels (96 dpi): from the header's frame
    // and the reference device's size in pixels and millimetres.
    QSize size() const { return m_size; }

    // Replays every record onto `painter`, mapping the page onto `target`.
    // Unknown records are skipped by their size; malformed ones end the replay.
    void play(QPainter& painter, const QRectF& target) const;

private:
    QByteArray m_bytes;
    QSize m_size;
};

// The drawing surface of one page image: a QPaintDevice whose painting is
// recorded as EMF records, with the screen (96 dpi) as reference device.
// Fonts are recorded at whole pixel heights, as GDI realises them: a font set by
// pixel size (points * 96 / 72 rounded) replays exactly as painted.
class TMetafileRecorder {
public:
    explicit TMetafileRecorder(QSize pixels);
    ~TMetafileRecorder();
    TMetafileRecorder(const TMetafileRecorder&) = delete;
    TMetafileRecorder& operator=(const TMetafileRecorder&) = delete;

    QPaintDevice* device();
    // Ends recording (any QPainter on device() must have ended) and returns the
    // page image, EMR_EOF included.
    TMetafile finish();

private:
    class Device;
    std::unique_ptr<Device> m_device;
};

} // namespace tavim
