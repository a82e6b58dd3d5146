// The printers are asked once per process: later stores read the same settings
// without creating a driver, until a job needs the device or the list is refreshed.

#include "engine/print/CachedPrinterDriver.h"
#include "engine/print/PrinterSettings.h"
#include "error/Exception.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

struct Counted {
    std::shared_ptr<FakePrinter> printer = capablePrinter();
    int drivers = 0;
    std::shared_ptr<TPrinterCatalog> catalog = std::make_shared<TPrinterCatalog>([this] {
        ++drivers;
        return std::make_unique<FakePrinterDriver>(printer);
    });

    std::unique_ptr<TBrPrinter> store() {
        return std::make_unique<TBrPrinter>(std::make_unique<TCachedPrinterDriver>(catalog));
    }
};

void takeA4(TBrPrinter& store) {
    store.takePrinterSettings({}, TBrPaperSize::A4, 0, 0, TBrOrientation::Portrait, 2, TBrBin::Auto,
                              0, 0);
}

TEST(CachedPrinterDriver, LaterStoresReadTheSameSettingsWithoutAskingThePrinters) {
    Counted counted;
    counted.printer->dpi = QSize(300, 600);
    counted.printer->offset = QPoint(30, 60);
    const auto direct = storeOn(counted.printer);
    takeA4(*direct);

    for (int run = 0; run < 3; ++run) {
        const int before = counted.drivers;
        const auto store = counted.store();
        takeA4(*store);
        produce(*store, 2);
        if (run > 0) {
            EXPECT_EQ(counted.drivers, before) << "run " << run;
        }
        const TPrinterSettings& cached = store->settings();
        const TPrinterSettings& expected = direct->settings();
        EXPECT_EQ(cached.deviceName(), expected.deviceName());
        EXPECT_EQ(cached.pixelsPerInchX(), expected.pixelsPerInchX());
        EXPECT_EQ(cached.pixelsPerInchY(), expected.pixelsPerInchY());
        EXPECT_EQ(cached.leftOffset(), expected.leftOffset());
        EXPECT_EQ(cached.topOffset(), expected.topOffset());
        EXPECT_EQ(cached.paperSize(), expected.paperSize());
        EXPECT_EQ(cached.copies(), expected.copies());
        EXPECT_EQ(cached.paperWidth(), expected.paperWidth());
        EXPECT_EQ(store->pageCount(), 2);
    }
    // Reading the list, the bound printer and its reloaded defaults: three drivers in all.
    EXPECT_EQ(counted.drivers, 3);
    EXPECT_TRUE(counted.printer->log.filter(QStringLiteral("apply")).isEmpty());
}

TEST(CachedPrinterDriver, APrintJobGetsARealDriverOnTheSelectedPrinterWithItsDefaults) {
    Counted counted;
    counted.printer->printers = {QStringLiteral("A"), QStringLiteral("B")};
    counted.printer->defaultIndex = 1;
    const auto store = counted.store();
    store->setDestination(TBrDestination::Printer);
    takeA4(*store);
    counted.printer->log.clear();
    store->setTitle(QStringLiteral("Listagem"));
    store->beginDoc();
    store->newPage();
    store->endDoc();
    EXPECT_EQ(counted.printer->log,
              QStringList(
                  {QStringLiteral("select 1"), QStringLiteral("reset"), QStringLiteral("apply")}));
    EXPECT_EQ(counted.printer->jobs, 1);
    EXPECT_EQ(counted.printer->jobName, QStringLiteral("Listagem"));
}

TEST(CachedPrinterDriver, AWarmCatalogLetsTheFirstStoreAskNothing) {
    Counted counted;
    counted.catalog->warm();
    const int warmed = counted.drivers;
    const auto store = counted.store();
    takeA4(*store);
    EXPECT_EQ(counted.drivers, warmed);
    EXPECT_EQ(store->settings().deviceName(), QStringLiteral("Fake"));

    // Without a default printer there is nothing to read ahead.
    Counted none;
    none.printer->defaultIndex = -1;
    none.catalog->warm();
    EXPECT_EQ(none.drivers, 1);
}

TEST(CachedPrinterDriver, RefreshAsksThePrintersAgain) {
    Counted counted;
    takeA4(*counted.store());
    counted.printer->dpi = QSize(600, 600);
    const auto stale = counted.store();
    takeA4(*stale);
    EXPECT_EQ(stale->settings().pixelsPerInchX(), 254);

    counted.catalog->refresh();
    const auto fresh = counted.store();
    takeA4(*fresh);
    EXPECT_EQ(fresh->settings().pixelsPerInchX(), 600);
}

// A queue added or removed after the list was read never moves the job.
TEST(CachedPrinterDriver, APrinterChosenByNameIsFoundWhereverTheListMovedIt) {
    const struct {
        QStringList later;
        QString outcome; // the job driver's selection, or the error
    } cases[] = {{{"0", "A", "B"}, "select 2"},
                 {{"B"}, "select 0"},
                 {{"A", "C"}, "Printer \"B\" is not installed"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.later.join(',').toStdString());
        Counted counted;
        counted.printer->printers = {QStringLiteral("A"), QStringLiteral("B")};
        counted.catalog->printers();
        counted.printer->printers = c.later;
        const auto store = counted.store();
        store->setDestination(TBrDestination::Printer);
        QString outcome;
        try {
            store->takePrinterSettings(QStringLiteral("B"), TBrPaperSize::A4, 0, 0,
                                       TBrOrientation::Portrait, 1, TBrBin::Auto, 0, 0);
            produce(*store, 1);
            outcome = counted.printer->log.filter("select").last();
        } catch (const Exception& e) {
            outcome = e.message();
        }
        EXPECT_EQ(outcome, c.outcome);
    }
}

} // namespace
