#pragma once

class QPainter;

namespace tavim {

class TBrPrinter;

// The surface a printable control draws on: the open page's painter and the
// mapping of tenths of a millimetre to its device pixels.
class TBrCanvas {
public:
    virtual ~TBrCanvas() = default;
    virtual QPainter& painter() = 0;
    virtual int toDeviceX(long double x) const = 0;
    virtual int toDeviceY(long double y) const = 0;
    virtual int toDeviceWidth(long double w) const = 0;
    virtual int toDeviceHeight(long double h) const = 0;
    // Device pixels per tenth of a millimetre, vertically.
    virtual long double verticalFactor() const = 0;
};

// The page store's open page.
class TBrPrinterCanvas : public TBrCanvas {
public:
    explicit TBrPrinterCanvas(TBrPrinter& store) : m_store(store) {}
    QPainter& painter() override;
    int toDeviceX(long double x) const override;
    int toDeviceY(long double y) const override;
    int toDeviceWidth(long double w) const override;
    int toDeviceHeight(long double h) const override;
    long double verticalFactor() const override;

private:
    TBrPrinter& m_store;
};

// Any active painter at a given resolution, with the device's origin at the
// paper's top-left corner.
class TBrPainterCanvas : public TBrCanvas {
public:
    TBrPainterCanvas(QPainter& painter, int dpiX, int dpiY);
    QPainter& painter() override { return m_painter; }
    int toDeviceX(long double x) const override;
    int toDeviceY(long double y) const override;
    int toDeviceWidth(long double w) const override;
    int toDeviceHeight(long double h) const override;
    long double verticalFactor() const override { return m_vFactor; }

private:
    QPainter& m_painter;
    long double m_hFactor;
    long double m_vFactor;
};

} // namespace tavim
