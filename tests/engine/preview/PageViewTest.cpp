#include "engine/preview/BrPageImage.h"
#include "engine/preview/BrPreview.h"

#include <gtest/gtest.h>

namespace tavim::test {
namespace {

TEST(PageViewTest, ZoomToFitStaysWithinBounds) {
    struct Case {
        QSize view;
        int zoom;
    };
    const Case cases[] = {
        {{400, 600}, 48},  // width decides: nearest(400 / 794 * 95)
        {{1000, 300}, 25}, // height decides: nearest(300 / 1123 * 95)
        {{20, 20}, 2},     // the smallest zoom there is
        {{10, 10}, 100},   // below 2: the zoom is kept
    };
    for (const Case& c : cases) {
        TBrPreview view;
        view.resize(c.view);
        view.zoomToFit();
        EXPECT_EQ(view.zoom(), c.zoom) << c.view.width() << "x" << c.view.height();
        EXPECT_EQ(view.zoomMode(), TBrZoomMode::Fit);
        EXPECT_EQ(view.image().width(), qRound(2100 * 96.0 / 254 * view.zoom() / 100) + 4);
    }
}

} // namespace
} // namespace tavim::test
