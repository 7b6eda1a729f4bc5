#pragma once

#include "app/cli/CommandLine.h"

#include <iosfwd>

// Runs any headless mode, the report among them (everything but Desktop); returns the process exit
// status. The report needs Qt Gui, so only the program with Qt and the tests call this.
int RunHeadlessWithReport(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
