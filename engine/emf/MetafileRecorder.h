#pragma once

#include "engine/emf/Metafile.h"

#include <QSize>
#include <memory>

class QPaintDevice;

namespace tavim {

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
