#pragma once

#include "engine/emf/EmfHeader.h"

#include <QByteArray>
#include <QRectF>
#include <QSize>

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

    // Whether a replay would reach the end record that closes the image:
    // walks every record by its size and fields without drawing. False, the
    // check logged (tavim.metafile), where a replay would end early, where no
    // end record closes the image or records follow it. Records a replay
    // skips on their own do not count.
    bool reachesEndRecord() const;

    // Replays every record onto `painter`, mapping the page onto `target`.
    // Unknown records are skipped by their size; malformed ones end the replay.
    void play(QPainter& painter, const QRectF& target) const;

private:
    QByteArray m_bytes;
    // Read once when the bytes were checked.
    EmfHeader m_header;
    QSize m_size;
};

} // namespace tavim
