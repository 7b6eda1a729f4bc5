#include "app/cli/CommandLine.h"
#include "docs/AppInfo.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    GetAppInfo(); // records the start directory before anything can change it
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (commandLine.mode != CommandLine::Mode::Desktop) {
        return RunHeadless(commandLine, std::cout, std::cerr);
    }
    std::cerr << "ruvo: the desktop window is not built yet\n";
    return 1;
}
