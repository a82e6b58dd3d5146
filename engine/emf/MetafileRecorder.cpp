#include "engine/emf/MetafileRecorder.h"

#include "engine/emf/EmfPaintEngine.h"
#include "engine/emf/EmfWriter.h"

#include <QPaintDevice>
#include <QtMath>
#include <limits>

namespace tavim {

namespace {

constexpr int kReferenceDpi = 96;

} // namespace

// A 96-dpi device of the page's size whose engine writes EMF records.
class TMetafileRecorder::Device : public QPaintDevice {
public:
    explicit Device(QSize pixels) : m_pixels(pixels), m_writer(pixels), m_engine(m_writer) {}
    ~Device() override = default;

    QPaintEngine* paintEngine() const override { return &m_engine; }
    EmfWriter& writer() { return m_writer; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return m_pixels.width();
        case PdmHeight:
            return m_pixels.height();
        case PdmWidthMM:
            return qRound(m_pixels.width() * 25.4 / kReferenceDpi);
        case PdmHeightMM:
            return qRound(m_pixels.height() * 25.4 / kReferenceDpi);
        case PdmNumColors:
            return std::numeric_limits<int>::max();
        case PdmDepth:
            return 24;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return kReferenceDpi;
        case PdmDevicePixelRatio:
            return 1;
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    QSize m_pixels;
    EmfWriter m_writer;
    mutable EmfPaintEngine m_engine;
};

TMetafileRecorder::TMetafileRecorder(QSize pixels) : m_device(std::make_unique<Device>(pixels)) {}

TMetafileRecorder::~TMetafileRecorder() = default;

QPaintDevice* TMetafileRecorder::device() {
    return m_device.get();
}

TMetafile TMetafileRecorder::finish() {
    return TMetafile::fromBytes(m_device->writer().finish());
}

} // namespace tavim
