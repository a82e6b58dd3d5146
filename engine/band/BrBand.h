#pragma once

#include "data/Component.h"

#include <QColor>
#include <array>
#include <functional>
#include <vector>

namespace tavim {

class TBandReport;
class TBrPrintable;

enum class TBrBandType {
    rbTitle,
    rbPageHeader,
    rbDetail,
    rbPageFooter,
    rbSummary,
    rbGroupHeader,
    rbGroupFooter,
    rbSubDetail,
    rbColumnHeader,
    rbOverlay,
    rbChild
};

// A band's size in tenths of a millimetre: height, width.
struct TBrBandSize {
    std::array<long double, 2> Values{};
};

// A horizontal strip of the report, output when its kind says so.
class TBrBand : public TComponent {
public:
    TBrBand(TBandReport& report, const QString& name, TBrBandType type);
    ~TBrBand() override;

    TBandReport& report() const { return m_report; }
    long double height() const { return Size.Values[0]; }
    long double width() const { return Size.Values[1]; }
    // Design pixels of 1/96 inch, stored as exact tenths of a millimetre.
    void setPixelSize(int height, int width);
    // In the order of their creation, which is the order they print in.
    const std::vector<TBrPrintable*>& controls() const { return m_controls; }

    TBrBandType BandType;
    TBrBandSize Size;
    bool Enabled = true;
    QColor Color = Qt::white;
    // `printBand` arrives equal to Enabled; clearing it skips the band.
    std::function<void(TBrBand& sender, bool& printBand)> BeforePrint;
    std::function<void(TBrBand& sender, bool bandPrinted)> AfterPrint;

private:
    friend class TBrPrintable;
    void addControl(TBrPrintable* control) { m_controls.push_back(control); }
    void removeControl(TBrPrintable* control);

    TBandReport& m_report;
    std::vector<TBrPrintable*> m_controls;
};

} // namespace tavim
