#include "app/cli/CommandLine.h"
#include "app/qt/HeadlessWithReport.h"
#include "base/AppInfo.h"

#include <iostream>
#include <string>
#include <vector>

#ifndef RUVO_NO_UI
#include "app/DesktopProgram.h"
#endif

// The program with Qt, which `ruvo` starts with its own arguments for the desktop program and the
// report; it runs every other command as `ruvo` does.
int main(int argc, char** argv) {
    GetAppInfo(); // records the start directory before anything can change it
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (commandLine.mode != CommandLine::Mode::Desktop) {
        return RunHeadlessWithReport(commandLine, std::cout, std::cerr);
    }
#ifdef RUVO_NO_UI
    std::cerr << "ruvo: this build has no desktop window\n";
    return 1;
#else
    return RunDesktopProgram(argc, argv, commandLine.documentFile);
#endif
}
