#include "batch/LiveOutput.h"
#include "batch/ReportBatch.h"
#include "batch/StopSignals.h"
#include "engine/band/BandReport.h"
#include "engine/store/BrPrinter.h"
#include "error/Exception.h"
#include "tests/engine/band/ReportFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tavim::test {
namespace {

// Reopens the table on its rows handed over in blocks of 7, as a query read
// on another thread hands them.
void readForwardOnly(RowsModule& data) {
    data.table.close();
    data.table.openForwardOnly(data.provider.packet.columns,
                               [&data, next = std::size_t(0)]() mutable {
                                   const std::vector<RowValues>& rows = data.provider.packet.rows;
                                   std::vector<RowValues> block;
                                   while (block.size() < 7 && next < rows.size())
                                       block.push_back(rows[next++]);
                                   return block;
                               });
}

// The stop of the run under test. A signal is read on the stop's own thread:
// the run is held until it is, or it could end before it is noticed.
const TStopSignals* runningStop = nullptr;

void stopNow() {
    ::kill(::getpid(), SIGTERM);
    for (int waited = 0; runningStop->received() == 0 && waited < 5000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

struct BatchCase {
    const char* name;
    // Makes the report misbehave, given its table.
    std::function<void(TraceReport&, RowsModule&)> spoil;
    // What GenerateReportPages ends with: an error text, or empty for EInterrupted.
    QString error;
    // A page the output written during the run fails on; 0: none.
    int outputFailsOn = 0;
};

const BatchCase kFailures[] = {
    {"Declined",
     [](TraceReport& form, RowsModule&) {
         form.report.BeforePrint = [](TBandReport&, bool& print) { print = false; };
     },
     QStringLiteral("The report was not generated")},
    {"FailingControl",
     [](TraceReport& form, RowsModule& data) {
         form.detail.BeforePrint = [&table = data.table](TBrBand&, bool&) {
             if (table.rowNumber() == 60)
                 throw Exception(QStringLiteral("Control failed on row 60"));
         };
     },
     QStringLiteral("Control failed on row 60")},
    {"FailingBeforeTheDocument",
     [](TraceReport& form, RowsModule&) {
         form.report.BeforePrint = [](TBandReport&, bool&) {
             throw Exception(QStringLiteral("No period chosen"));
         };
     },
     QStringLiteral("No period chosen")},
    {"Stopped",
     [](TraceReport& form, RowsModule& data) {
         form.detail.BeforePrint = [&table = data.table](TBrBand&, bool&) {
             if (table.rowNumber() == 60)
                 stopNow();
         };
     },
     QString()},
    {"StoppedReadingAsTheRowsCome",
     [](TraceReport& form, RowsModule& data) {
         readForwardOnly(data);
         form.detail.BeforePrint = [rows = 0](TBrBand&, bool&) mutable {
             if (++rows == 60)
                 stopNow();
         };
     },
     QString()},
    {"FailingOutput", [](TraceReport&, RowsModule&) {}, QStringLiteral("No room for page 2"), 2},
};

// Writes nothing: takes the pages, in order, as an output written during the
// run does, and fails on `failsOn`.
void takePages(const TPageSource& pages, std::vector<std::pair<int, QByteArray>>& taken,
               int failsOn) {
    while (const auto page = pages()) {
        if (page->first == failsOn)
            throw Exception(QStringLiteral("No room for page %1").arg(failsOn));
        taken.emplace_back(page->first, page->second.bytes());
    }
}

// The report's pages go to `output` as they are finished.
void feedPages(TBandReport& report, TLiveOutput& output) {
    report.PageSink = [&output](int page, const TMetafile& image) {
        output.feed().put(page, image);
    };
}

class BatchRun : public ::testing::TestWithParam<BatchCase> {};

// Each ends with its error and leaves no file; none waits for anything.
TEST_P(BatchRun, EndsWithItsErrorAndNoFile) {
    const BatchCase& c = GetParam();
    TStopSignals::block();
    TStopSignals stop;
    runningStop = &stop;
    RowsModule data(200);
    data.table.open();
    TraceReport form(&data.table);
    c.spoil(form, data);
    std::vector<std::pair<int, QByteArray>> taken;
    TLiveOutput output([&](const TPageSource& pages) { takePages(pages, taken, c.outputFailsOn); });
    feedPages(form.report, output);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("listing.brp"));
    try {
        GenerateReportPages(form.report, file, stop);
        output.finish();
        ADD_FAILURE() << "no error";
    } catch (const EInterrupted& e) {
        EXPECT_TRUE(c.error.isEmpty()) << "interrupted instead of " << c.error;
        EXPECT_EQ(e.exitCode(), 128 + SIGTERM);
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), c.error);
    }
    EXPECT_TRUE(
        QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_TRUE(form.report.idle());
}

INSTANTIATE_TEST_SUITE_P(Outcomes, BatchRun, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// The pages wait aside until they are committed, and only then are in place;
// an output written during the run got every saved page's bytes, in order.
TEST(BatchRunPages, AWholeRunIsSavedWhenCommitted) {
    TStopSignals stop;
    RowsModule data(200);
    data.table.open();
    TraceReport form(&data.table);
    std::vector<std::pair<int, QByteArray>> taken;
    TLiveOutput output([&](const TPageSource& pages) { takePages(pages, taken, 0); });
    feedPages(form.report, output);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("listing.brp"));
    const auto generated = GenerateReportPages(form.report, file, stop);
    output.finish();
    EXPECT_FALSE(QFile::exists(file));
    generated->commitPages();
    TBrPrinter saved;
    saved.load(file);
    EXPECT_EQ(saved.pageCount(), form.report.pageNumber());
    EXPECT_GT(saved.pageCount(), 2);
    ASSERT_EQ(int(taken.size()), saved.pageCount());
    for (int n = 1; n <= saved.pageCount(); ++n) {
        EXPECT_EQ(taken[n - 1].first, n);
        EXPECT_EQ(taken[n - 1].second, saved.getPage(n)->bytes()) << "page " << n;
    }
}

// Pages of a run over a table read as its rows come are byte for byte those of
// a run over the whole table, across several pages and row blocks.
TEST(BatchRunPages, ATableReadAsTheRowsComeGivesTheSamePages) {
    TStopSignals stop;
    RowsModule data(200);
    data.table.open();
    TraceReport form(&data.table);
    QTemporaryDir folder;
    const auto saved = [&](const QString& name) {
        const QString file = folder.filePath(name);
        GenerateReportPages(form.report, file, stop)->commitPages();
        auto store = std::make_unique<TBrPrinter>();
        store->load(file);
        return store;
    };
    const auto whole = saved(QStringLiteral("whole.brp"));
    readForwardOnly(data);
    const auto streamed = saved(QStringLiteral("streamed.brp"));
    ASSERT_GT(whole->pageCount(), 2);
    ASSERT_EQ(streamed->pageCount(), whole->pageCount());
    for (int n = 1; n <= whole->pageCount(); ++n)
        EXPECT_EQ(streamed->getPage(n)->bytes(), whole->getPage(n)->bytes()) << "page " << n;
}

} // namespace
} // namespace tavim::test
