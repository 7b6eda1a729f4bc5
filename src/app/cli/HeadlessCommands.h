#pragma once

#include "app/cli/CommandLine.h"

#include <iosfwd>

// Each returns the process exit status; a failure writes one line on `err`. The offscreen picture
// has a header of its own (OffscreenRenderCommand.h), the report one in app/qt.
int RunSummaryCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunRewriteCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunSurfacePointCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunObjInfoCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunOriginCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
// --ct-info and --ct-point read a CT series as a case's body is read from it (CtCommands.cpp).
int RunCtInfoCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunCtPointCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
// --carry-to-body writes a CT case carried to the posable body (CarryToBodyCommand.cpp).
int RunCarryToBodyCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
int RunExportSceneCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
