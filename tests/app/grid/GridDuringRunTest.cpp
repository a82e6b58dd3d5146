// A real report run moves the listing table on its worker while the user
// resizes the grid, scrolls, types and the grid repaints. Built with
// ThreadSanitizer any touch of the table from this thread during the run shows.
#include "GridFixture.h"

#include "engine/band/BandReport.h"
#include "engine/band/BrBand.h"

#include <QScrollBar>
#include <QTest>
#include <condition_variable>
#include <mutex>

using namespace tavim;
using namespace tavim::test;

namespace {

constexpr int kRows = 300;
// The worker waits at every such row for one more round of the user's doings,
// so that the rounds fall between its moves of the table.
constexpr int kRowsPerRound = 50;

// Standard primitives: the sanitizer sees their ordering, unlike Qt's.
class Rounds {
public:
    void done() {
        {
            const std::lock_guard lock(m_mutex);
            ++m_done;
        }
        m_changed.notify_all();
    }
    void awaitAtLeast(int n) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_done >= n; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_done = 0;
};

// The listing report's skeleton: one detail band per row.
class ListingRun : public TComponent {
public:
    ListingRun(TMemTable& table, Rounds& rounds)
        : TComponent(nullptr, "frmRun"), report(this, "relatorio"),
          detail(report, "detail", TBrBandType::rbDetail) {
        report.DataSet = &table;
        report.Page.Values = {100.0L, 2970.0L, 130.0L, 2100.0L, 26.5L, 13.2L, 0.0L};
        detail.Size.Values = {45.0L, 2061.0L};
        detail.BeforePrint = [&table, &rounds](TBrBand&, bool&) {
            const int row = table.rowNumber();
            if (row % kRowsPerRound == 0)
                rounds.awaitAtLeast(row / kRowsPerRound);
        };
    }

    TBandReport report;
    TBrBand detail;
};

class GridDuringRun : public GridTest {
protected:
    // What a user can do to the main window while the preview is up.
    void round(int n) {
        grid->resize(806, n % 2 ? 200 : 600);
        key(Qt::Key_Down);
        key(Qt::Key_PageDown);
        type("7");
        grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(3, 1).center());
        QApplication::processEvents();
        painted.push_back(grid->viewport()->grab().toImage());
    }

    std::vector<QImage> painted;
};

TEST_F(GridDuringRun, ResizeScrollKeysAndPaintLeaveTheTableToTheWorker) {
    QStringList names;
    for (int i = 1; i <= kRows; ++i)
        names << QStringLiteral("R%1").arg(i);
    open(names);
    key(Qt::Key_Down);
    const QImage before = grid->viewport()->grab().toImage();
    Rounds rounds;
    ListingRun run(module->table, rounds);
    int roundsDuringRun = 0;
    run.report.PreviewHook = [&](TBrPrinter&) {
        while (!run.report.idle()) {
            round(++roundsDuringRun);
            rounds.done();
        }
    };
    run.report.ShowPreview();

    EXPECT_GE(roundsDuringRun, kRows / kRowsPerRound);
    for (const QImage& image : painted) {
        const QRect common = image.rect().intersected(before.rect());
        EXPECT_TRUE(image.copy(common) == before.copy(common)) << "the rows before the run";
    }
    // The last round's size is the one the table's window takes afterwards.
    const int fit = (grid->viewport()->height() - grid->titleHeight()) / 18;
    EXPECT_EQ(grid->visibleRows(), fit);
    EXPECT_EQ(module->table.windowCount(), fit);
    EXPECT_EQ(module->table.rowNumber(), kRows);
    EXPECT_EQ(module->table.state(), DataSetState::Browse);
    EXPECT_EQ(grid->verticalScrollBar()->value(), kRows);
    EXPECT_EQ(glyph(fit - 1), "arrow");
}

} // namespace
