#pragma once

#include "engine/print/BrPaperSize.h"

#include <QString>
#include <array>

namespace tavim {

class TPrinterDriver;

// What a run lays its pages out by, copied from the settings when the run is
// handed them: the run's own, read by no other thread.
struct TBrPageSetup {
    // The paper in tenths of a millimetre, turned as the orientation says;
    // A4 when the printer names no size.
    long double paperWidth = kA4WidthMm * 10;
    long double paperLength = kA4LengthMm * 10;
    int pixelsPerInchX = 0;
    int pixelsPerInchY = 0;
    int leftOffset = 0;
    int topOffset = 0;
};

// The settings of the selected printer, read from its device mode and written
// back to it. Without a driver (no printer installed) they keep A4 metrics and
// nothing can be set. Used on the thread of the print job that holds them.
class TPrinterSettings {
public:
    explicit TPrinterSettings(TPrinterDriver* driver);

    // Selects the system's default printer and reads its settings. Throws
    // "There is no default printer currently selected".
    void bind();
    // The printer of that name, looked up now; empty selects the default
    // printer. Throws "Printer \"%s\" is not installed" or "There is no default
    // printer currently selected". Reloads the printer's default device mode
    // and reads the settings again.
    void selectPrinter(const QString& name);
    void applyToPrinter();
    TBrPageSetup pageSetup() const;

    // Each takes the value only as far as the printer supports setting it.
    void setPaperSize(TBrPaperSize paper);
    void setOrientation(TBrOrientation orientation);
    void setCopies(int copies);
    void setOutputBin(TBrBin bin);
    void setPaperWidth(long double width) { m_paperWidth = width; }
    void setPaperLength(long double length) { m_paperLength = length; }

    bool supports(TBrPaperSize paper) const;
    // Paper width and length in tenths of a millimetre, before orientation:
    // from the paper table, or the stored ones for Default and Custom.
    long double pageWidth() const;
    long double pageLength() const;

    const QString& deviceName() const { return m_deviceName; }
    const QString& driverName() const { return m_driverName; }
    const QString& portName() const { return m_portName; }
    int copies() const { return m_copies; }
    TBrPaperSize paperSize() const { return m_paperSize; }
    long double paperWidth() const { return m_paperWidth; }
    long double paperLength() const { return m_paperLength; }
    TBrOrientation orientation() const { return m_orientation; }
    TBrBin outputBin() const { return m_outputBin; }
    bool duplex() const { return m_duplex; }
    int leftOffset() const { return m_leftOffset; }
    int topOffset() const { return m_topOffset; }
    int pixelsPerInchX() const { return m_pixelsPerInchX; }
    int pixelsPerInchY() const { return m_pixelsPerInchY; }

private:
    void readFromPrinter();

    TPrinterDriver* m_driver;
    QString m_deviceName;
    QString m_driverName;
    QString m_portName;
    int m_copies = 0;
    TBrPaperSize m_paperSize = TBrPaperSize::A4;
    long double m_paperWidth = 0;
    long double m_paperLength = 0;
    TBrOrientation m_orientation = TBrOrientation::Portrait;
    TBrBin m_outputBin = TBrBin::First;
    bool m_duplex = false;
    int m_leftOffset = 0;
    int m_topOffset = 0;
    int m_pixelsPerInchX = 0;
    int m_pixelsPerInchY = 0;
    bool m_canSetCopies = false;
    bool m_canSetBin = false;
    bool m_canSetOrientation = false;
    bool m_canSetPaper = false;
    std::array<bool, kPaperSizeCount> m_supported{};
};

} // namespace tavim
