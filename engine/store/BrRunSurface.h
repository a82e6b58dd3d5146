#pragma once

#include "engine/emf/Metafile.h"
#include "engine/print/PrinterSettings.h"

#include <QPainter>
#include <memory>
#include <optional>

namespace tavim {

class TMetafileRecorder;

// The run's drawing surface: the open page (a page image being recorded, or
// the printer's sheet) and the mapping from tenths of a millimetre to its
// pixels, by the page setup the run was handed.
// Threads: owned by the run's thread once the run has started; no lock.
class TBrRunSurface {
public:
    explicit TBrRunSurface(const TBrPageSetup& setup);
    ~TBrRunSurface();
    TBrRunSurface(const TBrRunSurface&) = delete;
    TBrRunSurface& operator=(const TBrRunSurface&) = delete;

    // Before a run starts, on the thread that starts it.
    void setPageSetup(const TBrPageSetup& setup) { m_setup = setup; }
    // A document begins: the printer's offsets and resolution, or the
    // screen's without offsets.
    void mapFor(bool printer);

    // A new page image of the paper's size at the screen's resolution.
    void openImage();
    // The open page image, ended; nothing when none is open.
    std::optional<TMetafile> closeImage();
    // The open page is drawn on `sheet`.
    void drawOn(QPainter& sheet) { m_canvas = &sheet; }
    // Forgets the open page, drawn or not.
    void discard();

    // The open page's painter, or null.
    QPainter* canvas() const { return m_canvas; }
    int toDeviceX(long double x) const;
    int toDeviceY(long double y) const;
    int toDeviceWidth(long double w) const;
    int toDeviceHeight(long double h) const;
    long double horizontalFactor() const { return m_horizontalFactor; }
    long double verticalFactor() const { return m_verticalFactor; }

private:
    TBrPageSetup m_setup;
    long double m_horizontalFactor = 1;
    long double m_verticalFactor = 1;
    int m_leftOffset = 0;
    int m_topOffset = 0;
    std::unique_ptr<TMetafileRecorder> m_recorder;
    QPainter m_imagePainter;
    QPainter* m_canvas = nullptr;
};

} // namespace tavim
