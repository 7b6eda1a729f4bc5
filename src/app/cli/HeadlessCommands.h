#pragma once

#include "app/cli/CommandLine.h"

#include <iosfwd>

// Each returns the process exit status; a failure writes one line on `err`.
int RunSummaryCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunRewriteCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunRenderCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunSurfacePointCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunReportCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunObjInfoCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunExportSceneCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
