#include "ReportFixture.h"

#include "engine/store/BrPrinter.h"
#include "error/Exception.h"

#include <QThread>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

// The order of events and the geometry a run must produce over n rows: rows
// from 384 in steps of 45, 52 rows a page, the summary below at most 36 rows,
// the footer's BeforePrint with the row that did not fit still current.
QStringList expectedTrace(int n) {
    QStringList out{"report row 0"};
    int page = 0;
    int y = 0;
    auto startPage = [&] {
        ++page;
        out << QStringLiteral("header p%1 y130").arg(page);
        y = 384;
    };
    auto endPage = [&](int row) {
        out << QStringLiteral("before footer row %1").arg(row)
            << QStringLiteral("footer p%1 y2740").arg(page);
    };
    auto output = [&](const char* band, int height) {
        out << QStringLiteral("%1 p%2 y%3").arg(band).arg(page).arg(y);
        y += height;
    };
    if (n == 0) {
        out << "before detail row 0";
        startPage();
        output("detail", 45);
        out << "before summary row 0";
        output("summary", 722);
        endPage(0);
        return out;
    }
    for (int row = 1; row <= n; ++row) {
        out << QStringLiteral("before detail row %1").arg(row);
        if (page == 0) {
            startPage();
        } else if (2740 - y < 45) {
            endPage(row);
            startPage();
        }
        output("detail", 45);
    }
    out << QStringLiteral("before summary row %1").arg(n);
    if (2740 - y < 722) {
        endPage(n);
        startPage();
    }
    output("summary", 722);
    endPage(n);
    return out;
}

struct Shape {
    int rows;
    int pages;
    int summaryPage;
    int summaryTop;
};

// The same facts stated by hand, to keep the model above honest.
const Shape kShapes[] = {
    {0, 1, 1, 429},  {1, 1, 1, 429},  {36, 1, 1, 2004}, {37, 2, 2, 384},
    {52, 2, 2, 384}, {53, 2, 2, 429}, {88, 2, 2, 2004}, {89, 3, 3, 384},
};

class RunTrace : public ::testing::TestWithParam<Shape> {};

TEST_P(RunTrace, EventsAndGeometry) {
    const Shape shape = GetParam();
    RowsModule data(shape.rows);
    data.table.open();
    data.table.LastRow();
    TraceReport form(&data.table);
    int pages = 0;
    form.report.PreviewHook = [&](TBrPrinter& store) {
        while (!form.report.idle())
            QThread::msleep(1);
        pages = store.pageCount();
    };
    form.report.ShowPreview();

    // The report's BeforePrint sees the row that was current before the run.
    QStringList expected = expectedTrace(shape.rows);
    expected[0] = QStringLiteral("report row %1").arg(shape.rows);
    EXPECT_EQ(form.log, expected);
    EXPECT_EQ(pages, shape.pages);
    EXPECT_TRUE(form.log.contains(
        QStringLiteral("summary p%1 y%2").arg(shape.summaryPage).arg(shape.summaryTop)));
    EXPECT_EQ(data.table.rowNumber(), shape.rows);
    EXPECT_TRUE(form.report.idle());
}

INSTANTIATE_TEST_SUITE_P(Rows, RunTrace, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::to_string(info.param.rows); });

TEST(Run, ClosedTableGivesTheEmptyPage) {
    RowsModule data(5);
    TraceReport form(&data.table);
    form.report.ShowPreview();
    EXPECT_EQ(form.log, expectedTrace(0));
}

TEST(Run, PageHeaderTallerThanThePageEndsTheRun) {
    TraceReport form(nullptr);
    form.header.Size.Values[0] = 2700;
    form.report.ShowPreview();
    EXPECT_EQ(form.log.count("header p1 y130"), 1);
    EXPECT_TRUE(form.report.idle());
}

TEST(Run, ExceptionReachesTheCallerAndTheReportStaysUsable) {
    RowsModule data(10);
    data.table.open();
    TraceReport form(&data.table);
    form.detail.BeforePrint = [&](TBrBand&, bool&) {
        if (data.table.rowNumber() == 3)
            throw Exception("boom");
    };
    int available = -1;
    form.report.PreviewHook = [&](TBrPrinter& store) {
        while (!form.report.idle())
            QThread::msleep(1);
        available = store.availablePages();
    };
    try {
        form.report.ShowPreview();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), "boom");
    }
    EXPECT_EQ(available, 0) << "the document is aborted, not ended";
    EXPECT_TRUE(form.report.idle());
    EXPECT_EQ(form.report.store(), nullptr);

    form.detail.BeforePrint = nullptr;
    form.log.clear();
    form.report.ShowPreview();
    EXPECT_TRUE(form.log.contains("summary p1 y834"));
}

} // namespace
