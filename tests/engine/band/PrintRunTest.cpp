// Print runs on a fake printer: Cancel in the progress window, closing the
// preview during the run, and printers that refuse a step of the job.
#include "ReportFixture.h"
#include "tests/engine/EngineTestSupport.h"

#include "engine/store/BrNotices.h"
#include "error/Exception.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

// 200 rows make four pages; row 120 is on page 3.
constexpr int kRows = 200;
constexpr int kStopRow = 120;

class PrintRun : public ::testing::Test {
protected:
    PrintRun() : data(kRows), form(&data.table) {
        data.table.open();
        form.report.PrinterDriver = [this] { return std::make_unique<FakePrinterDriver>(printer); };
    }

    void atRow(int row, std::function<void()> action) {
        form.detail.BeforePrint = [this, row, action = std::move(action)](TBrBand&, bool&) {
            form.log << QStringLiteral("before detail row %1").arg(data.table.rowNumber());
            if (data.table.rowNumber() == row)
                action();
        };
    }

    std::shared_ptr<FakePrinter> printer = std::make_shared<FakePrinter>();
    RowsModule data;
    TraceReport form;
};

TEST_F(PrintRun, CancelPrintsThePagesSoFarWithTheFooterOfTheOpenPage) {
    atRow(kStopRow, [this] { form.report.store()->cancel(); });
    form.report.PrintToPrinter();

    const QString trace = form.log.join(',');
    EXPECT_TRUE(trace.contains(QStringLiteral("before detail row %1").arg(kStopRow)));
    EXPECT_FALSE(trace.contains(QStringLiteral("before detail row %1").arg(kStopRow + 1)));
    EXPECT_FALSE(trace.contains("summary"));
    EXPECT_EQ(form.log.last(), "footer p3 y2740") << "the open page gets its footer";
    EXPECT_EQ(printer->jobs, 1);
    EXPECT_EQ(printer->newSheets, 2);
    EXPECT_EQ(printer->delivered, 1) << "the pages so far are printed";
    EXPECT_EQ(printer->aborts, 0);
    EXPECT_TRUE(form.report.idle());
}

TEST_F(PrintRun, ClosingThePreviewAbandonsTheJob) {
    form.report.PreviewHook = [this](TBrPrinter& preview) {
        while (!form.report.idle() || preview.status() != TBrStatus::Finished)
            QThread::msleep(1);
        atRow(kStopRow, [&preview] { preview.closePreview(); });
        preview.print();
    };
    form.report.ShowPreview();

    EXPECT_EQ(printer->delivered, 0) << "nothing reaches the printer";
    EXPECT_EQ(printer->aborts, 1);
    EXPECT_EQ(form.log.last(), QStringLiteral("detail p3 y%1").arg(384 + 45 * (kStopRow - 105)));
    EXPECT_TRUE(form.report.idle());
    EXPECT_EQ(form.report.store(), nullptr);
}

TEST_F(PrintRun, ARefusingPrinterFailsTheRunWithItsText) {
    struct Fault {
        const char* name;
        bool FakePrinter::*flag;
        QString text;
    };
    const Fault faults[] = {
        {"begin", &FakePrinter::refuseBegin, "Printer \"Fake\" could not start the print job"},
        {"sheet", &FakePrinter::refuseSheet, "Printer \"Fake\" could not start a new sheet"},
        {"end", &FakePrinter::refuseEnd, "Printer \"Fake\" could not finish the print job"},
        {"error", &FakePrinter::errorState, "Printer \"Fake\" is in an error state"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        *printer = FakePrinter();
        (*printer).*fault.flag = true;
        QString error;
        try {
            form.report.PrintToPrinter();
        } catch (const Exception& e) {
            error = e.message();
        }
        EXPECT_EQ(error, fault.text);
        EXPECT_EQ(printer->delivered, 0);
        EXPECT_TRUE(form.report.idle()) << "the next print can start";
    }
}

// Tells whether the report was idle when the run-failed notice arrived.
class FailureWatcher : public QObject {
public:
    explicit FailureWatcher(const TBandReport& report) : m_report(report) {}
    bool event(QEvent* event) override {
        if (!notice<TBrRunFailedEvent>(event))
            return QObject::event(event);
        told = true;
        idleWhenTold = m_report.idle();
        return true;
    }
    bool told = false;
    bool idleWhenTold = false;

private:
    const TBandReport& m_report;
};

TEST_F(PrintRun, AFailedPreviewRunTellsTheWindowOnceTheReportIsIdle) {
    // The run fails once the window listens: a notice posted before that is
    // the window's to find on opening, which another test shows.
    std::atomic<bool> listening = false;
    atRow(3, [&] {
        while (!listening)
            QThread::msleep(1);
        throw Exception("boom");
    });
    FailureWatcher watcher(form.report);
    bool failed = false;
    form.report.PreviewHook = [&](TBrPrinter& store) {
        store.setClient(&watcher);
        listening = true;
        for (int wait = 0; wait < 10'000 && !store.runFailed(); ++wait)
            QThread::msleep(1);
        // The notice is posted after the error is kept, and processing
        // returns at once while nothing is posted: wait by the clock.
        for (int wait = 0; wait < 10'000 && !watcher.told; ++wait) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        failed = bool(store.takeRunError());
        store.setClient(nullptr);
    };
    EXPECT_NO_THROW(form.report.ShowPreview()) << "the window has shown the error already";
    EXPECT_TRUE(failed);
    EXPECT_TRUE(watcher.told);
    EXPECT_TRUE(watcher.idleWhenTold);
}

} // namespace
