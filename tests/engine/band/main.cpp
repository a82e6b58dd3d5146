#include "format/LocaleSettings.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Test discovery runs the executable without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    tavim::LocaleSettings::set(QChar(','), QChar('.'));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
