// Many preview runs of the program's own windows, each disturbed while its
// worker is still generating: the main window resized, the printer set up
// again, a page key, a saved file loaded, and the preview closed. Built with
// ThreadSanitizer (scripts/tsan) any unsynchronised access between the
// user-interface thread and the worker fails the run.

#include "../ui/UiTestSupport.h"

#include "app/FrmTavim.h"
#include "app/Program.h"
#include "data/DataModCad.h"
#include "data/MemTable.h"
#include "engine/preview/BrPreview.h"
#include "engine/preview/BrPreviewFileDialogs.h"
#include "engine/preview/BrStandardPreview.h"
#include "engine/print/PrinterDriver.h"
#include "engine/store/BrPrinter.h"
#include "report/FrmImpressao.h"
#include "tests/app/DemoDatabaseEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <iostream>

using namespace tavim;
using namespace tavim::test;

namespace {

// Enough rows for some sixty pages: a run is still going when its first page
// shows, even in an optimised build.
const auto* const kDemo = ::testing::AddGlobalTestEnvironment(new DemoDatabaseEnvironment(5000));

// Two printers that differ in every metric a run takes from its store: the
// printer set-up switches between them, so a run's page size, resolution and
// orientation change under it if the run does not hold its own copy.
class SwitchingPrinterDriver : public TPrinterDriver {
public:
    QStringList printers() const override {
        return {QStringLiteral("Fine"), QStringLiteral("Coarse")};
    }
    int defaultPrinter() const override { return 0; }
    void select(int index) override {
        m_index = index;
        resetDeviceMode();
    }
    QString deviceName() const override { return printers().at(m_index); }
    QString driverName() const override { return QStringLiteral("switching"); }
    QString portName() const override { return QStringLiteral("nowhere"); }
    TPrinterCapabilities capabilities() const override {
        TPrinterCapabilities caps{true, true, true, true, true, true, true, {}};
        for (int code = 1; code <= 26; ++code)
            caps.paperCodes << code;
        return caps;
    }
    void resetDeviceMode() override {
        m_mode = TDeviceMode{};
        m_mode.paperCode = m_index == 0 ? 9 : 1; // A4, Letter
        m_mode.orientation = m_index == 0 ? 1 : 2;
    }
    TDeviceMode deviceMode() const override { return m_mode; }
    void setDeviceMode(const TDeviceMode& mode) override { m_mode = mode; }
    QSize resolution() const override { return m_index == 0 ? QSize(600, 600) : QSize(300, 150); }
    QPoint physicalOffset() const override { return m_index == 0 ? QPoint(0, 0) : QPoint(25, 40); }
    QSize physicalPageSize() const override {
        const QSize dpi = resolution();
        return {2100 * dpi.width() / 254, 2970 * dpi.height() / 254};
    }
    QSize printableSize() const override { return physicalPageSize() - QSize(50, 80); }
    void setJobName(const QString&) override {}
    // The preview's runs draw into page images; nothing is printed here.
    QPaintDevice* device() override { return &m_sheet; }
    bool newSheet() override { return true; }
    bool submitJob() override { return true; }
    void abortJob() override {}
    bool inErrorState() const override { return false; }
    QString errorString() const override { return {}; }

private:
    int m_index = 0;
    TDeviceMode m_mode;
    QImage m_sheet{8, 8, QImage::Format_RGB32};
};

struct AnsweringDialogs : TBrPreviewFileDialogs {
    explicit AnsweringDialogs(QString file) : m_file(std::move(file)) {}
    QString saveReportName(QWidget*) override { return {}; }
    QString loadReportName(QWidget*) override { return m_file; }
    void information(QWidget*, const QString&) override {}

private:
    QString m_file;
};

// How many of the disturbances happened while the worker was still running.
struct MidRun {
    int opened = 0;
    int resized = 0;
    int setUp = 0;
    int paged = 0;
    int loaded = 0;
    int closed = 0;
};

// Steps through one preview's disturbances, one per turn of the event loop so
// that the notices of the run keep arriving in between. It starts when the
// preview shows its first page, which is when its first notice arrived.
class Disturber {
public:
    Disturber(QString savedFile, MidRun& midRun, int cycle)
        : m_savedFile(std::move(savedFile)), m_midRun(midRun), m_cycle(cycle) {}

    void start() { next(); }
    // All five disturbances were made, the last one closing the preview.
    bool done() const { return m_next == 5; }

private:
    static bool running() { return !frmImpressao->relatorio.idle(); }

    static TBrStandardPreview* preview() {
        return dynamic_cast<TBrStandardPreview*>(QApplication::activeModalWidget());
    }

    static bool firstPageShown(const TBrStandardPreview& window) {
        return window.findChild<QLabel*>(QStringLiteral("PagePanel"))
            ->text()
            .startsWith(QStringLiteral("Page 1 of"));
    }

