#pragma once

#include "app/cli/CommandLine.h"

#include <ostream>

// `ruvo --report CASE.txt --output REPORT.(pdf|html|json) [--body MODEL]`: reads the case with its
// body and writes the report in the format its name ends in, on Qt's offscreen platform. Says
// nothing on success; a failure is one line on `err` and status 1 (2 for a wrong report name).
int RunCaseReportCommand(const CommandLine& commandLine, std::ostream& err);
