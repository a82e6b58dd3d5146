#include "StoreFixture.h"

#include "engine/preview/BrProgressForm.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
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

} // namespace
} // namespace tavim::test
