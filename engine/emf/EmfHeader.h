#pragma once

#include <QRect>
#include <QSize>
#include <optional>

namespace tavim {

class ByteReader;

// The fields of an EMR_HEADER record that the library uses.
// A RECTL as stored: untrusted corners, so no QRect (whose width may overflow).
struct RectL {
    qint32 left = 0;
    qint32 top = 0;
    qint32 right = 0;
    qint32 bottom = 0;
};

struct EmfHeader {
    RectL bounds; // inclusive, reference-device pixels
    RectL frame;  // .01 mm
    quint32 recordSize = 0;
    quint32 nBytes = 0;
    quint32 nRecords = 0;
    quint16 nHandles = 0;
    QSize device;      // pixels
    QSize millimeters; // of the same device
    QSize micrometers; // empty when the header has no such extension

    // Reads the header at the reader's position and moves past what it read; nullopt when the bytes
    // are no EMR_HEADER with the signature, a record size of at least 88 bytes that is a multiple
    // of 4 and an nBytes within the limits that holds the header. Needs only the first 52 bytes for
    // that verdict; the device fields are read when present.
    // A refusal logs the check that fired (tavim.metafile).
    static std::optional<EmfHeader> read(ByteReader& reader);

    // The page in reference-device pixels: its frame converted through the
    // device's pixels per millimetre. Falls back to the bounds when the device
    // sizes are unusable.
    QRect pageRect() const;
};

} // namespace tavim
