#include "ReportFixture.h"

#include "data/TableView.h"
#include "engine/store/BrPrinter.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <semaphore>

using namespace tavim;
using namespace tavim::test;

namespace {

// Holds the worker at a chosen row until the user-interface side lets it go.
// The standard library's semaphores, not Qt's: ThreadSanitizer sees their
// hand-off, and the log the worker wrote is read after it.
struct Gate {
    std::binary_semaphore reached{0};
    std::binary_semaphore proceed{0};
};

void holdAtRow(TraceReport& form, TMemTable& table, int row, Gate& gate) {
    form.detail.BeforePrint = [&table, row, &gate, &form](TBrBand&, bool&) {
        form.log << QStringLiteral("before detail row %1").arg(table.rowNumber());
        if (table.rowNumber() != row)
            return;
        gate.reached.release();
        gate.proceed.acquire();
    };
}

void waitIdle(const TBandReport& report) {
    while (!report.idle())
        QThread::msleep(1);
}

TEST(BandThread, ClosingThePreviewCancelsBeforeTheNextRow) {
    RowsModule data(200);
    data.table.open();
    TraceReport form(&data.table);
    Gate gate;
    holdAtRow(form, data.table, 60, gate);
    int nested = 0;
    int available = -1;
    int begun = -1;
    form.report.PreviewHook = [&](TBrPrinter& store) {
        gate.reached.acquire();
        // A second preview while the run is busy does nothing at all.
        const QStringList before = form.log;
        form.report.ShowPreview();
        nested = int(form.log.size() - before.size());
        store.closePreview();
        gate.proceed.release();
        waitIdle(form.report);
        available = store.availablePages();
        begun = store.pageCount();
    };
    form.report.ShowPreview();

    EXPECT_EQ(nested, 0);
    EXPECT_EQ(form.log.last(), "detail p2 y699") << "row 60 is output, row 61 is not";
    EXPECT_FALSE(form.log.join(',').contains("summary"));
    EXPECT_EQ(form.log.count("footer p1 y2740"), 1) << "no footer on the cancelled last page";
    EXPECT_EQ(begun, 2);
    EXPECT_EQ(available, 1) << "aborted: the open page is kept without a notice";
    EXPECT_TRUE(form.report.idle());
    EXPECT_EQ(form.report.store(), nullptr);
}

TEST(BandThread, CancelBeforeTheWorkerStartsStillStopsTheRun) {
    RowsModule data(1000);
    data.table.open();
    TraceReport form(&data.table);
    form.report.PreviewHook = [&](TBrPrinter& store) { store.closePreview(); };
    form.report.ShowPreview();
    EXPECT_FALSE(form.log.join(',').contains("summary"));
    EXPECT_TRUE(form.report.idle());
}

// Records which thread each notice arrives on.
class ThreadView : public TableView {
public:
    int wantedRows() const override { return 5; }
    void tableNotice(TableNotice notice, int, const TField*) override {
        notices << int(notice);
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++offThread;
    }
    QList<int> notices;
    int offThread = 0;
};

TEST(BandThread, TableViewsHearNothingDuringTheRunAndReloadAfter) {
    RowsModule data(120);
    data.table.open();
    ThreadView view;
    data.table.addView(&view);
    TraceReport form(&data.table);
    Gate gate;
    holdAtRow(form, data.table, 30, gate);
    QList<int> duringRun;
    form.report.PreviewHook = [&](TBrPrinter&) {
        view.notices.clear();
        gate.reached.acquire();
        duringRun = view.notices;
        gate.proceed.release();
        waitIdle(form.report);
    };
    form.report.ShowPreview();
    data.table.removeView(&view);

    EXPECT_TRUE(duringRun.isEmpty());
    EXPECT_EQ(view.offThread, 0);
    EXPECT_EQ(view.notices, QList<int>{int(TableNotice::RowsReloaded)});
    EXPECT_EQ(data.table.rowNumber(), 120);
}

} // namespace
