// Widget tests run inside the program's own application object, so that
// exceptions from handlers reach the same catch point as in the program.

#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace tavim::test {

QStringList& shownErrors() {
    static QStringList errors;
    return errors;
}

QString& shownCaption() {
    static QString caption;
    return caption;
}

} // namespace tavim::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    tavim::TApplication application(argc, argv);
    application.setErrorPresenter([](const QString& caption, const QString& text) {
        tavim::test::shownCaption() = caption;
        tavim::test::shownErrors() << text;
    });
    return RUN_ALL_TESTS();
}
