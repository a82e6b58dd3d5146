// Printer settings through a fake driver, and the device mapping.
#include "tests/engine/EngineTestSupport.h"

#include "engine/emf/DeviceRounding.h"
#include "engine/print/PrinterSettings.h"
#include "error/Exception.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace tavim::test {
namespace {

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.message();
    }
    return {};
}

TEST(PrinterSettingsTest, SelectingAPrinterFailsClearly) {
    auto printer = capablePrinter();
    printer->printers << QStringLiteral("Second");
    auto store = storeOn(printer);
    const auto take = [&](const QString& name) {
        return errorOf([&] {
            store->takePrinterSettings(name, TBrPaperSize::A4, 0, 0, TBrOrientation::Portrait, 1,
                                       TBrBin::Auto, 0, 0);
        });
    };
    EXPECT_EQ(take(QStringLiteral("Second")), QString());
    EXPECT_EQ(take(QStringLiteral("Gone")), QStringLiteral("Printer \"Gone\" is not installed"));
    printer->defaultIndex = -1;
    EXPECT_EQ(take({}), QStringLiteral("There is no default printer currently selected"));
    EXPECT_EQ(errorOf([&] { storeOn(printer); }),
              QStringLiteral("There is no default printer currently selected"));
    EXPECT_EQ(errorOf([] { storeOn(noPrinter()); }), QString());
}

TEST(PrinterSettingsTest, TakingSettingsReloadsThePrinterFirst) {
    auto printer = capablePrinter();
    printer->caps.paperSource = false;
    printer->caps.paperCodes = {1, 9, 256};
    printer->mode.copies = 7;
    printer->defaults.copies = 2;
    printer->dpi = QSize(600, 300);
    printer->offset = QPoint(60, 30);
    auto store = storeOn(printer);
    EXPECT_EQ(store->settings().copies(), 7) << "read from the current device mode";
    printer->log.clear();

    store->takePrinterSettings({}, TBrPaperSize::B5, 0, 0, TBrOrientation::Landscape, 3,
                               TBrBin::Lower, 2, 5);
    EXPECT_EQ(printer->log, (QStringList{QStringLiteral("select 0"), QStringLiteral("reset")}));
    const TPrinterSettings& s = store->settings();
    EXPECT_EQ(s.paperSize(), TBrPaperSize::A4) << "B5 is not supported";
    EXPECT_EQ(s.orientation(), TBrOrientation::Landscape);
    EXPECT_EQ(s.copies(), 3);
    EXPECT_EQ(s.outputBin(), TBrBin::First) << "bins cannot be chosen";
    EXPECT_EQ(s.leftOffset(), 25);
    EXPECT_EQ(s.topOffset(), 25);
    EXPECT_EQ(store->firstPage(), 2);
    EXPECT_EQ(store->lastPage(), 5);

    printer->defaults.duplex = 2;
    store->takePrinterSettings({}, TBrPaperSize::Custom, 1500, 2500, TBrOrientation::Portrait, 1,
                               TBrBin::Auto, 0, 0);
    EXPECT_EQ(s.paperSize(), TBrPaperSize::Custom);
    EXPECT_EQ(s.pageWidth(), 1500);
    EXPECT_EQ(s.pageLength(), 2500);

    // Beginning a printer document writes the settings back.
    printer->mode.paperSource = 256 | 7;
    store->setDestination(TBrDestination::Printer);
    store->beginDoc();
    EXPECT_EQ(printer->log.last(), QStringLiteral("apply"));
    EXPECT_EQ(printer->mode.paperCode, 256);
    EXPECT_EQ(printer->mode.paperWidth, 1500);
    EXPECT_EQ(printer->mode.paperLength, 2500);
    EXPECT_EQ(printer->mode.paperSource, 256 | 1);
    EXPECT_EQ(printer->mode.orientation, 1);
    EXPECT_EQ(printer->mode.copies, 1);
    EXPECT_EQ(printer->mode.duplex, 3) << "short edge";
    store->abortDoc();
}

TEST(DeviceMappingTest, HalvesGoToTheEvenNeighbour) {
    struct Case {
        long double x;
        int expected;
    };
    // The ulp-sized cases exist only in extended precision: a double nearest
    // to them is the half itself and would round the other way.
    const long double ulp = std::numeric_limits<long double>::epsilon() * 2;
    for (const Case c :
         {Case{0.5L, 0}, Case{1.5L, 2}, Case{2.5L, 2}, Case{-0.5L, 0}, Case{-1.5L, -2},
          Case{2.4999L, 2}, Case{2.5001L, 3}, Case{-2.6L, -3}, Case{2.5L + ulp, 3},
          Case{3.5L - ulp * 2, 3}, Case{-2.5L - ulp, -3}, Case{2147483646.5L, 2147483646},
          Case{-2147483647.5L, INT_MIN}, Case{1e-4000L, 0}}) {
        EXPECT_EQ(roundHalfEven(c.x), c.expected) << double(c.x);
    }
    EXPECT_EQ(roundHalfEven(1e30L), INT_MAX);
    EXPECT_EQ(roundHalfEven(-1e30L), INT_MIN);
    EXPECT_EQ(roundHalfEven(std::nanl("")), 0);
}

// Every position and half position of an A3 page in tenths, mapped at the
// screen's and at common printer resolutions, rounds as the plain
// floor-and-compare definition of halves-to-even does.
TEST(DeviceMappingTest, RoundingMatchesTheDefinitionOverAPage) {
    const auto byDefinition = [](long double x) {
        const long double floor = std::floor(x);
        const long double fraction = x - floor;
        const bool up = fraction > 0.5L || (fraction == 0.5L && std::fmod(floor, 2.0L) != 0);
        return static_cast<int>(up ? floor + 1 : floor);
    };
    int checked = 0;
    for (const long double factor : {kScreenFactor, 300 / 254.0L, 600 / 254.0L, 1.0L, 0.5L}) {
        for (int halfTenths = -200; halfTenths <= 2 * 4200; ++halfTenths) {
            const long double x = halfTenths / 2.0L * factor;
            ASSERT_EQ(roundHalfEven(x), byDefinition(x)) << double(x);
            ++checked;
        }
    }
    EXPECT_GT(checked, 40000);
}

TEST(DeviceMappingTest, PrinterMappingSubtractsTheOffsets) {
    auto printer = capablePrinter();
    printer->dpi = QSize(254, 127);
    printer->offset = QPoint(10, 10);
    auto store = storeOn(printer);
    store->setDestination(TBrDestination::Printer);
    store->beginDoc();
    struct Case {
        long double value;
        int x, y, width, height;
    };
    // Horizontal factor 1, vertical 0.5; offsets 10 and 20 tenths.
    for (const Case c : {Case{10.5L, 0, -5, 10, 5}, Case{11.5L, 2, -4, 12, 6},
                         Case{25, 15, 2, 25, 12}, Case{27, 17, 4, 27, 14}}) {
        EXPECT_EQ(store->toDeviceX(c.value), c.x) << double(c.value);
        EXPECT_EQ(store->toDeviceY(c.value), c.y) << double(c.value);
        EXPECT_EQ(store->toDeviceWidth(c.value), c.width) << double(c.value);
        EXPECT_EQ(store->toDeviceHeight(c.value), c.height) << double(c.value);
    }
    store->abortDoc();

    auto images = storeOn(noPrinter());
    images->beginDoc();
    EXPECT_EQ(images->toDeviceWidth(2100), 794);
    EXPECT_EQ(images->toDeviceHeight(2970), 1123);
    EXPECT_EQ(images->toDeviceX(26), 10);
}

} // namespace
} // namespace tavim::test
