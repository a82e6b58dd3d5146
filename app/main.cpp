#include "app/Application.h"
#include "app/Clock.h"
#include "app/Program.h"

int main(int argc, char** argv) {
    tavim::TApplication application(argc, argv);
    const tavim::SystemClock clock;
    tavim::TProgram program(clock);
    program.showMainWindow(tavim::StartStateFromEnvironment());
    return application.exec();
}
