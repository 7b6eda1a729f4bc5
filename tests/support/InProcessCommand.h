#pragma once

#include "app/cli/CommandLine.h"
#include "app/qt/HeadlessWithReport.h"

#include <sstream>
#include <string>
#include <vector>

// What a headless command run in this process gave: its exit status and what it wrote.
struct InProcessRun {
    int status = 0;
    std::string out;
    std::string err;
};

// Runs the command line `arguments` (the program's name left out) in this process.
inline InProcessRun RunInProcess(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    InProcessRun run;
    run.status = RunHeadlessWithReport(ParseCommandLine(arguments), out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}
