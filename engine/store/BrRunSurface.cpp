#include "engine/store/BrRunSurface.h"

#include "engine/emf/DeviceRounding.h"
#include "engine/emf/MetafileRecorder.h"

namespace tavim {

TBrRunSurface::TBrRunSurface(const TBrPageSetup& setup)
    : m_setup(setup), m_leftOffset(setup.leftOffset), m_topOffset(setup.topOffset) {}

TBrRunSurface::~TBrRunSurface() {
    discard();
}

void TBrRunSurface::mapFor(bool printer) {
    m_leftOffset = printer ? m_setup.leftOffset : 0;
    m_topOffset = printer ? m_setup.topOffset : 0;
    if (printer) {
        m_horizontalFactor = static_cast<long double>(m_setup.pixelsPerInchX) / 254;
        m_verticalFactor = static_cast<long double>(m_setup.pixelsPerInchY) / 254;
    } else {
        m_horizontalFactor = m_verticalFactor = kScreenFactor;
    }
}

void TBrRunSurface::openImage() {
    const QSize size(roundHalfEven(m_setup.paperWidth * kScreenFactor),
                     roundHalfEven(m_setup.paperLength * kScreenFactor));
    m_recorder = std::make_unique<TMetafileRecorder>(size);
    m_imagePainter.begin(m_recorder->device());
    m_canvas = &m_imagePainter;
}

std::optional<TMetafile> TBrRunSurface::closeImage() {
    if (!m_recorder)
        return std::nullopt;
    if (m_imagePainter.isActive())
        m_imagePainter.end();
    m_canvas = nullptr;
    TMetafile image = m_recorder->finish();
    m_recorder.reset();
    return image;
}

void TBrRunSurface::discard() {
    closeImage();
    m_canvas = nullptr;
}

int TBrRunSurface::toDeviceX(long double x) const {
    return roundHalfEven((x - m_leftOffset) * m_horizontalFactor);
}

int TBrRunSurface::toDeviceY(long double y) const {
    return roundHalfEven((y - m_topOffset) * m_verticalFactor);
}

int TBrRunSurface::toDeviceWidth(long double w) const {
    return roundHalfEven(w * m_horizontalFactor);
}

int TBrRunSurface::toDeviceHeight(long double h) const {
    return roundHalfEven(h * m_verticalFactor);
}

} // namespace tavim
