#include "app/Application.h"
#include "app/Clock.h"
#include "app/Program.h"

int main(int argc, char** argv) {
    tavim::TApplication application(argc, argv);
    const tavim::SystemClock clock;
    // A start that fails (an unusable tavim.conf) is shown in the error box
    // and ends the program; there is no window to go on with.
    try {
        tavim::TProgram program(clock);
        program.showMainWindow(tavim::StartStateFromEnvironment());
        return application.exec();
    } catch (...) {
        application.showException(std::current_exception());
        return 1;
    }
}
