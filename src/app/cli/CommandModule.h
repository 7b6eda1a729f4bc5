#pragma once

#include "app/cli/CommandLine.h"

#include <ostream>

// Commands that need large libraries run from modules of their own beside the executable, so that
// the other commands never load those libraries: the report (Qt Gui for text layout and the PDF)
// and the offscreen picture (OpenGL). A module's entry point, exported without C++ name
// decoration, runs its command in full.
using RuvoCommandFunction = int(const CommandLine& commandLine, std::ostream& out,
                                std::ostream& err);

struct CommandModule {
    const char* file;  // beside the executable
    const char* entry; // the exported RuvoCommandFunction
    const char* part;  // what the program calls it when it is missing
};

inline constexpr CommandModule kReportModule{"libruvo_report_command.so", "RuvoReportMain",
                                             "report writer"};
inline constexpr CommandModule kRenderModule{"libruvo_render_command.so", "RuvoRenderMain",
                                             "offscreen renderer"};

// Loads the module and runs its command; without the module, one line on `err` and status 1.
int RunModuleCommand(const CommandModule& module, const CommandLine& commandLine, std::ostream& out,
                     std::ostream& err);
