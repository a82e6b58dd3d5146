#include "GridFixture.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Test discovery runs the binary without the test's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    tavim::test::ErrorBoxApp app(argc, argv);
    return RUN_ALL_TESTS();
}
