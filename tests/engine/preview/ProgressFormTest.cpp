#include "StoreFixture.h"

#include "engine/band/BandReport.h"
#include "engine/preview/BrProgressForm.h"
#include "engine/preview/BrReportWindows.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

TEST(ProgressFormTest, ShowsMultiplesOfFiveAndCancels) {
    struct Step {
        int percent;
        int gauge;
        QString info;
    };
    const Step steps[] = {
        {33, 0, ""},
        {40, 40, "40%  Completed"},
        {42, 40, "40%  Completed"},
        {100, 100, "100%  Completed"},
    };
    auto store = makeStore();
    TBrProgressForm form(*store);
    for (const Step& step : steps) {
        store->progress(step.percent);
        deliverNotices();
        EXPECT_EQ(form.gauge().value(), step.gauge) << step.percent;
        EXPECT_EQ(form.info().text(), step.info) << step.percent;
    }
    EXPECT_FALSE(store->cancelled());
    form.findChild<QPushButton*>("Cancel")->click();
    EXPECT_TRUE(store->cancelled());
    store->setClient(nullptr);
}

TEST(ProgressFormTest, DialogBorderWithItsCaption) {
    auto store = makeStore();
    TBrProgressForm form(*store);
    EXPECT_EQ(form.windowTitle(), "Printing progress");
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    // The caption fits beside the title bar's buttons; the controls stay
    // centred under one another.
    QFont titleFont = form.font();
    titleFont.setBold(true);
    EXPECT_GE(form.width(), QFontMetrics(titleFont).horizontalAdvance("Printing progress") + 128);
    EXPECT_GE(form.width(), 149);
    EXPECT_EQ(form.height(), 97);
    const auto* cancel = form.findChild<QPushButton*>("Cancel");
    const int dx = (form.width() - 149) / 2;
    EXPECT_EQ(form.gauge().geometry(), QRect(dx + 16, 18, 114, 16));
    EXPECT_EQ(cancel->geometry(), QRect(dx + 36, 60, 75, 25));
    EXPECT_EQ(form.info().geometry().left(), dx);
    // Closing asks the run to stop, as Cancel does; the run closes the window.
    form.show();
    form.close();
    EXPECT_TRUE(store->cancelled());
    EXPECT_TRUE(form.isVisible());
    store->setClient(nullptr);
}

// A print run starts inside the modal preview; the progress window of the
// standard windows takes clicks all the same.
TEST(ProgressFormTest, CancelWorksUnderTheModalPreview) {
    TBandReport report(nullptr, QStringLiteral("report"));
    QWidget mainWindow;
    mainWindow.show();
    AttachStandardWindows(report, &mainWindow);
    QDialog preview(&mainWindow);
    auto store = makeStore();
    bool cancelled = false;
    QTimer::singleShot(0, &preview, [&] {
        std::unique_ptr<QObject> form = report.ProgressHook(*store, true);
        auto* window = static_cast<QWidget*>(form.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        // Through the window system, where a blocked window drops the click.
        const auto* cancel = window->findChild<QPushButton*>("Cancel");
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          cancel->mapTo(window, cancel->rect().center()));
        cancelled = store->cancelled();
        store->setClient(nullptr);
        preview.accept();
    });
    preview.exec();
    EXPECT_TRUE(cancelled);
}

} // namespace
} // namespace tavim::test