    void count(int& counter) const {
        if (running())
            ++counter;
    }

    void step() {
        TBrStandardPreview* window = preview();
        if (!window || (m_next == 0 && !firstPageShown(*window) && running())) {
            next();
            return;
        }
        act(*window, m_next++);
        if (window->isVisible())
            next();
    }

    // Bound to this object: a step still queued when a cycle ends is dropped.
    void next() {
        QTimer::singleShot(0, &m_context, [this] { step(); });
    }

    void act(TBrStandardPreview& window, int action) {
        switch (action) {
        case 0:
            count(m_midRun.opened);
            frmTavim->resize(m_cycle % 2 ? QSize(913, 669) : QSize(813, 569));
            count(m_midRun.resized);
            return;
        case 1:
            // What the Printer setup button does once a run has finished.
            window.preview().store()->printerSetup();
            count(m_midRun.setUp);
            return;
        case 2:
            QTest::keyClick(&window.preview(), Qt::Key_PageDown);
            count(m_midRun.paged);
            return;
        case 3:
            // Every other cycle the preview closes on the run itself.
            if (m_cycle % 2)
                return;
            window.setFileDialogs(std::make_unique<AnsweringDialogs>(m_savedFile));
            window.findChild<QAction*>(QStringLiteral("LoadReport"))->trigger();
            count(m_midRun.loaded);
            return;
        default:
            count(m_midRun.closed);
            window.findChild<QPushButton*>(QStringLiteral("ExitButton"))->click();
            return;
        }
    }

    QObject m_context;
    QString m_savedFile;
    MidRun& m_midRun;
    int m_cycle;
    int m_next = 0;
};

int cycles() {
    const int wanted = qEnvironmentVariableIntValue("TAVIM_STRESS_CYCLES");
    return wanted > 0 ? wanted : 20;
}

// A finished two-page file of the kind the preview's Save writes.
void writeSavedReport(const QString& fileName) {
    TBrPrinter store(std::make_unique<SwitchingPrinterDriver>());
    store.setDestination(TBrDestination::PageImages);
    store.beginDoc();
    store.newPage();
    store.newPage();
    store.endDoc();
    store.save(fileName);
}

TEST(ThreadStress, PreviewsDisturbedWhileTheirRunsGoOn) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString savedFile = dir.filePath(QStringLiteral("saved.BRP"));
    writeSavedReport(savedFile);

    FixedClock clock(QDate(2024, 3, 15));
    TProgram program(clock);
    program.showMainWindow(StartState::Normal);
    shownErrors().clear();
    TBandReport& report = frmImpressao->relatorio;
    report.PrinterDriver = [] { return std::make_unique<SwitchingPrinterDriver>(); };
    // The printer set-up dialog, answered: the other printer, the other
    // orientation, one more copy.
    report.PrinterSetupHook = [](TBandReport& r, TBrPrinter&) {
        QString& name = r.PrinterSettings.PrinterName;
        name = name == "Fine" ? "Coarse" : "Fine";
        r.Page.Orientation = r.Page.Orientation == TBrOrientation::Portrait
                                 ? TBrOrientation::Landscape
                                 : TBrOrientation::Portrait;
        r.PrinterSettings.Copies = r.PrinterSettings.Copies % 3 + 1;
    };
    QTest::mouseClick(frmTavim->btnGerar, Qt::LeftButton);
    ASSERT_TRUE(shownErrors().isEmpty()) << qPrintable(shownErrors().join('\n'));
    const int rows = dmdCadastro->cdsTavim.rowCount();
    ASSERT_GT(rows, 2000);

    const int total = cycles();
    MidRun midRun;
    for (int cycle = 0; cycle < total; ++cycle) {
        Disturber disturber(savedFile, midRun, cycle);
        disturber.start();
        QTest::mouseClick(frmTavim->btnImprimir, Qt::LeftButton);
        ASSERT_TRUE(disturber.done()) << "cycle " << cycle;
        ASSERT_TRUE(report.idle()) << "cycle " << cycle;
        ASSERT_TRUE(shownErrors().isEmpty())
            << "cycle " << cycle << ": " << qPrintable(shownErrors().join('\n'));
    }
    EXPECT_EQ(dmdCadastro->cdsTavim.rowCount(), rows);
    std::cout << "mid-run of " << total << " cycles: opened " << midRun.opened << ", resized "
              << midRun.resized << ", set up " << midRun.setUp << ", paged " << midRun.paged
              << ", loaded " << midRun.loaded << " (of " << (total + 1) / 2 << "), closed "
              << midRun.closed << '\n';
    // The net only catches what overlaps: most previews must open while their
    // worker runs, and many must close on it (the last of five disturbances).
    EXPECT_GE(midRun.opened, total * 3 / 4);
    EXPECT_GE(midRun.closed, total / 4);
}

} // namespace
