#pragma once

#include "app/cli/CommandLine.h"

#include <ostream>

// The report command lives in a module of its own (libruvo_report_command.so beside the
// executable): it needs Qt Gui for text layout and the PDF, which the other commands never load.
// Its entry point, exported without C++ name decoration, runs `ruvo --report` in full.
using RuvoReportMainFunction = int(const CommandLine& commandLine, std::ostream& out,
                                   std::ostream& err);
inline constexpr const char* kReportModuleFile = "libruvo_report_command.so";
inline constexpr const char* kReportEntryName = "RuvoReportMain";
