// Print runs against the real queue of scripts/cups: Cancel prints the pages
// so far, the last with its footer; closing the preview during a print run
// delivers nothing.
#include "ReportFixture.h"
#include "tests/engine/print/CupsQueue.h"

#include "error/Exception.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

// 200 rows make four pages; row 120 is on page 3.
constexpr int kRows = 200;
constexpr int kStopRow = 120;

QStringList textLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines;
}

class CupsPrintRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cupsQueueEnabled())
            GTEST_SKIP() << "set TAVIM_TEST_CUPS=1 with the queue of scripts/cups";
        data.table.open();
    }

    void atRow(int row, std::function<void()> action) {
        form.detail.BeforePrint = [this, row, action = std::move(action)](TBrBand&, bool&) {
            if (data.table.rowNumber() == row)
                action();
        };
    }

    static void removeAll(const QStringList& files) {
        for (const QString& file : files)
            QFile::remove(file);
    }

    RowsModule data{kRows};
    TraceReport form{&data.table};
};

TEST_F(CupsPrintRun, CancelPrintsThePagesSoFarTheLastWithItsFooter) {
    const CupsOutput queue;
    form.report.ReportTitle =
        QStringLiteral("tavim-cancel-%1").arg(QCoreApplication::applicationPid());
    atRow(kStopRow, [this] { form.report.store()->cancel(); });
    form.report.PrintToPrinter();

    const QStringList pdfs = queue.waitFor(1);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_EQ(pdfPages(pdfs.first()), 3) << "fewer than the four pages of the whole report";
    // The queue's PDF keeps the glyphs but not their letters: the footer of
    // page 1 ("footer p1 y2740") shows what the footer's line starts with.
    const QStringList first = textLines(pdfText(pdfs.first(), 1));
    const QStringList last = textLines(pdfText(pdfs.first(), 3));
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(last.isEmpty());
    EXPECT_EQ(last.last().left(8), first.last().left(8)) << "the last page ends with its footer";
    EXPECT_EQ(last.size(), 1 + (kStopRow - 104) + 1)
        << "header, rows 105 to 120, footer: no summary";
    removeAll(pdfs);
}

TEST_F(CupsPrintRun, ClosingThePreviewDuringThePrintRunDeliversNothing) {
    const CupsOutput queue;
    form.report.ReportTitle =
        QStringLiteral("tavim-closed-%1").arg(QCoreApplication::applicationPid());
    form.report.PreviewHook = [this](TBrPrinter& preview) {
        while (!form.report.idle() || preview.status() != TBrStatus::Finished)
            QThread::msleep(1);
        atRow(kStopRow, [&preview] { preview.closePreview(); });
        preview.print();
    };
    form.report.ShowPreview();

    // The queue prints in order: once a later job has arrived, an earlier one
    // would have too.
    RowsModule one(1);
    one.table.open();
    TraceReport sentinel(&one.table);
    sentinel.report.ReportTitle =
        QStringLiteral("tavim-sentinel-%1").arg(QCoreApplication::applicationPid());
    sentinel.report.PrintToPrinter();
    const QStringList pdfs = queue.waitFor(1);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_TRUE(pdfs.first().contains("sentinel")) << pdfs.first().toStdString();
    EXPECT_EQ(pdfPages(pdfs.first()), 1);
    QThread::msleep(500);
    EXPECT_EQ(queue.arrived().size(), 1) << "only the sentinel job was printed";
    removeAll(queue.arrived());
}

TEST_F(CupsPrintRun, APausedQueueFailsThePrintRunWithItsName) {
    const CupsOutput queue;
    QString error;
    {
        const PausedQueue paused;
        try {
            form.report.PrintToPrinter();
        } catch (const Exception& e) {
            error = e.message();
        }
    }
    EXPECT_EQ(error, "Printer \"TavimPDF\" is in an error state");
    EXPECT_TRUE(form.report.idle());
    EXPECT_TRUE(queue.arrived().isEmpty());
}

} // namespace
