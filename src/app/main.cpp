#include "app/QtProgramStart.h"
#include "app/cli/CommandLine.h"
#include "base/AppInfo.h"

#include <iostream>
#include <string>
#include <vector>

// `ruvo` runs the commands that need no Qt itself, so that they start without loading Qt's many
// libraries; the window and the report it hands to the program with Qt.
int main(int argc, char** argv) {
    GetAppInfo(); // records the start directory before anything can change it
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (NeedsQt(commandLine)) {
        return StartQtProgram(argv, std::cerr);
    }
    return RunHeadless(commandLine, std::cout, std::cerr);
}
